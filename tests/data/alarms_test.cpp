#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "alarms.h"
#include "testsupport.h"

namespace {

const wchar_t* const kAlarmsKey = L"Software\\Hazelmere\\Wakeloom\\Alarms";

std::wstring AlarmKey(int i)
{
    return std::wstring(kAlarmsKey) + L"\\" + std::to_wstring(i);
}

std::wstring DisplayName(int i)
{
    wchar_t name[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(i, name, ARRAYSIZE(name));
    return name;
}

class AlarmRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramRegistry();
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
    }
    void TearDown() override
    {
        FreeAlarms();
        ResetProgramRegistry();
    }
};

} // namespace

TEST_F(AlarmRecords, FirstRunGivesTenDefaultAlarms)
{
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    for (int i = 0; i < ALARM_COUNT; i++) {
        SCOPED_TRACE(i);
        const Alarm* a = alarms[i];
        EXPECT_EQ(0u, a->AlarmHandle);
        EXPECT_EQ(0u, a->AlarmOn);
        EXPECT_EQ(7u, a->AThour);
        EXPECT_EQ(0u, a->ATmin);
        EXPECT_STREQ(L"buzz.wav", a->AlarmSound);
        EXPECT_EQ(0u, a->UseSystemVol);
        EXPECT_EQ(8u, a->Volume);
        EXPECT_EQ(127u, a->Days);
        EXPECT_STREQ(L"Untitled", a->AlarmName);
        EXPECT_EQ(L"Alarm " + std::to_wstring(i + 1), DisplayName(i));
    }
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAlarmsKey, 0, KEY_READ, &key));
    RegCloseKey(key);
}

TEST_F(AlarmRecords, DisplayNameRule)
{
    wcscpy(alarms[0]->AlarmName, L"untitled");
    wcscpy(alarms[1]->AlarmName, L"Untitled");
    wcscpy(alarms[2]->AlarmName, L"");
    wcscpy(alarms[3]->AlarmName, L"Work");
    EXPECT_EQ(L"untitled", DisplayName(0));
    EXPECT_EQ(L"Alarm 2", DisplayName(1));
    EXPECT_EQ(L"Alarm 3", DisplayName(2));
    EXPECT_EQ(L"Work", DisplayName(3));
    EXPECT_EQ(L"Alarm 10", DisplayName(9));

    // A buffer too small for the name is cut, never overrun.
    wchar_t small[4] = { L'x', L'x', L'x', L'x' };
    AlarmDisplayName(3, small, 3);
    EXPECT_STREQ(L"Wo", small);
    EXPECT_EQ(L'x', small[3]);
}

TEST_F(AlarmRecords, LoadNormalisesFlagsAndTakesNumbersAsStored)
{
    std::wstring key = AlarmKey(4);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmOn", 5);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"UseSystemVol", 3);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"Days", 0);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"AThour", 30);  // taken as stored
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"ATmin", 45);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"Volume", 3);
    WriteDword(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmHandle", 0xABCD);
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmSound", L"\\My Documents\\wake.mp3");
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmName", L"Work");
    LoadAlarms();

    const Alarm* a = alarms[4];
    EXPECT_EQ(1u, a->AlarmOn);
    EXPECT_EQ(1u, a->UseSystemVol);
    EXPECT_EQ(0u, a->Days);
    EXPECT_EQ(30u, a->AThour);
    EXPECT_EQ(45u, a->ATmin);
    EXPECT_EQ(3u, a->Volume);
    EXPECT_EQ(0xABCDu, a->AlarmHandle);
    EXPECT_STREQ(L"\\My Documents\\wake.mp3", a->AlarmSound);
    EXPECT_EQ(L"Work", DisplayName(4));
    // Its neighbours are untouched.
    EXPECT_EQ(0u, alarms[3]->AlarmOn);
    EXPECT_EQ(127u, alarms[5]->Days);
}

TEST_F(AlarmRecords, OverlongTextsAreNotLoaded)
{
    std::wstring key = AlarmKey(1);
    // AlarmName: 80 bytes, so 39 units and terminator fit; AlarmSound: 255 bytes.
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmName", std::wstring(40, L'n'));
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmSound", std::wstring(127, L's'));
    wcscpy(alarms[1]->AlarmName, L"Previous");
    LoadAlarms();
    EXPECT_STREQ(L"Previous", alarms[1]->AlarmName);
    EXPECT_STREQ(L"buzz.wav", alarms[1]->AlarmSound);

    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmName", std::wstring(39, L'n'));
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmSound", std::wstring(126, L's'));
    LoadAlarms();
    EXPECT_EQ(std::wstring(39, L'n'), alarms[1]->AlarmName);
    EXPECT_EQ(std::wstring(126, L's'), alarms[1]->AlarmSound);

    // A name stored without its terminator is terminated on load.
    WriteText(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmName", std::wstring(39, L'm'), false);
    LoadAlarms();
    EXPECT_EQ(std::wstring(39, L'm'), alarms[1]->AlarmName);
}

TEST_F(AlarmRecords, ReloadOverwritesOnlyStoredValues)
{
    alarms[2]->AThour = 6;
    alarms[2]->ATmin = 30;
    wcscpy(alarms[2]->AlarmName, L"Gym");
    WriteDword(HKEY_LOCAL_MACHINE, AlarmKey(2).c_str(), L"ATmin", 15);
    WriteText(HKEY_LOCAL_MACHINE, AlarmKey(2).c_str(), L"AlarmName", L"Swim");
    WriteText(HKEY_LOCAL_MACHINE, AlarmKey(2).c_str(), L"AThour", L"9");  // wrong type
    LoadAlarms();
    EXPECT_EQ(6u, alarms[2]->AThour);
    EXPECT_EQ(15u, alarms[2]->ATmin);
    EXPECT_STREQ(L"Swim", alarms[2]->AlarmName);
}

TEST_F(AlarmRecords, SaveAlarmWritesNineValuesWithTypesAndSizes)
{
    Alarm* a = alarms[3];
    a->AlarmOn = 1;
    a->AThour = 6;
    a->ATmin = 45;
    wcscpy(a->AlarmSound, L"\\Storage Card\\x.ogg");
    wcscpy(a->AlarmName, L"Early");
    a->UseSystemVol = 1;
    a->Volume = 10;
    a->Days = 62;
    a->AlarmHandle = 99;
    EXPECT_EQ(ERROR_SUCCESS, SaveAlarm(3));

    std::vector<std::wstring> names = ValueNames(HKEY_LOCAL_MACHINE, AlarmKey(3).c_str());
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = { L"AlarmOn", L"AThour", L"ATmin", L"AlarmSound",
                                           L"AlarmName", L"UseSystemVol", L"Volume", L"Days",
                                           L"AlarmHandle" };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);

    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, AlarmKey(3).c_str(), L"Days", &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    ASSERT_EQ(4u, data.size());
    EXPECT_EQ(62, data[0]);
    ASSERT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, AlarmKey(3).c_str(), L"AlarmName", &type,
                             &data));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(12u, data.size());  // "Early" and its terminator
    ASSERT_TRUE(ReadRawValue(HKEY_LOCAL_MACHINE, AlarmKey(3).c_str(), L"AlarmSound", &type,
                             &data));
    EXPECT_EQ((wcslen(L"\\Storage Card\\x.ogg") + 1) * 2, data.size());
    // Only the one record was written.
    EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE, AlarmKey(2).c_str()).empty());

    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(10));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(-1));
}

TEST_F(AlarmRecords, SaveAllThenLoadAllRoundTrips)
{
    for (int i = 0; i < ALARM_COUNT; i++) {
        alarms[i]->AThour = static_cast<DWORD>(i + 1);
        alarms[i]->Days = static_cast<DWORD>(1 << (i % 7));
        swprintf(alarms[i]->AlarmName, ALARM_NAME_UNITS, L"Name %d", i);
    }
    EXPECT_EQ(ERROR_SUCCESS, SaveAlarms());
    InitAlarmDefaults();
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    for (int i = 0; i < ALARM_COUNT; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<DWORD>(i + 1), alarms[i]->AThour);
        EXPECT_EQ(static_cast<DWORD>(1 << (i % 7)), alarms[i]->Days);
        EXPECT_EQ(L"Name " + std::to_wstring(i), alarms[i]->AlarmName);
    }
}

TEST_F(AlarmRecords, StoredHandleIsTheAuthoritativeCopy)
{
    Alarm record = *alarms[6];
    record.AlarmHandle = 5;
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(5u, record.AlarmHandle);  // nothing stored: left alone

    WriteDword(HKEY_LOCAL_MACHINE, AlarmKey(6).c_str(), L"AlarmHandle", 4242);
    WriteDword(HKEY_LOCAL_MACHINE, AlarmKey(6).c_str(), L"AThour", 22);
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(4242u, record.AlarmHandle);
    EXPECT_EQ(7u, record.AThour);

    EXPECT_EQ(ERROR_INVALID_PARAMETER, LoadAlarmHandle(12, &record));
}

TEST_F(AlarmRecords, FreeAlarmsEmptiesTheTable)
{
    FreeAlarms();
    for (Alarm* a : alarms)
        EXPECT_EQ(nullptr, a);
    // Nothing to load into or save from, and nothing breaks.
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(0));
    EXPECT_EQ(L"Alarm 1", DisplayName(0));
    ASSERT_TRUE(AllocateAlarms());
}
