// The notifications that start the program at due times: one per armed
// alarm (or its snooze), the countdown's end and the hourly chime.
#ifndef WAKELOOM_SCHEDULE_H
#define WAKELOOM_SCHEDULE_H

#include <windows.h>

#include "contract.h"

// What follows the program name on a raw command line (GetCommandLineW),
// after the one blank that separates them. The runtime's own start-up skips
// every blank there; an argument that begins with a blank is not "/ID:".
const wchar_t* CommandLineArguments(const wchar_t* commandLine);
// The n of a command line that begins with "/ID:" and n, or -1.
int ParseEventId(const wchar_t* commandLine);
// The n of a command line that begins with "/MISSED:" and n, or -1.
int ParseMissedEventId(const wchar_t* commandLine);

// Requests alarm i at `time` (moved to an allowed day unless a snooze).
bool ScheduleAlarmAt(int i, SYSTEMTIME time, bool isSnooze);
// Requests alarm i's next occurrence; on failure tells the user, naming the
// alarm, unless `owner` is null. A request that fails keeps the old handle.
void ScheduleAlarm(int i, HWND owner);
// Cancels alarm i's notification; false (the handle kept, to be tried
// again) when it could not be cancelled.
bool ClearAlarm(int i);
// Schedules every armed alarm and clears the others; `owner` owns the one
// message that names the alarms that could not be set (none when null, at
// shut-down).
void RescheduleAllAlarms(HWND owner);
// Replaces alarm i's notification with its snooze; false when it could not
// be set (the regular notification is kept).
bool ScheduleSnooze(int i);

// A new notification for event n at `time`; 0 on failure.
DWORD SetEventNotification(int n, const SYSTEMTIME& time);
void ClearEventNotification(DWORD handle);
bool StartCountdownNotification(HWND owner);
void ClearCountdownNotification();
bool ScheduleChime(HWND owner);
void ClearChime();
// The chime's request made or dropped as the Chime setting says, and saved.
void RescheduleChime(HWND owner);

#endif
