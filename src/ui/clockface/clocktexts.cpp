// The text lines around the clock face: date, next pending alarm, Internet
// time, and the sleep player's track and time left; and the clock they read.
#include "clockface.h"

#include <strsafe.h>

#include <string>

#include "alarmname.h"
#include "alarms.h"
#include "alarmtime.h"
#include "layout.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "sound.h"

#define REMAINING_UNITS 9
#define NAME_CUT        10

static wchar_t savedRemainingText[REMAINING_UNITS];

// The clock is read here, below the update that also reads it.
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

void ShowInternetTime(int beats)
{
    if (mainControls.internetTimeText == nullptr)
        return;
    wchar_t text[16];
    StringCchPrintfW(text, ARRAYSIZE(text), L"@%03d", beats);
    SetWindowTextW(mainControls.internetTimeText, text);
}

void ShowDate(int dayOfWeek, int monthIndex, int day)
{
    if (mainControls.dateText == nullptr || dayOfWeek < 0 || dayOfWeek > 6 || monthIndex < 0
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
    SetWindowTextW(mainControls.dateText, line);
}

void ShowPendingAlarm()
{
    if (mainControls.pendingAlarmText == nullptr)
        return;
    SYSTEMTIME localNow = LocalNow();
    SYSTEMTIME when;
    int index = FindNextPendingAlarmAt(alarms, localNow, &when);
    if (index < 0 || index >= ALARM_COUNT || alarms[index] == nullptr) {
        wchar_t none[64];
        LoadResourceText(IDS_NO_PENDING_ALARMS, none, ARRAYSIZE(none));
        SetWindowTextW(mainControls.pendingAlarmText, none);
        return;
    }

    // The name every other place shows: only an exact "Untitled", or none,
    // stands for the alarm's number.
    wchar_t name[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(index, name, ARRAYSIZE(name));
    size_t length = 0;
    StringCchLengthW(name, ARRAYSIZE(name), &length);
    if (length > NAME_CUT) {
        name[NAME_CUT] = L'\0';
        StringCchCatW(name, ARRAYSIZE(name), L"...");
    }

    wchar_t day[63] = L"";
    if (when.wYear == localNow.wYear && when.wMonth == localNow.wMonth
        && when.wDay == localNow.wDay)
        LoadResourceText(IDS_TODAY, day, ARRAYSIZE(day));
    else
        GetDateFormatW(LOCALE_USER_DEFAULT, 0, &when, L"ddd", day, ARRAYSIZE(day));
    wchar_t time[63] = L"";
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &when, nullptr, time, ARRAYSIZE(time));

    wchar_t line[160];
    StringCchPrintfW(line, ARRAYSIZE(line), L"%s (%s %s)", name, time, day);
    SetWindowTextW(mainControls.pendingAlarmText, line);
}

// The title and the artist - album line of the current track, fitted.
static void WriteTrackTexts()
{
    wchar_t title[TRACK_TEXT_UNITS] = L"", artist[TRACK_TEXT_UNITS] = L"";
    wchar_t album[TRACK_TEXT_UNITS] = L"";
    GetTrackInfo(title, artist, album);
    if (artist[0] == L'\0')
        LoadResourceText(IDS_ARTIST_UNKNOWN, artist, ARRAYSIZE(artist));
    wchar_t fitted[2 * TRACK_TEXT_UNITS + 4];
    if (mainControls.trackTitleText != nullptr) {
        FitTextToControl(mainControls.trackTitleText, mainControls.trackTitleFont, title, fitted,
                         ARRAYSIZE(fitted));
        SetWindowTextW(mainControls.trackTitleText, fitted);
    }
    wchar_t detail[2 * TRACK_TEXT_UNITS + 4];
    StringCchCopyW(detail, ARRAYSIZE(detail), artist);
    if (album[0] != L'\0') {
        StringCchCatW(detail, ARRAYSIZE(detail), L" - ");
        StringCchCatW(detail, ARRAYSIZE(detail), album);
    }
    if (mainControls.trackDetailText != nullptr) {
        FitTextToControl(mainControls.trackDetailText, mainControls.trackDetailFont, detail, fitted,
                         ARRAYSIZE(fitted));
        SetWindowTextW(mainControls.trackDetailText, fitted);
    }
}

void ShowSleepTexts(const ClockView& view)
{
    if (TakeTrackInfoChanged())
        WriteTrackTexts();
    if (settings.TimedSleep == 0 || view.sleepPaused || mainControls.sleepRemainingText == nullptr)
        return;
    int hours, minutes;
    TimeLeft(static_cast<LONGLONG>(view.sleepEndTime), static_cast<LONGLONG>(ClockNowTicks()), &hours,
             &minutes);
    wchar_t text[REMAINING_UNITS + 8];
    StringCchPrintfW(text, ARRAYSIZE(text), L"%02d:%02d", hours, minutes);
    wchar_t shown[REMAINING_UNITS] = L"";
    GetWindowTextW(mainControls.sleepRemainingText, shown, ARRAYSIZE(shown));
    if (lstrcmpW(shown, text) != 0)
        SetWindowTextW(mainControls.sleepRemainingText, text);
}

void BlinkSleepTexts(bool show)
{
    if (!show) {
        if (mainControls.trackTitleText != nullptr)
            SetWindowTextW(mainControls.trackTitleText, L"");
        if (mainControls.trackDetailText != nullptr)
            SetWindowTextW(mainControls.trackDetailText, L"");
        if (settings.TimedSleep && mainControls.sleepRemainingText != nullptr) {
            GetWindowTextW(mainControls.sleepRemainingText, savedRemainingText, REMAINING_UNITS);
            SetWindowTextW(mainControls.sleepRemainingText, L"");
        }
        return;
    }
    WriteTrackTexts();
    if (settings.TimedSleep && mainControls.sleepRemainingText != nullptr && savedRemainingText[0] != L'\0')
        SetWindowTextW(mainControls.sleepRemainingText, savedRemainingText);
}

void ClearSavedRemainingText()
{
    savedRemainingText[0] = L'\0';
}

void InvalidatePlayerButtons(HWND window)
{
    InvalidateRect(window, &MainLayout().playerStripRect, FALSE);
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
