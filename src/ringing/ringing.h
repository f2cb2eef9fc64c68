// What the program does with an arriving event, and the state of ringing.
#ifndef WAKELOOM_RINGING_H
#define WAKELOOM_RINGING_H

#include <windows.h>

// 1 while an alarm ringing dialog is open.
extern BYTE alarmRinging;
// The alarm being rung or tested; the sound engine reads its volume.
extern int currentAlarm;

#endif
