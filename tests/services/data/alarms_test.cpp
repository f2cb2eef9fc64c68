// The ten Alarm records in the real registry.
#include <gtest/gtest.h>

#include <string>

#include "alarmname.h"
#include "alarms.h"
#include "testsupport.h"

static std::wstring DisplayName(int i)
{
    wchar_t name[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(i, name, ARRAYSIZE(name));
    return name;
}

// Every field of a record, in the order they are stored.
static std::wstring Fields(const Alarm& a)
{
    wchar_t text[ALARM_NAME_UNITS + ALARM_SOUND_UNITS + 100];
    swprintf(text, ARRAYSIZE(text),
             L"on %lu %lu:%lu sound %ls name %ls system %lu volume %lu days %lu handle %lu",
             a.AlarmOn, a.AThour, a.ATmin, a.AlarmSound, a.AlarmName, a.UseSystemVol, a.Volume,
             a.Days, a.AlarmHandle);
    return text;
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

TEST_F(AlarmRecords, FirstRunGivesTenDefaultAlarmsShownByNumberUntilNamed)
{
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    for (int i = 0; i < ALARM_COUNT; i++) {
        EXPECT_EQ(L"on 0 7:0 sound buzz.wav name Untitled system 0 volume 8 days 127 handle 0",
                  Fields(*alarms[i])) << i;
        EXPECT_EQ(L"Alarm " + std::to_wstring(i + 1), DisplayName(i));
    }
    // Only that exact spelling of "Untitled" (or no name) shows so.
    wcscpy(alarms[0]->AlarmName, L"untitled");
    wcscpy(alarms[3]->AlarmName, L"Work");
    EXPECT_EQ(L"untitled", DisplayName(0));
    // A buffer too small for the name is cut, never overrun.
    wchar_t small[4] = { L'x', L'x', L'x', L'x' };
    AlarmDisplayName(3, small, 3);
    EXPECT_STREQ(L"Wo", small);
    EXPECT_EQ(L'x', small[3]);
}

TEST_F(AlarmRecords, LoadNormalisesFlagsTakesTextsUpToTheirFieldSizeAndRereadsTheStoredHandleAlone)
{
    std::wstring key = AlarmKeyPath(4);
    // A Volume of 0 (silent) loads as the quietest level.
    for (const auto& [name, value] : { std::pair(L"AlarmOn", 5), { L"UseSystemVol", 3 }, { L"Days", 0 },
                                       { L"AThour", 30 }, { L"Volume", 0 }, { L"AlarmHandle", 4321 } })
        WriteDword(key.c_str(), name, value);
    WriteDword(AlarmKeyPath(3).c_str(), L"ATmin", 60);
    WriteText(key.c_str(), L"ATmin", L"9");   // of the wrong type: not taken
    WriteText(key.c_str(), L"AlarmSound", L"\\My Documents\\wake.mp3");
    LoadAlarms();
    // The name is not stored: it is kept.
    // An hour that does not exist loads as the last one.
    EXPECT_EQ(L"on 1 23:0 sound \\My Documents\\wake.mp3 name Untitled system 1 volume 1 days 0 "
              L"handle 4321", Fields(*alarms[4]));
    EXPECT_EQ(0u, alarms[3]->AlarmOn);
    EXPECT_EQ(59u, alarms[3]->ATmin);

    // What the Set Alarms dialog saves must load at the next start: names up
    // to 81 units, sounds up to 261; one more is not taken.
    for (const auto& [name, field, fits] : { std::tuple(L"AlarmName", alarms[1]->AlarmName, ALARM_NAME_UNITS - 1),
                                             { L"AlarmSound", alarms[1]->AlarmSound, ALARM_SOUND_UNITS - 1 } }) {
        for (const std::wstring& text : { std::wstring(fits, L'n'), std::wstring(fits + 1, L'o') }) {
            WriteText(AlarmKeyPath(1).c_str(), name, text);
            LoadAlarms();
            EXPECT_EQ(std::wstring(fits, L'n'), field) << name;   // one more: the previous stays
        }
    }

    // The stored handle alone is read again, and only when there is one.
    Alarm record = *alarms[6];
    record.AlarmHandle = 5;
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(5u, record.AlarmHandle);   // nothing stored: left alone
    WriteDword(AlarmKeyPath(6).c_str(), L"AlarmHandle", 4242);
    WriteDword(AlarmKeyPath(6).c_str(), L"AThour", 22);
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarmHandle(6, &record));
    EXPECT_EQ(4242u, record.AlarmHandle);
    EXPECT_EQ(7u, record.AThour);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, LoadAlarmHandle(12, &record));
}

// That a save writes the nine values and no others:
// Dialogs.SetAlarmsKeepsEditsAcrossAlarmsAndDoneSavesAllTenAndArmsThem.
TEST_F(AlarmRecords, SaveAlarmWritesItsOwnRecordWhichLoadsBack)
{
    *alarms[3] = { .AlarmHandle = 99, .AlarmOn = 1, .AThour = 6, .ATmin = 45,
                   .AlarmSound = L"\\Storage Card\\x.ogg", .UseSystemVol = 1, .Volume = 10,
                   .Days = 62, .AlarmName = L"Early" };
    std::wstring third = Fields(*alarms[3]);
    EXPECT_EQ(ERROR_SUCCESS, SaveAlarm(3));
    EXPECT_TRUE(ValueNames(AlarmKeyPath(2).c_str()).empty());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(10));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SaveAlarm(-1));
    // Every value loads back as it was (the load reads them by name).
    InitAlarmDefaults();
    EXPECT_EQ(ERROR_SUCCESS, LoadAlarms());
    EXPECT_EQ(third, Fields(*alarms[3]));
}
