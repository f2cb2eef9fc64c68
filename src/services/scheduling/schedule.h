// The notifications that start the program at due times: one per armed
// alarm (or its snooze), the countdown's end and the hourly chime. Each
// request says whether it was made; the window layer tells the user.
#ifndef WAKELOOM_SCHEDULE_H
#define WAKELOOM_SCHEDULE_H

#include <windows.h>

#include "contract.h"

// Requests alarm i at `time` (moved to an allowed day unless a snooze).
bool ScheduleAlarmAt(int i, SYSTEMTIME time, bool isSnooze);
// Requests alarm i's next occurrence. A request that fails keeps the old
// handle.
bool RequestNextOccurrence(int i);
// Cancels alarm i's notification; false (the handle kept, to be tried
// again) when it could not be cancelled.
bool ClearAlarm(int i);
// Requests every armed alarm and clears the others; bit i of the result is
// set for each armed alarm i that could not be requested.
DWORD RequestAllAlarms();
// Replaces alarm i's notification with its snooze; false when it could not
// be set (the regular notification is kept).
bool ScheduleSnooze(int i);

// A new notification for event n at `time`; 0 on failure.
DWORD SetEventNotification(int n, const SYSTEMTIME& time);
void ClearEventNotification(DWORD handle);
// The countdown's end from now and CountdownTime; false when not requested.
bool RequestCountdownEnd();
void ClearCountdownNotification();
// The next full hour's chime; false when not requested.
bool RequestChime();
void ClearChime();
// The chime's request made or dropped as the Chime setting says, and saved;
// false when a wanted request could not be made.
bool RequestChimeAsSet();

#endif
