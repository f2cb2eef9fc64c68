#include "schedule.h"

#include <strsafe.h>

#include "alarms.h"
#include "alarmtime.h"
#include "notify.h"
#include "settings.h"

static HANDLE ToHandle(DWORD handle)
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
}

// Sets (handle 0) or replaces a notification that starts the launcher with
// event n at `time`, for MaxTime minutes.
static DWORD RequestEvent(DWORD handle, int n, const SYSTEMTIME& time)
{
    wchar_t application[MAX_PATH];
    wchar_t arguments[EVENT_ARGUMENT_UNITS];
    StringCchPrintfW(application, ARRAYSIZE(application), LAUNCHER_PATH_FORMAT, LAUNCHER_FILE);
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), EVENT_ARGUMENT_FORMAT, n);

    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof(trigger);
    trigger.dwType = CNT_TIME;
    trigger.dwEvent = 0;
    trigger.lpszApplication = application;
    trigger.lpszArguments = arguments;
    trigger.stStartTime = time;
    trigger.stEndTime = AddMinutes(time, settings.MaxTime);
    CE_USER_NOTIFICATION user = {};  // no dialog, text or sound from the system
    HANDLE result = CeSetUserNotificationEx(ToHandle(handle), &trigger, &user);
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(result));
}

static bool IsAlarmIndex(int i)
{
    return i >= 0 && i < ALARM_COUNT && alarms[i] != nullptr;
}

// Replaces notification `old` (0 for none) with one for event n at `time`.
// When the system forgot the old one or cannot replace it, a new one is
// made and the old one cleared, so that it cannot ring as well. 0 when no
// new one could be made: the old one is kept, as it may still ring, and is
// tried again at the next reschedule.
static DWORD ReplaceEventNotification(DWORD old, int n, const SYSTEMTIME& time)
{
    DWORD handle = old != 0 ? RequestEvent(old, n, time) : 0;
    if (handle != 0)
        return handle;
    handle = RequestEvent(0, n, time);
    if (handle != 0 && old != 0)
        CeClearUserNotification(ToHandle(old));
    return handle;
}

// The one place an alarm is requested: its time computed, the notification
// requested, the handle recorded.
bool ScheduleAlarmAt(int i, SYSTEMTIME time, bool isSnooze)
{
    SYSTEMTIME due;
    if (!IsAlarmIndex(i) || !AlarmRequestTime(*alarms[i], time, isSnooze, &due))
        return false;
    // Another process may have replaced the notification since we loaded.
    LoadAlarmHandle(i, alarms[i]);
    DWORD handle = ReplaceEventNotification(alarms[i]->AlarmHandle, i, due);
    if (handle == 0)
        return false;
    // Set, and it rings: a handle that could not be saved is noted by the
    // save, for the window layer to tell.
    StoreAlarmHandle(i, handle);
    return true;
}

bool RequestNextOccurrence(int i)
{
    if (!IsAlarmIndex(i))
        return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ScheduleAlarmAt(i, NextAlarmTime(*alarms[i], now), false);
}

bool ClearAlarm(int i)
{
    if (!IsAlarmIndex(i) || alarms[i]->AlarmHandle == 0)
        return true;
    // A clear that fails keeps the handle, so the next reschedule tries again.
    if (!CeClearUserNotification(ToHandle(alarms[i]->AlarmHandle))
        && GetLastError() != ERROR_INVALID_HANDLE)
        return false;
    StoreAlarmHandle(i, 0);
    return true;
}

DWORD RequestAllAlarms()
{
    DWORD failed = 0;
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (!IsAlarmIndex(i))
            continue;
        if (alarms[i]->AlarmOn == 1) {
            if (!RequestNextOccurrence(i))
                failed |= 1u << i;
        } else {
            ClearAlarm(i);
        }
    }
    return failed;
}

bool ScheduleSnooze(int i)
{
    if (!IsAlarmIndex(i))
        return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    alarms[i]->AlarmHandle = 0;
    return ScheduleAlarmAt(i, AddMinutes(now, settings.SnoozeTime), true);
}

DWORD SetEventNotification(int n, const SYSTEMTIME& time)
{
    return RequestEvent(0, n, time);
}

void ClearEventNotification(DWORD handle)
{
    if (handle != 0)
        CeClearUserNotification(ToHandle(handle));
}

// The countdown's and the chime's one notification, kept in `*handle`:
// cleared, and a fresh one requested for `time` (the handle stays 0 when
// that fails).
static void ClearHandle(DWORD* handle)
{
    if (*handle != 0) {
        ClearEventNotification(*handle);
        *handle = 0;
    }
}

static bool RequestInto(DWORD* handle, int event, const SYSTEMTIME& time)
{
    ClearHandle(handle);
    *handle = SetEventNotification(event, time);
    return *handle != 0;
}

bool RequestCountdownEnd()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME time = AddMinutes(now, settings.CountdownTime);
    // The clock shows the time left to the end of the last minute.
    ULONGLONG finish = static_cast<ULONGLONG>(SystemTimeToTicks(time) + 59 * TICKS_PER_SECOND);
    settings.CDFTLow = static_cast<DWORD>(finish);
    settings.CDFTHigh = static_cast<DWORD>(finish >> 32);
    return RequestInto(&settings.CountdownHandle, EVENT_COUNTDOWN, time);
}

void ClearCountdownNotification()
{
    ClearHandle(&settings.CountdownHandle);
}

bool RequestChime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RequestInto(&settings.ChimeHandle, EVENT_CHIME, NextChimeTime(now));
}

void ClearChime()
{
    ClearHandle(&settings.ChimeHandle);
}

bool RequestChimeAsSet()
{
    bool requested = true;
    if (settings.Chime)
        requested = RequestChime();
    else
        ClearChime();
    SaveChimeSettings();
    return requested;
}
