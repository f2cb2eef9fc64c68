// The clock face as it appears on the screen: digits, colon, AM/PM, the
// countdown, the player buttons and the bell, checked pixel by pixel
// against the program's own bitmaps; and the text lines around the clock.
#include "windowfixture.h"

#include <strsafe.h>

#include <string>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
#include "sound.h"

namespace {

const int kPortraitDigit[10] = { 112, 103, 104, 106, 107, 108, 109, 110, 102, 111 };

class ClockFace : public MainWindowTest {
protected:
    // The face as drawn at local time `now`, after a full repaint.
    Capture FaceAt(const SYSTEMTIME& now)
    {
        InvalidateRect(mainWindow, nullptr, TRUE);
        Settle();
        ResetClockCache();
        SYSTEMTIME utc = now;
        UpdateClockAt(now, utc);
        return CaptureWindow(mainWindow);
    }

    bool SlotShows(const Capture& face, int slot, int bitmapId)
    {
        RECT r = DigitSlotRect(slot);
        return Pixels(face, r) == BitmapPixels(bitmapId, r.right - r.left, r.bottom - r.top);
    }

    bool SlotBlank(const Capture& face, int slot)
    {
        return AllOf(Pixels(face, DigitSlotRect(slot)), 0x000000);
    }

    // The 200 x 22 place of the AM/PM strip and of the COUNTDOWN label.
    RECT IndicatorRect()
    {
        return { clockRect.left + 20, clockRect.top - 20, clockRect.left + 220, clockRect.top + 2 };
    }

    bool IndicatorShows(const Capture& face, int bitmapId)
    {
        return Pixels(face, IndicatorRect()) == BitmapPixels(bitmapId, 200, 22);
    }
};

TEST_F(ClockFace, TwelveHourClockHidesTheLeadingZeroAndShowsAm)
{
    ASSERT_EQ(1, orientation);
    Capture face = FaceAt(Time(2026, 12, 6, 9, 5));
    EXPECT_TRUE(SlotBlank(face, 1));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[9]));
    EXPECT_TRUE(SlotShows(face, 3, kPortraitDigit[0]));
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[5]));
    EXPECT_TRUE(SlotShows(face, COLON_SLOT, IDB_PORTRAIT_COLON));
    EXPECT_TRUE(IndicatorShows(face, IDB_AMPM_STRIP_AM));
}

TEST_F(ClockFace, MidnightReadsTwelveAndAfternoonIsPm)
{
    Capture face = FaceAt(Time(2026, 12, 6, 0, 30));
    EXPECT_TRUE(SlotShows(face, 1, kPortraitDigit[1]));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[2]));
    EXPECT_TRUE(SlotShows(face, 3, kPortraitDigit[3]));
    EXPECT_TRUE(IndicatorShows(face, IDB_AMPM_STRIP_AM));

    face = FaceAt(Time(2026, 12, 6, 12, 5));
    EXPECT_TRUE(SlotShows(face, 1, kPortraitDigit[1]));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[2]));
    EXPECT_TRUE(IndicatorShows(face, IDB_AMPM_STRIP_PM));

    face = FaceAt(Time(2026, 12, 6, 13, 0));
    EXPECT_TRUE(SlotBlank(face, 1));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[1]));
    EXPECT_TRUE(IndicatorShows(face, IDB_AMPM_STRIP_PM));
}

TEST_F(ClockFace, TwentyFourHourClockShowsTheZeroAndNoAmPm)
{
    TwentyFourHourTime = 1;
    Capture face = FaceAt(Time(2026, 12, 6, 0, 30));
    EXPECT_TRUE(SlotShows(face, 1, kPortraitDigit[0]));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[0]));
    EXPECT_TRUE(SlotShows(face, 3, kPortraitDigit[3]));
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[0]));
    EXPECT_TRUE(AllOf(Pixels(face, IndicatorRect()), 0x000000));

    face = FaceAt(Time(2026, 12, 6, 21, 47));
    EXPECT_TRUE(SlotShows(face, 1, kPortraitDigit[2]));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[1]));
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[7]));
    TwentyFourHourTime = 0;
}

TEST_F(ClockFace, ColonBlinksAndOnlyTheColonIsRedrawnOnAnOrdinaryTick)
{
    SYSTEMTIME now = Time(2026, 12, 6, 9, 5, 10);
    Capture face = FaceAt(now);
    EXPECT_TRUE(SlotShows(face, COLON_SLOT, IDB_PORTRAIT_COLON));

    unsigned copies = faceCopyCount;
    now.wSecond = 11;
    UpdateClockAt(now, now);
    EXPECT_EQ(1u, faceCopyCount - copies);
    EXPECT_TRUE(SlotBlank(CaptureWindow(mainWindow), COLON_SLOT));

    now.wSecond = 12;
    UpdateClockAt(now, now);
    EXPECT_TRUE(SlotShows(CaptureWindow(mainWindow), COLON_SLOT, IDB_PORTRAIT_COLON));

    // A new minute costs the digits that changed, no more.
    copies = faceCopyCount;
    now.wMinute = 6;
    UpdateClockAt(now, now);
    EXPECT_EQ(2u, faceCopyCount - copies);
    EXPECT_TRUE(SlotShows(CaptureWindow(mainWindow), 4, kPortraitDigit[6]));
}

TEST_F(ClockFace, CountdownShowsWholeMinutesLeftWithItsLabel)
{
    SYSTEMTIME now = Time(2026, 12, 6, 9, 0, 0);
    ULONGLONG end = static_cast<ULONGLONG>(SystemTimeToTicks(now))
        + (65 * 60 + 59) * static_cast<ULONGLONG>(TICKS_PER_SECOND);
    CDFTLow = static_cast<DWORD>(end);
    CDFTHigh = static_cast<DWORD>(end >> 32);
    SetDisplayMode(DISPLAY_COUNTDOWN);
    EXPECT_FALSE(IsWindowVisible(sleepButton));
    EXPECT_TRUE(IsWindowVisible(stopCountdownButton));

    Capture face = FaceAt(now);
    EXPECT_TRUE(SlotShows(face, 1, kPortraitDigit[0]));   // the zero shows in a countdown
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[1]));
    EXPECT_TRUE(SlotShows(face, 3, kPortraitDigit[0]));
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[5]));
    EXPECT_TRUE(IndicatorShows(face, IDB_COUNTDOWN_ACROSS));

    now.wSecond = 1;
    face = FaceAt(now);
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[5]));

    // 59 seconds left reads 00:00.
    face = FaceAt(AddTicks(Time(2026, 12, 6, 9, 0, 0), (65 * 60) * TICKS_PER_SECOND));
    EXPECT_TRUE(SlotShows(face, 2, kPortraitDigit[0]));
    EXPECT_TRUE(SlotShows(face, 4, kPortraitDigit[0]));

    StopCountdown();
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(0u, Countdown);
    EXPECT_TRUE(IsWindowVisible(sleepButton));
}

TEST_F(ClockFace, SilencedBellComesAndGoesWithTheCommand)
{
    RECT bell = { clockRect.left + 2, clockRect.top - 20, clockRect.left + 18, clockRect.top - 4 };
    EXPECT_FALSE(Pixels(CaptureWindow(mainWindow), bell) == BitmapPixels(IDB_SILENCED, 16, 16));

    SendMessageW(mainWindow, WM_COMMAND, IDM_SILENCE_ALL, 0);
    Settle();
    EXPECT_EQ(1u, Silenced);
    EXPECT_EQ(Pixels(CaptureWindow(mainWindow), bell), BitmapPixels(IDB_SILENCED, 16, 16));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              GetMenuState(MenuBarMenu(), IDM_SILENCE_ALL, MF_BYCOMMAND) & MF_CHECKED);

    SendMessageW(mainWindow, WM_COMMAND, IDM_SILENCE_ALL, 0);
    Settle();
    EXPECT_EQ(0u, Silenced);
    EXPECT_TRUE(AllOf(Pixels(CaptureWindow(mainWindow), bell), 0x000000));
    EXPECT_EQ(0u, GetMenuState(MenuBarMenu(), IDM_SILENCE_ALL, MF_BYCOMMAND) & MF_CHECKED);
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
        Settle();
    }
    void TearDown() override
    {
        displayMode = DISPLAY_CLOCK;
        mediaListHead = nullptr;
        currentTrack = nullptr;
        sleepPaused = 0;
        ClockFace::TearDown();
    }

    bool Shows(const RECT& button, int bitmapId)
    {
        return Pixels(CaptureWindow(mainWindow), button) == BitmapPixels(bitmapId, 26, 26);
    }

    static LPARAM At(const RECT& r) { return MAKELPARAM(r.left + 13, r.top + 13); }

    MediaNode tracks[3];
};

TEST_F(PlayerButtons, NormalPressedAndGreyLooks)
{
    EXPECT_FALSE(IsWindowVisible(setAlarmsButton));
    EXPECT_TRUE(Shows(prevButtonRect, IDB_PREVIOUS_YELLOW));
    EXPECT_TRUE(Shows(stopButtonRect, IDB_STOP_YELLOW));
    EXPECT_TRUE(Shows(pauseButtonRect, IDB_PAUSE_YELLOW));
    EXPECT_TRUE(Shows(nextButtonRect, IDB_NEXT_YELLOW));

    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(stopButtonRect));
    Settle();
    EXPECT_EQ(2, pressedButton);
    EXPECT_TRUE(Shows(stopButtonRect, IDB_STOP_GREEN));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(pauseButtonRect));   // slid off: nothing
    Settle();
    EXPECT_EQ(DISPLAY_SLEEP, displayMode);
    EXPECT_TRUE(Shows(stopButtonRect, IDB_STOP_YELLOW));

    currentTrack = &tracks[0];
    InvalidatePlayerButtons();
    Settle();
    EXPECT_TRUE(Shows(prevButtonRect, IDB_PREVIOUS_GREY));
    currentTrack = &tracks[2];
    InvalidatePlayerButtons();
    Settle();
    EXPECT_TRUE(Shows(nextButtonRect, IDB_NEXT_GREY));
    EXPECT_TRUE(Shows(prevButtonRect, IDB_PREVIOUS_YELLOW));
}

TEST_F(PlayerButtons, PressOnOneReleaseOnAnotherDoesNothing)
{
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(nextButtonRect));
    Settle();
    EXPECT_EQ(4, pressedButton);
    EXPECT_TRUE(Shows(nextButtonRect, IDB_NEXT_GREEN));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(prevButtonRect));
    Settle();
    EXPECT_EQ(0, pressedButton);
    EXPECT_EQ(&tracks[1], currentTrack.load());
    EXPECT_TRUE(Shows(nextButtonRect, IDB_NEXT_YELLOW));
    EXPECT_TRUE(Shows(prevButtonRect, IDB_PREVIOUS_YELLOW));

    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(pauseButtonRect));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(stopButtonRect));
    EXPECT_EQ(0, sleepPaused);
}

TEST_F(PlayerButtons, PauseFreezesTimedSleepAndShowsThePlayGlyph)
{
    TimedSleep = 1;
    SetDisplayMode(DISPLAY_SLEEP);
    SYSTEMTIME now;
    GetLocalTime(&now);
    sleepEndTime = static_cast<ULONGLONG>(SystemTimeToTicks(now)) + 600 * TICKS_PER_SECOND;

    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(pauseButtonRect));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(pauseButtonRect));
    Settle();
    EXPECT_EQ(1, sleepPaused);
    EXPECT_NEAR(600.0, sleepRemainingSeconds, 2.0);
    EXPECT_TRUE(Shows(pauseButtonRect, IDB_PLAY_YELLOW));
    // While paused the skip buttons take no press.
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(nextButtonRect));
    EXPECT_EQ(0, pressedButton);

    Sleep(1100);
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(pauseButtonRect));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(pauseButtonRect));
    Settle();
    EXPECT_EQ(0, sleepPaused);
    GetLocalTime(&now);
    LONGLONG left = static_cast<LONGLONG>(sleepEndTime) - SystemTimeToTicks(now);
    EXPECT_NEAR(600.0, static_cast<double>(left) / TICKS_PER_SECOND, 2.0);
    EXPECT_TRUE(Shows(pauseButtonRect, IDB_PAUSE_YELLOW));
    TimedSleep = 0;
}

TEST_F(PlayerButtons, StopButtonEndsSleep)
{
    SendMessageW(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At(stopButtonRect));
    SendMessageW(mainWindow, WM_LBUTTONUP, 0, At(stopButtonRect));
    Settle();
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_TRUE(IsWindowVisible(setAlarmsButton));
    EXPECT_NE(nullptr, dateText);
    EXPECT_EQ(nullptr, trackTitleText);
    // The strip is the window's grey again (where the buttons leave it visible).
    RECT above = { stopButtonRect.left, stopButtonRect.top, stopButtonRect.right,
                   stopButtonRect.top + 2 };
    EXPECT_TRUE(AllOf(Pixels(CaptureWindow(mainWindow), above), 0xC0C0C0));
}

// ---- the text lines ----

class ClockTexts : public MainWindowTest {};

TEST_F(ClockTexts, DateLineHasTheFullDayAndShortMonth)
{
    ShowDate(0, 11, 5);
    EXPECT_EQ(L"Sunday, Dec 5", WindowText(dateText));
    ShowDate(3, 0, 21);
    EXPECT_EQ(L"Wednesday, Jan 21", WindowText(dateText));
}

TEST_F(ClockTexts, PendingAlarmLine)
{
    SYSTEMTIME sixAm = Time(2026, 12, 5, 6, 0);   // a Saturday
    ShowPendingAlarmAt(sixAm);
    EXPECT_EQ(L"No Pending Alarms", WindowText(pendingAlarmText));

    alarms[3]->AlarmOn = 1;
    alarms[3]->AThour = 7;
    alarms[3]->ATmin = 0;
    alarms[3]->Days = 0x7F;
    StringCchCopyW(alarms[3]->AlarmName, ALARM_NAME_UNITS, L"Morning walk!");
    ShowPendingAlarmAt(sixAm);
    EXPECT_EQ(L"Morning wa... (7:00 AM Today)", WindowText(pendingAlarmText));

    StringCchCopyW(alarms[3]->AlarmName, ALARM_NAME_UNITS, L"Ten chars!");
    ShowPendingAlarmAt(sixAm);
    EXPECT_EQ(L"Ten chars! (7:00 AM Today)", WindowText(pendingAlarmText));

    alarms[3]->AlarmOn = 0;
    alarms[0]->AlarmOn = 1;
    alarms[0]->AThour = 7;
    alarms[0]->ATmin = 0;
    alarms[0]->Days = 0x7F;
    alarms[0]->AlarmName[0] = L'\0';
    ShowPendingAlarmAt(Time(2026, 12, 6, 8, 0));   // Sunday, after 7:00
    EXPECT_EQ(L"Alarm 1 (7:00 AM Mon)", WindowText(pendingAlarmText));
}

TEST_F(ClockTexts, InternetTimeAtTheUtcPlusOneBoundaries)
{
    EXPECT_EQ(999, InternetTimeBeatsAt(Time(2026, 12, 6, 22, 59, 59)));
    EXPECT_EQ(0, InternetTimeBeatsAt(Time(2026, 12, 6, 23, 0, 0)));
    EXPECT_EQ(500, InternetTimeBeatsAt(Time(2026, 12, 6, 11, 0, 0)));
    EXPECT_EQ(41, InternetTimeBeatsAt(Time(2026, 12, 6, 0, 0, 0)));

    ShowITime = 0;
    DestroyTextControls();
    CreateTextControls();
    EXPECT_EQ(nullptr, internetTimeText);
    ShowITime = 1;
    DestroyTextControls();
    CreateTextControls();
    ASSERT_NE(nullptr, internetTimeText);
    RECT date;
    GetWindowRect(dateText, &date);
    EXPECT_EQ(150, date.right - date.left);

    SYSTEMTIME utc = Time(2026, 12, 6, 22, 59, 59);
    ResetClockCache();
    UpdateClockAt(utc, utc);
    EXPECT_EQ(L"@999", WindowText(internetTimeText));
    utc = Time(2026, 12, 6, 23, 0, 0);
    UpdateClockAt(utc, utc);
    EXPECT_EQ(L"@000", WindowText(internetTimeText));
    ShowITime = 0;
}

TEST_F(ClockTexts, FitTextToControlShortensWithDots)
{
    HWND text = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 60, 20,
                                mainWindow, nullptr, nullptr, nullptr);
    wchar_t out[128];
    FitTextToControl(text, nullptr, L"Hi", out, ARRAYSIZE(out));
    EXPECT_STREQ(L"Hi", out);
    FitTextToControl(text, nullptr, L"", out, ARRAYSIZE(out));
    EXPECT_STREQ(L"", out);

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

TEST_F(ClockTexts, SleepTimeLeftIsWrittenOnlyWhenItChanges)
{
    TimedSleep = 1;
    SetDisplayMode(DISPLAY_SLEEP);
    ASSERT_NE(nullptr, sleepRemainingText);
    EXPECT_EQ(L"00:00", WindowText(sleepRemainingText));
    ULONGLONG now = 1000000 * static_cast<ULONGLONG>(TICKS_PER_SECOND);
    sleepEndTime = now + (2 * 3600 + 3 * 60 + 30) * static_cast<ULONGLONG>(TICKS_PER_SECOND);
    ShowSleepTextsAt(now);
    EXPECT_EQ(L"02:03", WindowText(sleepRemainingText));
    SetWindowTextW(sleepRemainingText, L"02:03");
    ShowSleepTextsAt(now + 10 * TICKS_PER_SECOND);
    EXPECT_EQ(L"02:03", WindowText(sleepRemainingText));

    // The paused blink hides and brings back the frozen time left.
    sleepPaused = 1;
    BlinkSleepTexts(false);
    EXPECT_EQ(L"", WindowText(sleepRemainingText));
    BlinkSleepTexts(true);
    EXPECT_EQ(L"02:03", WindowText(sleepRemainingText));
    sleepPaused = 0;
    SetDisplayMode(DISPLAY_CLOCK);
    TimedSleep = 0;
}

} // namespace
