// The large clock of the main window drawn from bitmaps, the sleep-player
// buttons and indicators, and the text lines around the clock with their
// once-a-second update.
#ifndef WAKELOOM_CLOCKFACE_H
#define WAKELOOM_CLOCKFACE_H

#include <windows.h>

#define FACE_BITMAP_COUNT   45
#define PLAYER_BITMAP_COUNT 13
#define COLON_SLOT          5

// ---- rendering ----
// Loads the bitmaps (a set still loaded is freed first).
void LoadClockFace(HINSTANCE instance);
void FreeClockFace();
extern bool faceLoaded;
// The bitmaps loaded and not yet deleted.
extern unsigned liveFaceBitmaps;
// Bitmap copies made so far: what a tick costs, for tests and the benchmark.
extern unsigned faceCopyCount;
// Draws slot 1-4 (hour tens, hour ones, minute tens, minute ones) with a
// digit 0-9, or slot 5 with the colon on (1) or off (0).
void DrawDigitSlot(int value, int slot);
void DrawAmPmIndicator(bool isPm);
void DrawCountdownLabel();
void PaintMainWindow(HWND window);
// Where slot 1-5 is drawn.
RECT DigitSlotRect(int slot);

// ---- texts and the periodic update ----
// Where the clock reads the local and the UTC time; tests set their own.
typedef void (*ClockTimeSource)(SYSTEMTIME* localNow, SYSTEMTIME* utcNow);
extern ClockTimeSource clockTimeSource;
// The clock's local time now, as a FILETIME count.
ULONGLONG ClockNowTicks();
// The once-a-second update; always 1.
int UpdateClock();
void ResetClockCache();
// The Internet time, 0-999 beats of the day at UTC+1.
int InternetTimeBeats();
int InternetTimeBeatsAt(const SYSTEMTIME& utcNow);
void ShowInternetTime(int beats);
// dayOfWeek 0 is Sunday; monthIndex is the month minus 1.
void ShowDate(int dayOfWeek, int monthIndex, int day);
void ShowPendingAlarm();
void ShowSleepTexts();
void BlinkSleepTexts(bool show);
// Forgets the time-left text hidden by the paused blink.
void ClearSavedRemainingText();
void InvalidatePlayerButtons();
// Puts into `destination` the source text, shortened with "..." until it
// fits the control's client area; the whole text when nothing shorter fits.
void FitTextToControl(HWND control, HFONT font, const wchar_t* source, wchar_t* destination,
                      size_t destinationCount);

#endif
