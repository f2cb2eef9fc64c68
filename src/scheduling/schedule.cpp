#include "schedule.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <strsafe.h>
#include <wchar.h>
#include <wctype.h>

#include "alarms.h"
#include "alarmtime.h"
#include "messages.h"
#include "notify.h"
#include "resource.h"
#include "settings.h"

const wchar_t* CommandLineArguments(const wchar_t* commandLine)
{
    if (commandLine == nullptr)
        return nullptr;
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        for (p++; *p != L'\0' && *p != L'"'; p++) {
        }
        if (*p == L'"')
            p++;
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t')
            p++;
    }
    if (*p == L' ' || *p == L'\t')
        p++;
    return p;
}

static int ParseNumberAfter(const wchar_t* commandLine, const wchar_t* prefix)
{
    // Exactly the prefix at the very start: the launcher writes it so.
    size_t length = wcslen(prefix);
    if (commandLine == nullptr || wcsncmp(commandLine, prefix, length) != 0)
        return -1;
    // Digits, and only digits up to a blank: "/ID:" alone or "/ID:abc" would
    // read as 0 and ring the first alarm.
    const wchar_t* digits = commandLine + length;
    wchar_t* end;
    errno = 0;
    long n = wcstol(digits, &end, 10);
    if (!iswdigit(*digits) || (*end != L'\0' && *end != L' ' && *end != L'\t') || errno == ERANGE
        || n > INT_MAX)
        return -1;
    return static_cast<int>(n);
}

int ParseEventId(const wchar_t* commandLine)
{
    return ParseNumberAfter(commandLine, EVENT_ARGUMENT_PREFIX);
}

int ParseMissedEventId(const wchar_t* commandLine)
{
    return ParseNumberAfter(commandLine, MISSED_ARGUMENT_PREFIX);
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
    trigger.stEndTime = AddMinutes(time, MaxTime);
    CE_USER_NOTIFICATION user = {};  // no dialog, text or sound from the system
    HANDLE result = CeSetUserNotificationEx(ToHandle(handle), &trigger, &user);
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(result));
}

static void ShowScheduleFailure(HWND owner)
{
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_ALARM, IDS_WAKELOOM, MB_ICONHAND);
}

// One message for the alarms named in `names`. Without an owner (the
// program ending) nothing is shown: a box would keep the process alive.
static void ShowAlarmFailure(HWND owner, const wchar_t* names)
{
    if (owner == nullptr || names[0] == L'\0')
        return;
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_NAMED_ALARM, IDS_WAKELOOM, MB_ICONHAND, names);
}

static void AppendAlarmName(int i, wchar_t* names, size_t namesCount)
{
    wchar_t name[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(i, name, ARRAYSIZE(name));
    if (names[0] != L'\0')
        StringCchCatW(names, namesCount, L", ");
    StringCchCatW(names, namesCount, name);
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
        AdvanceToAllowedDay(alarm->Days, &time);
    }
    // A stored hour or minute out of range gives no time at all.
    if (!IsValidTime(time))
        return false;
    // Another process may have replaced the notification since we loaded.
    LoadAlarmHandle(i, alarm);
    DWORD old = alarm->AlarmHandle;
    DWORD handle = old != 0 ? RequestEvent(old, i, time) : 0;
    if (handle == 0) {
        // The system forgot the old one, or could not replace it: a new one,
        // and the old one cleared so that it cannot ring as well.
        handle = RequestEvent(0, i, time);
        if (handle == 0)
            return false;  // the old handle is kept: it may still ring, and is retried
        if (old != 0)
            CeClearUserNotification(ToHandle(old));
    }
    alarm->AlarmHandle = handle;
    return SaveAlarm(i) == ERROR_SUCCESS;
}

// Requests alarm i's next regular occurrence from now.
static bool ScheduleNextOccurrence(int i)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ScheduleAlarmAt(i, NextAlarmTime(*alarms[i], now), false);
}

void ScheduleAlarm(int i, HWND owner)
{
    if (!IsAlarmIndex(i))
        return;
    if (!ScheduleNextOccurrence(i)) {
        wchar_t name[ALARM_NAME_UNITS + 16] = L"";
        AppendAlarmName(i, name, ARRAYSIZE(name));
        ShowAlarmFailure(owner, name);
    }
}

bool ClearAlarm(int i)
{
    if (!IsAlarmIndex(i) || alarms[i]->AlarmHandle == 0)
        return true;
    // A clear that fails keeps the handle, so the next reschedule tries again.
    if (!CeClearUserNotification(ToHandle(alarms[i]->AlarmHandle))
        && GetLastError() != ERROR_INVALID_HANDLE)
        return false;
    alarms[i]->AlarmHandle = 0;
    return SaveAlarm(i) == ERROR_SUCCESS;
}

void RescheduleAllAlarms(HWND owner)
{
    // The alarms that could not be set, named in one message.
    wchar_t failed[10 * (ALARM_NAME_UNITS + 16)] = L"";
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (!IsAlarmIndex(i))
            continue;
        if (alarms[i]->AlarmOn == 1) {
            if (!ScheduleNextOccurrence(i))
                AppendAlarmName(i, failed, ARRAYSIZE(failed));
        } else {
            ClearAlarm(i);
        }
    }
    ShowAlarmFailure(owner, failed);
}

bool ScheduleSnooze(int i)
{
    if (!IsAlarmIndex(i))
        return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    alarms[i]->AlarmHandle = 0;
    return ScheduleAlarmAt(i, AddMinutes(now, SnoozeTime), true);
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

bool StartCountdownNotification(HWND owner)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME time = AddMinutes(now, CountdownTime);
    // The clock shows the time left to the end of the last minute.
    ULONGLONG finish = static_cast<ULONGLONG>(SystemTimeToTicks(time) + 59 * TICKS_PER_SECOND);
    CDFTLow = static_cast<DWORD>(finish);
    CDFTHigh = static_cast<DWORD>(finish >> 32);
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

void RescheduleChime(HWND owner)
{
    if (Chime)
        ScheduleChime(owner);
    else
        ClearChime();
    SaveChimeSettings();
}
