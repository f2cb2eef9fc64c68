#include "layout.h"

#include <strsafe.h>

#include "messages.h"
#include "resource.h"
#include "settings.h"

MainControls mainControls;

int orientation;
static Layout current;

static HFONT dateFont, pendingAlarmFont, internetTimeFont, sleepRemainingFont;

#define BUTTON_HEIGHT 20
#define YELLOW        RGB(255, 255, 0)

// The places of the face that follow from the clock rectangle and the
// client size.
static void PlaceFace(Layout* layout)
{
    const RECT& c = layout->clockRect;
    int l = c.left, t = c.top, r = c.right, b = c.bottom;
    int w = layout->clientWidth, h = layout->clientHeight;
    int top = t + 10, height = layout->digitHeight;
    layout->digitSlots[1] = { l + 10, top, l + 50, top + height };
    layout->digitSlots[2] = { l + 60, top, l + 100, top + height };
    layout->digitSlots[COLON_SLOT] = { l + 100, top, l + 120, top + height };
    layout->digitSlots[3] = { l + 120, top, l + 160, top + height };
    layout->digitSlots[4] = { l + 170, top, l + 210, top + height };
    if (layout->orientation < 0) {
        // Landscape places its indicators at fixed window coordinates.
        layout->frameRect = { l - 48, t - 3, r + 48, b + 51 };
        layout->edgeCount = 0;
        layout->indicatorRect = { 5, 37, 53, 85 };
        layout->labelRect = { 6, 40, 29, 240 };
        layout->bellRect = { 298, 31, 314, 47 };
    } else {
        layout->frameRect = { l - 3, t - 23, r + 3, b + 51 };
        layout->edgeRects[0] = { 0, 25, 2, h };
        layout->edgeRects[1] = { 0, 25, w, 27 };
        layout->edgeRects[2] = { 0, h - 2, w, h };
        layout->edgeRects[3] = { w - 2, 25, w, h };
        layout->edgeCount = 4;
        layout->indicatorRect = { l + 20, t - 20, l + 220, t + 3 };
        layout->labelRect = layout->indicatorRect;
        layout->bellRect = { l + 2, t - 20, l + 18, t - 4 };
    }
    layout->clockAreaRect = { l, t - 20, 220, b };
    layout->wideClockAreaRect = { 5, t - 20, w - 10, b + 51 };
}

Layout LayoutFor(int orientation, const RECT& client)
{
    Layout layout = {};
    layout.orientation = orientation;
    layout.clientWidth = client.right;
    layout.clientHeight = client.bottom;
    int left = (client.right - 220) / 2;
    int stripTop;
    if (orientation < 0) {
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 102;
        layout.digitHeight = 90;
        layout.clockRect = { left, 30, left + 220, 132 };
        stripTop = 185;
    } else if (orientation == 0) {
        int k = (client.bottom - 80) / 2;
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 80;
        layout.digitHeight = 70;
        layout.clockRect = { left, k - 15, left + 220, k + 65 };
        stripTop = k + 117;
    } else {
        int k = (client.bottom - 140) / 2;
        layout.digitAreaWidth = 220;
        layout.digitAreaHeight = 140;
        layout.digitHeight = 120;
        layout.clockRect = { left, k - 15, left + 220, k + 125 };
        stripTop = k + 182;
    }
    int s = ((client.right - client.left) - 124) / 2;
    int stripBottom = stripTop + 26;
    layout.prevButtonRect = { s, stripTop, s + 26, stripBottom };
    layout.stopButtonRect = { s + 31, stripTop, s + 57, stripBottom };
    layout.pauseButtonRect = { s + 62, stripTop, s + 88, stripBottom };
    layout.nextButtonRect = { s + 93, stripTop, s + 119, stripBottom };
    layout.playerStripRect = { s - 1, stripTop - 1, s + 120, stripBottom + 1 };
    layout.buttonsTop = layout.clockRect.bottom + (orientation == 1 ? 59 : 56);
    PlaceFace(&layout);
    return layout;
}

const Layout& MainLayout()
{
    return current;
}

void ComputeLayout(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    current = LayoutFor(GetOrientation(), client);
    orientation = current.orientation;
}

// ---- text controls ---------------------------------------------------------------

// The stock system font's face at the given size and weight.
static HFONT CreateSystemFont(int points, int weight)
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfHeight = PointsToHeight(points);
    // The stock width belongs to the stock height: let the height decide.
    font.lfWidth = 0;
    font.lfWeight = weight;
    return CreateFontIndirectW(&font);
}

static HINSTANCE InstanceOf(HWND window)
{
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
}

static HWND CreateText(HWND window, int x, int y, int width, int height, HFONT font,
                       const wchar_t* text)
{
    // The beats line overlaps the pending-alarm line; clipping keeps one
    // from painting over the other.
    HWND control = CreateWindowExW(0, L"STATIC", text,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_CENTER, x, y,
                                   width, height, window, nullptr, InstanceOf(window), nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

static void CreateClockTexts(HWND window)
{
    int left = current.clockRect.left, bottom = current.clockRect.bottom;
    if (settings.ShowITime) {
        // The date narrows to leave the beats room at its right.
        dateFont = CreateSystemFont(8, FW_BOLD);
        mainControls.dateText = CreateText(window, left, bottom + 8, 150, 20, dateFont, L"");
        LOGFONTW tahoma = {};
        tahoma.lfHeight = PointsToHeight(16);
        tahoma.lfWeight = FW_BOLD;
        StringCchCopyW(tahoma.lfFaceName, LF_FACESIZE, L"Tahoma");
        internetTimeFont = CreateFontIndirectW(&tahoma);
        mainControls.internetTimeText = CreateText(window, left + 150, bottom, 70, 40,
                                                   internetTimeFont, L"");
    } else {
        dateFont = CreateSystemFont(12, FW_BOLD);
        mainControls.dateText = CreateText(window, left, bottom, 220, 20, dateFont, L"");
    }
    pendingAlarmFont = CreateSystemFont(8, FW_BOLD);
    mainControls.pendingAlarmText = CreateText(window, left, bottom + 28, 220, 20,
                                               pendingAlarmFont, L"");
    SetWindowPos(mainControls.pendingAlarmText, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

static void CreateSleepTexts(HWND window)
{
    int left = current.clockRect.left, bottom = current.clockRect.bottom;
    int top = bottom + 8;
    int titleWidth = 216, titleHeight = 20;
    // The stock font is bold under Wine: the artist line asks for normal.
    mainControls.trackDetailFont = CreateSystemFont(8, FW_NORMAL);
    mainControls.trackTitleFont = CreateSystemFont(10, FW_BOLD);
    if (settings.TimedSleep) {
        sleepRemainingFont = CreateSystemFont(16, FW_BOLD);
        mainControls.sleepRemainingText = CreateText(window, left + 150, top, 70, 40,
                                                     sleepRemainingFont, L"00:00");
        titleWidth = 150;
        titleHeight = 16;
    }
    MainControls& c = mainControls;
    c.trackTitleText = CreateText(window, left + 2, top, titleWidth, titleHeight, c.trackTitleFont, L"");
    c.trackDetailText = CreateText(window, left + 2, bottom + 28, titleWidth, 20, c.trackDetailFont,
                                   L"");
}

void CreateTextControls(HWND window, int mode)
{
    if (mode == FACE_MODE_SLEEP)
        CreateSleepTexts(window);
    else
        CreateClockTexts(window);
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
    DestroyControl(&mainControls.dateText);
    DestroyControl(&mainControls.pendingAlarmText);
    DestroyControl(&mainControls.internetTimeText);
    DestroyControl(&mainControls.trackTitleText);
    DestroyControl(&mainControls.trackDetailText);
    DestroyControl(&mainControls.sleepRemainingText);
    DeleteFont(&dateFont);
    DeleteFont(&pendingAlarmFont);
    DeleteFont(&internetTimeFont);
    DeleteFont(&mainControls.trackTitleFont);
    DeleteFont(&mainControls.trackDetailFont);
    DeleteFont(&sleepRemainingFont);
}

bool IsMainText(HWND control)
{
    const MainControls& c = mainControls;
    return control != nullptr
        && (control == c.dateText || control == c.pendingAlarmText || control == c.internetTimeText
            || control == c.trackTitleText || control == c.trackDetailText
            || control == c.sleepRemainingText);
}

// ---- buttons -------------------------------------------------------------------------

static HWND CreateButton(HWND window, UINT textId, int x, int width, bool visible)
{
    wchar_t text[32];
    LoadResourceText(textId, text, ARRAYSIZE(text));
    DWORD style = WS_CHILD | BS_OWNERDRAW | (visible ? WS_VISIBLE : 0);
    return CreateWindowExW(0, L"BUTTON", text, style, x, current.buttonsTop, width, BUTTON_HEIGHT,
                           window, nullptr, InstanceOf(window), nullptr);
}

void CreateButtons(HWND window)
{
    int left = current.clockRect.left;
    MainControls& c = mainControls;
    c.setAlarmsButton = CreateButton(window, IDS_SET_ALARMS_BUTTON, left + 20, 80, true);
    c.sleepButton = CreateButton(window, IDS_SLEEP_BUTTON, left + 120, 80, true);
    c.stopCountdownButton = CreateButton(window, IDS_STOP_COUNTDOWN_BUTTON, left + 40, 140, false);
}

void DestroyButtons()
{
    DestroyControl(&mainControls.setAlarmsButton);
    DestroyControl(&mainControls.sleepButton);
    DestroyControl(&mainControls.stopCountdownButton);
}

void ShowButtonsForMode(int mode)
{
    ShowWindow(mainControls.setAlarmsButton, mode == FACE_MODE_CLOCK ? SW_SHOW : SW_HIDE);
    ShowWindow(mainControls.sleepButton, mode == FACE_MODE_CLOCK ? SW_SHOW : SW_HIDE);
    ShowWindow(mainControls.stopCountdownButton, mode == FACE_MODE_COUNTDOWN ? SW_SHOW : SW_HIDE);
}

bool IsMainButton(HWND control)
{
    const MainControls& c = mainControls;
    return control != nullptr
        && (control == c.setAlarmsButton || control == c.sleepButton || control == c.stopCountdownButton);
}

void DrawMainButton(const DRAWITEMSTRUCT* item)
{
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    bool pressed = (item->itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH yellow = CreateSolidBrush(YELLOW);
    FrameRect(dc, &r, yellow);
    DeleteObject(yellow);

    wchar_t text[32] = L"";
    GetWindowTextW(item->hwndItem, text, ARRAYSIZE(text));
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(item->hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(dc, YELLOW);
    SetBkMode(dc, TRANSPARENT);
    // A pressed button's text moves as a pushed one does.
    if (pressed)
        OffsetRect(&r, 1, 1);
    DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}
