// Process-wide state of the application shell.
#ifndef WAKELOOM_APP_H
#define WAKELOOM_APP_H

#include <windows.h>

#define WINDOW_NAME_UNITS 32
#define CLOCK_TIMER_ID    5

// Application messages: events, and requests other processes may post.
#define WM_APP_EVENT        (WM_APP + 1)
#define WM_APP_SILENCE_ON   (WM_APP + 4)
#define WM_APP_SILENCE_OFF  (WM_APP + 5)
#define WM_APP_RELOAD_ALARMS (WM_APP + 6)
#define WM_APP_RELOAD_CHIME (WM_APP + 7)
#define WM_APP_NOTHING      (WM_APP + 8)

#define DISPLAY_CLOCK     0
#define DISPLAY_SLEEP     1
#define DISPLAY_COUNTDOWN 2

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HWND menuBar;
extern wchar_t windowClassName[WINDOW_NAME_UNITS];
extern wchar_t windowTitle[WINDOW_NAME_UNITS];
extern int orientation;
extern int displayMode;
extern bool windowClosing;
extern bool bitmapsReleased;
extern BYTE alarmRinging;
// The alarm being rung or tested; the sound engine reads its volume.
extern int currentAlarm;

// The entry point's work: returns the process exit code.
int WakeloomMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine,
                 int showCommand);
bool RegisterMainWindowClass(HINSTANCE instance);
bool InitInstance(HINSTANCE instance);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// When timed sleep ends, as a local-time FILETIME count.
extern ULONGLONG sleepEndTime;
// Ends sleep playback and returns to the clock; nothing outside sleep mode.
void StopSleep();

// Screen orientation: -1 landscape, 0 square, 1 portrait.
int GetOrientation();
void EnableCancelSnooze(bool enable);
// Starts or closes the Companion launcher, which shows the taskbar icon,
// as ShowIcon says.
void UpdateTaskbarIcon();

#endif
