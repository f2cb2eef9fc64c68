#include "schedule.h"

#include <stdlib.h>
#include <strsafe.h>
#include <wchar.h>

#include "alarms.h"
#include "alarmtime.h"
#include "notify.h"
#include "settings.h"

#define LAUNCHER_FILE L"wklmgr.exe"

int ParseEventId(const wchar_t* commandLine)
{
    // Exactly "/ID:" at the very start: the launcher writes it so.
    if (commandLine == nullptr || wcsncmp(commandLine, L"/ID:", 4) != 0)
        return -1;
    return static_cast<int>(_wtol(commandLine + 4));
}

static HANDLE ToHandle(DWORD handle)
{
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
}

// Sets (handle 0) or replaces a notification that starts the launcher with
// event n at `time`, for MaxTime minutes.
static DWORD RequestEvent(DWORD handle, int n, const SYSTEMTIME& time)
{
    wchar_t application[MAX_PATH];
    wchar_t arguments[16];
    StringCchPrintfW(application, ARRAYSIZE(application), L"\\Windows\\%s", LAUNCHER_FILE);
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"/ID:%d", n);

    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof(trigger);
    trigger.dwType = CNT_TIME;
    trigger.dwEvent = 0;
    trigger.lpszApplication = application;
    trigger.lpszArguments = arguments;
    trigger.stStartTime = time;
    trigger.stEndTime = AddTicks(time, static_cast<LONGLONG>(static_cast<DWORD>(MaxTime * 60))
                                           * TICKS_PER_SECOND);
    CE_USER_NOTIFICATION user = {};  // no dialog, text or sound from the system
    HANDLE result = CeSetUserNotificationEx(ToHandle(handle), &trigger, &user);
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(result));
}

static void ShowScheduleFailure(HWND owner)
{
    SetForegroundWindow(owner);
    MessageBoxW(owner, L"Failed to set alarm!", L"Wakeloom", MB_ICONHAND);
}

static bool IsAlarmIndex(int i)
{
    return i >= 0 && i < ALARM_COUNT && alarms[i] != nullptr;
}

bool ScheduleAlarmAt(int i, SYSTEMTIME time, bool isSnooze)
{
    if (!IsAlarmIndex(i))
        return false;
    Alarm* alarm = alarms[i];
    if (!isSnooze) {
        if (alarm->Days == 0)
            return false;
        AdvanceToAllowedDay(i, &time);
    }
    // Another process may have replaced the notification since we loaded.
    LoadAlarmHandle(i, alarm);
    alarm->AlarmHandle = RequestEvent(alarm->AlarmHandle, i, time);
    if (alarm->AlarmHandle == 0)
        alarm->AlarmHandle = RequestEvent(0, i, time);  // the system forgot the old one
    SaveAlarm(i);
    return alarm->AlarmHandle != 0;
}

void ScheduleAlarm(int i, HWND owner)
{
    if (!IsAlarmIndex(i))
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (!ScheduleAlarmAt(i, NextAlarmTime(i, now), false))
        ShowScheduleFailure(owner);
}

void ClearAlarm(int i)
{
    if (!IsAlarmIndex(i) || alarms[i]->AlarmHandle == 0)
        return;
    CeClearUserNotification(ToHandle(alarms[i]->AlarmHandle));
    alarms[i]->AlarmHandle = 0;
    SaveAlarm(i);
}

void RescheduleAllAlarms(HWND owner)
{
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (!IsAlarmIndex(i))
            continue;
        if (alarms[i]->AlarmOn == 1)
            ScheduleAlarm(i, owner);
        else
            ClearAlarm(i);
    }
}

void ScheduleSnooze(int i)
{
    if (!IsAlarmIndex(i))
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    alarms[i]->AlarmHandle = 0;
    ScheduleAlarmAt(i, SnoozeEndTime(now), true);
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

static void StoreFinishTime(const SYSTEMTIME& time)
{
    LONGLONG ticks = SystemTimeToTicks(time);
    CDFTLow = static_cast<DWORD>(ticks);
    CDFTHigh = static_cast<DWORD>(static_cast<ULONGLONG>(ticks) >> 32);
}

bool StartCountdownNotification(HWND owner)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME time = CountdownEndTime(now);
    // The clock shows the time left to the end of the last minute.
    StoreFinishTime(AddTicks(time, 59 * TICKS_PER_SECOND));
    ClearCountdownNotification();
    DWORD handle = SetEventNotification(EVENT_COUNTDOWN, time);
    if (handle == 0) {
        ShowScheduleFailure(owner);
        return false;
    }
    CountdownHandle = handle;
    return true;
}

void ClearCountdownNotification()
{
    if (CountdownHandle != 0) {
        ClearEventNotification(CountdownHandle);
        CountdownHandle = 0;
    }
}

bool ScheduleChime(HWND owner)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME time = NextChimeTime(now);
    ClearChime();
    DWORD handle = SetEventNotification(EVENT_CHIME, time);
    if (handle == 0) {
        ShowScheduleFailure(owner);
        return false;
    }
    ChimeHandle = handle;
    return true;
}

void ClearChime()
{
    if (ChimeHandle != 0) {
        ClearEventNotification(ChimeHandle);
        ChimeHandle = 0;
    }
}
