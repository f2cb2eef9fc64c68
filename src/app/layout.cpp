// The main window's controls and layout, its display modes, and the small
// operations the window procedure and the event handling call.
#include "layout.h"

#include <commctrl.h>
#include <strsafe.h>

#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "resource.h"
#include "schedule.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

RECT clockRect;
RECT prevButtonRect, stopButtonRect, pauseButtonRect, nextButtonRect;
int clientWidth, clientHeight;
int digitAreaWidth, digitAreaHeight, digitHeight;

HWND setAlarmsButton, sleepButton, stopCountdownButton;
HWND dateText, pendingAlarmText, internetTimeText;
HWND trackTitleText, trackDetailText, sleepRemainingText;
HFONT trackTitleFont, trackDetailFont;
static HFONT dateFont, pendingAlarmFont, internetTimeFont, sleepRemainingFont;

MediaNode* sleepList;

#define BUTTON_HEIGHT 20

int GetOrientation()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width > height)
        return -1;
    return width < height ? 1 : 0;
}

Layout LayoutFor(int orientation, const RECT& client)
{
    Layout layout = {};
    layout.orientation = orientation;
    int left = (client.right - 220) / 2;
    int stripTop;
    if (orientation < 0) {
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 102;
        layout.digitHeight = 90;
        layout.clock = { left, 30, left + 220, 132 };
        stripTop = 185;
    } else if (orientation == 0) {
        int k = (client.bottom - 80) / 2;
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 80;
        layout.digitHeight = 70;
        layout.clock = { left, k - 15, left + 220, k + 65 };
        stripTop = k + 117;
    } else {
        int k = (client.bottom - 140) / 2;
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 140;
        layout.digitHeight = 120;
        layout.clock = { left, k - 15, left + 220, k + 125 };
        stripTop = k + 182;
    }
    int s = ((client.right - client.left) - 124) / 2;
    int stripBottom = stripTop + 26;
    layout.prev = { s, stripTop, s + 26, stripBottom };
    layout.stop = { s + 31, stripTop, s + 57, stripBottom };
    layout.pause = { s + 62, stripTop, s + 88, stripBottom };
    layout.next = { s + 93, stripTop, s + 119, stripBottom };
    layout.buttonsTop = layout.clock.bottom + (orientation == 1 ? 59 : 56);
    return layout;
}

static int buttonsTop;

void ComputeLayout()
{
    RECT client;
    GetClientRect(mainWindow, &client);
    Layout layout = LayoutFor(GetOrientation(), client);
    orientation = layout.orientation;
    digitAreaWidth = layout.digitAreaWidth;
    digitAreaHeight = layout.digitAreaHeight;
    digitHeight = layout.digitHeight;
    clockRect = layout.clock;
    prevButtonRect = layout.prev;
    stopButtonRect = layout.stop;
    pauseButtonRect = layout.pause;
    nextButtonRect = layout.next;
    buttonsTop = layout.buttonsTop;
    clientWidth = client.right;
    clientHeight = client.bottom;
}

// ---- text controls ---------------------------------------------------------------

static int PointsToHeight(int points)
{
    HDC dc = GetDC(mainWindow);
    int height = -(points * GetDeviceCaps(dc, LOGPIXELSY)) / 72;
    ReleaseDC(mainWindow, dc);
    return height;
}

// The stock system font's face at the given size; bold or the stock weight.
static HFONT CreateSystemFont(int points, bool bold)
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfHeight = PointsToHeight(points);
    // The stock width belongs to the stock height: let the height decide.
    font.lfWidth = 0;
    if (bold)
        font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

static HWND CreateText(int x, int y, int width, int height, HFONT font, const wchar_t* text)
{
    // The beats line overlaps the pending-alarm line; clipping keeps one
    // from painting over the other.
    HWND control = CreateWindowExW(0, L"STATIC", text,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_CENTER, x, y,
                                   width, height, mainWindow, nullptr, appInstance, nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

void CreateTextControls()
{
    int left = clockRect.left, bottom = clockRect.bottom;
    if (displayMode != DISPLAY_SLEEP) {
        if (ShowITime) {
            // The date narrows to leave the beats room at its right.
            dateFont = CreateSystemFont(8, true);
            dateText = CreateText(left, bottom + 8, 150, 20, dateFont, L"");
            LOGFONTW tahoma = {};
            tahoma.lfHeight = PointsToHeight(16);
            tahoma.lfWeight = FW_BOLD;
            StringCchCopyW(tahoma.lfFaceName, LF_FACESIZE, L"Tahoma");
            internetTimeFont = CreateFontIndirectW(&tahoma);
            internetTimeText = CreateText(left + 150, bottom, 70, 40, internetTimeFont, L"");
        } else {
            dateFont = CreateSystemFont(12, true);
            dateText = CreateText(left, bottom, 220, 20, dateFont, L"");
        }
        pendingAlarmFont = CreateSystemFont(8, true);
        pendingAlarmText = CreateText(left, bottom + 28, 220, 20, pendingAlarmFont, L"");
        SetWindowPos(pendingAlarmText, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }

    int top = bottom + 8;
    int titleWidth = 216, titleHeight = 20;
    trackDetailFont = CreateSystemFont(8, false);
    trackTitleFont = CreateSystemFont(10, true);
    if (TimedSleep) {
        sleepRemainingFont = CreateSystemFont(16, true);
        sleepRemainingText = CreateText(left + 150, top, 70, 40, sleepRemainingFont, L"00:00");
        titleWidth = 150;
        titleHeight = 16;
    }
    trackTitleText = CreateText(left + 2, top, titleWidth, titleHeight, trackTitleFont, L"");
    trackDetailText = CreateText(left + 2, bottom + 28, titleWidth, 20, trackDetailFont, L"");
}

static void DestroyControl(HWND* control)
{
    if (*control != nullptr)
        DestroyWindow(*control);
    *control = nullptr;
}

static void DeleteFont(HFONT* font)
{
    if (*font != nullptr)
        DeleteObject(*font);
    *font = nullptr;
}

void DestroyTextControls()
{
    // Only one mode's set exists at a time; the others are null.
    DestroyControl(&dateText);
    DestroyControl(&pendingAlarmText);
    DestroyControl(&internetTimeText);
    DestroyControl(&trackTitleText);
    DestroyControl(&trackDetailText);
    DestroyControl(&sleepRemainingText);
    DeleteFont(&dateFont);
    DeleteFont(&pendingAlarmFont);
    DeleteFont(&internetTimeFont);
    DeleteFont(&trackTitleFont);
    DeleteFont(&trackDetailFont);
    DeleteFont(&sleepRemainingFont);
}

// ---- buttons -------------------------------------------------------------------------

static HWND CreateButton(const wchar_t* text, int x, int width, bool visible)
{
    DWORD style = WS_CHILD | BS_DEFPUSHBUTTON | (visible ? WS_VISIBLE : 0);
    return CreateWindowExW(0, L"BUTTON", text, style, x, buttonsTop, width, BUTTON_HEIGHT,
                           mainWindow, nullptr, appInstance, nullptr);
}

void CreateButtons()
{
    setAlarmsButton = CreateButton(L"Set Alarms", clockRect.left + 20, 80, true);
    sleepButton = CreateButton(L"Sleep", clockRect.left + 120, 80, true);
    stopCountdownButton = CreateButton(L"Stop Countdown", clockRect.left + 40, 140, false);
}

void DestroyButtons()
{
    DestroyControl(&setAlarmsButton);
    DestroyControl(&sleepButton);
    DestroyControl(&stopCountdownButton);
}

void ShowButtonsForMode()
{
    ShowWindow(setAlarmsButton, displayMode == DISPLAY_CLOCK ? SW_SHOW : SW_HIDE);
    ShowWindow(sleepButton, displayMode == DISPLAY_CLOCK ? SW_SHOW : SW_HIDE);
    ShowWindow(stopCountdownButton, displayMode == DISPLAY_COUNTDOWN ? SW_SHOW : SW_HIDE);
}

// ---- menu bar ------------------------------------------------------------------------

HMENU MenuBarMenu()
{
    if (menuBar == nullptr)
        return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETMENU, 0, 0));
}

static void EnableBarButton(int command, bool enable)
{
    if (menuBar != nullptr)
        SendMessageW(menuBar, TB_ENABLEBUTTON, command, MAKELONG(enable ? TRUE : FALSE, 0));
}

void EnableMenuBar(bool enable)
{
    EnableBarButton(IDM_ALARMS_MENU, enable);
    EnableBarButton(IDM_OPTIONS_MENU, enable);
    EnableBarButton(IDM_SETTINGS, enable);
}

void EnableCancelSnooze(bool enable)
{
    EnableBarButton(IDM_CANCEL_SNOOZE, enable);
    EnableMenuItem(MenuBarMenu(), IDM_CANCEL_SNOOZE, enable ? MF_ENABLED : MF_GRAYED);
}

// The commands that only make sense on the plain clock.
static void EnableClockCommands(bool enable)
{
    HMENU menu = MenuBarMenu();
    UINT state = enable ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(menu, IDM_SLEEP, state);
    EnableMenuItem(menu, IDM_COUNTDOWN, state);
    EnableMenuItem(menu, IDM_SETTINGS, state);
    EnableMenuItem(menu, IDM_SNOOZE_TIME, state);
    EnableBarButton(IDM_SETTINGS, enable);
}

// Closes a template-less dialog on OK or Cancel.
static INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunDialog(int id, DLGPROC proc, bool keepMenuBar)
{
    if (!keepMenuBar) {
        EnableMenuBar(false);
        DrawMenuBar(mainWindow);
    }
    INT_PTR result = -1;
    HRSRC found = FindResourceW(appInstance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(appInstance, found) : nullptr;
    auto* dialogTemplate = loaded != nullptr
        ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialogTemplate != nullptr)
        result = DialogBoxIndirectParamW(appInstance, dialogTemplate, mainWindow,
                                         proc != nullptr ? proc : PlainDialogProc, 0);
    if (!keepMenuBar) {
        EnableMenuBar(true);
        DrawMenuBar(mainWindow);
    }
    return result;
}

// ---- display modes ---------------------------------------------------------------

static void InvalidateStrip()
{
    RECT strip = { prevButtonRect.left - 1, prevButtonRect.top - 1, nextButtonRect.right + 1,
                   prevButtonRect.bottom + 1 };
    InvalidateRect(mainWindow, &strip, FALSE);
}

void SetDisplayMode(int mode)
{
    if (mode == DISPLAY_SLEEP) {
        EnableClockCommands(false);
        pressedButton = 0;
        sleepPaused = 0;
        ClearSavedRemainingText();
    } else if (mode == DISPLAY_CLOCK || mode == DISPLAY_COUNTDOWN) {
        EnableClockCommands(mode == DISPLAY_CLOCK);
        ResetClockCache();
    } else {
        return;
    }
    InvalidateStrip();
    DestroyTextControls();
    displayMode = mode;
    CreateTextControls();
    ShowButtonsForMode();
}

static ULONGLONG LocalNowTicks()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<ULONGLONG>(SystemTimeToTicks(now));
}

void StartSleep()
{
    RunDialog(IDD_SLEEP, nullptr);
    SaveSettings();
    if (TimedSleep) {
        // The extra 59 seconds: sleep ends once less than a whole minute is left.
        sleepEndTime = LocalNowTicks()
            + (static_cast<ULONGLONG>(SleepTime) * 60 + 59) * TICKS_PER_SECOND;
    }
    if (sleepList != nullptr && PlayMediaList(sleepList))
        SetDisplayMode(DISPLAY_SLEEP);
}

void StopSleep()
{
    if (displayMode != DISPLAY_SLEEP)
        return;
    StopMediaList();
    CloseMediaStream();
    ReleaseFMOD();
    if (sleepList != nullptr) {
        FreeMediaList(sleepList);
        sleepList = nullptr;
    }
    SetDisplayMode(DISPLAY_CLOCK);
}

void StopCountdown()
{
    Countdown = 0;
    if (displayMode != DISPLAY_COUNTDOWN)
        return;
    ClearCountdownNotification();
    SaveCountdownSettings();
    SetDisplayMode(DISPLAY_CLOCK);
    RECT area = { clockRect.left, clockRect.top - 20, 220, clockRect.bottom };
    if (orientation < 0)
        area = { 5, clockRect.top - 20, clientWidth - 10, clockRect.bottom + 51 };
    InvalidateRect(mainWindow, &area, TRUE);
}

void SetSilenced(bool on)
{
    Silenced = on ? 1 : 0;
    RescheduleAllAlarms(mainWindow);
    CheckMenuItem(MenuBarMenu(), IDM_SILENCE_ALL, on ? MF_CHECKED : MF_UNCHECKED);
    SaveSettings();
}
