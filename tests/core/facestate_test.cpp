// Which slots and lines of the clock face a tick changes. (What each time
// shows is checked on the screen, in the clock face's window tests.)
#include <gtest/gtest.h>

#include "alarmtime.h"
#include "facestate.h"

static FaceInput At(int hour, int minute, int second, bool twentyFour, int mode = FACE_MODE_CLOCK)
{
    FaceInput in = {};
    in.localNow = TicksToSystemTime(SystemTimeToTicks({ 2026, 12, 0, 6, WORD(hour), WORD(minute), WORD(second), 0 }));
    in.utcNow = in.localNow;
    in.mode = mode;
    in.twentyFourHour = twentyFour;
    return in;
}

TEST(FaceState, AnOrdinaryTickChangesTheColonAloneAndANewMinuteItsDigitsAndTheLines)
{
    FaceState shown = FaceAt(At(21, 47, 10, false), true);
    EXPECT_EQ(FACE_SLOT_CHANGED(COLON_SLOT), FaceChanges(shown, FaceAt(At(21, 47, 11, false), false)));
    FaceState next = FaceAt(At(21, 48, 0, false), false);
    EXPECT_EQ(FACE_SLOT_CHANGED(COLON_SLOT) | FACE_SLOT_CHANGED(4) | FACE_MINUTE_CHANGED | FACE_BEATS_CHANGED,
              FaceChanges(shown, next));
    // Every slot and line differs from a face not yet shown, the colon coming on.
    unsigned all = FaceChanges(UnknownFace(), FaceAt(At(21, 48, 0, false), true));
    for (unsigned bit : { FACE_SLOT_CHANGED(1), FACE_SLOT_CHANGED(2), FACE_SLOT_CHANGED(3), FACE_SLOT_CHANGED(4),
                          FACE_SLOT_CHANGED(5), FACE_INDICATOR_CHANGED, FACE_DATE_CHANGED, FACE_BEATS_CHANGED })
        EXPECT_TRUE(all & bit) << bit;
    // The Internet time, at UTC+1.
    for (auto [hour, minute, second, beats] : { std::tuple{ 23, 0, 0, 0 }, { 11, 0, 0, 500 }, { 22, 59, 59, 999 } })
        EXPECT_EQ(beats, InternetTimeBeatsAt(At(hour, minute, second, false).utcNow));
}
