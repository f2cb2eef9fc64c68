#include <gtest/gtest.h>

#include "alarms.h"
#include "alarmtime.h"
#include "settings.h"
#include "testsupport.h"

namespace {

// Saturday 5 December 2026 is the reference week: Sunday is the 6th.
SYSTEMTIME At(int day, int hour, int minute, int second = 0, int ms = 0, int month = 12,
              int year = 2026)
{
    return MakeTime(year, month, day, hour, minute, second, ms);
}

void ExpectTime(const SYSTEMTIME& expected, const SYSTEMTIME& actual)
{
    EXPECT_EQ(expected.wYear, actual.wYear);
    EXPECT_EQ(expected.wMonth, actual.wMonth);
    EXPECT_EQ(expected.wDay, actual.wDay);
    EXPECT_EQ(expected.wDayOfWeek, actual.wDayOfWeek);
    EXPECT_EQ(expected.wHour, actual.wHour);
    EXPECT_EQ(expected.wMinute, actual.wMinute);
    EXPECT_EQ(expected.wSecond, actual.wSecond);
    EXPECT_EQ(expected.wMilliseconds, actual.wMilliseconds);
}

class AlarmTime : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
    }
    void TearDown() override { FreeAlarms(); }

    static void Set(int i, DWORD hour, DWORD minute, DWORD days, DWORD on = 1)
    {
        alarms[i]->AThour = hour;
        alarms[i]->ATmin = minute;
        alarms[i]->Days = days;
        alarms[i]->AlarmOn = on;
    }

    static SYSTEMTIME Next(int i, const SYSTEMTIME& now)
    {
        SYSTEMTIME t = NextAlarmTime(i, now);
        AdvanceToAllowedDay(i, &t);
        return t;
    }
};

} // namespace

TEST_F(AlarmTime, StaysTodayWhileItsMinuteIsAhead)
{
    Set(0, 7, 0, 127);
    ExpectTime(At(5, 7, 0), NextAlarmTime(0, At(5, 6, 59, 30, 500)));
    ExpectTime(At(5, 7, 0), NextAlarmTime(0, At(5, 0, 0)));
}

TEST_F(AlarmTime, CurrentMinuteGoesToTomorrow)
{
    Set(0, 7, 0, 127);
    ExpectTime(At(6, 7, 0), NextAlarmTime(0, At(5, 7, 0, 10)));
    ExpectTime(At(6, 7, 0), NextAlarmTime(0, At(5, 7, 0, 0)));
    ExpectTime(At(6, 7, 0), NextAlarmTime(0, At(5, 23, 59, 59)));
}

TEST_F(AlarmTime, DaysRollOverMonthAndYear)
{
    Set(0, 7, 0, 127);
    ExpectTime(At(1, 7, 0, 0, 0, 1, 2027), NextAlarmTime(0, At(31, 8, 0)));
    ExpectTime(At(1, 7, 0, 0, 0, 3, 2028), NextAlarmTime(0, At(29, 9, 0, 0, 0, 2, 2028)));
}

TEST_F(AlarmTime, DaysMaskMovesToTheFirstAllowedDay)
{
    Set(0, 7, 0, 1 << 1);  // Monday only
    // Saturday 08:00: the next time of day is Sunday 07:00, one more day to Monday.
    ExpectTime(At(7, 7, 0), Next(0, At(5, 8, 0)));

    Set(1, 7, 0, 1 << 6);  // Saturday only
    ExpectTime(At(5, 7, 0), Next(1, At(5, 6, 0)));
    // After today's ring: Sunday, then six days on, wrapping past the week's end.
    ExpectTime(At(12, 7, 0), Next(1, At(5, 7, 30)));

    Set(2, 22, 15, (1 << 0) | (1 << 3));  // Sunday and Wednesday
    ExpectTime(At(9, 22, 15), Next(2, At(7, 12, 0)));  // Monday -> Wednesday
}

TEST_F(AlarmTime, NoAllowedDayLeavesTheTimeAlone)
{
    Set(0, 7, 0, 0);
    ExpectTime(At(6, 7, 0), Next(0, At(5, 8, 0)));
    Set(0, 7, 0, 0x80);  // bits above Saturday mean nothing
    ExpectTime(At(6, 7, 0), Next(0, At(5, 8, 0)));
}

TEST_F(AlarmTime, PendingAlarmIsTheEarliestArmedOne)
{
    SYSTEMTIME when = {};
    EXPECT_EQ(-1, FindNextPendingAlarmAt(At(5, 8, 0), &when));

    Set(4, 9, 0, 127);
    Set(6, 8, 30, 127);
    Set(7, 8, 15, 127, 0);  // earliest, but off
    EXPECT_EQ(6, FindNextPendingAlarmAt(At(5, 8, 0), &when));
    ExpectTime(At(5, 8, 30), when);

    // The same moment: the lower index is pending.
    Set(2, 8, 30, 127);
    EXPECT_EQ(2, FindNextPendingAlarmAt(At(5, 8, 0), &when));

    // Days of 0 still give a candidate: the plain next time of day.
    Set(9, 8, 10, 0);
    EXPECT_EQ(9, FindNextPendingAlarmAt(At(5, 8, 0), &when));
    ExpectTime(At(5, 8, 10), when);
}

TEST_F(AlarmTime, ChimeIsOneSecondPastTheNextFullHour)
{
    ExpectTime(At(5, 11, 0, 1), NextChimeTime(At(5, 10, 59, 59, 999)));
    ExpectTime(At(5, 12, 0, 1), NextChimeTime(At(5, 11, 0, 0)));
    ExpectTime(At(6, 0, 0, 1), NextChimeTime(At(5, 23, 30, 5)));
}

TEST_F(AlarmTime, SnoozeAndCountdownAddWholeMinutesToNow)
{
    SnoozeTime = 15;
    ExpectTime(At(5, 7, 15, 42, 500), SnoozeEndTime(At(5, 7, 0, 42, 500)));
    SnoozeTime = 90;
    ExpectTime(At(6, 0, 30, 0), SnoozeEndTime(At(5, 23, 0, 0)));

    CountdownTime = 25;
    ExpectTime(At(5, 10, 25, 3, 7), CountdownEndTime(At(5, 10, 0, 3, 7)));
    CountdownTime = 0;
    ExpectTime(At(5, 10, 0, 3, 7), CountdownEndTime(At(5, 10, 0, 3, 7)));
}

TEST_F(AlarmTime, SleepEndsWhenLessThanAWholeMinuteIsLeft)
{
    LONGLONG end = SystemTimeToTicks(At(5, 23, 0));
    LONGLONG s = TICKS_PER_SECOND;
    EXPECT_TRUE(SleepEndDue(false, true, end, end - 59 * s));
    EXPECT_FALSE(SleepEndDue(false, true, end, end - 61 * s));
    EXPECT_TRUE(SleepEndDue(false, true, end, end + 5 * s));  // already past
    EXPECT_FALSE(SleepEndDue(false, false, end, end + 3600 * s));  // untimed: only the music ends it
    EXPECT_TRUE(SleepEndDue(true, false, end, end - 3600 * s));
}
