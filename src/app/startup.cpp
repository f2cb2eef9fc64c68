// Start-up, the single-instance rule, the message loop and shut-down.
#include "app.h"

#include <commctrl.h>

#include "alarms.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "mainwnd.h"
#include "menubar.h"
#include "resource.h"
#include "ringing.h"
#include "schedule.h"
#include "settings.h"
#include "sound.h"

HINSTANCE appInstance;
HWND mainWindow;
HWND menuBar;
wchar_t windowClassName[WINDOW_NAME_UNITS];
wchar_t windowTitle[WINDOW_NAME_UNITS];
bool windowClosing;
bool bitmapsReleased;

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = windowClassName;
    return RegisterClassW(&wc) != 0;
}

bool InitInstance(HINSTANCE instance)
{
    appInstance = instance;

    HWND window = CreateWindowExW(0, windowClassName, windowTitle, WS_VISIBLE, 0, 0,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr || !IsWindow(window))
        return false;

    displayMode = DISPLAY_CLOCK;
    LoadSettings();
    // Without its records the program could neither show nor keep alarms.
    if (!AllocateAlarms()) {
        DestroyWindow(window);
        return false;
    }
    InitAlarmDefaults();
    LoadAlarms();
    mainWindow = window;

    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES };
    InitCommonControlsEx(&icc);

    if (Countdown != 0)
        displayMode = DISPLAY_COUNTDOWN;
    ComputeLayout();
    CreateTextControls();
    ShowPendingAlarm();
    CreateButtons();
    LoadClockFace(appInstance);

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (Countdown != 0)
        SetDisplayMode(DISPLAY_COUNTDOWN);
    return true;
}

static void ShutDown()
{
    SaveSettings();
    // Notifications outlive the program: the alarms ring through the launcher.
    RescheduleAllAlarms(nullptr);
    FreeClockFace();
    FreeAlarms();
}

int WakeloomMain(HINSTANCE instance, HINSTANCE previousInstance, const wchar_t* commandLine)
{
    const wchar_t* arguments = CommandLineArguments(commandLine);
    int eventId = ParseEventId(arguments);
    int missedId = ParseMissedEventId(arguments);
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, windowTitle, WINDOW_NAME_UNITS);

    HWND running = FindWindowW(windowClassName, windowTitle);
    if (running != nullptr) {
        SetForegroundWindow(running);
        if (eventId >= 0)
            PostMessageW(running, WM_APP_EVENT, static_cast<WPARAM>(eventId), 0);
        if (missedId >= 0)
            PostMessageW(running, WM_APP_MISSED, static_cast<WPARAM>(missedId), 0);
        return 1;
    }

    if (previousInstance == nullptr && !RegisterMainWindowClass(instance))
        return 0;
    if (!InitInstance(instance))
        return 0;

    fmodUseCount = 0;
    windowClosing = false;
    alarmRinging = 0;
    bitmapsReleased = false;
    EnableCancelSnooze(false);

    if (eventId >= 0) {
        PostMessageW(mainWindow, WM_APP_EVENT, static_cast<WPARAM>(eventId), 0);
    } else {
        RescheduleAllAlarms(mainWindow);
        if (missedId >= 0)
            PostMessageW(mainWindow, WM_APP_MISSED, static_cast<WPARAM>(missedId), 0);
    }
    PostMessageW(mainWindow, WM_PAINT, 0, 0);
    ResetClockCache();
    SetTimer(mainWindow, CLOCK_TIMER_ID, 1000, nullptr);
    CheckSilenceMenuItem();

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) == 1)
        DispatchMessageW(&msg);

    ShutDown();
    return static_cast<int>(msg.wParam);
}
