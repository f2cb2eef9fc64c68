#include "screen.h"

int GetOrientation()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width > height)
        return -1;
    return width < height ? 1 : 0;
}

int ScreenPixelsPerInch()
{
    // The screen's device context: every window of the program is on it.
    HDC dc = GetDC(nullptr);
    int pixels = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return pixels;
}

int PointsToHeight(int points)
{
    return -(points * ScreenPixelsPerInch()) / 72;
}
