#include "alarmtime.h"

// 1601-01-01, the first day of FILETIME, counted from 1970-01-01.
#define FILETIME_EPOCH_DAYS 134774LL

// Days since 1970-01-01 of a proleptic Gregorian date.
static LONGLONG DaysFromCivil(LONGLONG year, unsigned month, unsigned day)
{
    year -= month <= 2 ? 1 : 0;
    LONGLONG era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<LONGLONG>(dayOfEra) - 719468;
}

static void CivilFromDays(LONGLONG days, LONGLONG* year, unsigned* month, unsigned* day)
{
    days += 719468;
    LONGLONG era = (days >= 0 ? days : days - 146096) / 146097;
    unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    unsigned mp = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<LONGLONG>(yearOfEra) + era * 400 + (*month <= 2 ? 1 : 0);
}

static unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool IsValidTime(const SYSTEMTIME& t)
{
    return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12
        && t.wDay >= 1 && t.wDay <= DaysInMonth(t.wYear, t.wMonth) && t.wHour < 24
        && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

LONGLONG SystemTimeToTicks(const SYSTEMTIME& t)
{
    if (!IsValidTime(t))
        return 0;
    LONGLONG days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + FILETIME_EPOCH_DAYS;
    LONGLONG seconds = ((days * 24 + t.wHour) * 60 + t.wMinute) * 60 + t.wSecond;
    return seconds * TICKS_PER_SECOND + t.wMilliseconds * 10000LL;
}

SYSTEMTIME TicksToSystemTime(LONGLONG ticks)
{
    SYSTEMTIME t = {};
    if (ticks < 0)
        return t;
    LONGLONG days = ticks / TICKS_PER_DAY;
    LONGLONG rest = ticks % TICKS_PER_DAY;
    LONGLONG year;
    unsigned month, day;
    CivilFromDays(days - FILETIME_EPOCH_DAYS, &year, &month, &day);
    if (year > 30827)
        return SYSTEMTIME{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wDayOfWeek = static_cast<WORD>((days + 1) % 7);   // 1601-01-01 was a Monday
    t.wHour = static_cast<WORD>(rest / (60 * TICKS_PER_MINUTE));
    t.wMinute = static_cast<WORD>(rest / TICKS_PER_MINUTE % 60);
    t.wSecond = static_cast<WORD>(rest / TICKS_PER_SECOND % 60);
    t.wMilliseconds = static_cast<WORD>(rest / 10000 % 1000);
    return t;
}

SYSTEMTIME AddTicks(const SYSTEMTIME& time, LONGLONG ticks)
{
    return TicksToSystemTime(SystemTimeToTicks(time) + ticks);
}

SYSTEMTIME AddMinutes(const SYSTEMTIME& time, DWORD minutes)
{
    return AddTicks(time, static_cast<LONGLONG>(static_cast<DWORD>(minutes * 60))
                              * TICKS_PER_SECOND);
}

SYSTEMTIME NextAlarmTime(const Alarm& alarm, const SYSTEMTIME& now)
{
    SYSTEMTIME next = now;
    bool laterToday = alarm.AThour > now.wHour
                      || (alarm.AThour == now.wHour && alarm.ATmin > now.wMinute);
    if (!laterToday)
        next = AddTicks(now, TICKS_PER_DAY);
    next.wHour = static_cast<WORD>(alarm.AThour);
    next.wMinute = static_cast<WORD>(alarm.ATmin);
    next.wSecond = 0;
    next.wMilliseconds = 0;
    return next;
}

bool AlarmRequestTime(const Alarm& alarm, SYSTEMTIME time, bool isSnooze, SYSTEMTIME* due)
{
    if (!isSnooze) {
        if (alarm.Days == 0)
            return false;
        AdvanceToAllowedDay(alarm.Days, &time);
    }
    *due = time;
    return IsValidTime(time);
}

void AdvanceToAllowedDay(DWORD days, SYSTEMTIME* time)
{
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

int FindNextPendingAlarmAt(Alarm* const table[ALARM_COUNT], const SYSTEMTIME& now,
                           SYSTEMTIME* time)
{
    int best = -1;
    LONGLONG bestTicks = 0;
    for (int i = 0; i < ALARM_COUNT; i++) {
        // An alarm without a day of the week is never scheduled, so never pending.
        if (table[i] == nullptr || table[i]->AlarmOn == 0 || table[i]->Days == 0)
            continue;
        SYSTEMTIME candidate = NextAlarmTime(*table[i], now);
        AdvanceToAllowedDay(table[i]->Days, &candidate);
        // A stored time that is no time of day never rings.
        if (!IsValidTime(candidate))
            continue;
        LONGLONG ticks = SystemTimeToTicks(candidate);
        if (best < 0 || ticks < bestTicks) {
            best = i;
            bestTicks = ticks;
            *time = candidate;
        }
    }
    return best;
}

bool CountdownEndIsStale(LONGLONG endTicks, LONGLONG nowTicks)
{
    // The longest countdown is 23:59, shown to the end of its last minute.
    return endTicks <= nowTicks || endTicks - nowTicks > TICKS_PER_DAY + TICKS_PER_MINUTE;
}

bool MaxRingTimeReached(const SYSTEMTIME& start, const SYSTEMTIME& now, DWORD maxMinutes)
{
    LONGLONG elapsed = (SystemTimeToTicks(now) - SystemTimeToTicks(start)) / TICKS_PER_SECOND;
    // Taken as a 32-bit count and made non-negative, as it always was.
    int seconds = static_cast<int>(elapsed);
    LONGLONG magnitude = seconds < 0 ? -static_cast<LONGLONG>(seconds) : seconds;
    LONGLONG difference = magnitude - static_cast<LONGLONG>(maxMinutes) * 60;
    return difference >= -10 && difference <= 10;
}

SYSTEMTIME NextChimeTime(const SYSTEMTIME& now)
{
    SYSTEMTIME hourStart = now;
    hourStart.wMinute = 0;
    hourStart.wSecond = 0;
    hourStart.wMilliseconds = 0;
    return AddTicks(hourStart, 3601 * TICKS_PER_SECOND);
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
