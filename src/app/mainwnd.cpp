// The main window procedure: the hub between the clock, the menu commands,
// the sleep-player buttons and the events that arrive from the scheduler.
#include "app.h"

#include <commctrl.h>
#include <strsafe.h>

#include "alarms.h"
#include "alarmtime.h"
#include "clockface.h"
#include "layout.h"
#include "resource.h"
#include "schedule.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

#define WM_HIBERNATE 0x03FF

int pressedButton;
BYTE sleepPaused;
DWORD sleepRemainingSeconds;
ULONGLONG sleepEndTime;

static HBRUSH blackBrush;

// ---- creation and the screen turning ------------------------------------------

static void CreateMainMenuBar(HWND window)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = window;
    info.nToolBarId = IDM_MAIN_MENU;
    info.hInstRes = appInstance;
    info.nBmpId = IDB_MENUBAR_IMAGES;
    info.cBmpImages = 2;
    if (!SHCreateMenuBar(&info))
        MessageBoxW(window, L"SHCreateMenuBar Failed", L"Error", MB_OK);
    menuBar = info.hwndMB;
    if (menuBar == nullptr)
        return;

    // One text per button, the two drop-down menus first.
    const wchar_t* tooltips[4] = { L"", L"", L"Cancel snooze", L"Settings" };
    SendMessageW(menuBar, TB_SETBUTTONTOOLTIPS, 4, reinterpret_cast<LPARAM>(tooltips));
    TBBUTTON buttons[3] = {};
    buttons[0].iBitmap = -1;
    buttons[0].fsStyle = TBSTYLE_SEP;
    buttons[1].iBitmap = 0;
    buttons[1].idCommand = IDM_CANCEL_SNOOZE;
    buttons[1].fsState = TBSTATE_ENABLED;
    buttons[1].fsStyle = TBSTYLE_BUTTON;
    buttons[2].iBitmap = 1;
    buttons[2].idCommand = IDM_SETTINGS;
    buttons[2].fsState = TBSTATE_ENABLED;
    buttons[2].fsStyle = TBSTYLE_BUTTON;
    SendMessageW(menuBar, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
}

static LRESULT OnCreate(HWND window)
{
    CreateMainMenuBar(window);
    blackBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    SetFocus(window);
    return 0;
}

// Rebuilds the face for a new orientation; a turn within the same
// orientation changes nothing.
static void CheckOrientation()
{
    // Before the first layout there is nothing to rebuild.
    if (mainWindow == nullptr || GetOrientation() == orientation)
        return;
    FreeClockFace();
    ComputeLayout();
    LoadClockFace(appInstance);
    DestroyTextControls();
    CreateTextControls();
    DestroyButtons();
    CreateButtons();
    ShowButtonsForMode();
    if (displayMode == DISPLAY_SLEEP) {
        trackInfoChanged = true;
        ShowSleepTexts();
    }
    InvalidateRect(mainWindow, nullptr, TRUE);
}

static void CloseSequence(HWND window)
{
    if (windowClosing)
        return;
    KillTimer(window, CLOCK_TIMER_ID);
    windowClosing = true;
    StopSleep();
    DestroyTextControls();
    DestroyButtons();
    DestroyWindow(window);
}

// Redraws the whole face at once.
static void PaintClockNow(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

// ---- commands ---------------------------------------------------------------------

static void StartProgram(const wchar_t* program, const wchar_t* arguments)
{
    wchar_t commandLine[MAX_PATH];
    StringCchCopyW(commandLine, ARRAYSIZE(commandLine), arguments);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (CreateProcessW(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

static void OpenSoundControlPanel()
{
    const wchar_t* applet = L"cplmain.cpl 9,0";
    if (GetFileAttributesW(L"\\Windows\\sounds.cpl") != INVALID_FILE_ATTRIBUTES)
        applet = L"sounds.cpl";
    else if (GetFileAttributesW(L"\\Windows\\soundsg.cpl") != INVALID_FILE_ATTRIBUTES)
        applet = L"soundsg.cpl";
    StartProgram(L"\\Windows\\ctlpnl.exe", applet);
}

static void OnSettings(HWND window)
{
    if (RunDialog(IDD_SETTINGS, nullptr) != 1)
        return;
    SaveSettings();
    RECT area = { clockRect.left, clockRect.top - 20, 220, clockRect.bottom };
    if (orientation != 1)
        area = { 5, clockRect.top - 20, clientWidth - 10, clockRect.bottom + 51 };
    InvalidateRect(window, &area, TRUE);
    DestroyTextControls();
    CreateTextControls();
    PaintClockNow(window);
    UpdateTaskbarIcon();
}

static void OnSilenceAll(HWND window)
{
    SetSilenced(Silenced == 0);
    RECT bell = { 298, 31, 316, 47 };
    if (orientation >= 0)
        bell = { clockRect.left + 2, clockRect.top - 20, clockRect.left + 18, clockRect.top - 4 };
    InvalidateRect(window, &bell, FALSE);
}

static void OnCountdown()
{
    if (RunDialog(IDD_COUNTDOWN, nullptr) != IDC_COUNTDOWN_START)
        return;
    StartCountdownNotification(mainWindow);
    Countdown = 1;
    SaveCountdownSettings();
    SetDisplayMode(DISPLAY_COUNTDOWN);
}

static void OnHourlyChime()
{
    if (RunDialog(IDD_HOURLY_CHIME, nullptr, true) != 1)
        return;
    ReloadChimeHandle();
    if (Chime)
        ScheduleChime(mainWindow);
    else
        ClearChime();
    SaveChimeSettings();
}

static LRESULT OnButton(HWND button)
{
    if (button == setAlarmsButton) {
        RunDialog(IDD_SET_ALARMS, nullptr);
        // Saving the alarms rescheduled them, which ends any snooze.
        EnableCancelSnooze(false);
        SaveSettings();
    } else if (button == sleepButton) {
        StartSleep();
    } else if (button == stopCountdownButton) {
        StopCountdown();
    }
    return 0;
}

static LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr
        && (control == setAlarmsButton || control == sleepButton || control == stopCountdownButton)) {
        if (HIWORD(wParam) != BN_CLICKED)
            return DefWindowProcW(window, message, wParam, lParam);
        return OnButton(control);
    }
    if (HIWORD(wParam) != 0)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (LOWORD(wParam)) {
    case IDM_EXIT:
        CloseSequence(window);
        PostQuitMessage(0);
        return 0;
    case IDM_SETTINGS:
        OnSettings(window);
        return 0;
    case IDM_SOUND_CONTROL_PANEL:
        OpenSoundControlPanel();
        return 0;
    case IDM_CANCEL_SNOOZE:
        RescheduleAllAlarms(mainWindow);
        EnableCancelSnooze(false);
        return 0;
    case IDM_HELP:
        StartProgram(L"PegHelp.exe", L"wkl.htp");
        return 0;
    case IDM_ABOUT:
        RunDialog(IDD_ABOUT, nullptr);
        return 0;
    case IDM_SLEEP:
        StartSleep();
        return 0;
    case IDM_SILENCE_ALL:
        OnSilenceAll(window);
        return 0;
    case IDM_COUNTDOWN:
        OnCountdown();
        return 0;
    case IDM_SNOOZE_TIME:
        if (RunDialog(IDD_SNOOZE_TIME, nullptr) == 1)
            SaveSettings();
        return 0;
    case IDM_HOURLY_CHIME:
        OnHourlyChime();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- the clock timer ---------------------------------------------------------------

static void OnClockTimer()
{
    if (oneShotFinished.exchange(false))
        CloseOneShot();
    UpdateClock();
    if (displayMode == DISPLAY_SLEEP) {
        SleepEndReached();   // stops sleep when the music or the time is over
        // The device must not suspend while sleep music plays.
        if (displayMode == DISPLAY_SLEEP)
            SystemIdleTimerReset();
    } else if (displayMode == DISPLAY_COUNTDOWN && CountdownKeepAwake) {
        SystemIdleTimerReset();
    }
}

// ---- the sleep-player buttons -----------------------------------------------------

static ULONGLONG LocalNowTicks()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<ULONGLONG>(SystemTimeToTicks(now));
}

// Which button's square holds the point: 1 previous .. 4 next, 0 none.
static int PlayerButtonAt(POINT point)
{
    if (PtInRect(&prevButtonRect, point))
        return 1;
    if (PtInRect(&stopButtonRect, point))
        return 2;
    if (PtInRect(&pauseButtonRect, point))
        return 3;
    if (PtInRect(&nextButtonRect, point))
        return 4;
    return 0;
}

static const RECT* PlayerButtonRect(int button)
{
    switch (button) {
    case 1: return &prevButtonRect;
    case 2: return &stopButtonRect;
    case 3: return &pauseButtonRect;
    case 4: return &nextButtonRect;
    }
    return nullptr;
}

static bool CanSkipBack()
{
    return !sleepPaused && currentTrack.load() != mediaListHead;
}

static bool CanSkipForward()
{
    MediaNode* track = currentTrack;
    return !sleepPaused && track != nullptr && track->next != nullptr;
}

static POINT PointOf(LPARAM lParam)
{
    POINT point = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    return point;
}

static LRESULT OnPenDown(HWND window, LPARAM lParam)
{
    // The buttons exist only while sleep music plays.
    if (displayMode != DISPLAY_SLEEP)
        return 0;
    int button = PlayerButtonAt(PointOf(lParam));
    if ((button == 1 && !CanSkipBack()) || (button == 4 && !CanSkipForward()))
        button = 0;
    if (button != 0) {
        pressedButton = button;
        InvalidateRect(window, PlayerButtonRect(button), FALSE);
    }
    return 0;
}

static void TogglePause()
{
    if (!sleepPaused) {
        sleepPaused = 1;
        ClearSavedRemainingText();
        PauseAllSound(true);
        if (TimedSleep) {
            LONGLONG left = static_cast<LONGLONG>(sleepEndTime - LocalNowTicks());
            sleepRemainingSeconds = left > 0 ? static_cast<DWORD>(left / TICKS_PER_SECOND) : 0;
        }
    } else {
        sleepPaused = 0;
        PauseAllSound(false);
        if (TimedSleep)
            sleepEndTime = LocalNowTicks()
                + static_cast<ULONGLONG>(sleepRemainingSeconds) * TICKS_PER_SECOND;
        BlinkSleepTexts(true);
    }
}

static LRESULT OnPenUp(HWND window, LPARAM lParam)
{
    int pressed = pressedButton;
    if (pressed < 1)
        return 0;
    if (PlayerButtonAt(PointOf(lParam)) == pressed) {
        switch (pressed) {
        case 1:
            if (CanSkipBack())
                SkipTrack(false);
            break;
        case 2:
            if (sleepPaused) {
                sleepPaused = 0;
                PauseAllSound(false);
            }
            StopSleep();
            break;
        case 3:
            TogglePause();
            break;
        case 4:
            if (CanSkipForward())
                SkipTrack(true);
            break;
        }
    }
    pressedButton = 0;
    if (pressed == 1 || pressed == 4) {
        InvalidateRect(window, &prevButtonRect, FALSE);
        InvalidateRect(window, &nextButtonRect, FALSE);
    } else {
        InvalidateRect(window, PlayerButtonRect(pressed), FALSE);
    }
    return 0;
}

// ---- the window procedure ------------------------------------------------------------

static bool IsMainButton(HWND control)
{
    return control != nullptr
        && (control == setAlarmsButton || control == sleepButton || control == stopCountdownButton);
}

static bool IsMainText(HWND control)
{
    return control != nullptr
        && (control == dateText || control == pendingAlarmText || control == internetTimeText
            || control == trackTitleText || control == trackDetailText
            || control == sleepRemainingText);
}

static LRESULT YellowOnBlack(HDC dc)
{
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(blackBrush);
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
    case WM_SIZE:
        CheckOrientation();
        return 0;
    case WM_ACTIVATE:
        if (bitmapsReleased) {
            LoadClockFace(appInstance);
            PaintClockNow(window);
            bitmapsReleased = false;
        }
        break;
    case WM_PAINT:
        if (!windowClosing)
            PaintMainWindow(window);
        break;
    case WM_CLOSE:
        CloseSequence(window);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET)
            CheckOrientation();
        return 0;
    case WM_HELP:
        StartProgram(L"peghelp", L"file:wkl.htp#wkl_help");
        return 0;
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_TIMER:
        if (wParam == CLOCK_TIMER_ID)
            OnClockTimer();
        return 0;
    case WM_CTLCOLORBTN:
        return IsMainButton(reinterpret_cast<HWND>(lParam))
            ? YellowOnBlack(reinterpret_cast<HDC>(wParam)) : 0;
    case WM_CTLCOLORSTATIC:
        return IsMainText(reinterpret_cast<HWND>(lParam))
            ? YellowOnBlack(reinterpret_cast<HDC>(wParam)) : 0;
    case WM_LBUTTONDOWN:
        return OnPenDown(window, lParam);
    case WM_LBUTTONUP:
        return OnPenUp(window, lParam);
    case WM_HIBERNATE:
        if (!windowClosing) {
            FreeClockFace();
            bitmapsReleased = true;
        }
        break;
    case WM_APP_EVENT:
        // Ringing and the countdown's end come with the event handling; an
        // event arriving while the window closes is dropped in any case.
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
