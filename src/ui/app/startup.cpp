// Start-up, the single-instance rule, the message loop and shut-down.
#include "app.h"

#include <commctrl.h>

#include "alarms.h"
#include "alarmtime.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "mainwnd.h"
#include "menubar.h"
#include "resource.h"
#include "ringing.h"
#include "alarmrequests.h"
#include "schedule.h"
#include "settings.h"
#include "sound.h"

AppState app;

// The event this start was made for, or -1.
static int startEvent = -1;

#define INSTANCE_POLL_MS 50
#define INSTANCE_WAIT_MS 20000

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    // The desktop's taskbar and task switcher show the window's icon.
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_WAKELOOM));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = app.windowClassName;
    return RegisterClassW(&wc) != 0;
}

// A countdown saved as running whose end has passed (its event was missed)
// or is damaged would show a face that never ends. Not when this start is
// for the countdown's end, which ends it as it rings.
static void EndStaleCountdown()
{
    if (settings.Countdown == 0 || startEvent == EVENT_COUNTDOWN)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    LONGLONG end = static_cast<LONGLONG>((static_cast<ULONGLONG>(settings.CDFTHigh) << 32)
                                         | settings.CDFTLow);
    if (!CountdownEndIsStale(end, SystemTimeToTicks(now)))
        return;
    settings.Countdown = 0;
    ClearCountdownNotification();
    SaveCountdownSettings();
}

bool InitInstance(HINSTANCE instance)
{
    app.appInstance = instance;

    HWND window = CreateWindowExW(0, app.windowClassName, app.windowTitle, WS_VISIBLE, 0, 0,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr || !IsWindow(window))
        return false;

    app.displayMode = DISPLAY_CLOCK;
    LoadSettings();
    // Without its records the program could neither show nor keep alarms.
    if (!AllocateAlarms()) {
        DestroyWindow(window);
        return false;
    }
    InitAlarmDefaults();
    LoadAlarms();
    app.mainWindow = window;

    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES };
    InitCommonControlsEx(&icc);

    EndStaleCountdown();
    if (settings.Countdown != 0)
        app.displayMode = DISPLAY_COUNTDOWN;
    ComputeLayout(window);
    CreateTextControls(window, app.displayMode);
    ResetClockCache();
    ShowFaceTexts(MainClockView());
    CreateButtons(window);
    LoadClockFace(app.appInstance);

    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (settings.Countdown != 0)
        SetDisplayMode(DISPLAY_COUNTDOWN);
    return true;
}

static void ShutDown()
{
    SaveSettings();
    // Notifications outlive the program: the alarms ring through the launcher.
    RescheduleAllAlarms(nullptr);
    // What could not be saved now would be lost unseen; what was told of
    // already is not told again.
    ShowSaveFailures(nullptr);
    FreeClockFace();
    FreeAlarms();
}

// The window of the Wakeloom that runs already, or null when this process
// is to be it (it then holds `*instanceMutex`). Another start may hold the
// mutex before its window exists: its window is waited for, and should it
// end meanwhile, this process takes its place.
static HWND FindRunningInstance(HANDLE* instanceMutex)
{
    *instanceMutex = CreateMutexW(nullptr, TRUE, WAKELOOM_INSTANCE_MUTEX);
    if (*instanceMutex == nullptr)
        return FindWindowW(app.windowClassName, app.windowTitle);  // the old rule, rather than none
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return FindWindowW(app.windowClassName, app.windowTitle);  // a window of an older kind
    ULONGLONG start = GetTickCount64();
    for (;;) {
        HWND running = FindWindowW(app.windowClassName, app.windowTitle);
        if (running != nullptr) {
            CloseHandle(*instanceMutex);
            *instanceMutex = nullptr;
            return running;
        }
        DWORD wait = WaitForSingleObject(*instanceMutex, INSTANCE_POLL_MS);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED)
            return nullptr;
        if (GetTickCount64() - start > INSTANCE_WAIT_MS) {
            // A holder that never shows a window: start rather than lose the event.
            return nullptr;
        }
    }
}

int WakeloomMain(HINSTANCE instance, HINSTANCE previousInstance, const wchar_t* commandLine)
{
    const wchar_t* arguments = CommandLineArguments(commandLine);
    int eventId = ParseEventId(arguments);
    int missedId = ParseMissedEventId(arguments);
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, app.windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, app.windowTitle, WINDOW_NAME_UNITS);

    HANDLE instanceMutex;
    HWND running = FindRunningInstance(&instanceMutex);
    if (running != nullptr) {
        SetForegroundWindow(running);
        if (eventId >= 0)
            PostMessageW(running, WM_APP_EVENT, static_cast<WPARAM>(eventId), 0);
        if (missedId >= 0)
            PostMessageW(running, WM_APP_MISSED, static_cast<WPARAM>(missedId), 0);
        return 1;
    }

    startEvent = eventId;
    if (previousInstance == nullptr && !RegisterMainWindowClass(instance))
        return 0;
    if (!InitInstance(instance))
        return 0;

    app.windowClosing = false;
    ringing.alarmRinging = 0;
    app.bitmapsReleased = false;
    EnableCancelSnooze(false);

    if (eventId >= 0) {
        PostMessageW(app.mainWindow, WM_APP_EVENT, static_cast<WPARAM>(eventId), 0);
    } else {
        RescheduleAllAlarms(app.mainWindow);
        if (missedId >= 0)
            PostMessageW(app.mainWindow, WM_APP_MISSED, static_cast<WPARAM>(missedId), 0);
    }
    PostMessageW(app.mainWindow, WM_PAINT, 0, 0);
    ResetClockCache();
    SetTimer(app.mainWindow, CLOCK_TIMER_ID, 1000, nullptr);
    CheckSilenceMenuItem();

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) == 1)
        DispatchMessageW(&msg);

    ShutDown();
    if (instanceMutex != nullptr) {
        ReleaseMutex(instanceMutex);
        CloseHandle(instanceMutex);
    }
    return static_cast<int>(msg.wParam);
}
