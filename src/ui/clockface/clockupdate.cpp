// The once-a-second update of the clock: works out the face at the time
// now, invalidates the slots that changed (WM_PAINT draws them) and writes
// the text lines that changed.
#include "clockface.h"

#include "app.h"
#include "displaymode.h"
#include "layout.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

// What the face shows, or will once the slots invalidated are painted, and
// what its lines say. Unknown after a reset.
static FaceState shown = UnknownFace();
static bool faceKnown;

static FaceInput InputNow()
{
    FaceInput in = {};
    clockTimeSource(&in.localNow, &in.utcNow);
    in.mode = app.displayMode;
    in.twentyFourHour = settings.TwentyFourHourTime != 0;
    in.countdownEndTicks = static_cast<LONGLONG>((static_cast<ULONGLONG>(settings.CDFTHigh) << 32) | settings.CDFTLow);
    in.sleepPaused = sleepPlayer.sleepPaused != 0;
    return in;
}

static void InvalidateSlots(unsigned changes)
{
    const Layout& layout = MainLayout();
    for (int slot = 1; slot <= COLON_SLOT; slot++) {
        if (changes & FACE_SLOT_CHANGED(slot))
            InvalidateRect(app.mainWindow, &layout.digitSlots[slot], FALSE);
    }
    if (changes & FACE_INDICATOR_CHANGED) {
        InvalidateRect(app.mainWindow, &layout.indicatorRect, FALSE);
        if (!EqualRect(&layout.indicatorRect, &layout.labelRect))
            InvalidateRect(app.mainWindow, &layout.labelRect, FALSE);
    }
}

// The drawn part of `face` becomes what is shown.
static void TakeDrawnPart(const FaceState& face)
{
    for (int i = 0; i < COLON_SLOT; i++)
        shown.digits[i] = face.digits[i];
    shown.colonOn = face.colonOn;
    shown.indicator = face.indicator;
}

// Writes the lines of `changes`; their part of `face` becomes what is shown.
static void WriteLines(const FaceState& face, unsigned changes)
{
    if (app.displayMode == DISPLAY_CLOCK || app.displayMode == DISPLAY_COUNTDOWN) {
        if (changes & FACE_DATE_CHANGED)
            ShowDate(face.dayOfWeek, face.month - 1, face.day);
        if (changes & FACE_BEATS_CHANGED)
            ShowInternetTime(face.beats);
        // An alarm whose minute has come makes way for the next one.
        if (changes & FACE_MINUTE_CHANGED)
            ShowPendingAlarm();
    } else if (app.displayMode == DISPLAY_SLEEP) {
        if ((changes & FACE_BLINK_CHANGED) && sleepPlayer.sleepPaused)
            BlinkSleepTexts(face.sleepTextsShown);
        if (TrackInfoChanged())
            InvalidatePlayerButtons();
        ShowSleepTexts();
    }
    shown.minuteOfDay = face.minuteOfDay;
    shown.day = face.day;
    shown.dayOfWeek = face.dayOfWeek;
    shown.month = face.month;
    shown.beats = face.beats;
    shown.sleepTextsShown = face.sleepTextsShown;
}

int UpdateClock()
{
    FaceState face = FaceAt(InputNow(), !shown.colonOn);
    faceKnown = true;
    unsigned changes = FaceChanges(shown, face);
    InvalidateSlots(changes);
    TakeDrawnPart(face);
    WriteLines(face, changes);
    return 1;
}

void RefreshFace()
{
    // A paint after a reset shows the colon, and the next tick hides it.
    FaceState face = FaceAt(InputNow(), faceKnown ? shown.colonOn : true);
    faceKnown = true;
    InvalidateSlots(FaceChanges(shown, face));
    TakeDrawnPart(face);
}

void ResetClockCache()
{
    shown = UnknownFace();
    faceKnown = false;
}

const FaceState& ShownFace()
{
    return shown;
}

void ShowFaceTexts()
{
    FaceState face = FaceAt(InputNow(), shown.colonOn);
    WriteLines(face, FaceChanges(UnknownFace(), face));
}

int InternetTimeBeats()
{
    return InternetTimeBeatsAt(InputNow().utcNow);
}
