#include "alarmtime.h"

#include "alarms.h"
#include "app.h"
#include "settings.h"
#include "sound.h"

LONGLONG SystemTimeToTicks(const SYSTEMTIME& time)
{
    FILETIME ft = {};
    SystemTimeToFileTime(&time, &ft);
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32)
                                 | ft.dwLowDateTime);
}

SYSTEMTIME AddTicks(const SYSTEMTIME& time, LONGLONG ticks)
{
    ULONGLONG sum = static_cast<ULONGLONG>(SystemTimeToTicks(time) + ticks);
    FILETIME ft = { static_cast<DWORD>(sum), static_cast<DWORD>(sum >> 32) };
    SYSTEMTIME result = {};
    FileTimeToSystemTime(&ft, &result);
    return result;
}

static LONGLONG MinutesToTicks(DWORD minutes)
{
    // The minute count is multiplied by 60 in 32 bits, as stored data expects.
    return static_cast<LONGLONG>(static_cast<DWORD>(minutes * 60)) * TICKS_PER_SECOND;
}

SYSTEMTIME NextAlarmTime(int i, const SYSTEMTIME& now)
{
    const Alarm* alarm = alarms[i];
    SYSTEMTIME next = now;
    bool laterToday = alarm->AThour > now.wHour
                      || (alarm->AThour == now.wHour && alarm->ATmin > now.wMinute);
    if (!laterToday)
        next = AddTicks(now, TICKS_PER_DAY);
    next.wHour = static_cast<WORD>(alarm->AThour);
    next.wMinute = static_cast<WORD>(alarm->ATmin);
    next.wSecond = 0;
    next.wMilliseconds = 0;
    return next;
}

void AdvanceToAllowedDay(int i, SYSTEMTIME* time)
{
    DWORD days = alarms[i]->Days;
    int today = time->wDayOfWeek % 7;
    if (days & (1u << today))
        return;
    for (int k = 1; k <= 6; k++) {
        if (days & (1u << ((today + k) % 7))) {
            *time = AddTicks(*time, k * TICKS_PER_DAY);
            return;
        }
    }
}

int FindNextPendingAlarmAt(const SYSTEMTIME& now, SYSTEMTIME* time)
{
    int best = -1;
    LONGLONG bestTicks = 0;
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (alarms[i] == nullptr || alarms[i]->AlarmOn == 0)
            continue;
        SYSTEMTIME candidate = NextAlarmTime(i, now);
        AdvanceToAllowedDay(i, &candidate);
        LONGLONG ticks = SystemTimeToTicks(candidate);
        if (best < 0 || ticks < bestTicks) {
            best = i;
            bestTicks = ticks;
            *time = candidate;
        }
    }
    return best;
}

int FindNextPendingAlarm(SYSTEMTIME* time)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FindNextPendingAlarmAt(now, time);
}

SYSTEMTIME SnoozeEndTime(const SYSTEMTIME& now)
{
    return AddTicks(now, MinutesToTicks(SnoozeTime));
}

SYSTEMTIME NextChimeTime(const SYSTEMTIME& now)
{
    SYSTEMTIME hourStart = now;
    hourStart.wMinute = 0;
    hourStart.wSecond = 0;
    hourStart.wMilliseconds = 0;
    // One second past the next full hour.
    return AddTicks(hourStart, 3601 * TICKS_PER_SECOND);
}

SYSTEMTIME CountdownEndTime(const SYSTEMTIME& now)
{
    return AddTicks(now, MinutesToTicks(CountdownTime));
}

bool SleepEndDue(bool listFinished, bool timedSleep, LONGLONG sleepEndTicks,
                 LONGLONG nowTicks)
{
    if (listFinished)
        return true;
    if (!timedSleep)
        return false;
    LONGLONG secondsLeft = (sleepEndTicks - nowTicks) / TICKS_PER_SECOND;
    return secondsLeft / 60 <= 0;
}

bool SleepEndReached()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (!SleepEndDue(mediaListFinished, TimedSleep != 0, static_cast<LONGLONG>(sleepEndTime),
                     SystemTimeToTicks(now)))
        return false;
    StopSleep();
    return true;
}
