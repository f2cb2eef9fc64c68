// The once-a-second update of the clock: works out the face at the time
// now, invalidates the slots that changed (WM_PAINT draws them) and writes
// the text lines that changed.
#include "clockface.h"

#include "layout.h"
#include "settings.h"
#include "sound.h"

// What the face shows, or will once the slots invalidated are painted, and
// what its lines say. Unknown after a reset.
static FaceState shown = UnknownFace();
static bool faceKnown;

static FaceInput InputNow(const ClockView& view)
{
    FaceInput in = {};
    clockTimeSource(&in.localNow, &in.utcNow);
    in.mode = view.mode;
    in.twentyFourHour = settings.TwentyFourHourTime != 0;
    in.countdownEndTicks = static_cast<LONGLONG>((static_cast<ULONGLONG>(settings.CDFTHigh) << 32)
                                                 | settings.CDFTLow);
    in.sleepPaused = view.sleepPaused;
    return in;
}

static void InvalidateSlots(HWND window, unsigned changes)
{
    const Layout& layout = MainLayout();
    for (int slot = 1; slot <= COLON_SLOT; slot++) {
        if (changes & FACE_SLOT_CHANGED(slot))
            InvalidateRect(window, &layout.digitSlots[slot], FALSE);
    }
    if (changes & FACE_INDICATOR_CHANGED) {
        InvalidateRect(window, &layout.indicatorRect, FALSE);
        if (!EqualRect(&layout.indicatorRect, &layout.labelRect))
            InvalidateRect(window, &layout.labelRect, FALSE);
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
static void WriteLines(const ClockView& view, const FaceState& face, unsigned changes)
{
    if (view.mode == FACE_MODE_CLOCK || view.mode == FACE_MODE_COUNTDOWN) {
        if (changes & FACE_DATE_CHANGED)
            ShowDate(face.dayOfWeek, face.month - 1, face.day);
        if (changes & FACE_BEATS_CHANGED)
            ShowInternetTime(face.beats);
        // An alarm whose minute has come makes way for the next one.
        if (changes & FACE_MINUTE_CHANGED)
            ShowPendingAlarm();
    } else if (view.mode == FACE_MODE_SLEEP) {
        if ((changes & FACE_BLINK_CHANGED) && view.sleepPaused)
            BlinkSleepTexts(face.sleepTextsShown);
        if (TrackInfoChanged())
            InvalidatePlayerButtons(view.window);
        ShowSleepTexts(view);
    }
    shown.minuteOfDay = face.minuteOfDay;
    shown.day = face.day;
    shown.dayOfWeek = face.dayOfWeek;
    shown.month = face.month;
    shown.beats = face.beats;
    shown.sleepTextsShown = face.sleepTextsShown;
}

int UpdateClock(const ClockView& view)
{
    FaceState face = FaceAt(InputNow(view), !shown.colonOn);
    faceKnown = true;
    unsigned changes = FaceChanges(shown, face);
    InvalidateSlots(view.window, changes);
    TakeDrawnPart(face);
    WriteLines(view, face, changes);
    return 1;
}

void RefreshFace(const ClockView& view)
{
    // A paint after a reset shows the colon, and the next tick hides it.
    FaceState face = FaceAt(InputNow(view), faceKnown ? shown.colonOn : true);
    faceKnown = true;
    InvalidateSlots(view.window, FaceChanges(shown, face));
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

void ShowFaceTexts(const ClockView& view)
{
    FaceState face = FaceAt(InputNow(view), shown.colonOn);
    WriteLines(view, face, FaceChanges(UnknownFace(), face));
}

int InternetTimeBeats()
{
    SYSTEMTIME localNow, utcNow;
    clockTimeSource(&localNow, &utcNow);
    return InternetTimeBeatsAt(utcNow);
}
