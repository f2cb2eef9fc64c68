// The Settings record in the real registry: defaults, load, the saves.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "settings.h"
#include "testsupport.h"

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override { ResetProgramRegistry(); }

    static DWORD& Number(const SettingField& field) { return *static_cast<DWORD*>(field.value); }
    static wchar_t* Text(const SettingField& field) { return static_cast<wchar_t*>(field.value); }
};

// A distinct value per field, as stored and as loaded.
DWORD StoredFor(size_t i)
{
    return static_cast<DWORD>(1000 + i);
}

} // namespace

TEST_F(Settings, FirstRunCreatesTheKeyAndEverySettingHasItsDefault)
{
    const std::map<std::wstring, DWORD> defaults = {
        { L"SnoozeTime", 15 }, { L"SleepTime", 60 }, { L"SleepPathType", 0 }, { L"TimedSleep", 1 },
        { L"MaxTime", 5 }, { L"ShowIcon", 1 }, { L"ShowITime", 1 }, { L"Silenced", 0 },
        { L"Chime", 0 }, { L"ChimeHandle", 0 }, { L"Countdown", 0 }, { L"CountdownTime", 0 },
        { L"CDFTLow", 0 }, { L"CDFTHigh", 0 }, { L"CountdownHandle", 0 },
        { L"CountdownKeepAwake", 0 },
    };
    const std::set<std::wstring> texts = { L"SleepPath", L"ChimeSound", L"CountdownSound" };
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    EXPECT_TRUE(ValueNames(SETTINGS_PATH).empty());
    std::set<std::wstring> names;
    for (size_t i = 0; i < settingFieldCount; i++)
        names.insert(settingFields[i].name);
    std::set<std::wstring> expected = texts;
    for (const auto& d : defaults)
        expected.insert(d.first);
    expected.insert(L"24HourTime");
    EXPECT_EQ(expected, names);
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT) {
            EXPECT_STREQ(L"", Text(field)) << field.name;
        } else if (defaults.count(field.name) != 0) {
            EXPECT_EQ(defaults.at(field.name), Number(field)) << field.name;
        }
    }
    EXPECT_STREQ(L"", installDirectory);
}

TEST_F(Settings, TwentyFourHourDefaultFollowsTheLocale)
{
    wchar_t saved[8] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved, ARRAYSIZE(saved));
    for (const wchar_t* iTime : { L"1", L"0" }) {
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, iTime));
        LoadSettings();
        EXPECT_EQ(iTime[0] == L'1' ? 1u : 0u, TwentyFourHourTime);
    }
    // A stored value wins over the locale.
    WriteDword(SETTINGS_PATH, L"24HourTime", 9);
    LoadSettings();
    EXPECT_EQ(1u, TwentyFourHourTime);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved);
}

TEST_F(Settings, EveryStoredValueLoadsFlagsAsZeroOrOne)
{
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT)
            WriteText(SETTINGS_PATH, field.name, std::wstring(L"\\t\\") + field.name);
        else
            WriteDword(SETTINGS_PATH, field.name, StoredFor(i));
    }
    LoadSettings();
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT)
            EXPECT_EQ(std::wstring(L"\\t\\") + field.name, Text(field));
        else
            EXPECT_EQ(field.kind == FIELD_FLAG ? 1u : StoredFor(i), Number(field)) << field.name;
    }
}

TEST_F(Settings, TextsLoadUpToTheirFieldSize)
{
    // 259 units and the terminator fill a field; one more does not fit and
    // the default stays. A text stored without terminator is terminated.
    WriteText(SETTINGS_PATH, L"SleepPath", std::wstring(259, L's'));
    WriteText(SETTINGS_PATH, L"ChimeSound", std::wstring(259, L'c'), false);
    WriteText(SETTINGS_PATH, L"CountdownSound", std::wstring(260, L'd'));
    LoadSettings();
    EXPECT_EQ(std::wstring(259, L's'), SleepPath);
    EXPECT_EQ(std::wstring(259, L'c'), ChimeSound);
    EXPECT_STREQ(L"", CountdownSound);
}

TEST_F(Settings, ValuesOfTheWrongTypeOrSizeKeepTheDefault)
{
    WriteText(SETTINGS_PATH, L"SnoozeTime", L"30");
    WORD shortValue = 9;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"MaxTime", REG_DWORD, &shortValue, 2);
    ULONGLONG wideValue = 3;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"SleepTime", REG_QWORD, &wideValue, 8);
    DWORD number = 0x00410041;  // "AA" if taken as text
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"ChimeSound", REG_DWORD, &number, 4);
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"SleepPath", REG_BINARY, L"abc", 8);
    // A 4-byte binary value is an unambiguous number and is taken.
    DWORD binaryNumber = 42;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"CountdownTime", REG_BINARY,
                  &binaryNumber, 4);
    LoadSettings();
    EXPECT_EQ(15u, SnoozeTime);
    EXPECT_EQ(5u, MaxTime);
    EXPECT_EQ(60u, SleepTime);
    EXPECT_STREQ(L"", ChimeSound);
    EXPECT_STREQ(L"", SleepPath);
    EXPECT_EQ(42u, CountdownTime);
}

TEST_F(Settings, FullSaveWritesEveryValueAndItLoadsBack)
{
    LoadSettings();
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT)
            wcscpy(Text(field), (std::wstring(L"\\x\\") + field.name).c_str());
        else
            Number(field) = field.kind == FIELD_FLAG ? 1 : StoredFor(i);
    }
    EXPECT_EQ(ERROR_SUCCESS, SaveSettings());
    EXPECT_EQ(settingFieldCount, ValueNames(SETTINGS_PATH).size());
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT)
            EXPECT_STORED(SETTINGS_PATH, field.name, std::wstring(L"\\x\\") + field.name);
        else
            EXPECT_STORED(SETTINGS_PATH, field.name, field.kind == FIELD_FLAG ? 1u : StoredFor(i));
    }
    LoadSettings();
    EXPECT_EQ(StoredFor(15), CDFTLow);
    EXPECT_STREQ(L"\\x\\SleepPath", SleepPath);
}

TEST_F(Settings, PartialSavesWriteOnlyTheirOwnValues)
{
    struct Case {
        LONG (*save)();
        std::vector<std::wstring> names;
    };
    const Case cases[] = {
        { SaveChimeSettings, { L"Chime", L"ChimeHandle", L"ChimeSound" } },
        { SaveCountdownSettings, { L"CDFTHigh", L"CDFTLow", L"Countdown", L"CountdownHandle",
                                   L"CountdownKeepAwake", L"CountdownSound", L"CountdownTime" } },
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
        LoadSettings();
        ChimeHandle = 5;
        CountdownHandle = 9;
        EXPECT_EQ(ERROR_SUCCESS, c.save());
        EXPECT_EQ(c.names, ValueNames(SETTINGS_PATH));
    }
    EXPECT_STORED(SETTINGS_PATH, L"CountdownHandle", 9u);
}

TEST_F(Settings, SavesNeverCreateTheKeyNorWriteTheInstallDirectory)
{
    WriteText(INSTALL_PATH, L"InstlDir", L"C:\\Program Files\\Wakeloom");
    LoadSettings();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveSettings());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveChimeSettings());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveCountdownSettings());
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_PATH, 0, KEY_READ, &key));
    EXPECT_EQ(std::vector<std::wstring>{ L"InstlDir" }, ValueNames(INSTALL_PATH));
}

TEST_F(Settings, ReloadChimeHandleReadsThatValueAlone)
{
    LoadSettings();
    WriteDword(SETTINGS_PATH, L"ChimeHandle", 1234);
    WriteDword(SETTINGS_PATH, L"Chime", 1);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, ChimeHandle);
    EXPECT_EQ(0u, Chime);
    // A missing value leaves the handle as it was; a missing key is created.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, ChimeHandle);
    EXPECT_TRUE(ValueNames(SETTINGS_PATH).empty());
}

TEST_F(Settings, InstallDirectoryPrefersInstlDirThenInstallDir)
{
    WriteText(INSTALL_PATH, L"InstallDir", L"D:\\Second");
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\Second", installDirectory);
    WriteText(INSTALL_PATH, L"InstlDir", L"D:\\First");
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\First", installDirectory);
    // An InstlDir that cannot be read (too long) falls back to InstallDir.
    WriteText(INSTALL_PATH, L"InstlDir", std::wstring(300, L'x'));
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\Second", installDirectory);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(DefaultSoundPath(DEFAULT_CHIME_SOUND, path, MAX_PATH));
    EXPECT_STREQ(L"D:\\Second\\sounds\\CBell.wav", path);

    // Written as the device writes it: rooted, meaning the system drive.
    WriteText(INSTALL_PATH, L"InstlDir", L"\\Program Files\\Wakeloom");
    FindInstallDirectory();
    wchar_t windowsDir[MAX_PATH];
    GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    EXPECT_EQ(std::wstring(windowsDir, 2) + L"\\Program Files\\Wakeloom", installDirectory);
}
