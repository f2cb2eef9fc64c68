#include "facestate.h"

#include "alarmtime.h"

FaceState UnknownFace()
{
    FaceState face;
    for (int& digit : face.digits)
        digit = -1;
    // Off, so that the first tick after a reset shows the colon.
    face.colonOn = false;
    face.indicator = -1;
    face.minuteOfDay = -1;
    face.day = face.dayOfWeek = face.month = -1;
    face.beats = -1;
    face.sleepTextsShown = true;
    return face;
}

void TimeLeft(LONGLONG endTicks, LONGLONG nowTicks, int* hours, int* minutes)
{
    LONGLONG totalMinutes = (endTicks - nowTicks) / TICKS_PER_SECOND / 60;
    *hours = static_cast<int>(totalMinutes / 60);
    *minutes = static_cast<int>(totalMinutes - 60 * static_cast<LONGLONG>(*hours));
}

int InternetTimeBeatsAt(const SYSTEMTIME& utcNow)
{
    unsigned hour = utcNow.wHour + 1u;
    if (hour > 23)
        hour -= 24;
    unsigned seconds = (hour * 60 + utcNow.wMinute) * 60 + utcNow.wSecond;
    return static_cast<int>(seconds * 1000 / 86400);
}

// The four digit slots for hours and minutes.
static void SetDigits(FaceState* face, int hours, int minutes, bool showLeadingZero)
{
    if (hours > 9 || showLeadingZero) {
        face->digits[0] = hours / 10;
        face->digits[1] = hours % 10;
    } else {
        face->digits[0] = FACE_BLANK;
        face->digits[1] = hours;
    }
    face->digits[2] = minutes / 10;
    face->digits[3] = minutes % 10;
}

FaceState FaceAt(const FaceInput& in, bool colonOn)
{
    FaceState face = UnknownFace();
    face.colonOn = colonOn;
    const SYSTEMTIME& now = in.localNow;
    face.minuteOfDay = now.wHour * 60 + now.wMinute;

    if (in.mode == FACE_MODE_COUNTDOWN) {
        int hours, minutes;
        TimeLeft(in.countdownEndTicks, SystemTimeToTicks(now), &hours, &minutes);
        SetDigits(&face, hours, minutes, true);
        face.indicator = FACE_COUNTDOWN;
    } else if (in.twentyFourHour) {
        SetDigits(&face, now.wHour, now.wMinute, true);
        face.indicator = FACE_NO_INDICATOR;
    } else {
        // Midnight to 00:59 reads 12 on the 12-hour clock.
        int hours = now.wHour % 12 == 0 ? 12 : now.wHour % 12;
        SetDigits(&face, hours, now.wMinute, false);
        face.indicator = now.wHour >= 12 ? FACE_PM : FACE_AM;
    }

    if (in.mode == FACE_MODE_SLEEP) {
        // The paused blink keeps step with the colon.
        face.sleepTextsShown = !in.sleepPaused || colonOn;
    } else {
        face.day = now.wDay;
        face.dayOfWeek = now.wDayOfWeek;
        face.month = now.wMonth;
        face.beats = InternetTimeBeatsAt(in.utcNow);
    }
    return face;
}

unsigned FaceChanges(const FaceState& before, const FaceState& after)
{
    unsigned changes = 0;
    for (int slot = 1; slot < COLON_SLOT; slot++) {
        if (before.digits[slot - 1] != after.digits[slot - 1])
            changes |= FACE_SLOT_CHANGED(slot);
    }
    if (before.colonOn != after.colonOn)
        changes |= FACE_SLOT_CHANGED(COLON_SLOT);
    if (before.indicator != after.indicator)
        changes |= FACE_INDICATOR_CHANGED;
    if (before.minuteOfDay != after.minuteOfDay)
        changes |= FACE_MINUTE_CHANGED;
    if (before.day != after.day || before.dayOfWeek != after.dayOfWeek
        || before.month != after.month)
        changes |= FACE_DATE_CHANGED;
    if (before.beats != after.beats)
        changes |= FACE_BEATS_CHANGED;
    if (before.sleepTextsShown != after.sleepTextsShown)
        changes |= FACE_BLINK_CHANGED;
    return changes;
}
