// Drawing of the clock face: digits, colon, AM/PM, COUNTDOWN label, the
// silenced bell and the sleep-player buttons, all copied from bitmaps.
#include "clockface.h"

#include "app.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

// Indices into faceBitmaps of each orientation's pictures.
#define PORTRAIT_DIGITS     0
#define PORTRAIT_COLON      10
#define PORTRAIT_COLON_OFF  11
#define AMPM_STRIP          12   // AM, then PM
#define PORTRAIT_BLANK      14
#define COUNTDOWN_ACROSS    15
#define AMPM_BLOCK          16   // AM, then PM
#define COUNTDOWN_DOWN      18
#define LANDSCAPE_DIGITS    19
#define LANDSCAPE_COLON     29
#define LANDSCAPE_COLON_OFF 30
#define LANDSCAPE_BLANK     31
#define SQUARE_DIGITS       32
#define SQUARE_COLON        42
#define SQUARE_COLON_OFF    43
#define SQUARE_BLANK        44

static const WORD faceBitmapIds[FACE_BITMAP_COUNT] = {
    IDB_PORTRAIT_DIGIT_0, IDB_PORTRAIT_DIGIT_1, IDB_PORTRAIT_DIGIT_2, IDB_PORTRAIT_DIGIT_3,
    IDB_PORTRAIT_DIGIT_4, IDB_PORTRAIT_DIGIT_5, IDB_PORTRAIT_DIGIT_6, IDB_PORTRAIT_DIGIT_7,
    IDB_PORTRAIT_DIGIT_8, IDB_PORTRAIT_DIGIT_9,
    IDB_PORTRAIT_COLON, IDB_PORTRAIT_COLON_OFF, IDB_AMPM_STRIP_AM, IDB_AMPM_STRIP_PM,
    IDB_PORTRAIT_BLANK, IDB_COUNTDOWN_ACROSS, IDB_AMPM_BLOCK_AM, IDB_AMPM_BLOCK_PM,
    IDB_COUNTDOWN_DOWN,
    IDB_LANDSCAPE_DIGIT_0, IDB_LANDSCAPE_DIGIT_1, IDB_LANDSCAPE_DIGIT_2, IDB_LANDSCAPE_DIGIT_3,
    IDB_LANDSCAPE_DIGIT_4, IDB_LANDSCAPE_DIGIT_5, IDB_LANDSCAPE_DIGIT_6, IDB_LANDSCAPE_DIGIT_7,
    IDB_LANDSCAPE_DIGIT_8, IDB_LANDSCAPE_DIGIT_9,
    IDB_LANDSCAPE_COLON, IDB_LANDSCAPE_COLON_OFF, IDB_LANDSCAPE_BLANK,
    IDB_SQUARE_DIGIT_0, IDB_SQUARE_DIGIT_1, IDB_SQUARE_DIGIT_2, IDB_SQUARE_DIGIT_3,
    IDB_SQUARE_DIGIT_4, IDB_SQUARE_DIGIT_5, IDB_SQUARE_DIGIT_6, IDB_SQUARE_DIGIT_7,
    IDB_SQUARE_DIGIT_8, IDB_SQUARE_DIGIT_9,
    IDB_SQUARE_COLON, IDB_SQUARE_COLON_OFF, IDB_SQUARE_BLANK,
};

// Player buttons and bell, in the order they are loaded.
enum {
    PLAY_GREEN, PLAY_YELLOW, PAUSE_GREEN, PAUSE_YELLOW, STOP_GREEN, STOP_YELLOW,
    NEXT_GREEN, NEXT_YELLOW, PREVIOUS_GREEN, PREVIOUS_YELLOW, PREVIOUS_GREY, NEXT_GREY,
    SILENCED_BELL,
};
static const WORD playerBitmapIds[PLAYER_BITMAP_COUNT] = {
    IDB_PLAY_GREEN, IDB_PLAY_YELLOW, IDB_PAUSE_GREEN, IDB_PAUSE_YELLOW, IDB_STOP_GREEN,
    IDB_STOP_YELLOW, IDB_NEXT_GREEN, IDB_NEXT_YELLOW, IDB_PREVIOUS_GREEN, IDB_PREVIOUS_YELLOW,
    IDB_PREVIOUS_GREY, IDB_NEXT_GREY, IDB_SILENCED,
};

static HBITMAP faceBitmaps[FACE_BITMAP_COUNT];
static HBITMAP playerBitmaps[PLAYER_BITMAP_COUNT];
static HDC faceMemDC;
static RECT digitSlots[COLON_SLOT + 1];   // x, y, width, height by slot number
bool faceLoaded;
unsigned liveFaceBitmaps;
unsigned faceCopyCount;

static HBITMAP LoadFaceBitmap(HINSTANCE instance, WORD id)
{
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    if (bitmap != nullptr)
        liveFaceBitmaps++;
    return bitmap;
}

static void DeleteFaceBitmap(HBITMAP& bitmap)
{
    if (bitmap != nullptr && DeleteObject(bitmap))
        liveFaceBitmaps--;
    bitmap = nullptr;
}

void LoadClockFace(HINSTANCE instance)
{
    // A release on low memory and a turn of the screen can both ask for a
    // load: the set of the first must not be leaked.
    FreeClockFace();
    for (int i = 0; i < FACE_BITMAP_COUNT; i++)
        faceBitmaps[i] = LoadFaceBitmap(instance, faceBitmapIds[i]);
    HDC dc = GetDC(mainWindow);
    faceMemDC = CreateCompatibleDC(dc);
    ReleaseDC(mainWindow, dc);

    int left = clockRect.left, top = clockRect.top + 10;
    digitSlots[1] = { left + 10, top, 40, digitHeight };
    digitSlots[2] = { left + 60, top, 40, digitHeight };
    digitSlots[COLON_SLOT] = { left + 100, top, 20, digitHeight };
    digitSlots[3] = { left + 120, top, 40, digitHeight };
    digitSlots[4] = { left + 170, top, 40, digitHeight };
    faceLoaded = true;

    for (int i = 0; i < PLAYER_BITMAP_COUNT; i++)
        playerBitmaps[i] = LoadFaceBitmap(instance, playerBitmapIds[i]);
}

void FreeClockFace()
{
    if (!faceLoaded)
        return;
    faceLoaded = false;
    DeleteDC(faceMemDC);
    faceMemDC = nullptr;
    for (HBITMAP& bitmap : faceBitmaps)
        DeleteFaceBitmap(bitmap);
    for (HBITMAP& bitmap : playerBitmaps)
        DeleteFaceBitmap(bitmap);
}

RECT DigitSlotRect(int slot)
{
    RECT r = {};
    if (slot >= 1 && slot <= COLON_SLOT) {
        const RECT& s = digitSlots[slot];   // left, top, width, height
        r = { s.left, s.top, s.left + s.right, s.top + s.bottom };
    }
    return r;
}

static void CopyBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height)
{
    faceCopyCount++;
    HGDIOBJ old = SelectObject(faceMemDC, bitmap);
    BitBlt(dc, x, y, width, height, faceMemDC, 0, 0, SRCCOPY);
    SelectObject(faceMemDC, old);
}

// The bitmap for a slot, or null for a value it cannot show.
static HBITMAP SlotBitmap(int value, int slot)
{
    int turn = GetOrientation();
    int digits = turn < 0 ? LANDSCAPE_DIGITS : (turn == 0 ? SQUARE_DIGITS : PORTRAIT_DIGITS);
    if (slot == COLON_SLOT) {
        int on = turn < 0 ? LANDSCAPE_COLON : (turn == 0 ? SQUARE_COLON : PORTRAIT_COLON);
        int off = turn < 0 ? LANDSCAPE_COLON_OFF
                           : (turn == 0 ? SQUARE_COLON_OFF : PORTRAIT_COLON_OFF);
        return faceBitmaps[value == 1 ? on : off];
    }
    if (value < 0 || value > 9)
        return nullptr;
    // The hour's leading zero is hidden on the 12-hour clock only.
    if (slot == 1 && value == 0 && TwentyFourHourTime == 0 && displayMode != DISPLAY_COUNTDOWN)
        return faceBitmaps[turn < 0 ? LANDSCAPE_BLANK : (turn == 0 ? SQUARE_BLANK : PORTRAIT_BLANK)];
    return faceBitmaps[digits + value];
}

static void DrawSlot(HDC dc, int value, int slot)
{
    HBITMAP bitmap = SlotBitmap(value, slot);
    if (bitmap == nullptr)
        return;
    const RECT& s = digitSlots[slot];
    CopyBitmap(dc, bitmap, s.left, s.top, s.right, s.bottom);
}

void DrawDigitSlot(int value, int slot)
{
    if (slot < 1 || slot > COLON_SLOT || !faceLoaded)
        return;
    HDC dc = GetDC(mainWindow);
    DrawSlot(dc, value, slot);
    ReleaseDC(mainWindow, dc);
}

void DrawAmPmIndicator(bool isPm)
{
    if (!faceLoaded)
        return;
    HDC dc = GetDC(mainWindow);
    if (orientation < 0)
        CopyBitmap(dc, faceBitmaps[AMPM_BLOCK + (isPm ? 1 : 0)], 5, 37, 48, 48);
    else
        CopyBitmap(dc, faceBitmaps[AMPM_STRIP + (isPm ? 1 : 0)], clockRect.left + 20,
                   clockRect.top - 20, 200, 23);
    ReleaseDC(mainWindow, dc);
}

void DrawCountdownLabel()
{
    if (!faceLoaded)
        return;
    HDC dc = GetDC(mainWindow);
    if (orientation < 0)
        CopyBitmap(dc, faceBitmaps[COUNTDOWN_DOWN], 6, 40, 23, 200);
    else
        CopyBitmap(dc, faceBitmaps[COUNTDOWN_ACROSS], clockRect.left + 20, clockRect.top - 20,
                   200, 23);
    ReleaseDC(mainWindow, dc);
}

static void FillBox(HDC dc, int left, int top, int right, int bottom, int stockBrush)
{
    RECT r = { left, top, right, bottom };
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

static void DrawPlayerButton(HDC dc, const RECT& r, int bitmap)
{
    CopyBitmap(dc, playerBitmaps[bitmap], r.left, r.top, r.right - r.left, r.bottom - r.top);
}

static void DrawPlayerButtons(HDC dc)
{
    MediaNode* track = CurrentTrack();
    int previous = PREVIOUS_YELLOW;
    if (pressedButton == 1)
        previous = PREVIOUS_GREEN;
    else if (track == MediaListHead())
        previous = PREVIOUS_GREY;
    DrawPlayerButton(dc, prevButtonRect, previous);
    DrawPlayerButton(dc, stopButtonRect, pressedButton == 2 ? STOP_GREEN : STOP_YELLOW);
    int pause;
    if (sleepPaused)
        pause = pressedButton == 3 ? PLAY_GREEN : PLAY_YELLOW;
    else
        pause = pressedButton == 3 ? PAUSE_GREEN : PAUSE_YELLOW;
    DrawPlayerButton(dc, pauseButtonRect, pause);
    int next = NEXT_YELLOW;
    if (pressedButton == 4)
        next = NEXT_GREEN;
    else if (track != nullptr && track->next == nullptr)
        next = NEXT_GREY;
    DrawPlayerButton(dc, nextButtonRect, next);
}

void PaintMainWindow(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    int l = clockRect.left, t = clockRect.top, r = clockRect.right, b = clockRect.bottom;
    int w = clientWidth, h = clientHeight;
    if (orientation >= 0) {
        FillBox(dc, 0, 25, 2, h, BLACK_BRUSH);
        FillBox(dc, 0, 25, w, 27, BLACK_BRUSH);
        FillBox(dc, 0, h - 2, w, h, BLACK_BRUSH);
        FillBox(dc, w - 2, 25, w, h, BLACK_BRUSH);
    }
    // A black box with a one-pixel white outline.
    if (orientation < 0) {
        FillBox(dc, l - 48, t - 3, r + 48, b + 51, BLACK_BRUSH);
        FillBox(dc, l - 47, t - 2, r + 47, b + 50, WHITE_BRUSH);
        FillBox(dc, l - 46, t - 1, r + 46, b + 49, BLACK_BRUSH);
    } else {
        FillBox(dc, l - 3, t - 23, r + 3, b + 51, BLACK_BRUSH);
        FillBox(dc, l - 2, t - 22, r + 2, b + 50, WHITE_BRUSH);
        FillBox(dc, l - 1, t - 21, r + 1, b + 49, BLACK_BRUSH);
        if (TwentyFourHourTime)
            FillBox(dc, l, t - 20, r, b, BLACK_BRUSH);
    }
    FillRect(dc, &clockRect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (faceLoaded)
        DrawSlot(dc, 1, COLON_SLOT);

    if (displayMode == DISPLAY_CLOCK || displayMode == DISPLAY_COUNTDOWN) {
        ShowPendingAlarm();
        FillBox(dc, prevButtonRect.left - 1, prevButtonRect.top - 1, nextButtonRect.right + 1,
                prevButtonRect.bottom + 1, LTGRAY_BRUSH);
    } else if (displayMode == DISPLAY_SLEEP) {
        ShowSleepTexts();
        if (faceLoaded)
            DrawPlayerButtons(dc);
    }
    if (Silenced && faceLoaded) {
        if (orientation < 0)
            CopyBitmap(dc, playerBitmaps[SILENCED_BELL], 298, 31, 16, 16);
        else
            CopyBitmap(dc, playerBitmaps[SILENCED_BELL], l + 2, t - 20, 16, 16);
    }
    EndPaint(window, &ps);
    ResetClockCache();
    UpdateClock();
}
