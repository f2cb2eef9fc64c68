// Time arithmetic of the alarm clock, in local wall-clock time: moments are
// FILETIME counts (100 ns units since 1601) computed here without the
// system's calendar functions, so the rules build natively for table tests.
#ifndef WAKELOOM_ALARMTIME_H
#define WAKELOOM_ALARMTIME_H

#include "alarmrecord.h"
#include "portable.h"

#define TICKS_PER_SECOND 10000000LL
#define TICKS_PER_MINUTE (60 * TICKS_PER_SECOND)
#define TICKS_PER_DAY    (1440 * TICKS_PER_MINUTE)

// A calendar time from 1601 to 30827 with every field in range (the day of
// the week is not looked at), as SystemTimeToFileTime accepts it.
bool IsValidTime(const SYSTEMTIME& time);
// The FILETIME count of a time; 0 for an invalid one.
LONGLONG SystemTimeToTicks(const SYSTEMTIME& time);
// The calendar time of a count, its day of the week filled in.
SYSTEMTIME TicksToSystemTime(LONGLONG ticks);
// `time` moved by `ticks` (may be negative); the day of week is recomputed.
SYSTEMTIME AddTicks(const SYSTEMTIME& time, LONGLONG ticks);
// `time` plus a minute count from the settings; the count is multiplied by
// 60 in 32 bits, as the stored settings have always been read.
SYSTEMTIME AddMinutes(const SYSTEMTIME& time, DWORD minutes);

// The alarm's next time of day after `now`, before its days are applied:
// today if its hour and minute are still ahead, else tomorrow. Seconds and
// milliseconds are 0. Invalid when the stored hour or minute is.
SYSTEMTIME NextAlarmTime(const Alarm& alarm, const SYSTEMTIME& now);
// Moves `time` forward by whole days to the first day of `days` (bit 0
// Sunday); unchanged when no day is allowed.
void AdvanceToAllowedDay(DWORD days, SYSTEMTIME* time);
// The moment to request for the alarm from `time`: moved to its first
// allowed day unless a snooze. False when it has no day (a snooze needs
// none) or the time is no valid one (a stored hour or minute out of range).
bool AlarmRequestTime(const Alarm& alarm, SYSTEMTIME time, bool isSnooze, SYSTEMTIME* due);
// The armed alarm of the table that rings next after `now`, and when; -1
// when none is armed. Ties go to the lower index.
int FindNextPendingAlarmAt(Alarm* const table[ALARM_COUNT], const SYSTEMTIME& now,
                           SYSTEMTIME* time);

// Whether a ringing that began at `start` has reached `maxMinutes` at
// `now`: the elapsed whole seconds within 10 of the maximum. A timer that
// fires at another moment (the clock was set) checks again later.
// True when a countdown that ends at `endTicks` cannot be running at
// `nowTicks`: its end has passed, or lies further ahead than the longest
// countdown (a damaged value).
bool CountdownEndIsStale(LONGLONG endTicks, LONGLONG nowTicks);
bool MaxRingTimeReached(const SYSTEMTIME& start, const SYSTEMTIME& now, DWORD maxMinutes);

// One second past the next full hour.
SYSTEMTIME NextChimeTime(const SYSTEMTIME& now);

// Whether sleep music is over at `nowTicks`: the list has played out, or
// timed sleep has less than one whole minute left before `sleepEndTicks`.
bool SleepEndDue(bool listFinished, bool timedSleep, LONGLONG sleepEndTicks,
                 LONGLONG nowTicks);

#endif
