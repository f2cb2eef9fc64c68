// The ten Alarm records in the real registry.
#include <gtest/gtest.h>

#include <string>

#include "alarms.h"
#include "testsupport.h"

namespace {

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
}

TEST_F(AlarmRecords, DisplayNameRule)
{
    const wchar_t* names[4] = { L"untitled", L"Untitled", L"", L"Work" };
    for (int i = 0; i < 4; i++)
        wcscpy(alarms[i]->AlarmName, names[i]);
    EXPECT_EQ(L"untitled", DisplayName(0));
    EXPECT_EQ(L"Alarm 2", DisplayName(1));
    EXPECT_EQ(L"Alarm 3", DisplayName(2));
    EXPECT_EQ(L"Work", DisplayName(3));
    // A buffer too small for the name is cut, never overrun.
    wchar_t small[4] = { L'x', L'x', L'x', L'x' };
    AlarmDisplayName(3, small, 3);
    EXPECT_STREQ(L"Wo", small);
    EXPECT_EQ(L'x', small[3]);
}

TEST_F(AlarmRecords, LoadNormalisesFlagsAndTakesTheRestAsStored)
{
    std::wstring key = AlarmKeyPath(4);
    WriteDword(key.c_str(), L"AlarmOn", 5);
    WriteDword(key.c_str(), L"UseSystemVol", 3);
    WriteDword(key.c_str(), L"Days", 0);
    WriteDword(key.c_str(), L"AThour", 30);
    WriteDword(key.c_str(), L"Volume", 3);
    WriteDword(key.c_str(), L"AlarmHandle", 0xABCD);
    WriteText(key.c_str(), L"ATmin", L"9");  // wrong type: not taken
    WriteText(key.c_str(), L"AlarmSound", L"\\My Documents\\wake.mp3");
    LoadAlarms();
    const Alarm* a = alarms[4];
    EXPECT_EQ(1u, a->AlarmOn);
    EXPECT_EQ(1u, a->UseSystemVol);
    EXPECT_EQ(0u, a->Days);
    EXPECT_EQ(30u, a->AThour);
    EXPECT_EQ(0u, a->ATmin);
    EXPECT_EQ(3u, a->Volume);
    EXPECT_EQ(0xABCDu, a->AlarmHandle);
    EXPECT_STREQ(L"\\My Documents\\wake.mp3", a->AlarmSound);
    EXPECT_STREQ(L"Untitled", a->AlarmName);  // not stored: kept
    EXPECT_EQ(0u, alarms[3]->AlarmOn);
}

TEST_F(AlarmRecords, TextsLoadUpToTheirFieldSize)
{
    // What the Set Alarms dialog saves must load at the next start: names up
    // to 81 units, sounds up to 261.
    struct Case {
        const wchar_t* name;
        size_t fits;
        WCHAR* field;
    };
    const Case cases[] = { { L"AlarmName", ALARM_NAME_UNITS - 1, alarms[1]->AlarmName },
                           { L"AlarmSound", ALARM_SOUND_UNITS - 1, alarms[1]->AlarmSound } };
    for (const Case& c : cases) {
        WriteText(AlarmKeyPath(1).c_str(), c.name, std::wstring(c.fits, L'n'));
        LoadAlarms();
        EXPECT_EQ(std::wstring(c.fits, L'n'), c.field) << c.name;
        WriteText(AlarmKeyPath(1).c_str(), c.name, std::wstring(c.fits + 1, L'o'));
        LoadAlarms();
        EXPECT_EQ(std::wstring(c.fits, L'n'), c.field) << c.name;  // the previous stays
        WriteText(AlarmKeyPath(1).c_str(), c.name, std::wstring(c.fits, L'm'), false);
        LoadAlarms();
        EXPECT_EQ(std::wstring(c.fits, L'm'), c.field) << c.name;
    }
}

TEST_F(AlarmRecords, SaveAlarmWritesItsNineValuesAndThenLoadsBack)
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
    std::wstring key = AlarmKeyPath(3);
    EXPECT_EQ(9u, ValueNames(key.c_str()).size());
    EXPECT_STORED(key.c_str(), L"AlarmOn", 1u);
    EXPECT_STORED(key.c_str(), L"AThour", 6u);
    EXPECT_STORED(key.c_str(), L"ATmin", 45u);
    EXPECT_STORED(key.c_str(), L"AlarmSound", std::wstring(L"\\Storage Card\\x.ogg"));
    EXPECT_STORED(key.c_str(), L"AlarmName", std::wstring(L"Early"));
    EXPECT_STORED(key.c_str(), L"UseSystemVol", 1u);
    EXPECT_STORED(key.c_str(), L"Volume", 10u);
    EXPECT_STORED(key.c_str(), L"Days", 62u);
    EXPECT_STORED(key.c_str(), L"AlarmHandle", 99u);
    EXPECT_TRUE(ValueNames(AlarmKeyPath(2).c_str()).empty());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(10));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(-1));

    for (int i = 0; i < ALARM_COUNT; i++)
        swprintf(alarms[i]->AlarmName, ALARM_NAME_UNITS, L"Name %d", i);
    EXPECT_EQ(ERROR_SUCCESS, SaveAlarms());
    InitAlarmDefaults();
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    EXPECT_EQ(62u, alarms[3]->Days);
    for (int i = 0; i < ALARM_COUNT; i++)
        EXPECT_EQ(L"Name " + std::to_wstring(i), alarms[i]->AlarmName);
}

TEST_F(AlarmRecords, StoredHandleIsTheAuthoritativeCopy)
{
    Alarm record = *alarms[6];
    record.AlarmHandle = 5;
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(5u, record.AlarmHandle);  // nothing stored: left alone
    WriteDword(AlarmKeyPath(6).c_str(), L"AlarmHandle", 4242);
    WriteDword(AlarmKeyPath(6).c_str(), L"AThour", 22);
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(4242u, record.AlarmHandle);
    EXPECT_EQ(7u, record.AThour);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, LoadAlarmHandle(12, &record));
}

TEST_F(AlarmRecords, FreedTableIsSafeToUse)
{
    FreeAlarms();
    EXPECT_EQ(nullptr, alarms[0]);
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(0));
    EXPECT_EQ(L"Alarm 1", DisplayName(0));
}
