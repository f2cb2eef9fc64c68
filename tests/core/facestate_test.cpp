// What the clock face shows at a given time: digits, colon, indicator and
// lines, and which of them a tick changes.
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

TEST(FaceState, HoursOfTheTwelveAndTwentyFourHourClocksAndTheCountdownsWholeMinutesLeft)
{
    const int B = FACE_BLANK;
    const struct {
        bool twentyFour;
        int hour, minute;
        int digits[4];
        int indicator;
    } cases[] = {
        { false, 9, 5, { B, 9, 0, 5 }, FACE_AM },   { false, 0, 30, { 1, 2, 3, 0 }, FACE_AM },
        { false, 12, 5, { 1, 2, 0, 5 }, FACE_PM },  { false, 13, 0, { B, 1, 0, 0 }, FACE_PM },
        { true, 0, 30, { 0, 0, 3, 0 }, FACE_NO_INDICATOR }, { true, 21, 47, { 2, 1, 4, 7 }, FACE_NO_INDICATOR },
    };
    for (const auto& c : cases) {
        FaceState face = FaceAt(At(c.hour, c.minute, 0, c.twentyFour), true);
        EXPECT_EQ(std::vector<int>(c.digits, c.digits + 4), std::vector<int>(face.digits, face.digits + 4))
            << c.hour << ":" << c.minute;
        EXPECT_EQ(c.indicator, face.indicator) << c.hour << ":" << c.minute;
    }
    // An end 1 h 5 min 59 s after 9:00 shows 01:05 until the last minute, then 00:00.
    FaceInput countdown = At(9, 0, 0, false, FACE_MODE_COUNTDOWN);
    countdown.countdownEndTicks = SystemTimeToTicks(countdown.localNow) + (65 * 60 + 59) * TICKS_PER_SECOND;
    for (auto [secondsIn, shown] : { std::pair{ 0, 105 }, { 1, 105 }, { 59, 105 }, { 60, 104 }, { 65 * 60, 0 } }) {
        FaceInput in = countdown;
        in.localNow = AddTicks(in.localNow, secondsIn * TICKS_PER_SECOND);
        FaceState face = FaceAt(in, true);
        EXPECT_EQ(shown, face.digits[0] * 1000 + face.digits[1] * 100 + face.digits[2] * 10 + face.digits[3])
            << secondsIn;
        EXPECT_EQ(FACE_COUNTDOWN, face.indicator);
    }
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
