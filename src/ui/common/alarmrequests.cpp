#include "alarmrequests.h"

#include <strsafe.h>

#include "alarmname.h"
#include "alarms.h"
#include "messages.h"
#include "resource.h"
#include "schedule.h"

static void ShowScheduleFailure(HWND owner)
{
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_ALARM, IDS_WAKELOOM, MB_ICONHAND);
}

// One message for the alarms of the bit mask `failed`. Without an owner
// (the program ending) nothing is shown: a box would keep the process alive.
static void ShowAlarmFailure(HWND owner, DWORD failed)
{
    if (owner == nullptr || failed == 0)
        return;
    wchar_t names[ALARM_COUNT * (ALARM_NAME_UNITS + 16)] = L"";
    for (int i = 0; i < ALARM_COUNT; i++) {
        if ((failed & (1u << i)) == 0)
            continue;
        wchar_t name[ALARM_NAME_UNITS + 16];
        AlarmDisplayName(i, name, ARRAYSIZE(name));
        if (names[0] != L'\0')
            StringCchCatW(names, ARRAYSIZE(names), L", ");
        StringCchCatW(names, ARRAYSIZE(names), name);
    }
    SetForegroundWindow(owner);
    ShowMessage(owner, IDS_FAILED_TO_SET_NAMED_ALARM, IDS_WAKELOOM, MB_ICONHAND, names);
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
