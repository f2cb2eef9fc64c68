// The main window's menu bar: its buttons, and which commands it offers in
// each display mode and while a dialog is open.
#ifndef WAKELOOM_MENUBAR_H
#define WAKELOOM_MENUBAR_H

#include <windows.h>

// Creates the bar for `window` and keeps it in app.menuBar; says so when the
// shell cannot make one.
void CreateMainMenuBar(HWND window);
// The menu of the menu bar, or null without one.
HMENU MenuBarMenu();
// The two menus and the Settings button, disabled around every dialog but
// the chime's, and redrawn; enabling keeps what the display mode does not
// allow disabled.
void EnableMenuBar(bool enable);
void EnableCancelSnooze(bool enable);
// Greys the commands the display mode does not allow (Sleep, Countdown,
// Settings, Snooze time outside the clock mode).
void ApplyDisplayModeToMenus();
// Checks "Silence All Alarms" as the Silenced setting says.
void CheckSilenceMenuItem();

#endif
