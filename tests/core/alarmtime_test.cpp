// The time arithmetic of alarms, chime, snooze and sleep, over given times.
#include <gtest/gtest.h>

#include "alarmtime.h"

// Saturday 5 December 2026 is the reference week: Sunday is the 6th.
static SYSTEMTIME At(int day, int hour, int minute, int second = 0, int ms = 0, int month = 12,
              int year = 2026)
{
    const SYSTEMTIME t = { WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute),
                           WORD(second), WORD(ms) };
    return TicksToSystemTime(SystemTimeToTicks(t));   // fills in the day of the week
}

static std::string Text(const SYSTEMTIME& t)
{
    char text[64];
    snprintf(text, sizeof(text), "%04u-%02u-%02u (%u) %02u:%02u:%02u.%03u", t.wYear, t.wMonth,
             t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

static Alarm MakeAlarm(DWORD hour, DWORD minute, DWORD days, DWORD on = 1)
{
    return { .AlarmHandle = 0, .AlarmOn = on, .AThour = hour, .ATmin = minute, .AlarmSound = {},
             .UseSystemVol = 0, .Volume = 0, .Days = days, .AlarmName = {} };
}

TEST(Calendar, TicksAndDatesAgreeWithTheSystemsCalendar)
{
    // FILETIME counts as SystemTimeToFileTime gives them.
    EXPECT_EQ(116444736000000000LL, SystemTimeToTicks(At(1, 0, 0, 0, 0, 1, 1970)));
    EXPECT_EQ("2028-02-29 (2) 23:59:59.999", Text(At(29, 23, 59, 59, 999, 2, 2028)));
    for (SYSTEMTIME bad : { SYSTEMTIME{ 1600, 12, 0, 31, 0, 0, 0, 0 }, SYSTEMTIME{ 2027, 2, 0, 29, 0, 0, 0, 0 },
                            SYSTEMTIME{ 2027, 13, 0, 1, 0, 0, 0, 0 }, SYSTEMTIME{ 2027, 1, 0, 1, 25, 0, 0, 0 },
                            SYSTEMTIME{ 2027, 1, 0, 1, 0, 0, 0, 1000 } }) {
        EXPECT_FALSE(IsValidTime(bad)) << Text(bad);
        EXPECT_EQ(0, SystemTimeToTicks(bad));
    }
}

TEST(AlarmTime, NextOccurrenceOfAnAlarm)
{
    const struct {
        Alarm alarm;
        SYSTEMTIME now;
        SYSTEMTIME next;   // after the days mask
    } cases[] = {
        // Stays today while its minute is ahead; the current minute goes to tomorrow.
        { MakeAlarm(7, 0, 127), At(5, 6, 59, 30, 500), At(5, 7, 0) },
        { MakeAlarm(7, 0, 127), At(5, 7, 0, 10), At(6, 7, 0) },
        // Days roll over months, years and a leap day.
        { MakeAlarm(7, 0, 127), At(31, 8, 0), At(1, 7, 0, 0, 0, 1, 2027) },
        { MakeAlarm(7, 0, 127), At(29, 9, 0, 0, 0, 2, 2028), At(1, 7, 0, 0, 0, 3, 2028) },
        // Monday only, Saturday 08:00: Sunday 07:00, then one day more.
        { MakeAlarm(7, 0, 1 << 1), At(5, 8, 0), At(7, 7, 0) },
        // Saturday only, past its time: six days on, past the week's end.
        { MakeAlarm(7, 0, 1 << 6), At(5, 7, 30), At(12, 7, 0) },
        { MakeAlarm(22, 15, (1 << 0) | (1 << 3)), At(7, 12, 0), At(9, 22, 15) },
        // No allowed day (bits above Saturday mean nothing): the time stays.
        { MakeAlarm(7, 0, 0), At(5, 8, 0), At(6, 7, 0) },
        { MakeAlarm(7, 0, 0x80), At(5, 8, 0), At(6, 7, 0) },
    };
    for (const auto& c : cases) {
        SYSTEMTIME next = NextAlarmTime(c.alarm, c.now);
        AdvanceToAllowedDay(c.alarm.Days, &next);
        EXPECT_EQ(Text(c.next), Text(next)) << "now " << Text(c.now);
    }
    // A stored hour that is no hour of a day gives no valid time.
    EXPECT_FALSE(IsValidTime(NextAlarmTime(MakeAlarm(25, 0, 127), At(5, 8, 0))));
}

TEST(AlarmTime, PendingAlarmIsTheEarliestArmedOne)
{
    Alarm table[ALARM_COUNT];
    Alarm* pointers[ALARM_COUNT];
    for (int i = 0; i < ALARM_COUNT; i++)
        pointers[i] = &(table[i] = MakeAlarm(7, 0, 127, 0));
    SYSTEMTIME when = {};
    EXPECT_EQ(-1, FindNextPendingAlarmAt(pointers, At(5, 8, 0), &when));
    table[4] = MakeAlarm(9, 0, 127);
    table[6] = MakeAlarm(8, 30, 127);
    table[7] = MakeAlarm(8, 15, 127, 0);   // earliest, but off
    table[8] = MakeAlarm(99, 1, 127);      // never rings
    pointers[5] = nullptr;
    EXPECT_EQ(6, FindNextPendingAlarmAt(pointers, At(5, 8, 0), &when));
    EXPECT_EQ(Text(At(5, 8, 30)), Text(when));
    // The same moment: the lower index; no day to ring on: never pending,
    // as it is never scheduled.
    table[2] = MakeAlarm(8, 30, 127);
    EXPECT_EQ(2, FindNextPendingAlarmAt(pointers, At(5, 8, 0), &when));
    table[9] = MakeAlarm(8, 10, 0);
    EXPECT_EQ(2, FindNextPendingAlarmAt(pointers, At(5, 8, 0), &when));
}

TEST(AlarmTime, ChimeSnoozeAndCountdownTimes)
{
    // The chime rings a second past the next whole hour.
    EXPECT_EQ(Text(At(5, 11, 0, 1)), Text(NextChimeTime(At(5, 10, 59, 59, 999))));
    EXPECT_EQ(Text(At(5, 12, 0, 1)), Text(NextChimeTime(At(5, 11, 0, 0))));
    EXPECT_EQ(Text(At(6, 0, 0, 1)), Text(NextChimeTime(At(5, 23, 30, 5))));
    EXPECT_EQ(Text(At(5, 7, 15, 42, 500)), Text(AddMinutes(At(5, 7, 0, 42, 500), 15)));
    EXPECT_EQ(Text(At(6, 0, 30)), Text(AddMinutes(At(5, 23, 0), 90)));
    // The minute count is multiplied by 60 in 32 bits, as it always was read.
    EXPECT_EQ(Text(At(5, 10, 0, 44)), Text(AddMinutes(At(5, 10, 0), 71582789)));
}

TEST(AlarmTime, MaximumRingTimeWithItsTenSecondTolerance)
{
    const struct {
        LONGLONG elapsedSeconds;
        DWORD maxMinutes;
        bool reached;
    } cases[] = {
        { 300, 5, true }, { 290, 5, true }, { 310, 5, true }, { 289, 5, false },
        { 330, 5, false }, { 60, 1, true }, { 0, 1, false }, { -300, 5, true },
    };
    SYSTEMTIME start = At(5, 7, 0);
    for (const auto& c : cases)
        EXPECT_EQ(c.reached, MaxRingTimeReached(start, AddTicks(start, c.elapsedSeconds * TICKS_PER_SECOND),
                                                c.maxMinutes)) << c.elapsedSeconds;
}

TEST(AlarmTime, SleepEndsWhenLessThanAWholeMinuteIsLeft)
{
    LONGLONG end = SystemTimeToTicks(At(5, 23, 0));
    LONGLONG s = TICKS_PER_SECOND;
    EXPECT_TRUE(SleepEndDue(false, true, end, end - 59 * s));
    EXPECT_FALSE(SleepEndDue(false, true, end, end - 61 * s));
    EXPECT_TRUE(SleepEndDue(false, true, end, end + 5 * s));
    EXPECT_FALSE(SleepEndDue(false, false, end, end + 3600 * s));  // untimed: only the music ends it
    EXPECT_TRUE(SleepEndDue(true, false, end, end - 3600 * s));
}
