// The Settings record in the real registry: defaults, load, the saves.
#include <gtest/gtest.h>

#include <string>

#include "settings.h"
#include "testsupport.h"

// The twenty values by their registry names, with what a first run gives
// (the 24-hour clock follows the locale instead).
struct Value {
    const wchar_t* name;
    DWORD* number;
    wchar_t* text;
    DWORD firstRun;
    bool flag;
};
static const Value kValues[] = {
    { L"24HourTime", &settings.TwentyFourHourTime, nullptr, 0, true }, { L"SnoozeTime", &settings.SnoozeTime, nullptr, 15, false },
    { L"SleepTime", &settings.SleepTime, nullptr, 60, false }, { L"SleepPathType", &settings.SleepPathType, nullptr, 0, false },
    { L"SleepPath", nullptr, settings.SleepPath, 0, false }, { L"TimedSleep", &settings.TimedSleep, nullptr, 1, true },
    { L"MaxTime", &settings.MaxTime, nullptr, 5, false }, { L"ShowIcon", &settings.ShowIcon, nullptr, 1, true },
    { L"ShowITime", &settings.ShowITime, nullptr, 1, true }, { L"Silenced", &settings.Silenced, nullptr, 0, true },
    { L"Chime", &settings.Chime, nullptr, 0, true }, { L"ChimeSound", nullptr, settings.ChimeSound, 0, false },
    { L"ChimeHandle", &settings.ChimeHandle, nullptr, 0, false }, { L"Countdown", &settings.Countdown, nullptr, 0, true },
    { L"CountdownTime", &settings.CountdownTime, nullptr, 0, false }, { L"CDFTLow", &settings.CDFTLow, nullptr, 0, false },
    { L"CDFTHigh", &settings.CDFTHigh, nullptr, 0, false }, { L"CountdownSound", nullptr, settings.CountdownSound, 0, false },
    { L"CountdownHandle", &settings.CountdownHandle, nullptr, 0, false },
    { L"CountdownKeepAwake", &settings.CountdownKeepAwake, nullptr, 0, true },
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override { ResetProgramRegistry(); }

    static bool KeyExists()
    {
        HKEY key;
        return RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_PATH, 0, KEY_READ, &key) == ERROR_SUCCESS
            && RegCloseKey(key) == ERROR_SUCCESS;
    }
};

TEST_F(Settings, FirstRunCreatesTheKeyWithEveryDefaultAndTheInstallDirectoryFound)
{
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    EXPECT_TRUE(KeyExists());
    EXPECT_TRUE(ValueNames(SETTINGS_PATH).empty());
    for (const Value& v : kValues)
        EXPECT_TRUE(v.text ? v.text[0] == L'\0' : v.number == &settings.TwentyFourHourTime || *v.number == v.firstRun)
            << v.name;
    // None written by an installer: the program's own folder.
    EXPECT_EQ(ProgramPath(L""), settings.installDirectory + std::wstring(L"\\"));

    // The install directory: InstlDir before InstallDir, unless it cannot be
    // read (too long).
    // Written as the device writes it, rooted, it means the system drive.
    wchar_t windowsDir[MAX_PATH];
    GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    WriteText(INSTALL_PATH, L"InstallDir", L"D:\\Second");
    for (const auto& [stored, found] : { std::pair<std::wstring, std::wstring>(L"D:\\First", L"D:\\First"),
                                         { std::wstring(300, L'x'), L"D:\\Second" },
                                         { L"\\Program Files\\Wakeloom", std::wstring(windowsDir, 2) + L"\\Program Files\\Wakeloom" } }) {
        WriteText(INSTALL_PATH, L"InstlDir", stored);
        FindInstallDirectory();
        EXPECT_EQ(found, settings.installDirectory);
    }
}

TEST_F(Settings, EveryValueLoadsFlagsAsZeroOrOneAFullSaveWritesItBackAndWhatDoesNotFitIsNotTaken)
{
    auto text = [](const Value& v) { return std::wstring(L"\\t\\") + v.name; };
    auto numberOf = [](const Value& v) { return 1000 + static_cast<DWORD>(&v - kValues); };
    for (const Value& v : kValues) {
        if (v.text != nullptr)
            WriteText(SETTINGS_PATH, v.name, text(v));
        else
            WriteDword(SETTINGS_PATH, v.name, numberOf(v));
    }
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    // Saved into an emptied key, so that every value must be written.
    for (const std::wstring& name : ValueNames(SETTINGS_PATH))
        RegDeleteKeyValueW(HKEY_CURRENT_USER, SETTINGS_PATH, name.c_str());
    EXPECT_EQ(ERROR_SUCCESS, SaveSettings());
    for (const Value& v : kValues) {
        if (v.text != nullptr) {
            EXPECT_EQ(text(v), v.text);
            EXPECT_STORED(SETTINGS_PATH, v.name, text(v));
        } else {
            EXPECT_EQ(v.flag ? 1 : numberOf(v), *v.number) << v.name;
            EXPECT_STORED(SETTINGS_PATH, v.name, v.flag ? 1 : numberOf(v));
        }
    }
    EXPECT_EQ(std::size(kValues), ValueNames(SETTINGS_PATH).size());

    // Values that do not fit their field keep the default.
    // 259 units and the terminator fill a text; one more does not fit. A
    // text stored without its terminator is terminated.
    WriteText(SETTINGS_PATH, L"SleepPath", std::wstring(259, L's'));
    WriteText(SETTINGS_PATH, L"ChimeSound", std::wstring(259, L'c'), false);
    WriteText(SETTINGS_PATH, L"CountdownSound", std::wstring(260, L'd'));
    LoadSettings();
    EXPECT_EQ(std::wstring(259, L's'), settings.SleepPath);
    EXPECT_EQ(std::wstring(259, L'c'), settings.ChimeSound);
    EXPECT_STREQ(L"", settings.CountdownSound);

    // Values of another type or size; only a 4-byte binary value is taken,
    // as an unambiguous number.
    WriteText(SETTINGS_PATH, L"SnoozeTime", L"30");
    WORD shortValue = 9;
    WriteRawValue(HKEY_CURRENT_USER, SETTINGS_PATH, L"MaxTime", REG_DWORD, &shortValue, 2);
    ULONGLONG wideValue = 3;
    WriteRawValue(HKEY_CURRENT_USER, SETTINGS_PATH, L"SleepTime", REG_QWORD, &wideValue, 8);
    DWORD number = 0x00410041;   // "AA" if taken as text
    WriteRawValue(HKEY_CURRENT_USER, SETTINGS_PATH, L"ChimeSound", REG_DWORD, &number, 4);
    WriteRawValue(HKEY_CURRENT_USER, SETTINGS_PATH, L"SleepPath", REG_BINARY, L"abc", 8);
    DWORD binaryNumber = 42;
    WriteRawValue(HKEY_CURRENT_USER, SETTINGS_PATH, L"CountdownTime", REG_BINARY, &binaryNumber, 4);
    LoadSettings();
    EXPECT_EQ(15u, settings.SnoozeTime);
    EXPECT_EQ(5u, settings.MaxTime);
    // No snooze or ring time at all would ring again, or stop, at once.
    WriteDword(SETTINGS_PATH, L"SnoozeTime", 0);
    WriteDword(SETTINGS_PATH, L"MaxTime", 0);
    LoadSettings();
    EXPECT_EQ(5u, settings.SnoozeTime);
    EXPECT_EQ(5u, settings.MaxTime);
    EXPECT_EQ(60u, settings.SleepTime);
    EXPECT_STREQ(L"", settings.ChimeSound);
    EXPECT_STREQ(L"", settings.SleepPath);
    EXPECT_EQ(42u, settings.CountdownTime);
}

TEST_F(Settings, PartialSavesWriteOnlyTheirOwnValuesNoSaveCreatesTheKeyAndTheChimeHandleReloadsAlone)
{
    const std::pair<LONG (*)(), std::vector<std::wstring>> cases[] = {
        { SaveChimeSettings, { L"Chime", L"ChimeHandle", L"ChimeSound" } },
        { SaveCountdownSettings, { L"CDFTHigh", L"CDFTLow", L"Countdown", L"CountdownHandle",
                                   L"CountdownKeepAwake", L"CountdownSound", L"CountdownTime" } },
    };
    for (const auto& [save, names] : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_PATH);
        LoadSettings();
        settings.CountdownHandle = 9;
        EXPECT_EQ(ERROR_SUCCESS, save());
        EXPECT_EQ(names, ValueNames(SETTINGS_PATH));
    }
    EXPECT_STORED(SETTINGS_PATH, L"CountdownHandle", 9u);
    // Only the load makes the key.
    RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_PATH);
    for (LONG (*save)() : { SaveSettings, SaveChimeSettings, SaveCountdownSettings })
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, save());
    EXPECT_FALSE(KeyExists());

    // The chime's handle is reloaded alone.
    LoadSettings();
    WriteDword(SETTINGS_PATH, L"ChimeHandle", 1234);
    WriteDword(SETTINGS_PATH, L"Chime", 1);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, settings.ChimeHandle);
    EXPECT_EQ(0u, settings.Chime);
    // A missing value leaves the handle as it was; a missing key is created.
    RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_PATH);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, settings.ChimeHandle);
    EXPECT_TRUE(KeyExists());
}
