#include "mainwnd.h"

#include "alarms.h"
#include "app.h"
#include "clockface.h"
#include "dialogs.h"
#include "displaymode.h"
#include "launch.h"
#include "launcher.h"
#include "layout.h"
#include "menubar.h"
#include "messages.h"
#include "resource.h"
#include "ringing.h"
#include "alarmrequests.h"
#include "schedule.h"
#include "settings.h"
#include "shell.h"
#include "sleepplayer.h"
#include "sound.h"

static HBRUSH blackBrush;

// ---- creation and the screen turning ------------------------------------------

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
    if (app.mainWindow == nullptr || GetOrientation() == orientation)
        return;
    FreeClockFace();
    ComputeLayout(app.mainWindow);
    LoadClockFace(app.appInstance);
    DestroyTextControls();
    CreateTextControls(app.mainWindow, app.displayMode);
    DestroyButtons();
    CreateButtons(app.mainWindow);
    ShowButtonsForMode(app.displayMode);
    // The new lines show the current track and every text at once.
    if (app.displayMode == DISPLAY_SLEEP)
        MarkTrackInfoChanged();
    ShowFaceTexts(MainClockView());
    InvalidateRect(app.mainWindow, nullptr, TRUE);
}

static void CloseSequence(HWND window)
{
    if (app.windowClosing)
        return;
    KillTimer(window, CLOCK_TIMER_ID);
    app.windowClosing = true;
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

void SetSilenced(bool on)
{
    settings.Silenced = on ? 1 : 0;
    RescheduleAllAlarms(app.mainWindow);
    CheckSilenceMenuItem();
    SaveSettings();
}

static void OpenSoundControlPanel()
{
    const wchar_t* applet = L"cplmain.cpl 9,0";
    if (GetFileAttributesW(L"\\Windows\\sounds.cpl") != INVALID_FILE_ATTRIBUTES)
        applet = L"sounds.cpl";
    else if (GetFileAttributesW(L"\\Windows\\soundsg.cpl") != INVALID_FILE_ATTRIBUTES)
        applet = L"soundsg.cpl";
    LaunchProgram(L"\\Windows\\ctlpnl.exe", applet);
}

static void OnSettings(HWND window)
{
    EnableMenuBar(false);
    INT_PTR result = RunSettingsDialog(window, &settings);
    EnableMenuBar(true);
    if (result != IDOK)
        return;
    SaveSettings();
    InvalidateClockArea(orientation != 1);
    DestroyTextControls();
    CreateTextControls(window, app.displayMode);
    ShowFaceTexts(MainClockView());
    PaintClockNow(window);
    UpdateTaskbarIcon();
}

static void OnSilenceAll(HWND window)
{
    SetSilenced(settings.Silenced == 0);
    InvalidateRect(window, &MainLayout().bellRect, FALSE);
}

static void OnCountdown(HWND window)
{
    EnableMenuBar(false);
    INT_PTR result = RunCountdownDialog(window, &settings);
    EnableMenuBar(true);
    if (result != IDC_COUNTDOWN_START)
        return;
    // A countdown that could not be set would never ring: not shown as running.
    if (!StartCountdownNotification(app.mainWindow))
        return;
    settings.Countdown = 1;
    SaveCountdownSettings();
    SetDisplayMode(DISPLAY_COUNTDOWN);
}

static void OnSnoozeTime(HWND window)
{
    EnableMenuBar(false);
    INT_PTR result = RunSnoozeTimeDialog(window, &settings.SnoozeTime);
    EnableMenuBar(true);
    if (result == IDOK)
        SaveSettings();
}

static void OnAbout(HWND window)
{
    EnableMenuBar(false);
    RunAboutDialog(window);
    EnableMenuBar(true);
}

// The menu bar stays on around this dialog.
static void OnHourlyChime()
{
    if (RunChimeDialog(app.mainWindow, &settings) != IDOK)
        return;
    ReloadChimeHandle();
    RescheduleChime(app.mainWindow);
}

INT_PTR EditAlarms()
{
    Alarm edited[ALARM_COUNT];
    for (int i = 0; i < ALARM_COUNT; i++)
        edited[i] = *alarms[i];
    EnableMenuBar(false);
    INT_PTR result = RunSetAlarmsDialog(app.mainWindow, edited, settings.TwentyFourHourTime != 0);
    EnableMenuBar(true);
    if (result == IDOK) {
        for (int i = 0; i < ALARM_COUNT; i++) {
            // The handle is the scheduler's: a ring meanwhile may have changed it.
            DWORD handle = alarms[i]->AlarmHandle;
            *alarms[i] = edited[i];
            alarms[i]->AlarmHandle = handle;
        }
        SaveAlarms();
        RescheduleAllAlarms(app.mainWindow);
        // Rescheduled, a snooze is over; after Cancel a snooze still pending
        // can still be cancelled.
        EnableCancelSnooze(false);
    }
    SaveSettings();
    return result;
}

static LRESULT OnButton(HWND button)
{
    if (button == mainControls.setAlarmsButton) {
        EditAlarms();
    } else if (button == mainControls.sleepButton) {
        StartSleep();
    } else if (button == mainControls.stopCountdownButton) {
        StopCountdown();
    }
    return 0;
}

static LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (IsMainButton(control)) {
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
        RescheduleAllAlarms(app.mainWindow);
        EnableCancelSnooze(false);
        return 0;
    case IDM_HELP:
        LaunchProgram(L"PegHelp.exe", L"wkl.htp");
        return 0;
    case IDM_ABOUT:
        OnAbout(window);
        return 0;
    case IDM_SLEEP:
        StartSleep();
        return 0;
    case IDM_SILENCE_ALL:
        OnSilenceAll(window);
        return 0;
    case IDM_COUNTDOWN:
        OnCountdown(window);
        return 0;
    case IDM_SNOOZE_TIME:
        OnSnoozeTime(window);
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
    // What start-up or a request of another program could not save.
    ShowSaveFailures(app.mainWindow);
    // The chime's one-shot gives its use of the sound library back.
    if (TakeOneShotFinished() && CloseOneShot())
        ReleaseFMOD();
    UpdateClock(MainClockView());
    if (app.displayMode == DISPLAY_SLEEP) {
        // The sound library's thread leaves the telling to this one, after
        // the music has stopped.
        bool trackFailed = TakeMediaTrackFailure();
        SleepEndReached();
        if (trackFailed)
            ShowMessage(app.mainWindow, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
        // The device must not suspend while sleep music plays.
        if (app.displayMode == DISPLAY_SLEEP)
            SystemIdleTimerReset();
    } else if (app.displayMode == DISPLAY_COUNTDOWN && settings.CountdownKeepAwake) {
        SystemIdleTimerReset();
    }
}

// ---- events ------------------------------------------------------------------------------

// An event, on time or missed, and what it leaves to the window: an alarm
// rings alone, so sleep music and a running countdown end first.
static void OnEvent(HWND window, WPARAM event, bool missed)
{
    EventResult result = missed ? HandleMissedEvent(window, event) : HandleEvent(window, event);
    if (result == EVENT_ENDS_COUNTDOWN) {
        StopCountdown();
    } else if (result == EVENT_RINGS_ALARM) {
        if (app.displayMode == DISPLAY_SLEEP)
            StopSleep();
        if (app.displayMode == DISPLAY_COUNTDOWN)
            StopCountdown();
        EnableCancelSnooze(false);
        // A snooze asked for is already requested, and can be cancelled.
        EnableCancelSnooze(RingAlarm(window, static_cast<int>(event)) == RING_SNOOZED);
    }
    ShowPendingAlarm();
    ShowSaveFailures(window);
}

// ---- painting ---------------------------------------------------------------------------

static void OnPaint(HWND window)
{
    // The digits are brought to the time now first: their slots join this
    // paint when they changed.
    RefreshFace(MainClockView());
    PaintMainWindow(window, MainLayout(), ShownFace(), app.displayMode, CurrentPlayerLook(),
                    settings.Silenced != 0);
}

// ---- the window procedure ------------------------------------------------------------

static POINT PointOf(LPARAM lParam)
{
    POINT point = { static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)) };
    return point;
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
        if (app.bitmapsReleased) {
            LoadClockFace(app.appInstance);
            PaintClockNow(window);
            app.bitmapsReleased = false;
        }
        break;
    case WM_PAINT:
        if (!app.windowClosing) {
            // Painted and validated: the default handling would only begin
            // and end another paint.
            OnPaint(window);
            return 0;
        }
        break;
    case WM_CLOSE:
        CloseSequence(window);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SETTINGCHANGE_RESET)
            CheckOrientation();
        return 0;
    case WM_HELP:
        LaunchProgram(L"peghelp", L"file:wkl.htp#wkl_help");
        return 0;
    case WM_COMMAND: {
        // A dialog may have changed what rings next, or failed to save it.
        LRESULT result = OnCommand(window, message, wParam, lParam);
        ShowPendingAlarm();
        ShowSaveFailures(window);
        return result;
    }
    case WM_TIMER:
        if (wParam == CLOCK_TIMER_ID)
            OnClockTimer();
        return 0;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!IsMainButton(item->hwndItem))
            break;
        DrawMainButton(item);
        return TRUE;
    }
    case WM_CTLCOLORBTN:
        return IsMainButton(reinterpret_cast<HWND>(lParam))
            ? YellowOnBlack(reinterpret_cast<HDC>(wParam)) : 0;
    case WM_CTLCOLORSTATIC:
        return IsMainText(reinterpret_cast<HWND>(lParam))
            ? YellowOnBlack(reinterpret_cast<HDC>(wParam)) : 0;
    case WM_LBUTTONDOWN:
        OnPlayerPenDown(PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnPlayerPenUp(PointOf(lParam));
        return 0;
    case WM_HIBERNATE:
        if (!app.windowClosing) {
            FreeClockFace();
            app.bitmapsReleased = true;
        }
        break;
    case WM_APP_EVENT:
    case WM_APP_MISSED:
        if (!app.windowClosing)
            OnEvent(window, wParam, message == WM_APP_MISSED);
        return 0;
    case WM_POWERBROADCAST:
        // The nearest the desktop comes to the device being switched off
        // and on: sound streams may not have survived, so a ringing alarm
        // starts its sound again.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            FSOUND_NotePowerOn();
        return TRUE;
    case WM_APP_SILENCE_ON:
    case WM_APP_SILENCE_OFF:
        if (!app.windowClosing) {
            SetSilenced(message == WM_APP_SILENCE_ON);
            ShowSaveFailures(window);
        }
        return 0;
    case WM_APP_RELOAD_ALARMS:
        LoadAlarms();
        ShowPendingAlarm();
        return 0;
    case WM_APP_RELOAD_CHIME:
        ReloadChimeHandle();
        return 0;
    case WM_APP_NOTHING:
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
