#include "schedule.h"

#include <stdlib.h>
#include <wchar.h>

int ParseEventId(const wchar_t* commandLine)
{
    // Exactly "/ID:" at the very start: the launcher writes it so.
    if (commandLine == nullptr || wcsncmp(commandLine, L"/ID:", 4) != 0)
        return -1;
    return static_cast<int>(_wtol(commandLine + 4));
}

// The notification requests come with the scheduler.
bool ScheduleAlarmAt(int, SYSTEMTIME, bool) { return false; }
void ScheduleAlarm(int, HWND) {}
void ClearAlarm(int) {}
void RescheduleAllAlarms(HWND) {}
void ScheduleSnooze(int) {}
DWORD SetEventNotification(int, const SYSTEMTIME&) { return 0; }
void ClearEventNotification(DWORD) {}
bool StartCountdownNotification(HWND) { return false; }
void ClearCountdownNotification() {}
bool ScheduleChime(HWND) { return false; }
void ClearChime() {}
