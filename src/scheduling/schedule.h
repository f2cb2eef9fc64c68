// Event numbers and the notifications that start the program at due times.
#ifndef WAKELOOM_SCHEDULE_H
#define WAKELOOM_SCHEDULE_H

#include <windows.h>

// Event numbers: 0..9 an alarm (its index), then these two.
#define EVENT_COUNTDOWN 254
#define EVENT_CHIME     255

// The n of a command line that begins with "/ID:" and n, or -1.
int ParseEventId(const wchar_t* commandLine);

// Schedules every armed alarm and clears the others; `owner` owns any error
// message (null at shut-down).
void RescheduleAllAlarms(HWND owner);

#endif
