// The large clock of the main window drawn from bitmaps, the sleep-player
// buttons and indicators (clockface.cpp), the text lines around the clock
// (clocktexts.cpp) and the once-a-second update that decides what changed
// (clockupdate.cpp). What the face shows is worked out in facestate.cpp.
#ifndef WAKELOOM_CLOCKFACE_H
#define WAKELOOM_CLOCKFACE_H

#include <windows.h>

#include "facestate.h"
#include "layout.h"

#define FACE_BITMAP_COUNT   45
#define PLAYER_BITMAP_COUNT 13

// ---- drawing (clockface.cpp) ----
// Loads the pictures (a set still loaded is freed first).
void LoadClockFace(HINSTANCE instance);
void FreeClockFace();
struct ClockFaceBitmaps {
    bool faceLoaded;
    // The bitmaps loaded and not yet deleted: the pictures' sheet, once the
    // pictures are on it.
    unsigned liveFaceBitmaps;
    // Bitmap copies made so far: what a tick costs, for tests and the benchmark.
    unsigned faceCopyCount;
};
extern ClockFaceBitmaps clockFace;

// How the sleep player's buttons look: the button under the pen (0 none,
// 1 previous .. 4 next), paused, and whether the track is the first or
// the last of the list.
struct PlayerLook {
    int pressed;
    bool paused;
    bool atFirst;
    bool atLast;
};

// The WM_PAINT body: draws what lies in the update region of `face` in
// `layout`, for the display mode, the player and the silenced indicator.
void PaintMainWindow(HWND window, const Layout& layout, const FaceState& face, int mode,
                     const PlayerLook& player, bool silenced);

// ---- the periodic update (clockupdate.cpp) ----
// What the main window tells the face at each update: the window it is
// drawn in, the display mode (FACE_MODE_*), and the sleep player's pause and
// end (a local FILETIME count).
struct ClockView {
    HWND window;
    int mode;
    bool sleepPaused;
    ULONGLONG sleepEndTime;
};
// Where the clock reads the local and the UTC time; tests set their own.
typedef void (*ClockTimeSource)(SYSTEMTIME* localNow, SYSTEMTIME* utcNow);
extern ClockTimeSource clockTimeSource;
// The clock's local time now, as a FILETIME count.
ULONGLONG ClockNowTicks();
// The once-a-second update: invalidates the slots that changed and writes
// the text lines that changed; always 1.
int UpdateClock(const ClockView& view);
// Forgets what the face and its lines show, so that the next update and
// paint redraw every slot and line, with the colon on.
void ResetClockCache();
// Brings the digits to the time now without turning the colon, and
// invalidates the slots that change: a paint draws the time it is.
void RefreshFace(const ClockView& view);
// What the face shows, or is about to once the invalidated slots are painted.
const FaceState& ShownFace();
// Writes every text line of the display mode now (after the lines were
// made anew).
void ShowFaceTexts(const ClockView& view);
// The Internet time now, 0-999 beats.
int InternetTimeBeats();

// ---- the text lines (clocktexts.cpp) ----
void ShowInternetTime(int beats);
// dayOfWeek 0 is Sunday; monthIndex is the month minus 1.
void ShowDate(int dayOfWeek, int monthIndex, int day);
void ShowPendingAlarm();
void ShowSleepTexts(const ClockView& view);
void BlinkSleepTexts(bool show);
// Forgets the time-left text hidden by the paused blink.
void ClearSavedRemainingText();
void InvalidatePlayerButtons(HWND window);
// Puts into `destination` the source text, shortened with "..." until it
// fits the control's client area; the whole text when nothing shorter fits.
void FitTextToControl(HWND control, HFONT font, const wchar_t* source, wchar_t* destination,
                      size_t destinationCount);

#endif
