// What the clock face shows at a given time, worked out from plain data
// with no drawing: the digits, the colon, the AM/PM indicator or the
// COUNTDOWN label, and the values of the text lines around the clock. Pure
// code, so it also builds natively for table tests.
#ifndef WAKELOOM_FACESTATE_H
#define WAKELOOM_FACESTATE_H

#include "portable.h"

// The slots of the face, numbered as the painter places them: 1 hour tens,
// 2 hour ones, 3 minute tens, 4 minute ones, 5 the colon.
#define COLON_SLOT 5

// A digit slot left black: the hour's leading zero on the 12-hour clock.
#define FACE_BLANK (-2)
// What stands above the digits.
#define FACE_NO_INDICATOR 0
#define FACE_AM           1
#define FACE_PM           2
#define FACE_COUNTDOWN    3

// The display modes, as app.displayMode holds them.
#define FACE_MODE_CLOCK     0
#define FACE_MODE_SLEEP     1
#define FACE_MODE_COUNTDOWN 2

struct FaceInput {
    SYSTEMTIME localNow;
    SYSTEMTIME utcNow;
    int mode;
    bool twentyFourHour;
    LONGLONG countdownEndTicks;   // local FILETIME count, in countdown mode
    bool sleepPaused;
};

// Every value is -1 while unknown (nothing shown yet).
struct FaceState {
    int digits[COLON_SLOT];       // by slot - 1; the colon's entry is unused
    bool colonOn;
    int indicator;
    int minuteOfDay;              // of the local time: the pending line's moment
    int day, dayOfWeek, month;    // the date line (clock and countdown modes)
    int beats;                    // the Internet-time line (clock and countdown modes)
    bool sleepTextsShown;         // false in the dark half of the paused blink
};

// What changed between two states, one bit each.
#define FACE_SLOT_CHANGED(slot) (1u << (slot))
#define FACE_INDICATOR_CHANGED  (1u << 6)
#define FACE_MINUTE_CHANGED     (1u << 7)
#define FACE_DATE_CHANGED       (1u << 8)
#define FACE_BEATS_CHANGED      (1u << 9)
#define FACE_BLINK_CHANGED      (1u << 10)

// A state of which nothing is known: every slot and line differs from it.
FaceState UnknownFace();
// The face at `in`, with the colon on or off as given: the tick turns it
// over each second, a repaint keeps it.
FaceState FaceAt(const FaceInput& in, bool colonOn);
unsigned FaceChanges(const FaceState& before, const FaceState& after);

// The whole hours and minutes from `nowTicks` to `endTicks`, truncated
// toward zero (negative once the end has passed).
void TimeLeft(LONGLONG endTicks, LONGLONG nowTicks, int* hours, int* minutes);
// The Internet time, 0-999 beats of the day at UTC+1.
int InternetTimeBeatsAt(const SYSTEMTIME& utcNow);

#endif
