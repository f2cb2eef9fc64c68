// The main window procedure: the hub between the clock, the menu commands
// and the events that arrive from the scheduler.
#include "app.h"

#include "alarms.h"
#include "clockface.h"
#include "resource.h"
#include "settings.h"

static HBRUSH blackBrush;

static LRESULT OnCreate(HWND window)
{
    // The menu bar comes with the shell layer.
    blackBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    SetFocus(window);
    return 0;
}

static void CloseMainWindow(HWND window)
{
    if (windowClosing)
        return;
    KillTimer(window, CLOCK_TIMER_ID);
    windowClosing = true;
    DestroyWindow(window);
}

static void SetSilenced(bool on)
{
    Silenced = on ? 1 : 0;
    SaveSettings();
}

static LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != 0)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDM_EXIT:
        CloseMainWindow(window);
        PostQuitMessage(0);
        return 0;
    case IDM_SILENCE_ALL:
        SetSilenced(Silenced == 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        // A stock object: nothing to delete, only to forget.
        blackBrush = nullptr;
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        if (!windowClosing)
            PaintMainWindow(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CLOSE:
        CloseMainWindow(window);
        return 0;
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_TIMER:
        if (wParam == CLOCK_TIMER_ID)
            UpdateClock();
        return 0;
    case WM_APP_EVENT:
        // Ringing comes with the event handling; the event is taken and dropped.
        return 0;
    case WM_APP_SILENCE_ON:
    case WM_APP_SILENCE_OFF:
        if (!windowClosing)
            SetSilenced(message == WM_APP_SILENCE_ON);
        return 0;
    case WM_APP_RELOAD_ALARMS:
        LoadAlarms();
        return 0;
    case WM_APP_RELOAD_CHIME:
        ReloadChimeHandle();
        return 0;
    case WM_APP_NOTHING:
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
