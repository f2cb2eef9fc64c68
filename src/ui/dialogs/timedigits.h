// The time-digit editor shared by the Set Alarms, Snooze time, Sleep and
// Countdown dialogs: three statics (hour, tens and ones of minutes), each
// with an up and a down button, wrapping on their own without carry.
#ifndef WAKELOOM_TIMEDIGITS_H
#define WAKELOOM_TIMEDIGITS_H

#include <windows.h>

// The hour field's range: 0..23, or 1..12 on the 12-hour clock.
struct HourRange {
    int low, high;
};
#define HOURS_OF_A_DAY     HourRange{ 0, 23 }
#define HOURS_OF_TWELVE    HourRange{ 1, 12 }

// Writes hours and minutes into the three statics ("%d" each).
void SetTimeDigits(HWND dialog, int hours, int minutes);
// The shown hour, and the minutes as 10 x tens + ones.
int TimeDigitsHour(HWND dialog);
int TimeDigitsMinutes(HWND dialog);
// A duration in minutes shown as hours (at most 23) and minutes, and read
// back as minutes.
void SetTimeDigitsDuration(HWND dialog, DWORD minutes);
int TimeDigitsDuration(HWND dialog);
// Steps a field for a click of one of its buttons; false for any other
// command (or notification code).
bool OnTimeDigitCommand(HWND dialog, WPARAM wParam, HourRange hours);
// Puts the arrow and colon pictures on the editor's controls and `font` on
// the three digit statics.
void PrepareTimeDigits(HWND dialog, HFONT font);

// The 12-hour clock: the hour shown for a 24-hour one (12 for 0 and 12) and
// whether it is PM, and back.
int TwelveHourOf(int hour24, bool* pm);
int HourFromTwelve(int shown, bool pm);

#endif
