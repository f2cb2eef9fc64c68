// The Pocket PC shell services the program relies on, built for desktop
// Windows: the menu bar along the bottom of the screen, full-screen dialogs
// with a Done button, the idle timer, and the device's screen: a taskbar
// strip at the top, the menu bar at the bottom, the program's window in
// between, and a notice to that window when the screen turns.
#ifndef WAKELOOM_SHELL_H
#define WAKELOOM_SHELL_H

#include <windows.h>

// As on the device, a full-screen window reaches from the top of the screen
// down to the menu bar, and the taskbar strip lies over its top band, which
// the window leaves free. These heights keep that band clear of the clock face
// (which starts at y 25) and leave a 240 x 296 client area in portrait and
// 320 x 216 in landscape: the whole face, player strip included, shows.
#define TASKBAR_HEIGHT 24
#define MENUBAR_HEIGHT 24

// The menu of a menu bar (wParam, lParam 0; returns the HMENU).
#define SHCMBM_GETMENU (WM_USER + 402)
// The device's TB_SETTOOLTIPS: wParam the number of texts, lParam an array
// of text pointers, one per button. Desktop toolbars give the number another
// meaning, so the menu bar answers it itself.
#define TB_SETBUTTONTOOLTIPS (WM_USER + 81)
// WM_SETTINGCHANGE wParam the shell sends when the screen has turned.
#define SETTINGCHANGE_RESET 0x3002

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;     // the RCDATA record and the menu of this id
    HINSTANCE hInstRes;
    int nBmpId;          // the button pictures, side by side
    int cBmpImages;
    HWND hwndMB;         // out: the menu bar
    COLORREF clrBk;
};

// Creates the menu bar described by RCDATA nToolBarId: each record names a
// drop-down button that opens a sub-menu of menu nToolBarId. Places the bar
// along the bottom of the screen and fits its parent above it.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

#define SHIDIM_FLAGS              0x0001
#define SHIDIF_DONEBUTTON         0x0001
#define SHIDIF_SIZEDLG            0x0002
#define SHIDIF_SIZEDLGFULLSCREEN  0x0004
#define SHIDIF_SIPDOWN            0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

// Makes a dialog full screen as the device shows it: its title in a
// taskbar strip at the top, its controls below, and with SHIDIF_DONEBUTTON
// a Done button in the strip that sends the dialog IDOK.
BOOL SHInitDialog(SHINITDLGINFO* info);

// Keeps the machine and the display from going idle.
void SystemIdleTimerReset();

// The screen area between the taskbar and the menu bar.
RECT DeviceWorkArea();
// Gives a top-level window the device's look: no caption or frame, from the
// top of the screen down to the menu bar, with the taskbar strip over its
// top band.
void PlaceOnDeviceScreen(HWND window);
// The main window's taskbar strip (null before a window was placed), and a
// full-screen dialog's Done button (IDOK) or close box (IDCANCEL).
HWND DeviceTaskbar();
HWND DeviceDoneButton(HWND dialog, int id = IDOK);

#endif
