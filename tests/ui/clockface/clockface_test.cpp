// The clock face as it appears on the screen, checked pixel by pixel
// against the program's own bitmaps, and the text lines around the clock.
#include "windowfixture.h"

static const int kDigit[10] = { IDB_PORTRAIT_DIGIT_0, IDB_PORTRAIT_DIGIT_1, IDB_PORTRAIT_DIGIT_2,
                         IDB_PORTRAIT_DIGIT_3, IDB_PORTRAIT_DIGIT_4, IDB_PORTRAIT_DIGIT_5,
                         IDB_PORTRAIT_DIGIT_6, IDB_PORTRAIT_DIGIT_7, IDB_PORTRAIT_DIGIT_8,
                         IDB_PORTRAIT_DIGIT_9 };
static const int kBlank = -1;   // a digit slot or the indicator all black

class ClockFace : public MainWindowTest {
protected:
    // Slots 1-4 show these digits, the colon shows, and above them the
    // AM/PM strip or the COUNTDOWN label (or, on the 24-hour clock, neither
    // AM nor PM).
    static void ExpectFace(const Capture& face, const int (&digits)[4], int indicator)
    {
        for (int slot = 1; slot <= 4; slot++) {
            RECT r = MainLayout().digitSlots[slot];
            int digit = digits[slot - 1];
            EXPECT_TRUE(digit == kBlank ? Filled(face, r, 0x000000) : Shows(face, r, kDigit[digit]))
                << "slot " << slot;
        }
        if (indicator == kBlank) {
            EXPECT_FALSE(ShowsSomewhere(face, IDB_AMPM_STRIP_AM));
            EXPECT_FALSE(ShowsSomewhere(face, IDB_AMPM_STRIP_PM));
        } else {
            EXPECT_TRUE(ShowsSomewhere(face, indicator));
        }
        EXPECT_TRUE(Shows(face, MainLayout().digitSlots[COLON_SLOT], IDB_PORTRAIT_COLON));
    }
};

TEST_F(ClockFace, HoursOfTheTwelveAndTwentyFourHourClocksTheTickAndTheCountdownsMinutesLeft)
{
    const struct {
        DWORD twentyFour;
        int hour, minute;
        int digits[4];
        int indicator;
    } cases[] = {
        { 0, 9, 5, { kBlank, 9, 0, 5 }, IDB_AMPM_STRIP_AM }, { 0, 0, 30, { 1, 2, 3, 0 }, IDB_AMPM_STRIP_AM },
        { 0, 12, 5, { 1, 2, 0, 5 }, IDB_AMPM_STRIP_PM },     { 0, 13, 0, { kBlank, 1, 0, 0 }, IDB_AMPM_STRIP_PM },
        { 1, 0, 30, { 0, 0, 3, 0 }, kBlank },                { 1, 21, 47, { 2, 1, 4, 7 }, kBlank },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hour << ":" << c.minute << " 24h " << c.twentyFour);
        settings.TwentyFourHourTime = c.twentyFour;
        SetClock(MakeTime(2026, 12, 6, c.hour, c.minute));
        ExpectFace(Face(), c.digits, c.indicator);
    }
    // The tick blinks the colon, and brings the next minute.
    UpdateClock(MainClockView());
    EXPECT_TRUE(Filled(CaptureWindow(app.mainWindow), MainLayout().digitSlots[COLON_SLOT], 0x000000));
    SetClock(MakeTime(2026, 12, 6, 21, 48));
    UpdateClock(MainClockView());
    Capture face = CaptureWindow(app.mainWindow);
    EXPECT_TRUE(Shows(face, MainLayout().digitSlots[COLON_SLOT], IDB_PORTRAIT_COLON));
    EXPECT_TRUE(Shows(face, MainLayout().digitSlots[4], kDigit[8]));

    // The countdown shows the whole minutes left, with its label: an end
    // 1 h 5 min 59 s away shows 01:05 until a minute has passed, then 00:00
    // in its last minute.
    SYSTEMTIME start = MakeTime(2026, 12, 6, 9, 0, 0);
    ULONGLONG end = static_cast<ULONGLONG>(Ticks(start) + (65 * 60 + 59) * TICKS_PER_SECOND);
    settings.CDFTLow = static_cast<DWORD>(end);
    settings.CDFTHigh = static_cast<DWORD>(end >> 32);
    SetDisplayMode(DISPLAY_COUNTDOWN);
    const struct {
        int secondsIn;
        int digits[4];
    } left[] = { { 1, { 0, 1, 0, 5 } }, { 59, { 0, 1, 0, 5 } }, { 60, { 0, 1, 0, 4 } }, { 65 * 60, { 0, 0, 0, 0 } } };
    for (const auto& l : left) {
        SCOPED_TRACE(l.secondsIn);
        SetClock(AddTicks(start, l.secondsIn * TICKS_PER_SECOND));
        ExpectFace(Face(), l.digits, IDB_COUNTDOWN_ACROSS);
    }
}

TEST_F(ClockFace, DateAndInternetTimeFollowTheTickAndThePendingAlarmLine)
{
    SetClock(MakeTime(2026, 1, 4, 22, 59, 59));
    ResetClockCache();
    UpdateClock(MainClockView());
    EXPECT_EQ(L"Sunday, Jan 4", WindowText(mainControls.dateText));
    EXPECT_EQ(L"@999", WindowText(mainControls.internetTimeText));
    SetClock(MakeTime(2026, 12, 9, 23, 0, 0));   // midnight at UTC+1
    UpdateClock(MainClockView());
    EXPECT_EQ(L"Wednesday, Dec 9", WindowText(mainControls.dateText));
    EXPECT_EQ(L"@000", WindowText(mainControls.internetTimeText));

    // The pending alarm line.
    SetClock(MakeTime(2026, 12, 5, 6, 0));   // a Saturday
    ShowPendingAlarm();
    EXPECT_EQ(L"No Pending Alarms", WindowText(mainControls.pendingAlarmText));
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
        EXPECT_EQ(n.line, WindowText(mainControls.pendingAlarmText));
    }
    SetClock(MakeTime(2026, 12, 6, 8, 0));   // Sunday, after 7:00
    ShowPendingAlarm();
    EXPECT_EQ(L"Alarm 4 (7:00 AM Mon)", WindowText(mainControls.pendingAlarmText));
}

TEST_F(ClockFace, SleepLinesAndPlayerButtonsTheTimeLeftBlinkingWhilePausedAndNoTraceOnceSleepEnds)
{
    static MediaNode tracks[3];   // the second of three plays
    tracks[0].next = &tracks[1];
    tracks[1].next = &tracks[2];
    SetMediaPosition(&tracks[0], &tracks[1]);
    settings.TimedSleep = 1;
    SetDisplayMode(DISPLAY_SLEEP);
    sleepPlayer.sleepEndTime = static_cast<ULONGLONG>(Ticks(MakeTime(2026, 12, 6, 11, 8, 40)));
    ShowSleepTexts(MainClockView());   // at 9:05:10
    EXPECT_EQ(L"02:03", WindowText(mainControls.sleepRemainingText));
    sleepPlayer.sleepPaused = 1;
    BlinkSleepTexts(false);
    EXPECT_EQ(L"", WindowText(mainControls.sleepRemainingText));
    BlinkSleepTexts(true);
    EXPECT_EQ(L"02:03", WindowText(mainControls.sleepRemainingText));
    sleepPlayer.sleepPaused = 0;

    // The player buttons show; a pen pressed on pause as sleep ends is
    // forgotten: its release on the clock must not pause anything. No player
    // button is left on the face.
    auto pen = [](UINT message, const RECT& button) {
        SendMessageW(app.mainWindow, message, 0,
                     MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2));
    };
    EXPECT_TRUE(Shows(Face(), MainLayout().nextButtonRect, IDB_NEXT_YELLOW));
    pen(WM_LBUTTONDOWN, MainLayout().pauseButtonRect);
    StopSleep();
    pen(WM_LBUTTONUP, MainLayout().pauseButtonRect);
    EXPECT_EQ(0, sleepPlayer.sleepPaused);
    EXPECT_FALSE(ShowsSomewhere(Face(), IDB_NEXT_YELLOW));
    SetMediaPosition(nullptr, nullptr);
}
