// The Settings record in the real registry: defaults, load, the saves.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings.h"
#include "testsupport.h"

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override { ResetProgramRegistry(); }

    static DWORD& Number(const SettingField& field) { return *static_cast<DWORD*>(field.value); }
    static wchar_t* Text(const SettingField& field) { return static_cast<wchar_t*>(field.value); }
    static bool KeyExists()
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_PATH, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
};

TEST_F(Settings, FirstRunCreatesTheKeyWithEveryDefaultTheClockFollowingTheLocaleAndTheInstallDirectoryFound)
{
    // By their registry names; the texts start empty.
    const std::map<std::wstring, DWORD> numbers = {
        { L"SnoozeTime", 15 }, { L"SleepTime", 60 }, { L"SleepPathType", 0 }, { L"TimedSleep", 1 },
        { L"MaxTime", 5 }, { L"ShowIcon", 1 }, { L"ShowITime", 1 }, { L"Silenced", 0 },
        { L"Chime", 0 }, { L"ChimeHandle", 0 }, { L"Countdown", 0 }, { L"CountdownTime", 0 },
        { L"CDFTLow", 0 }, { L"CDFTHigh", 0 }, { L"CountdownHandle", 0 },
        { L"CountdownKeepAwake", 0 },
    };
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(ValueNames(SETTINGS_PATH).empty());
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT) {
            EXPECT_STREQ(L"", Text(field)) << field.name;
        } else if (numbers.count(field.name) != 0) {
            EXPECT_EQ(numbers.at(field.name), Number(field)) << field.name;
        }
    }
    EXPECT_STREQ(L"", installDirectory);

    // The clock's format follows the locale, unless one is stored.
    wchar_t saved[8] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved, ARRAYSIZE(saved));
    for (const wchar_t* iTime : { L"1", L"0" }) {
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, iTime));
        LoadSettings();
        EXPECT_EQ(iTime[0] == L'1' ? 1u : 0u, TwentyFourHourTime);
    }
    WriteDword(SETTINGS_PATH, L"24HourTime", 9);
    LoadSettings();
    EXPECT_EQ(1u, TwentyFourHourTime);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved);

    // The install directory: InstlDir before InstallDir, unless it cannot be
    // read (too long).
    WriteText(INSTALL_PATH, L"InstallDir", L"D:\\Second");
    WriteText(INSTALL_PATH, L"InstlDir", L"D:\\First");
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\First", installDirectory);
    WriteText(INSTALL_PATH, L"InstlDir", std::wstring(300, L'x'));
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\Second", installDirectory);
    // Written as the device writes it: rooted, meaning the system drive.
    WriteText(INSTALL_PATH, L"InstlDir", L"\\Program Files\\Wakeloom");
    FindInstallDirectory();
    wchar_t windowsDir[MAX_PATH];
    GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    EXPECT_EQ(std::wstring(windowsDir, 2) + L"\\Program Files\\Wakeloom", installDirectory);
}

TEST_F(Settings, EveryValueLoadsFlagsAsZeroOrOneAFullSaveWritesItBackAndWhatDoesNotFitIsNotTaken)
{
    auto text = [](const SettingField& field) { return std::wstring(L"\\t\\") + field.name; };
    for (size_t i = 0; i < settingFieldCount; i++) {
        if (settingFields[i].kind == FIELD_TEXT)
            WriteText(SETTINGS_PATH, settingFields[i].name, text(settingFields[i]));
        else
            WriteDword(SETTINGS_PATH, settingFields[i].name, static_cast<DWORD>(1000 + i));
    }
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    // Saved into an emptied key, so that every value must be written.
    for (const std::wstring& name : ValueNames(SETTINGS_PATH))
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SETTINGS_PATH, name.c_str());
    EXPECT_EQ(ERROR_SUCCESS, SaveSettings());
    EXPECT_EQ(settingFieldCount, ValueNames(SETTINGS_PATH).size());
    for (size_t i = 0; i < settingFieldCount; i++) {
        const SettingField& field = settingFields[i];
        if (field.kind == FIELD_TEXT) {
            EXPECT_EQ(text(field), Text(field));
            EXPECT_STORED(SETTINGS_PATH, field.name, text(field));
        } else {
            DWORD loaded = field.kind == FIELD_FLAG ? 1 : static_cast<DWORD>(1000 + i);
            EXPECT_EQ(loaded, Number(field)) << field.name;
            EXPECT_STORED(SETTINGS_PATH, field.name, loaded);
        }
    }

    // Values that do not fit their field keep the default.
    // 259 units and the terminator fill a text; one more does not fit. A
    // text stored without its terminator is terminated.
    WriteText(SETTINGS_PATH, L"SleepPath", std::wstring(259, L's'));
    WriteText(SETTINGS_PATH, L"ChimeSound", std::wstring(259, L'c'), false);
    WriteText(SETTINGS_PATH, L"CountdownSound", std::wstring(260, L'd'));
    LoadSettings();
    EXPECT_EQ(std::wstring(259, L's'), SleepPath);
    EXPECT_EQ(std::wstring(259, L'c'), ChimeSound);
    EXPECT_STREQ(L"", CountdownSound);

    // Values of another type or size; only a 4-byte binary value is taken,
    // as an unambiguous number.
    WriteText(SETTINGS_PATH, L"SnoozeTime", L"30");
    WORD shortValue = 9;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"MaxTime", REG_DWORD, &shortValue, 2);
    ULONGLONG wideValue = 3;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"SleepTime", REG_QWORD, &wideValue, 8);
    DWORD number = 0x00410041;   // "AA" if taken as text
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"ChimeSound", REG_DWORD, &number, 4);
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"SleepPath", REG_BINARY, L"abc", 8);
    DWORD binaryNumber = 42;
    WriteRawValue(HKEY_LOCAL_MACHINE, SETTINGS_PATH, L"CountdownTime", REG_BINARY, &binaryNumber, 4);
    LoadSettings();
    EXPECT_EQ(15u, SnoozeTime);
    EXPECT_EQ(5u, MaxTime);
    // No snooze or ring time at all would ring again, or stop, at once.
    WriteDword(SETTINGS_PATH, L"SnoozeTime", 0);
    WriteDword(SETTINGS_PATH, L"MaxTime", 0);
    LoadSettings();
    EXPECT_EQ(5u, SnoozeTime);
    EXPECT_EQ(5u, MaxTime);
    EXPECT_EQ(60u, SleepTime);
    EXPECT_STREQ(L"", ChimeSound);
    EXPECT_STREQ(L"", SleepPath);
    EXPECT_EQ(42u, CountdownTime);
}

TEST_F(Settings, PartialSavesWriteOnlyTheirOwnValuesNoSaveCreatesTheKeyAndTheChimeHandleReloadsAlone)
{
    const struct {
        LONG (*save)();
        std::vector<std::wstring> names;
    } cases[] = {
        { SaveChimeSettings, { L"Chime", L"ChimeHandle", L"ChimeSound" } },
        { SaveCountdownSettings, { L"CDFTHigh", L"CDFTLow", L"Countdown", L"CountdownHandle",
                                   L"CountdownKeepAwake", L"CountdownSound", L"CountdownTime" } },
    };
    for (const auto& c : cases) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
        LoadSettings();
        ChimeHandle = 5;
        CountdownHandle = 9;
        EXPECT_EQ(ERROR_SUCCESS, c.save());
        EXPECT_EQ(c.names, ValueNames(SETTINGS_PATH));
    }
    EXPECT_STORED(SETTINGS_PATH, L"CountdownHandle", 9u);
    // Only the load makes the key.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
    for (LONG (*save)() : { SaveSettings, SaveChimeSettings, SaveCountdownSettings })
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, save());
    EXPECT_FALSE(KeyExists());

    // The chime's handle is reloaded alone.
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
    EXPECT_TRUE(KeyExists());
}
