// Process-wide state of the application shell, set up by start-up.
#ifndef WAKELOOM_APP_H
#define WAKELOOM_APP_H

#include <windows.h>

#include "contract.h"

#define WINDOW_NAME_UNITS 32
#define CLOCK_TIMER_ID    5

// The application shell's state, set up by start-up.
struct AppState {
    HINSTANCE appInstance;
    HWND menuBar;
    wchar_t windowClassName[WINDOW_NAME_UNITS];
    wchar_t windowTitle[WINDOW_NAME_UNITS];
    // Set once the window has begun to close; paint and events are then ignored.
    bool windowClosing;
    // Set while the clock bitmaps are released on low memory.
    bool bitmapsReleased;
    // The main window, handed to the parts below as the owner of what they show.
    HWND mainWindow;
    // DISPLAY_CLOCK, DISPLAY_COUNTDOWN or DISPLAY_SLEEP.
    int displayMode;
};
extern AppState app;

// The entry point's work: returns the process exit code. `commandLine` is
// the raw one (GetCommandLineW), program name included.
int WakeloomMain(HINSTANCE instance, HINSTANCE previousInstance, const wchar_t* commandLine);
bool RegisterMainWindowClass(HINSTANCE instance);
bool InitInstance(HINSTANCE instance);

#endif
