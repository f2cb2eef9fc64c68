// Orientation, display modes and the menu-bar state of the main window.
#include "app.h"

#include <commctrl.h>

#include "resource.h"

#define SHCMBM_GETMENU (WM_USER + 402)

int GetOrientation()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width > height)
        return -1;
    return width < height ? 1 : 0;
}

void EnableCancelSnooze(bool enable)
{
    if (menuBar == nullptr)
        return;
    SendMessageW(menuBar, TB_ENABLEBUTTON, IDM_CANCEL_SNOOZE, MAKELONG(enable ? TRUE : FALSE, 0));
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETMENU, 0, 0));
    EnableMenuItem(menu, IDM_CANCEL_SNOOZE, enable ? MF_ENABLED : MF_GRAYED);
}

ULONGLONG sleepEndTime;

void StopSleep()
{
    // Sleep playback comes with the sleep player.
}
