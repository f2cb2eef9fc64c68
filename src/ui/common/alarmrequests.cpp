#include "alarmrequests.h"

#include <strsafe.h>

#include "alarmname.h"
#include "alarms.h"
#include "messages.h"
#include "regstore.h"
#include "resource.h"
#include "schedule.h"

static void ShowScheduleFailure(HWND owner)
{
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_ALARM, IDS_WAKELOOM, MB_ICONHAND);
}

// Adds the names of the alarms of the bit mask `alarmBits` to `names`,
// after a comma when it holds some already.
static void AppendAlarmNames(DWORD alarmBits, wchar_t* names, size_t units)
{
    for (int i = 0; i < ALARM_COUNT; i++) {
        if ((alarmBits & (1u << i)) == 0)
            continue;
        wchar_t name[ALARM_NAME_UNITS + 16];
        AlarmDisplayName(i, name, ARRAYSIZE(name));
        if (names[0] != L'\0')
            StringCchCatW(names, units, L", ");
        StringCchCatW(names, units, name);
    }
}

// One message for the alarms of the bit mask `failed`. Without an owner
// (the program ending) nothing is shown: a box would keep the process alive.
static void ShowAlarmFailure(HWND owner, DWORD failed)
{
    if (owner == nullptr || failed == 0)
        return;
    wchar_t names[ALARM_COUNT * (ALARM_NAME_UNITS + 16)] = L"";
    AppendAlarmNames(failed, names, ARRAYSIZE(names));
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_NAMED_ALARM, IDS_WAKELOOM, MB_ICONHAND, names);
}

void ShowSaveFailures(HWND owner)
{
    LONG error;
    DWORD untold = TakeUntoldSaveFailures(&error);
    if (untold == 0)
        return;
    wchar_t names[(ALARM_COUNT + 1) * (ALARM_NAME_UNITS + 16)] = L"";
    if (untold & (1u << SETTINGS_RECORD))
        LoadResourceText(IDS_THE_SETTINGS, names, ARRAYSIZE(names));
    AppendAlarmNames(untold, names, ARRAYSIZE(names));
    // The system's words for why ("Access denied"), without its full stop.
    wchar_t reason[256];
    if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, reason, ARRAYSIZE(reason), nullptr) == 0)
        StringCchPrintfW(reason, ARRAYSIZE(reason), L"error %ld", static_cast<long>(error));
    for (size_t n = wcslen(reason); n > 0 && wcschr(L" .\r\n", reason[n - 1]) != nullptr; n--)
        reason[n - 1] = L'\0';
    ShowMessage(owner, IDS_NOT_SAVED, IDS_WAKELOOM,
                MB_ICONEXCLAMATION | (owner == nullptr ? MB_SETFOREGROUND : 0), names, reason);
}

void ScheduleAlarm(int i, HWND owner)
{
    if (i >= 0 && i < ALARM_COUNT && alarms[i] != nullptr && !RequestNextOccurrence(i))
        ShowAlarmFailure(owner, 1u << i);
}

void RescheduleAllAlarms(HWND owner)
{
    ShowAlarmFailure(owner, RequestAllAlarms());
}

bool StartCountdownNotification(HWND owner)
{
    if (RequestCountdownEnd())
        return true;
    ShowScheduleFailure(owner);
    return false;
}

bool ScheduleChime(HWND owner)
{
    if (RequestChime())
        return true;
    ShowScheduleFailure(owner);
    return false;
}

void RescheduleChime(HWND owner)
{
    if (!RequestChimeAsSet())
        ShowScheduleFailure(owner);
}
