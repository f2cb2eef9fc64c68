// The notification requests as the window makes them, and the saves behind
// them: each failure is told to the user, owned by the window that asked.
#ifndef WAKELOOM_ALARMREQUESTS_H
#define WAKELOOM_ALARMREQUESTS_H

#include <windows.h>

// Requests alarm i's next occurrence; on failure tells the user, naming the
// alarm, unless `owner` is null.
void ScheduleAlarm(int i, HWND owner);
// Schedules every armed alarm and clears the others; `owner` owns the one
// message that names the alarms that could not be set (none when null, at
// shut-down).
void RescheduleAllAlarms(HWND owner);
// The countdown's end and the chime; false, after telling the user, when
// the request could not be made.
bool StartCountdownNotification(HWND owner);
bool ScheduleChime(HWND owner);
// The chime's request made or dropped as the Chime setting says, and saved.
void RescheduleChime(HWND owner);

// Tells the user of the records that could not be saved and were not told
// of yet (regstore.h), in one message naming them and why. Called after
// each command and event and once a second, so that no failed save goes
// unseen and a failure repeated is told once. Without an owner (the
// program ending) the message comes to the front on its own.
void ShowSaveFailures(HWND owner);

#endif
