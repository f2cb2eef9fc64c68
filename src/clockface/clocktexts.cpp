// The once-a-second update of the clock face and the text lines around it:
// date, next pending alarm, Internet time, and the sleep player's track and
// time left.
#include "clockface.h"

#include <strsafe.h>

#include <string>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "displaymode.h"
#include "layout.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

#define REMAINING_UNITS 9
#define NAME_CUT        10

// What the screen shows now, so a tick redraws only what changed.
static int colonPhase;
static int shownDigits[5];      // by slot 1-4; -1 unknown
static int shownAmPm;           // -1 unknown, 0 AM, 1 PM
static int shownDay, shownDayOfWeek, shownMonth;
static WORD shownBeats;         // 0xFFFF unknown
static wchar_t savedRemainingText[REMAINING_UNITS];

void ResetClockCache()
{
    colonPhase = 0;
    for (int& digit : shownDigits)
        digit = -1;
    shownAmPm = -1;
    shownDay = shownDayOfWeek = shownMonth = -1;
    shownBeats = 0xFFFF;
}

static void ShowSlot(int slot, int value)
{
    if (shownDigits[slot] == value)
        return;
    DrawDigitSlot(value, slot);
    shownDigits[slot] = value;
}

static void ReadSystemClock(SYSTEMTIME* localNow, SYSTEMTIME* utcNow)
{
    GetLocalTime(localNow);
    GetSystemTime(utcNow);
}

ClockTimeSource clockTimeSource = ReadSystemClock;

static SYSTEMTIME LocalNow()
{
    SYSTEMTIME localNow, utcNow;
    clockTimeSource(&localNow, &utcNow);
    return localNow;
}

ULONGLONG ClockNowTicks()
{
    return static_cast<ULONGLONG>(SystemTimeToTicks(LocalNow()));
}

static void ShowSleepTextsAt(ULONGLONG localNowTicks);

int UpdateClock()
{
    SYSTEMTIME localNow, utcNow;
    clockTimeSource(&localNow, &utcNow);

    if (colonPhase == 1) {
        DrawDigitSlot(0, COLON_SLOT);
        if (sleepPaused)
            BlinkSleepTexts(false);
        colonPhase = 0;
    } else {
        DrawDigitSlot(1, COLON_SLOT);
        if (sleepPaused)
            BlinkSleepTexts(true);
        colonPhase = 1;
    }

    int hours, minutes;
    if (displayMode != DISPLAY_COUNTDOWN) {
        hours = localNow.wHour;
        minutes = localNow.wMinute;
        if (TwentyFourHourTime == 0) {
            if (hours >= 12) {
                if (shownAmPm < 1) {
                    DrawAmPmIndicator(true);
                    shownAmPm = 1;
                }
                if (hours > 12)
                    hours -= 12;
            } else if (shownAmPm != 0) {
                DrawAmPmIndicator(false);
                shownAmPm = 0;
            }
        }
    } else {
        ULONGLONG end = (static_cast<ULONGLONG>(CDFTHigh) << 32) | CDFTLow;
        LONGLONG left = static_cast<LONGLONG>(end - static_cast<ULONGLONG>(SystemTimeToTicks(localNow)));
        LONGLONG totalMinutes = left / TICKS_PER_SECOND / 60;
        hours = static_cast<int>(totalMinutes / 60);
        minutes = static_cast<int>(totalMinutes - 60 * static_cast<LONGLONG>(hours));
        DrawCountdownLabel();
    }

    if (hours > 9 || displayMode == DISPLAY_COUNTDOWN) {
        ShowSlot(1, hours / 10);
        ShowSlot(2, hours % 10);
    } else if (TwentyFourHourTime || hours != 0) {
        ShowSlot(1, 0);
        ShowSlot(2, hours);
    } else {
        // Midnight to 00:59 on the 12-hour clock reads 12.
        ShowSlot(1, 1);
        ShowSlot(2, 2);
    }
    ShowSlot(3, minutes / 10);
    ShowSlot(4, minutes % 10);

    if (displayMode == DISPLAY_CLOCK || displayMode == DISPLAY_COUNTDOWN) {
        if (localNow.wDay != shownDay || localNow.wDayOfWeek != shownDayOfWeek
            || localNow.wMonth != shownMonth) {
            shownDay = localNow.wDay;
            shownDayOfWeek = localNow.wDayOfWeek;
            shownMonth = localNow.wMonth;
            ShowDate(localNow.wDayOfWeek, localNow.wMonth - 1, localNow.wDay);
        }
        int beats = InternetTimeBeatsAt(utcNow);
        if (beats != shownBeats) {
            ShowInternetTime(beats);
            shownBeats = static_cast<WORD>(beats);
        }
    } else if (displayMode == DISPLAY_SLEEP) {
        if (TrackInfoChanged())
            InvalidatePlayerButtons();
        ShowSleepTextsAt(static_cast<ULONGLONG>(SystemTimeToTicks(localNow)));
    }
    return 1;
}

int InternetTimeBeatsAt(const SYSTEMTIME& utcNow)
{
    unsigned hour = utcNow.wHour + 1u;
    if (hour > 23)
        hour -= 24;
    unsigned seconds = (hour * 60 + utcNow.wMinute) * 60 + utcNow.wSecond;
    return static_cast<int>(seconds * 1000 / 86400);
}

int InternetTimeBeats()
{
    SYSTEMTIME localNow, utcNow;
    clockTimeSource(&localNow, &utcNow);
    return InternetTimeBeatsAt(utcNow);
}

void ShowInternetTime(int beats)
{
    if (internetTimeText == nullptr)
        return;
    wchar_t text[16];
    StringCchPrintfW(text, ARRAYSIZE(text), L"@%03d", beats);
    SetWindowTextW(internetTimeText, text);
}

void ShowDate(int dayOfWeek, int monthIndex, int day)
{
    if (dateText == nullptr || dayOfWeek < 0 || dayOfWeek > 6 || monthIndex < 0
        || monthIndex > 12)
        return;
    wchar_t dayName[49] = L"", monthName[49] = L"";
    LCTYPE dayType = dayOfWeek == 0 ? LOCALE_SDAYNAME7 : LOCALE_SDAYNAME1 + dayOfWeek - 1;
    LCTYPE monthType = monthIndex == 12 ? LOCALE_SABBREVMONTHNAME13
                                        : LOCALE_SABBREVMONTHNAME1 + monthIndex;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, dayType, dayName, ARRAYSIZE(dayName));
    GetLocaleInfoW(LOCALE_USER_DEFAULT, monthType, monthName, ARRAYSIZE(monthName));
    wchar_t line[128];
    StringCchPrintfW(line, ARRAYSIZE(line), L"%s, %s %d", dayName, monthName, day);
    SetWindowTextW(dateText, line);
}

void ShowPendingAlarm()
{
    if (pendingAlarmText == nullptr)
        return;
    SYSTEMTIME localNow = LocalNow();
    SYSTEMTIME when;
    int index = FindNextPendingAlarmAt(alarms, localNow, &when);
    if (index < 0 || index >= ALARM_COUNT || alarms[index] == nullptr) {
        SetWindowTextW(pendingAlarmText, L"No Pending Alarms");
        return;
    }

    wchar_t name[ALARM_NAME_UNITS + 4];
    const wchar_t* stored = alarms[index]->AlarmName;
    if (stored[0] == L'\0' || lstrcmpW(stored, UNTITLED_ALARM_NAME) == 0) {
        StringCchPrintfW(name, ARRAYSIZE(name), L"Alarm %d", index + 1);
    } else {
        StringCchCopyNW(name, ARRAYSIZE(name), stored, ALARM_NAME_UNITS);
        size_t length = 0;
        StringCchLengthW(name, ARRAYSIZE(name), &length);
        if (length > NAME_CUT) {
            name[NAME_CUT] = L'\0';
            StringCchCatW(name, ARRAYSIZE(name), L"...");
        }
    }

    wchar_t day[63] = L"";
    if (when.wYear == localNow.wYear && when.wMonth == localNow.wMonth
        && when.wDay == localNow.wDay)
        StringCchCopyW(day, ARRAYSIZE(day), L"Today");
    else
        GetDateFormatW(LOCALE_USER_DEFAULT, 0, &when, L"ddd", day, ARRAYSIZE(day));
    wchar_t time[63] = L"";
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &when, nullptr, time, ARRAYSIZE(time));

    wchar_t line[160];
    StringCchPrintfW(line, ARRAYSIZE(line), L"%s (%s %s)", name, time, day);
    SetWindowTextW(pendingAlarmText, line);
}

// The title and the artist - album line of the current track, fitted.
static void WriteTrackTexts()
{
    wchar_t title[TRACK_TEXT_UNITS] = L"", artist[TRACK_TEXT_UNITS] = L"";
    wchar_t album[TRACK_TEXT_UNITS] = L"";
    GetTrackInfo(title, artist, album);
    wchar_t fitted[2 * TRACK_TEXT_UNITS + 4];
    if (trackTitleText != nullptr) {
        FitTextToControl(trackTitleText, trackTitleFont, title, fitted, ARRAYSIZE(fitted));
        SetWindowTextW(trackTitleText, fitted);
    }
    wchar_t detail[2 * TRACK_TEXT_UNITS + 4];
    StringCchCopyW(detail, ARRAYSIZE(detail), artist);
    if (album[0] != L'\0') {
        StringCchCatW(detail, ARRAYSIZE(detail), L" - ");
        StringCchCatW(detail, ARRAYSIZE(detail), album);
    }
    if (trackDetailText != nullptr) {
        FitTextToControl(trackDetailText, trackDetailFont, detail, fitted, ARRAYSIZE(fitted));
        SetWindowTextW(trackDetailText, fitted);
    }
}

static void ShowSleepTextsAt(ULONGLONG localNowTicks)
{
    if (TakeTrackInfoChanged())
        WriteTrackTexts();
    if (TimedSleep == 0 || sleepPaused || sleepRemainingText == nullptr)
        return;
    LONGLONG left = static_cast<LONGLONG>(sleepEndTime - localNowTicks);
    LONGLONG totalMinutes = left / TICKS_PER_SECOND / 60;
    int hours = static_cast<int>(totalMinutes / 60);
    int minutes = static_cast<int>(totalMinutes - 60 * static_cast<LONGLONG>(hours));
    wchar_t text[REMAINING_UNITS + 8];
    StringCchPrintfW(text, ARRAYSIZE(text), L"%02d:%02d", hours, minutes);
    wchar_t shown[REMAINING_UNITS] = L"";
    GetWindowTextW(sleepRemainingText, shown, ARRAYSIZE(shown));
    if (lstrcmpW(shown, text) != 0)
        SetWindowTextW(sleepRemainingText, text);
}

void ShowSleepTexts()
{
    ShowSleepTextsAt(ClockNowTicks());
}

void BlinkSleepTexts(bool show)
{
    if (!show) {
        if (trackTitleText != nullptr)
            SetWindowTextW(trackTitleText, L"");
        if (trackDetailText != nullptr)
            SetWindowTextW(trackDetailText, L"");
        if (TimedSleep && sleepRemainingText != nullptr) {
            GetWindowTextW(sleepRemainingText, savedRemainingText, REMAINING_UNITS);
            SetWindowTextW(sleepRemainingText, L"");
        }
        return;
    }
    WriteTrackTexts();
    if (TimedSleep && sleepRemainingText != nullptr && savedRemainingText[0] != L'\0')
        SetWindowTextW(sleepRemainingText, savedRemainingText);
}

void ClearSavedRemainingText()
{
    savedRemainingText[0] = L'\0';
}

void InvalidatePlayerButtons()
{
    RECT strip = { prevButtonRect.left - 1, prevButtonRect.top - 1, nextButtonRect.right + 1,
                   prevButtonRect.bottom + 1 };
    InvalidateRect(mainWindow, &strip, FALSE);
}

void FitTextToControl(HWND control, HFONT font, const wchar_t* source, wchar_t* destination,
                      size_t destinationCount)
{
    if (destination == nullptr || destinationCount == 0)
        return;
    if (source == nullptr)
        source = L"";
    StringCchCopyW(destination, destinationCount, source);
    RECT client = {};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ oldFont = font != nullptr ? SelectObject(dc, font) : nullptr;

    std::wstring whole(source);
    std::wstring candidate = whole;
    size_t n = whole.size();
    bool fits = false;
    for (;;) {
        SIZE size = {};
        GetTextExtentExPointW(dc, candidate.c_str(), static_cast<int>(candidate.size()), 0,
                              nullptr, nullptr, &size);
        if (size.cx <= client.right && size.cy <= client.bottom) {
            fits = true;
            break;
        }
        if (n == 0)
            break;
        n--;
        if (n == 0)
            break;
        candidate = whole.substr(0, n) + L"...";
    }

    if (font != nullptr)
        SelectObject(dc, oldFont);
    ReleaseDC(control, dc);
    // When not even one character with "..." fits, the whole text stays.
    if (fits && n > 0)
        StringCchCopyW(destination, destinationCount, candidate.c_str());
}
