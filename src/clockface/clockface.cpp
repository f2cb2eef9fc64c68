// A plain text clock until the digit bitmaps exist.
#include "clockface.h"

#include "app.h"
#include "settings.h"

static WORD shownSecond = 0xFFFF;

void LoadClockFace(HINSTANCE instance)
{
    (void)instance;
}

void FreeClockFace()
{
}

void PaintMainWindow(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[64];
    GetTimeFormatW(LOCALE_USER_DEFAULT, TwentyFourHourTime ? TIME_FORCE24HOURFORMAT : 0,
                   &now, nullptr, text, ARRAYSIZE(text));
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EndPaint(window, &ps);
}

void ResetClockCache()
{
    shownSecond = 0xFFFF;
}

void UpdateClock()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond == shownSecond || mainWindow == nullptr)
        return;
    shownSecond = now.wSecond;
    InvalidateRect(mainWindow, nullptr, FALSE);
}
