// Drawing of the clock face: digits, colon, AM/PM, COUNTDOWN label, the
// silenced bell and the sleep-player buttons, all copied from bitmaps, in
// WM_PAINT only and from what it is given: the layout, the face and the
// player's look.
#include "clockface.h"

#include <algorithm>

#include "resource.h"

// Where each orientation's pictures stand among the face's.
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

// Player buttons and bell, in the order they are loaded, after the face's.
enum {
    PLAY_GREEN = FACE_BITMAP_COUNT, PLAY_YELLOW, PAUSE_GREEN, PAUSE_YELLOW, STOP_GREEN,
    STOP_YELLOW, NEXT_GREEN, NEXT_YELLOW, PREVIOUS_GREEN, PREVIOUS_YELLOW, PREVIOUS_GREY,
    NEXT_GREY, SILENCED_BELL,
};
static const WORD playerBitmapIds[PLAYER_BITMAP_COUNT] = {
    IDB_PLAY_GREEN, IDB_PLAY_YELLOW, IDB_PAUSE_GREEN, IDB_PAUSE_YELLOW, IDB_STOP_GREEN,
    IDB_STOP_YELLOW, IDB_NEXT_GREEN, IDB_NEXT_YELLOW, IDB_PREVIOUS_GREEN, IDB_PREVIOUS_YELLOW,
    IDB_PREVIOUS_GREY, IDB_NEXT_GREY, IDB_SILENCED,
};

#define PICTURE_COUNT (FACE_BITMAP_COUNT + PLAYER_BITMAP_COUNT)
// The pictures are laid in rows of about this width on their sheet.
#define SHEET_ROW_WIDTH 512

ClockFaceBitmaps clockFace;
// Every picture on one sheet, which stays selected in the memory DC: a copy
// is one BitBlt, without selecting a bitmap, which costs the display driver
// about as much again each time. Where each picture lies on it; an empty
// place for a picture that could not be loaded.
static HBITMAP pictureSheet;
static RECT pictureRects[PICTURE_COUNT];
static HDC faceMemDC;
static HGDIOBJ memDCBitmap;   // what the memory DC held before the sheet

static HBITMAP LoadFaceBitmap(HINSTANCE instance, WORD id)
{
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(id));
    if (bitmap != nullptr)
        clockFace.liveFaceBitmaps++;
    return bitmap;
}

static void DeleteFaceBitmap(HBITMAP& bitmap)
{
    if (bitmap != nullptr && DeleteObject(bitmap))
        clockFace.liveFaceBitmaps--;
    bitmap = nullptr;
}

// Places each loaded picture in rows on the sheet; returns the sheet's size.
static SIZE PlacePictures(const HBITMAP* loaded)
{
    SIZE sheet = {};
    int x = 0, y = 0, rowHeight = 0;
    for (int i = 0; i < PICTURE_COUNT; i++) {
        BITMAP size = {};
        pictureRects[i] = {};
        if (loaded[i] == nullptr || GetObjectW(loaded[i], sizeof(size), &size) == 0)
            continue;
        if (x > 0 && x + size.bmWidth > SHEET_ROW_WIDTH) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        pictureRects[i] = { x, y, x + size.bmWidth, y + size.bmHeight };
        x += size.bmWidth;
        rowHeight = std::max(rowHeight, static_cast<int>(size.bmHeight));
        sheet.cx = std::max(sheet.cx, static_cast<LONG>(x));
    }
    sheet.cy = y + rowHeight;
    return sheet;
}

void LoadClockFace(HINSTANCE instance)
{
    // A release on low memory and a turn of the screen can both ask for a
    // load: the set of the first must not be leaked.
    FreeClockFace();
    HBITMAP loaded[PICTURE_COUNT];
    for (int i = 0; i < PICTURE_COUNT; i++)
        loaded[i] = LoadFaceBitmap(instance, i < FACE_BITMAP_COUNT ? faceBitmapIds[i]
                                                 : playerBitmapIds[i - FACE_BITMAP_COUNT]);
    SIZE sheet = PlacePictures(loaded);
    // Compatible with the screen, which the main window is drawn on.
    HDC screen = GetDC(nullptr);
    faceMemDC = CreateCompatibleDC(screen);
    HDC picture = CreateCompatibleDC(screen);
    pictureSheet = sheet.cy > 0 ? CreateCompatibleBitmap(screen, sheet.cx, sheet.cy) : nullptr;
    ReleaseDC(nullptr, screen);
    if (pictureSheet != nullptr) {
        clockFace.liveFaceBitmaps++;
        memDCBitmap = SelectObject(faceMemDC, pictureSheet);
    }
    for (int i = 0; i < PICTURE_COUNT; i++) {
        const RECT& r = pictureRects[i];
        if (pictureSheet == nullptr) {
            pictureRects[i] = {};
        } else if (loaded[i] != nullptr) {
            HGDIOBJ old = SelectObject(picture, loaded[i]);
            BitBlt(faceMemDC, r.left, r.top, r.right - r.left, r.bottom - r.top, picture, 0, 0,
                   SRCCOPY);
            SelectObject(picture, old);
        }
        DeleteFaceBitmap(loaded[i]);
    }
    DeleteDC(picture);
    clockFace.faceLoaded = true;
}

void FreeClockFace()
{
    if (!clockFace.faceLoaded)
        return;
    clockFace.faceLoaded = false;
    if (pictureSheet != nullptr)
        SelectObject(faceMemDC, memDCBitmap);
    DeleteDC(faceMemDC);
    faceMemDC = nullptr;
    DeleteFaceBitmap(pictureSheet);
}

// Copies picture `picture` to the top left of `r`, no more of it than fits.
static void CopyPicture(HDC dc, int picture, const RECT& r)
{
    const RECT& from = pictureRects[picture];
    if (IsRectEmpty(&from))
        return;
    clockFace.faceCopyCount++;
    LONG width = std::min(r.right - r.left, from.right - from.left);
    LONG height = std::min(r.bottom - r.top, from.bottom - from.top);
    BitBlt(dc, r.left, r.top, width, height, faceMemDC, from.left, from.top, SRCCOPY);
}

// The picture for a slot, or -1 for a value it cannot show.
static int SlotPicture(int turn, int value, int slot)
{
    if (slot == COLON_SLOT) {
        int on = turn < 0 ? LANDSCAPE_COLON : (turn == 0 ? SQUARE_COLON : PORTRAIT_COLON);
        int off = turn < 0 ? LANDSCAPE_COLON_OFF
                           : (turn == 0 ? SQUARE_COLON_OFF : PORTRAIT_COLON_OFF);
        return value == 1 ? on : off;
    }
    if (value == FACE_BLANK)
        return turn < 0 ? LANDSCAPE_BLANK : (turn == 0 ? SQUARE_BLANK : PORTRAIT_BLANK);
    if (value < 0 || value > 9)
        return -1;
    int digits = turn < 0 ? LANDSCAPE_DIGITS : (turn == 0 ? SQUARE_DIGITS : PORTRAIT_DIGITS);
    return digits + value;
}

static void DrawSlot(HDC dc, const Layout& layout, int value, int slot)
{
    int picture = SlotPicture(layout.orientation, value, slot);
    if (picture >= 0)
        CopyPicture(dc, picture, layout.digitSlots[slot]);
}

static void FillBox(HDC dc, const RECT& r, int stockBrush)
{
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

// AM/PM, the COUNTDOWN label, or neither (the place left black).
static void DrawIndicator(HDC dc, const Layout& layout, int indicator)
{
    bool landscape = layout.orientation < 0;
    const RECT& r = indicator == FACE_COUNTDOWN ? layout.labelRect : layout.indicatorRect;
    int picture;
    if (indicator == FACE_AM || indicator == FACE_PM)
        picture = (landscape ? AMPM_BLOCK : AMPM_STRIP) + (indicator == FACE_PM ? 1 : 0);
    else if (indicator == FACE_COUNTDOWN)
        picture = landscape ? COUNTDOWN_DOWN : COUNTDOWN_ACROSS;
    else
        picture = -1;
    if (picture < 0)
        FillBox(dc, r, BLACK_BRUSH);
    else
        CopyPicture(dc, picture, r);
}

static void DrawPlayerButton(HDC dc, const RECT& r, int picture)
{
    if (RectVisible(dc, &r))
        CopyPicture(dc, picture, r);
}

static void DrawPlayerButtons(HDC dc, const Layout& layout, const PlayerLook& player)
{
    int previous = PREVIOUS_YELLOW;
    if (player.pressed == 1)
        previous = PREVIOUS_GREEN;
    else if (player.atFirst)
        previous = PREVIOUS_GREY;
    DrawPlayerButton(dc, layout.prevButtonRect, previous);
    DrawPlayerButton(dc, layout.stopButtonRect, player.pressed == 2 ? STOP_GREEN : STOP_YELLOW);
    int pause;
    if (player.paused)
        pause = player.pressed == 3 ? PLAY_GREEN : PLAY_YELLOW;
    else
        pause = player.pressed == 3 ? PAUSE_GREEN : PAUSE_YELLOW;
    DrawPlayerButton(dc, layout.pauseButtonRect, pause);
    int next = NEXT_YELLOW;
    if (player.pressed == 4)
        next = NEXT_GREEN;
    else if (player.atLast)
        next = NEXT_GREY;
    DrawPlayerButton(dc, layout.nextButtonRect, next);
}

// The window's edges and the black box with a one-pixel white outline.
static void DrawBox(HDC dc, const Layout& layout)
{
    for (int i = 0; i < layout.edgeCount; i++)
        FillBox(dc, layout.edgeRects[i], BLACK_BRUSH);
    RECT r = layout.frameRect;
    FillBox(dc, r, BLACK_BRUSH);
    InflateRect(&r, -1, -1);
    FillBox(dc, r, WHITE_BRUSH);
    InflateRect(&r, -1, -1);
    FillBox(dc, r, BLACK_BRUSH);
    FillBox(dc, layout.clockRect, BLACK_BRUSH);
}

// True when all to paint lies in the row of digit slots: what a tick
// invalidates. The slots are then copied over what is there, and only the
// black between them is filled where it needs painting.
static bool WithinDigitRow(const Layout& layout, const RECT& paint)
{
    RECT row = { layout.digitSlots[1].left, layout.digitSlots[1].top, layout.digitSlots[4].right,
                 layout.digitSlots[1].bottom };
    return paint.left >= row.left && paint.top >= row.top && paint.right <= row.right
        && paint.bottom <= row.bottom;
}

static void FillBetweenSlots(HDC dc, const Layout& layout)
{
    const RECT* s = layout.digitSlots;
    const RECT gaps[2] = { { s[1].right, s[1].top, s[2].left, s[1].bottom },
                           { s[3].right, s[3].top, s[4].left, s[3].bottom } };
    for (const RECT& gap : gaps) {
        if (RectVisible(dc, &gap))
            FillBox(dc, gap, BLACK_BRUSH);
    }
}

void PaintMainWindow(HWND window, const Layout& layout, const FaceState& face, int mode,
                     const PlayerLook& player, bool silenced)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    bool digitsOnly = WithinDigitRow(layout, ps.rcPaint);
    if (digitsOnly)
        FillBetweenSlots(dc, layout);
    else
        DrawBox(dc, layout);
    if (clockFace.faceLoaded) {
        for (int slot = 1; slot <= COLON_SLOT; slot++) {
            int value = slot == COLON_SLOT ? (face.colonOn ? 1 : 0) : face.digits[slot - 1];
            if (RectVisible(dc, &layout.digitSlots[slot]))
                DrawSlot(dc, layout, value, slot);
        }
    }
    if (!digitsOnly) {
        if (clockFace.faceLoaded)
            DrawIndicator(dc, layout, face.indicator);
        if (mode == FACE_MODE_CLOCK || mode == FACE_MODE_COUNTDOWN)
            FillBox(dc, layout.playerStripRect, LTGRAY_BRUSH);
        else if (mode == FACE_MODE_SLEEP && clockFace.faceLoaded)
            DrawPlayerButtons(dc, layout, player);
        if (silenced && clockFace.faceLoaded)
            CopyPicture(dc, SILENCED_BELL, layout.bellRect);
    }
    EndPaint(window, &ps);
}
