// The dialogs of the menu and the main window's buttons, driven through
// their real templates as a user would, and what the main window does with
// their results.
#include "windowfixture.h"

// A path as the system's file dialog hands it back: "..\" resolved.
static std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

static void SelectAlarm(HWND dialog, int index)
{
    SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_SELECTOR, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_SELECTOR)));
}

using Dialogs = MainWindowTest;

// ---- Set Alarms ----

TEST_F(Dialogs, SetAlarmsShowsWrapsAndSavesTheHourOnEitherClock)
{
    const struct {
        DWORD twentyFour, hour, minute;
        const wchar_t* shown;
        bool pm;
        int press;
        DWORD saved;
    } cases[] = { { 0, 0, 5, L"12 0 5", false, 0, 0 }, { 0, 12, 30, L"12 3 0", true, 0, 12 },
                  { 0, 7, 0, L"7 0 0", false, IDC_PM, 19 }, { 1, 0, 0, L"0 0 0", false, IDC_HOUR_DOWN, 23 },
                  // 12 up gives 1, 1 down gives 12.
                  { 0, 12, 0, L"12 0 0", true, IDC_HOUR_UP, 13 }, { 0, 1, 0, L"1 0 0", false, IDC_HOUR_DOWN, 0 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hour << " 24h " << c.twentyFour << " press " << c.press);
        settings.TwentyFourHourTime = c.twentyFour;
        alarms[0]->AThour = c.hour;
        alarms[0]->ATmin = c.minute;
        Answering({ [&](HWND dialog) {
            EXPECT_EQ(c.shown, Digits(dialog));
            if (!c.twentyFour) {
                EXPECT_EQ(c.pm, IsDlgButtonChecked(dialog, IDC_PM) == BST_CHECKED);
            }
            if (c.press == IDC_PM)
                SendDlgItemMessageW(dialog, IDC_PM, BM_CLICK, 0, 0);
            else if (c.press != 0)
                Press(dialog, c.press);
            Press(dialog, IDOK);
        } }, [] { EXPECT_EQ(1, EditAlarms()); });
        EXPECT_STORED(AlarmKeyPath(0).c_str(), L"AThour", c.saved);
    }
}

TEST_F(Dialogs, SetAlarmsKeepsEditsAcrossAlarmsAndDoneSavesAllTenAndArmsThem)
{
    settings.TwentyFourHourTime = 1;
    Answering({ [](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_AM)));
        EXPECT_EQ(L"<default>", Text(dialog, IDC_SOUND_NAME));
        SelectAlarm(dialog, 2);
        SendDlgItemMessageW(dialog, IDC_ALARM_ON, BM_CLICK, 0, 0);
        SetDigits(dialog, 21, 4, 5);
        SelectAlarm(dialog, 0);
        SelectAlarm(dialog, 2);
        EXPECT_EQ(L"21 4 5", Digits(dialog));
        for (int day : { IDC_SUNDAY, IDC_MONDAY, IDC_TUESDAY, IDC_WEDNESDAY, IDC_THURSDAY,
                         IDC_FRIDAY, IDC_SATURDAY })
            CheckDlgButton(dialog, day, BST_UNCHECKED);
        Press(dialog, IDOK);
    }, Says(L"No days were selected for alarm 3.  All days have been automatically selected",
            L"No Days Selected") }, [] { EXPECT_EQ(1, EditAlarms()); });
    for (int i = 0; i < ALARM_COUNT; i++)
        EXPECT_EQ(9u, ValueNames(AlarmKeyPath(i).c_str()).size()) << i;
    EXPECT_STORED(AlarmKeyPath(2).c_str(), L"Days", 0x7Fu);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:2", pending[0].arguments);
    EXPECT_EQ(21, pending[0].start.wHour);
    EXPECT_EQ(45, pending[0].start.wMinute);
}

TEST_F(Dialogs, SetAlarmsPreviewsANewVolumeTestRingsTheAlarmEditedAndCancelSavesNothingAndRestoresTheDevice)
{
    SetWaveVolume(0xFFFFFFFF);
    alarms[2]->AlarmOn = 1;
    bool realRung = false;
    std::vector<short> preview = WavFileSamples(BuildSoundPath(L"volume.wav"));
    Answering({ [&](HWND dialog) {
        HWND slider = GetDlgItem(dialog, IDC_VOLUME);
        // The first move plays the preview at level 3 of 10, the device
        // set to it; the same position again plays nothing.
        for (bool heard : { true, false }) {
            ClearSoundCapture();
            SendMessageW(slider, TBM_SETPOS, TRUE, 3);
            SendMessageW(dialog, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
            EXPECT_EQ(heard, PumpUntil([&] {
                return CountPasses(ReadSoundCapture().samples, preview, 0.3) == 1;
            }, heard ? 4000 : 1500));
        }
        EXPECT_NEAR(0.3 * 0xFFFF, GetWaveVolume() & 0xFFFF, 1);
        // Test rings the alarm being edited; a real alarm arriving ends the
        // test and rings in its place.
        SelectAlarm(dialog, 4);
        SetDlgItemTextW(dialog, IDC_ALARM_NAME, L"Gym");
        Press(dialog, IDC_TEST);
        EXPECT_TRUE(PumpUntil([&] { return realRung; }, 10000));
        // The close box of the title strip leaves without saving.
        SendMessageW(DeviceDoneButton(dialog, IDCANCEL), BM_CLICK, 0, 0);
    }, [](HWND ringing) {
        EXPECT_EQ(L"Gym", WindowText(ringing));
        PostMessageW(app.mainWindow, WM_APP_EVENT, 2, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(ringing); }, 5000));
    }, [&](HWND ringing) {
        EXPECT_EQ(L"Alarm 3", WindowText(ringing));
        realRung = true;
        Press(ringing, IDC_STOP);
    } }, [] { EXPECT_EQ(2, EditAlarms()); });
    EXPECT_EQ(0xFFFFFFFFu, GetWaveVolume());
    EXPECT_EQ(0u, FmodUseCount());   // both rings gave the sound library back
    // Cancel leaves the alarms as they were; the test scheduled nothing.
    EXPECT_STREQ(L"Untitled", alarms[4]->AlarmName);
    EXPECT_TRUE(ValueNames(AlarmKeyPath(4).c_str()).empty());
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:2", pending[0].arguments);
}

// ---- Snooze time, Settings ----

// Whether an arrow button's picture points up: more of its black lies in the
// lower half, where the triangle is wide.
static bool PointsUp(HWND button)
{
    Capture c = CaptureWindow(button);
    int balance = 0;
    for (int y = 2; y < c.height - 2; y++)
        for (int x = c.width / 2 - 7; x <= c.width / 2 + 7; x++)
            balance += c.At(x, y) != 0 ? 0 : 2 * y < c.height ? -1 : 1;
    return balance > 0;
}

TEST_F(Dialogs, SnoozeTimeShowsHoursAndMinutesAndRefusesZero)
{
    const struct {
        DWORD stored;
        const wchar_t* shown;
        bool toZero;
        DWORD saved;
    } cases[] = { { 15, L"0 1 5", false, 15 }, { 75, L"1 1 5", false, 75 },
                  { 1500, L"23 0 0", false, 1380 }, { 15, L"0 1 5", true, 5 } };
    for (const auto& c : cases) {
        settings.SnoozeTime = c.stored;
        std::vector<DialogStep> steps = { [&](HWND dialog) {
            EXPECT_EQ(c.shown, Digits(dialog));
            EXPECT_TRUE(PointsUp(GetDlgItem(dialog, IDC_HOUR_UP)));
            EXPECT_FALSE(PointsUp(GetDlgItem(dialog, IDC_HOUR_DOWN)));
            if (c.toZero)
                SetDigits(dialog, 0, 0, 0);
            Press(dialog, IDOK);
        } };
        if (c.toZero)
            steps.push_back(Says(L"A snooze time of zero minutes is not valid.  The snooze time "
                                 L"has been reset to 5 minutes."));
        Answering(steps, Command(IDM_SNOOZE_TIME));
        EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", c.saved);
    }
}

// A save the registry refuses is told once, in words, and the program goes
// on with what was set; what can be saved, the alarms, is.
TEST_F(Dialogs, SettingsThatCannotBeSavedAreToldOnceAndNothingElseIsLost)
{
    ReadOnlyKeys denied(HKEY_CURRENT_USER, { SETTINGS_PATH });
    std::wstring told;
    Answering({ [](HWND dialog) { SetDigits(dialog, 0, 2, 0); Press(dialog, IDOK); }, AnswerMessageBox(&told) },
              Command(IDM_SNOOZE_TIME));
    EXPECT_EQ(0u, told.find(L"Could not save the settings (")) << told;
    EXPECT_EQ(20u, settings.SnoozeTime);
    // Set Alarms saves the settings too: that failure was told already.
    Answering({ [](HWND dialog) { SendDlgItemMessageW(dialog, IDC_ALARM_ON, BM_CLICK, 0, 0); Press(dialog, IDOK); } },
              [] { Click(mainControls.setAlarmsButton); });
    EXPECT_STORED(AlarmKeyPath(0).c_str(), L"AlarmOn", 1u);
    EXPECT_EQ(1u, PendingNotifications().size());
    EXPECT_EQ(0xFFFFFFFFu, StoredDword(SETTINGS_PATH, L"SnoozeTime"));
}

// Cancel keeps the ring time and the clock as they were; the device's Done
// (its OK) stores them and redraws the face. The dialog covers the screen
// but the menu bar.
TEST_F(Dialogs, SettingsSavesOnDoneOnlyAndRedrawsTheFace)
{
    settings.MaxTime = 5;
    settings.TwentyFourHourTime = 0;
    SetClock(MakeTime(2026, 12, 6, 21, 47));
    for (bool done : { false, true }) {
        RECT placed = {};
        Answering({ [&](HWND dialog) {
            GetWindowRect(dialog, &placed);
            EXPECT_EQ(L"5", Text(dialog, IDC_MAX_TIME));
            SendDlgItemMessageW(dialog, IDC_TWENTY_FOUR_HOUR, BM_CLICK, 0, 0);
            SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(L"20"));
            if (done)
                SendMessageW(DeviceDoneButton(dialog), BM_CLICK, 0, 0);
            else
                Press(dialog, IDCANCEL);
        } }, Command(IDM_SETTINGS));
        EXPECT_EQ((RECT{ 0, 0, 240, 320 - MENUBAR_HEIGHT }), placed);
        EXPECT_EQ(done ? 1u : 0u, settings.TwentyFourHourTime);
    }
    EXPECT_STORED(SETTINGS_PATH, L"MaxTime", 20u);
    EXPECT_STORED(SETTINGS_PATH, L"24HourTime", 1u);
    // The face is redrawn on the 24-hour clock: 21:47 shows a 2.
    EXPECT_TRUE(ShowsSomewhere(CaptureWindow(app.mainWindow), IDB_PORTRAIT_DIGIT_2));
}

// ---- Countdown ----

TEST_F(Dialogs, CountdownRefusesZeroKeepsABrowseThroughCancelAndRunsFromOneMinuteToADayUntilStopped)
{
    std::wstring sound = FullPath(BuildSoundPath(L"CBell.wav"));
    Answering({ [](HWND dialog) {
        Press(dialog, IDC_BROWSE);
        SetDigits(dialog, 0, 0, 0);
        Press(dialog, IDC_COUNTDOWN_START);   // refused: still open
        Press(dialog, IDCANCEL);
    }, PickFile(sound), Says(L"The countdown time must be greater than zero") },
        Command(IDM_COUNTDOWN));
    EXPECT_EQ(0, _wcsicmp(sound.c_str(), settings.CountdownSound));
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_TRUE(PendingNotifications().empty());

    // Opened at half an hour each time; the second start replaces the first
    // one's request.
    for (int minutes : { 1, 23 * 60 + 59 }) {
        LONGLONG now = static_cast<LONGLONG>(LocalNowTicks());
        Answering({ [&](HWND dialog) {
            EXPECT_EQ(L"0 3 0", Digits(dialog));
            SetDigits(dialog, minutes / 60, minutes % 60 / 10, minutes % 10);
            Press(dialog, IDC_COUNTDOWN_START);
        } }, Command(IDM_COUNTDOWN));
        EXPECT_EQ(DISPLAY_COUNTDOWN, app.displayMode);
        EXPECT_STORED(SETTINGS_PATH, L"Countdown", 1u);
        std::vector<PendingNotification> pending = PendingNotifications();
        ASSERT_EQ(1u, pending.size());
        EXPECT_EQ(L"/ID:254", pending[0].arguments);
        EXPECT_NEAR(static_cast<double>(now + minutes * TICKS_PER_MINUTE),
                    static_cast<double>(Ticks(pending[0].start)), 5.0 * TICKS_PER_SECOND);
        // The clock counts down to the end of the last minute.
        ULONGLONG finish = (static_cast<ULONGLONG>(StoredDword(SETTINGS_PATH, L"CDFTHigh")) << 32)
                         | StoredDword(SETTINGS_PATH, L"CDFTLow");
        EXPECT_EQ(Ticks(pending[0].start) + 59 * TICKS_PER_SECOND, static_cast<LONGLONG>(finish));
    }
    Click(mainControls.stopCountdownButton);
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
    EXPECT_TRUE(PendingNotifications().empty());
}

// ---- Chime ----

TEST_F(Dialogs, ChimeTestPlaysOnceAndCutsALongSoundAndDoneSchedulesOrClears)
{
    SetWaveVolume(0xFFFFFFFF);
    TempFolder folder;
    std::wstring longSound = folder / L"long.wav";
    WriteBytes(longSound, MakeWav(std::vector<short>(22050 * 60, 3000), 1, 22050));
    // A missing file falls back to the bell, heard whole once; a minute-long
    // sound is cut after a few seconds, heard in real time until then.
    std::vector<short> bell = WavFileSamples(BuildSoundPath(L"CBell.wav"));
    for (const wchar_t* sound : { L"C:\\gone\\bell.mp3", longSound.c_str() }) {
        StringCchCopyW(settings.ChimeSound, SETTINGS_TEXT_UNITS, sound);
        ClearSoundCapture();
        DWORD took = 0;
        Answering({ [&](HWND dialog) {
            DWORD start = GetTickCount();
            Press(dialog, IDC_TEST);
            took = GetTickCount() - start;
            Press(dialog, IDCANCEL);
        } }, [] { RunChimeDialog(app.mainWindow, &settings); });
        SoundCapture heard = ReadSoundCapture();
        if (sound == longSound.c_str()) {
            double seconds = static_cast<double>(heard.samples.size()) / (heard.rate * heard.channels);
            EXPECT_GT(seconds, 2.0);
            EXPECT_LT(seconds, 10.0);
            EXPECT_NEAR(seconds * 1000, took, 1000);
        } else {
            EXPECT_EQ(1, CountPasses(heard.samples, bell));
            EXPECT_GE(took, 1800u);
        }
    }

    // A browse is kept through Cancel, the box only with Done.
    std::wstring sound = FullPath(BuildSoundPath(L"buzz.wav"));
    Answering({ [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_CHIME_ON, BM_CLICK, 0, 0);
        Press(dialog, IDC_BROWSE);
        Press(dialog, IDCANCEL);
    }, PickFile(sound) }, Command(IDM_HOURLY_CHIME));
    EXPECT_EQ(0, _wcsicmp(sound.c_str(), settings.ChimeSound));
    EXPECT_EQ(0u, settings.Chime);

    // On twice, the second request replacing the first, then off.
    for (DWORD on : { 1u, 1u, 0u }) {
        SYSTEMTIME before = LocalTimeIn(0);
        Answering({ [on](HWND dialog) {
            CheckDlgButton(dialog, IDC_CHIME_ON, on ? BST_CHECKED : BST_UNCHECKED);
            Press(dialog, IDOK);
        } }, Command(IDM_HOURLY_CHIME));
        std::vector<PendingNotification> pending = PendingNotifications();
        ASSERT_EQ(on, pending.size());
        EXPECT_STORED(SETTINGS_PATH, L"Chime", on);
        if (on) {
            EXPECT_EQ(L"/ID:255", pending[0].arguments);
            // One second past the next hour, also when an hour began meanwhile.
            LONGLONG start = Ticks(pending[0].start);
            EXPECT_TRUE(start == Ticks(NextChimeTime(before))
                        || start == Ticks(NextChimeTime(LocalTimeIn(0))));
        }
    }
}

// The pictures a dialog shows on its buttons and statics.
static std::vector<HGDIOBJ> Pictures(HWND dialog)
{
    std::vector<HGDIOBJ> pictures;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        LRESULT picture = SendMessageW(child, BM_GETIMAGE, IMAGE_BITMAP, 0)
                        | SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0);
        if (picture != 0)
            pictures.push_back(reinterpret_cast<HGDIOBJ>(picture));
    }
    return pictures;
}

// Opened again, a dialog holds on to no more drawing objects: each picture
// it showed is freed once it closes, or shown again by its next opening.
TEST_F(Dialogs, PicturesOfADialogAreFreedOrShownAgainByItsNextOpening)
{
    for (const std::function<void()>& open : { Command(IDM_SNOOZE_TIME), Command(IDM_COUNTDOWN), Command(IDM_SLEEP),
                                               Command(IDM_ABOUT), std::function<void()>([] { EditAlarms(); }) }) {
        std::vector<HGDIOBJ> first, second;
        for (std::vector<HGDIOBJ>* shown : { &first, &second })
            Answering({ [shown](HWND dialog) {
                *shown = Pictures(dialog);
                Press(dialog, IDCANCEL);
            } }, open);
        ASSERT_EQ(first.size(), second.size());
        EXPECT_FALSE(first.empty());
        for (size_t i = 0; i < first.size(); i++)
            EXPECT_TRUE(first[i] == second[i] || GetObjectType(first[i]) == 0) << i;
    }
}
