#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "settings.h"
#include "testsupport.h"

namespace {

const wchar_t* const kKey = L"Software\\Hazelmere\\Wakeloom";
const wchar_t* const kInstallKey = L"Software\\Apps\\Hazelmere Software Wakeloom";

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override { ResetProgramRegistry(); }

    static DWORD StoredDword(const wchar_t* name)
    {
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, kKey, name, &type, &data)) << name;
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << name;
        EXPECT_EQ(4u, data.size()) << name;
        DWORD value = 0;
        memcpy(&value, data.data(), std::min<size_t>(4, data.size()));
        return value;
    }

    static std::wstring StoredText(const wchar_t* name)
    {
        DWORD type = 0;
        std::vector<BYTE> data;
        EXPECT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, kKey, name, &type, &data)) << name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type) << name;
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        // Stored with exactly one terminator: (length + 1) * 2 bytes.
        EXPECT_FALSE(text.empty()) << name;
        if (!text.empty()) {
            EXPECT_EQ(L'\0', text.back()) << name;
            text.pop_back();
        }
        EXPECT_EQ(std::wstring::npos, text.find(L'\0')) << name;
        return text;
    }

    static std::vector<std::wstring> SortedNames()
    {
        std::vector<std::wstring> names = ValueNames(HKEY_LOCAL_MACHINE, kKey);
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::vector<std::wstring> Sorted(std::vector<std::wstring> names)
    {
        std::sort(names.begin(), names.end());
        return names;
    }
};

bool SetLocaleTimeFormat(const wchar_t* iTime)
{
    return SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, iTime) != 0;
}

} // namespace

TEST_F(Settings, FirstRunCreatesTheKeyWithEveryDefault)
{
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());

    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE, kKey).empty());

    EXPECT_EQ(15u, SnoozeTime);
    EXPECT_EQ(60u, SleepTime);
    EXPECT_EQ(0u, SleepPathType);
    EXPECT_STREQ(L"", SleepPath);
    EXPECT_EQ(1u, TimedSleep);
    EXPECT_EQ(5u, MaxTime);
    EXPECT_EQ(1u, ShowIcon);
    EXPECT_EQ(1u, ShowITime);
    EXPECT_EQ(0u, Silenced);
    EXPECT_EQ(0u, Chime);
    EXPECT_STREQ(L"", ChimeSound);
    EXPECT_EQ(0u, ChimeHandle);
    EXPECT_EQ(0u, Countdown);
    EXPECT_EQ(0u, CountdownTime);
    EXPECT_EQ(0u, CDFTLow);
    EXPECT_EQ(0u, CDFTHigh);
    EXPECT_STREQ(L"", CountdownSound);
    EXPECT_EQ(0u, CountdownHandle);
    EXPECT_EQ(0u, CountdownKeepAwake);
    EXPECT_STREQ(L"", installDirectory);
}

TEST_F(Settings, TwentyFourHourDefaultFollowsTheLocale)
{
    wchar_t saved[8] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, saved, ARRAYSIZE(saved));

    ASSERT_TRUE(SetLocaleTimeFormat(L"1"));
    LoadSettings();
    EXPECT_EQ(1u, TwentyFourHourTime);

    SetLocaleTimeFormat(L"0");
    LoadSettings();
    EXPECT_EQ(0u, TwentyFourHourTime);

    // A stored value wins over the locale.
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"24HourTime", 9);
    LoadSettings();
    EXPECT_EQ(1u, TwentyFourHourTime);

    SetLocaleTimeFormat(saved);
}

TEST_F(Settings, FlagsBecomeZeroOrOneAndNumbersStayAsStored)
{
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"Chime", 7);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"TimedSleep", 0);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"Silenced", 0x80000000);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"CountdownKeepAwake", 2);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"MaxTime", 7);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"SnoozeTime", 0);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"SleepPathType", 2);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"CDFTHigh", 0xDEADBEEF);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"ChimeHandle", 0x12345678);
    LoadSettings();
    EXPECT_EQ(1u, Chime);
    EXPECT_EQ(0u, TimedSleep);
    EXPECT_EQ(1u, Silenced);
    EXPECT_EQ(1u, CountdownKeepAwake);
    EXPECT_EQ(7u, MaxTime);
    EXPECT_EQ(0u, SnoozeTime);  // corrected to 5 only by the snooze dialog
    EXPECT_EQ(2u, SleepPathType);
    EXPECT_EQ(0xDEADBEEFu, CDFTHigh);
    EXPECT_EQ(0x12345678u, ChimeHandle);
    // Absent values keep their defaults.
    EXPECT_EQ(60u, SleepTime);
    EXPECT_EQ(1u, ShowIcon);
}

TEST_F(Settings, TextsLongerThanTheirReadLimitAreNotLoaded)
{
    // ChimeSound and CountdownSound: 255 bytes, so 126 units and terminator fit.
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"ChimeSound", std::wstring(127, L'c'));
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"CountdownSound", std::wstring(126, L'd'));
    // SleepPath: 260 bytes, so 129 units and terminator fit.
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"SleepPath", std::wstring(130, L's'));
    LoadSettings();
    EXPECT_STREQ(L"", ChimeSound);
    EXPECT_EQ(std::wstring(126, L'd'), CountdownSound);
    EXPECT_STREQ(L"", SleepPath);

    WriteText(HKEY_LOCAL_MACHINE, kKey, L"SleepPath", std::wstring(129, L's'));
    LoadSettings();
    EXPECT_EQ(std::wstring(129, L's'), SleepPath);
}

TEST_F(Settings, TextStoredWithoutTerminatorIsTerminated)
{
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"ChimeSound", L"\\My Documents\\bell.mp3", false);
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"SleepPath", std::wstring(129, L'p'), false);
    LoadSettings();
    EXPECT_STREQ(L"\\My Documents\\bell.mp3", ChimeSound);
    EXPECT_EQ(std::wstring(129, L'p'), SleepPath);
}

TEST_F(Settings, ValuesOfTheWrongTypeOrSizeKeepTheDefault)
{
    WriteText(HKEY_LOCAL_MACHINE, kKey, L"SnoozeTime", L"30");
    WORD shortValue = 9;
    WriteRawValue(HKEY_LOCAL_MACHINE, kKey, L"MaxTime", REG_DWORD, &shortValue, 2);
    ULONGLONG wideValue = 3;
    WriteRawValue(HKEY_LOCAL_MACHINE, kKey, L"SleepTime", REG_QWORD, &wideValue, 8);
    DWORD number = 0x00410041;  // "AA" if taken as text
    WriteRawValue(HKEY_LOCAL_MACHINE, kKey, L"ChimeSound", REG_DWORD, &number, 4);
    WriteRawValue(HKEY_LOCAL_MACHINE, kKey, L"SleepPath", REG_BINARY, L"abc", 8);
    // A 4-byte binary value is an unambiguous number and is taken.
    DWORD binaryNumber = 42;
    WriteRawValue(HKEY_LOCAL_MACHINE, kKey, L"CountdownTime", REG_BINARY, &binaryNumber, 4);
    LoadSettings();
    EXPECT_EQ(15u, SnoozeTime);
    EXPECT_EQ(5u, MaxTime);
    EXPECT_EQ(60u, SleepTime);
    EXPECT_STREQ(L"", ChimeSound);
    EXPECT_STREQ(L"", SleepPath);
    EXPECT_EQ(42u, CountdownTime);
}

TEST_F(Settings, FullSaveWritesEveryValueWithItsTypeAndSize)
{
    LoadSettings();
    TwentyFourHourTime = 1;
    SnoozeTime = 20;
    SleepTime = 45;
    SleepPathType = 1;
    wcscpy(SleepPath, L"\\My Documents\\night.asx");
    TimedSleep = 0;
    MaxTime = 10;
    ShowIcon = 0;
    ShowITime = 0;
    Silenced = 1;
    Chime = 1;
    wcscpy(ChimeSound, L"CBell.wav");
    ChimeHandle = 77;
    Countdown = 1;
    CountdownTime = 25;
    CDFTLow = 0x89ABCDEF;
    CDFTHigh = 0x01D00000;
    CountdownSound[0] = L'\0';
    CountdownHandle = 78;
    CountdownKeepAwake = 1;
    EXPECT_EQ(ERROR_SUCCESS, SaveSettings());

    EXPECT_EQ(Sorted({ L"24HourTime", L"SnoozeTime", L"SleepTime", L"SleepPathType",
                       L"SleepPath", L"TimedSleep", L"MaxTime", L"ShowIcon", L"Silenced",
                       L"Chime", L"ChimeSound", L"ChimeHandle", L"Countdown", L"CountdownTime",
                       L"CDFTLow", L"CDFTHigh", L"CountdownSound", L"CountdownHandle",
                       L"CountdownKeepAwake", L"ShowITime" }),
              SortedNames());
    EXPECT_EQ(1u, StoredDword(L"24HourTime"));
    EXPECT_EQ(20u, StoredDword(L"SnoozeTime"));
    EXPECT_EQ(45u, StoredDword(L"SleepTime"));
    EXPECT_EQ(1u, StoredDword(L"SleepPathType"));
    EXPECT_EQ(L"\\My Documents\\night.asx", StoredText(L"SleepPath"));
    EXPECT_EQ(0u, StoredDword(L"TimedSleep"));
    EXPECT_EQ(10u, StoredDword(L"MaxTime"));
    EXPECT_EQ(0u, StoredDword(L"ShowIcon"));
    EXPECT_EQ(0u, StoredDword(L"ShowITime"));
    EXPECT_EQ(1u, StoredDword(L"Silenced"));
    EXPECT_EQ(1u, StoredDword(L"Chime"));
    EXPECT_EQ(L"CBell.wav", StoredText(L"ChimeSound"));
    EXPECT_EQ(77u, StoredDword(L"ChimeHandle"));
    EXPECT_EQ(1u, StoredDword(L"Countdown"));
    EXPECT_EQ(25u, StoredDword(L"CountdownTime"));
    EXPECT_EQ(0x89ABCDEFu, StoredDword(L"CDFTLow"));
    EXPECT_EQ(0x01D00000u, StoredDword(L"CDFTHigh"));
    EXPECT_EQ(L"", StoredText(L"CountdownSound"));
    EXPECT_EQ(78u, StoredDword(L"CountdownHandle"));
    EXPECT_EQ(1u, StoredDword(L"CountdownKeepAwake"));

    // What was saved loads back unchanged.
    FindInstallDirectory();
    EXPECT_EQ(ERROR_SUCCESS, LoadSettings());
    EXPECT_EQ(45u, SleepTime);
    EXPECT_STREQ(L"\\My Documents\\night.asx", SleepPath);
    EXPECT_EQ(0x89ABCDEFu, CDFTLow);
    EXPECT_EQ(78u, CountdownHandle);
    EXPECT_EQ(0u, ShowITime);
}

TEST_F(Settings, PartialSavesWriteOnlyTheirOwnValues)
{
    LoadSettings();
    Chime = 1;
    wcscpy(ChimeSound, L"\\Storage Card\\dong.ogg");
    ChimeHandle = 5;
    EXPECT_EQ(ERROR_SUCCESS, SaveChimeSettings());
    EXPECT_EQ(Sorted({ L"Chime", L"ChimeSound", L"ChimeHandle" }), SortedNames());
    EXPECT_EQ(L"\\Storage Card\\dong.ogg", StoredText(L"ChimeSound"));
    EXPECT_EQ(5u, StoredDword(L"ChimeHandle"));

    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
    LoadSettings();
    Countdown = 1;
    CountdownTime = 3;
    CountdownHandle = 9;
    EXPECT_EQ(ERROR_SUCCESS, SaveCountdownSettings());
    EXPECT_EQ(Sorted({ L"Countdown", L"CountdownTime", L"CDFTLow", L"CDFTHigh",
                       L"CountdownSound", L"CountdownHandle", L"CountdownKeepAwake" }),
              SortedNames());
    EXPECT_EQ(3u, StoredDword(L"CountdownTime"));
    EXPECT_EQ(9u, StoredDword(L"CountdownHandle"));
}

TEST_F(Settings, SavesNeverCreateTheKeyNorWriteTheInstallDirectory)
{
    WriteText(HKEY_LOCAL_MACHINE, kInstallKey, L"InstlDir", L"C:\\Program Files\\Wakeloom");
    LoadSettings();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveSettings());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveChimeSettings());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SaveCountdownSettings());
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));

    LoadSettings();
    SaveSettings();
    for (const std::wstring& name : ValueNames(HKEY_LOCAL_MACHINE, kKey))
        EXPECT_EQ(std::wstring::npos, name.find(L"Dir")) << name;
    EXPECT_EQ((std::vector<std::wstring>{ L"InstlDir" }),
              ValueNames(HKEY_LOCAL_MACHINE, kInstallKey));
}

TEST_F(Settings, ReloadChimeHandleReadsThatValueAlone)
{
    LoadSettings();
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"ChimeHandle", 1234);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"Chime", 1);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, ChimeHandle);
    EXPECT_EQ(0u, Chime);

    // A missing value leaves the handle as it was; a missing key is created.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_EQ(ERROR_SUCCESS, ReloadChimeHandle());
    EXPECT_EQ(1234u, ChimeHandle);
    HKEY key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key));
    RegCloseKey(key);
}

TEST_F(Settings, InstallDirectoryPrefersInstlDirThenInstallDir)
{
    FindInstallDirectory();
    EXPECT_STREQ(L"", installDirectory);

    WriteText(HKEY_LOCAL_MACHINE, kInstallKey, L"InstallDir", L"D:\\Second");
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\Second", installDirectory);

    WriteText(HKEY_LOCAL_MACHINE, kInstallKey, L"InstlDir", L"D:\\First");
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\First", installDirectory);

    // An InstlDir that cannot be read (too long) falls back to InstallDir.
    WriteText(HKEY_LOCAL_MACHINE, kInstallKey, L"InstlDir", std::wstring(300, L'x'));
    FindInstallDirectory();
    EXPECT_STREQ(L"D:\\Second", installDirectory);

    wchar_t path[MAX_PATH];
    ASSERT_TRUE(DefaultSoundPath(DEFAULT_CHIME_SOUND, path, MAX_PATH));
    EXPECT_STREQ(L"D:\\Second\\sounds\\CBell.wav", path);
}

TEST_F(Settings, DeviceStyleInstallDirectoryIsOnTheSystemDrive)
{
    WriteText(HKEY_LOCAL_MACHINE, kInstallKey, L"InstlDir", L"\\Program Files\\Wakeloom");
    FindInstallDirectory();
    wchar_t windowsDir[MAX_PATH];
    GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    EXPECT_EQ(std::wstring(windowsDir, 2) + L"\\Program Files\\Wakeloom", installDirectory);
}
