// Time arithmetic of the alarm clock, in local wall-clock time.
#ifndef WAKELOOM_ALARMTIME_H
#define WAKELOOM_ALARMTIME_H

#include <windows.h>

// FILETIME units (100 ns).
#define TICKS_PER_SECOND 10000000LL
#define TICKS_PER_MINUTE (60 * TICKS_PER_SECOND)
#define TICKS_PER_DAY    (1440 * TICKS_PER_MINUTE)

// `time` moved by `ticks` (may be negative); the day of week is recomputed.
SYSTEMTIME AddTicks(const SYSTEMTIME& time, LONGLONG ticks);
LONGLONG SystemTimeToTicks(const SYSTEMTIME& time);

// The next time of day of alarm i after `now`, before its days are applied:
// today if its hour and minute are still ahead, else tomorrow.
SYSTEMTIME NextAlarmTime(int i, const SYSTEMTIME& now);
// Moves `time` forward by whole days to the first day alarm i may ring on;
// unchanged when no day is allowed.
void AdvanceToAllowedDay(int i, SYSTEMTIME* time);
// The armed alarm that rings next after `now` and when; -1 when none is
// armed. Ties go to the lower index.
int FindNextPendingAlarmAt(const SYSTEMTIME& now, SYSTEMTIME* time);
int FindNextPendingAlarm(SYSTEMTIME* time);

SYSTEMTIME SnoozeEndTime(const SYSTEMTIME& now);
SYSTEMTIME NextChimeTime(const SYSTEMTIME& now);
// When the countdown notification is due; its finish time kept in
// CDFTLow/CDFTHigh is 59 seconds later.
SYSTEMTIME CountdownEndTime(const SYSTEMTIME& now);

// Whether sleep music is over: the list has played out, or timed sleep has
// less than one whole minute left. On true it has already stopped sleep.
bool SleepEndReached();
// The rule of SleepEndReached over given times, without side effects.
// Whether sleep music is over at `nowTicks` given when timed sleep ends.
bool SleepEndDue(bool listFinished, bool timedSleep, LONGLONG sleepEndTicks,
                 LONGLONG nowTicks);

#endif
