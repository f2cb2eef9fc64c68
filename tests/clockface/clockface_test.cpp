// The clock face as it appears on the screen, checked pixel by pixel
// against the program's own bitmaps, and the text lines around the clock.
#include "windowfixture.h"

#include <strsafe.h>

#include <string>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "menubar.h"
#include "resource.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

namespace {

const int kDigit[10] = { IDB_PORTRAIT_DIGIT_0, IDB_PORTRAIT_DIGIT_1, IDB_PORTRAIT_DIGIT_2,
                         IDB_PORTRAIT_DIGIT_3, IDB_PORTRAIT_DIGIT_4, IDB_PORTRAIT_DIGIT_5,
                         IDB_PORTRAIT_DIGIT_6, IDB_PORTRAIT_DIGIT_7, IDB_PORTRAIT_DIGIT_8,
                         IDB_PORTRAIT_DIGIT_9 };
const int kBlank = -1;
const int kNone = 0;

class ClockFace : public MainWindowTest {
protected:
    // The 200 x 22 place of the AM/PM strip and of the COUNTDOWN label.
    static RECT IndicatorRect()
    {
        return { clockRect.left + 20, clockRect.top - 20, clockRect.left + 220, clockRect.top + 2 };
    }
    // Slots 1-4 show these digits (kBlank: all black), the indicator this bitmap.
    static void ExpectFace(const Capture& face, const int (&digits)[4], int indicator)
    {
        for (int slot = 1; slot <= 4; slot++) {
            RECT r = DigitSlotRect(slot);
            int digit = digits[slot - 1];
            if (digit == kBlank)
                EXPECT_TRUE(AllOf(Pixels(face, r), 0x000000)) << "slot " << slot;
            else
                EXPECT_TRUE(Shows(face, r, kDigit[digit])) << "slot " << slot;
        }
        if (indicator == kNone)
            EXPECT_TRUE(AllOf(Pixels(face, IndicatorRect()), 0x000000));
        else
            EXPECT_TRUE(Pixels(face, IndicatorRect()) == BitmapPixels(indicator, 200, 22));
    }
};

TEST_F(ClockFace, HoursOfTheTwelveAndTwentyFourHourClocks)
{
    const struct {
        DWORD twentyFour;
        int hour, minute;
        int digits[4];
        int indicator;
    } cases[] = {
        { 0, 9, 5, { kBlank, 9, 0, 5 }, IDB_AMPM_STRIP_AM },
        { 0, 0, 30, { 1, 2, 3, 0 }, IDB_AMPM_STRIP_AM },
        { 0, 12, 5, { 1, 2, 0, 5 }, IDB_AMPM_STRIP_PM },
        { 0, 13, 0, { kBlank, 1, 0, 0 }, IDB_AMPM_STRIP_PM },
        { 1, 0, 30, { 0, 0, 3, 0 }, kNone },
        { 1, 21, 47, { 2, 1, 4, 7 }, kNone },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute << " 24h " << c.twentyFour);
        TwentyFourHourTime = c.twentyFour;
        SetClock(MakeTime(2026, 12, 6, c.hour, c.minute));
        Capture face = Face();
        ExpectFace(face, c.digits, c.indicator);
        EXPECT_TRUE(Shows(face, DigitSlotRect(COLON_SLOT), IDB_PORTRAIT_COLON));
    }
}

TEST_F(ClockFace, ColonBlinksAndAnOrdinaryTickCopiesOnlyTheColon)
{
    SYSTEMTIME now = MakeTime(2026, 12, 6, 9, 5, 10);
    SetClock(now);
    Face();
    unsigned copies = faceCopyCount;
    UpdateClock();
    EXPECT_EQ(1u, faceCopyCount - copies);
    EXPECT_TRUE(AllOf(Pixels(CaptureWindow(mainWindow), DigitSlotRect(COLON_SLOT)), 0x000000));
    UpdateClock();
    EXPECT_TRUE(Shows(CaptureWindow(mainWindow), DigitSlotRect(COLON_SLOT), IDB_PORTRAIT_COLON));

    // A new minute costs the digits that changed, no more.
    now.wMinute = 6;
    SetClock(now);
    copies = faceCopyCount;
    UpdateClock();
    EXPECT_EQ(2u, faceCopyCount - copies);
    EXPECT_TRUE(Shows(CaptureWindow(mainWindow), DigitSlotRect(4), kDigit[6]));
}

TEST_F(ClockFace, CountdownShowsWholeMinutesLeftWithItsLabel)
{
    SYSTEMTIME start = MakeTime(2026, 12, 6, 9, 0, 0);
    ULONGLONG end = static_cast<ULONGLONG>(SystemTimeToTicks(start))
        + (65 * 60 + 59) * static_cast<ULONGLONG>(TICKS_PER_SECOND);
    CDFTLow = static_cast<DWORD>(end);
    CDFTHigh = static_cast<DWORD>(end >> 32);
    SetDisplayMode(DISPLAY_COUNTDOWN);
    EXPECT_TRUE(IsWindowVisible(stopCountdownButton));
    const struct {
        LONGLONG secondsIn;
        int digits[4];
    } cases[] = { { 0, { 0, 1, 0, 5 } }, { 1, { 0, 1, 0, 5 } }, { 65 * 60, { 0, 0, 0, 0 } } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.secondsIn);
        SetClock(AddTicks(start, c.secondsIn * TICKS_PER_SECOND));
        ExpectFace(Face(), c.digits, IDB_COUNTDOWN_ACROSS);
    }
}

TEST_F(ClockFace, SilencedBellComesAndGoesWithTheCommand)
{
    RECT bell = { clockRect.left + 2, clockRect.top - 20, clockRect.left + 18, clockRect.top - 4 };
    for (DWORD silenced : { 1u, 0u }) {
        SendMessageW(mainWindow, WM_COMMAND, IDM_SILENCE_ALL, 0);
        EXPECT_EQ(silenced, Silenced);
        EXPECT_STORED(SETTINGS_PATH, L"Silenced", silenced);
        EXPECT_EQ(silenced != 0, Shows(Face(), bell, IDB_SILENCED));
        EXPECT_EQ(silenced ? static_cast<UINT>(MF_CHECKED) : 0u,
                  GetMenuState(MenuBarMenu(), IDM_SILENCE_ALL, MF_BYCOMMAND) & MF_CHECKED);
    }
}

// ---- the sleep player's buttons ----

class PlayerButtons : public ClockFace {
protected:
    void SetUp() override
    {
        ClockFace::SetUp();
        for (int i = 0; i < 3; i++) {
            tracks[i] = {};
            StringCchPrintfW(tracks[i].path, MEDIA_PATH_UNITS, L"C:\\music\\%d.mp3", i);
            tracks[i].next = i < 2 ? &tracks[i + 1] : nullptr;
        }
        mediaListHead = &tracks[0];
        currentTrack = &tracks[1];
        SetDisplayMode(DISPLAY_SLEEP);
    }
    void TearDown() override
    {
        displayMode = DISPLAY_CLOCK;
        mediaListHead = nullptr;
        currentTrack = nullptr;
        ClockFace::TearDown();
    }

    static void Press(const RECT& down, const RECT& up)
    {
        SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(down));
        SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(up));
    }
    static LPARAM At(const RECT& r) { return MAKELPARAM(r.left + 13, r.top + 13); }

    MediaNode tracks[3];
};

TEST_F(PlayerButtons, NormalPressedAndGreyLooks)
{
    Capture face = Face();
    EXPECT_FALSE(IsWindowVisible(setAlarmsButton));
    EXPECT_TRUE(Shows(face, prevButtonRect, IDB_PREVIOUS_YELLOW));
    EXPECT_TRUE(Shows(face, stopButtonRect, IDB_STOP_YELLOW));
    EXPECT_TRUE(Shows(face, pauseButtonRect, IDB_PAUSE_YELLOW));
    EXPECT_TRUE(Shows(face, nextButtonRect, IDB_NEXT_YELLOW));

    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(nextButtonRect));
    EXPECT_EQ(4, pressedButton);
    EXPECT_TRUE(Shows(CaptureWindow(mainWindow), nextButtonRect, IDB_NEXT_GREEN));
    // Released on another button: nothing but the pressed state cleared.
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(prevButtonRect));
    EXPECT_EQ(0, pressedButton);
    EXPECT_EQ(&tracks[1], currentTrack.load());
    EXPECT_TRUE(Shows(CaptureWindow(mainWindow), nextButtonRect, IDB_NEXT_YELLOW));

    currentTrack = &tracks[0];
    EXPECT_TRUE(Shows(Face(), prevButtonRect, IDB_PREVIOUS_GREY));
    currentTrack = &tracks[2];
    face = Face();
    EXPECT_TRUE(Shows(face, nextButtonRect, IDB_NEXT_GREY));
    EXPECT_TRUE(Shows(face, prevButtonRect, IDB_PREVIOUS_YELLOW));
}

TEST_F(PlayerButtons, StopButtonEndsSleepAndAPressDoesNotOutliveIt)
{
    Press(stopButtonRect, stopButtonRect);
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_TRUE(IsWindowVisible(setAlarmsButton));
    EXPECT_EQ(nullptr, trackTitleText);
    // The strip is the window's grey again (where the buttons leave it visible).
    RECT above = { stopButtonRect.left, stopButtonRect.top, stopButtonRect.right,
                   stopButtonRect.top + 2 };
    EXPECT_TRUE(AllOf(Pixels(Face(), above), 0xC0C0C0));

    // A pen pressed on pause as sleep ends is forgotten: its release on the
    // clock must not pause anything.
    SetDisplayMode(DISPLAY_SLEEP);
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(pauseButtonRect));
    StopSleep();
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(pauseButtonRect));
    EXPECT_EQ(0, sleepPaused);
}

// ---- the text lines ----

using ClockTexts = MainWindowTest;

TEST_F(ClockTexts, DateLineHasTheFullDayAndShortMonth)
{
    ShowDate(0, 11, 5);
    EXPECT_EQ(L"Sunday, Dec 5", WindowText(dateText));
    ShowDate(3, 0, 21);
    EXPECT_EQ(L"Wednesday, Jan 21", WindowText(dateText));
}

TEST_F(ClockTexts, PendingAlarmLine)
{
    SetClock(MakeTime(2026, 12, 5, 6, 0));   // a Saturday
    ShowPendingAlarm();
    EXPECT_EQ(L"No Pending Alarms", WindowText(pendingAlarmText));
    alarms[3]->AlarmOn = 1;
    const struct {
        const wchar_t* name;
        const wchar_t* line;
    } names[] = { { L"Morning walk!", L"Morning wa... (7:00 AM Today)" },
                  { L"Ten chars!", L"Ten chars! (7:00 AM Today)" },
                  { L"", L"Alarm 4 (7:00 AM Today)" } };
    for (const auto& n : names) {
        StringCchCopyW(alarms[3]->AlarmName, ALARM_NAME_UNITS, n.name);
        ShowPendingAlarm();
        EXPECT_EQ(n.line, WindowText(pendingAlarmText));
    }
    SetClock(MakeTime(2026, 12, 6, 8, 0));   // Sunday, after 7:00
    ShowPendingAlarm();
    EXPECT_EQ(L"Alarm 4 (7:00 AM Mon)", WindowText(pendingAlarmText));
}

TEST_F(ClockTexts, InternetTimeAtTheUtcPlusOneBoundaries)
{
    EXPECT_EQ(999, InternetTimeBeatsAt(MakeTime(2026, 12, 6, 22, 59, 59)));
    EXPECT_EQ(0, InternetTimeBeatsAt(MakeTime(2026, 12, 6, 23, 0, 0)));
    EXPECT_EQ(500, InternetTimeBeatsAt(MakeTime(2026, 12, 6, 11, 0, 0)));

    ShowITime = 0;
    DestroyTextControls();
    CreateTextControls();
    EXPECT_EQ(nullptr, internetTimeText);
    ShowITime = 1;
    DestroyTextControls();
    CreateTextControls();
    RECT date;
    GetWindowRect(dateText, &date);
    EXPECT_EQ(150, date.right - date.left);
    SetClock(MakeTime(2026, 12, 6, 22, 59, 59));
    ResetClockCache();
    UpdateClock();
    EXPECT_EQ(L"@999", WindowText(internetTimeText));
    SetClock(MakeTime(2026, 12, 6, 23, 0, 0));
    UpdateClock();
    EXPECT_EQ(L"@000", WindowText(internetTimeText));
}

TEST_F(ClockTexts, FitTextToControlShortensWithDots)
{
    HWND text = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20,
                                mainWindow, nullptr, nullptr, nullptr);
    wchar_t out[128];
    for (const wchar_t* fits : { L"Hi", L"" }) {
        FitTextToControl(text, nullptr, fits, out, ARRAYSIZE(out));
        EXPECT_STREQ(fits, out);
    }
    const wchar_t* longText = L"A rather long title that cannot fit";
    FitTextToControl(text, nullptr, longText, out, ARRAYSIZE(out));
    std::wstring fitted = out;
    ASSERT_GT(fitted.size(), 3u);
    EXPECT_EQ(L"...", fitted.substr(fitted.size() - 3));
    EXPECT_EQ(0u, std::wstring(longText).find(fitted.substr(0, fitted.size() - 3)));
    HDC dc = GetDC(text);
    SIZE size;
    GetTextExtentPoint32W(dc, out, lstrlenW(out), &size);
    ReleaseDC(text, dc);
    EXPECT_LE(size.cx, 60);
    // When not even one letter and the dots fit, the text is left whole.
    SetWindowPos(text, nullptr, 0, 0, 2, 20, SWP_NOZORDER | SWP_NOMOVE);
    FitTextToControl(text, nullptr, longText, out, ARRAYSIZE(out));
    EXPECT_STREQ(longText, out);
    DestroyWindow(text);
}

TEST_F(ClockTexts, SleepTimeLeftAndItsPausedBlink)
{
    TimedSleep = 1;
    SetDisplayMode(DISPLAY_SLEEP);
    EXPECT_EQ(L"00:00", WindowText(sleepRemainingText));
    SYSTEMTIME now = MakeTime(2026, 12, 6, 22, 0, 0);
    SetClock(now);
    sleepEndTime = static_cast<ULONGLONG>(SystemTimeToTicks(now))
        + (2 * 3600 + 3 * 60 + 30) * static_cast<ULONGLONG>(TICKS_PER_SECOND);
    ShowSleepTexts();
    EXPECT_EQ(L"02:03", WindowText(sleepRemainingText));

    sleepPaused = 1;
    BlinkSleepTexts(false);
    EXPECT_EQ(L"", WindowText(sleepRemainingText));
    BlinkSleepTexts(true);
    EXPECT_EQ(L"02:03", WindowText(sleepRemainingText));
    sleepPaused = 0;
    TimedSleep = 0;
}

} // namespace
