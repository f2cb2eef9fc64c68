// The main window procedure: the hub between the clock, the menu commands,
// the sleep-player buttons and the events that arrive from the scheduler.
#ifndef WAKELOOM_MAINWND_H
#define WAKELOOM_MAINWND_H

#include <windows.h>

// The device's low-memory notice.
#define WM_HIBERNATE 0x03FF

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets or ends the silence of all alarms: saved, rescheduled and shown in
// the menu.
void SetSilenced(bool on);
// The "Set Alarms" button: the dialog edits a copy of the alarms, which Done
// saves and reschedules, ending any snooze. Returns the dialog's result.
INT_PTR EditAlarms();

#endif
