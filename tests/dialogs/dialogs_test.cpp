// The dialogs of the menu and the main window's buttons, driven through
// their real templates as a user would, and what the main window does with
// their results.
#include "windowfixture.h"

#include <commctrl.h>
#include <strsafe.h>

#include <initializer_list>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "contract.h"
#include "dialogs.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
#include "sound.h"
#include "soundtest.h"

namespace {

// A path as the system's file dialog hands it back: "..\" resolved.
std::wstring FullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

class Dialogs : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ClearAllNotifications();
        StringCchCopyW(installDirectory, MAX_PATH, ProgramPath(L"..").c_str());
        ShowIcon = 0;   // Settings would start the launcher's icon otherwise
    }
    void TearDown() override
    {
        while (fmodUseCount > 0)
            ReleaseFMOD();
        ClearAllNotifications();
        MainWindowTest::TearDown();
    }
};

// ---- Set Alarms ----

TEST_F(Dialogs, SetAlarmsShowsAndSavesTheTwelveHourClock)
{
    TwentyFourHourTime = 0;
    const struct {
        DWORD hour, minute;
        const wchar_t* shown;
        bool pm, pressPm;
        DWORD saved;
    } cases[] = {
        { 0, 5, L"12 0 5", false, false, 0 },
        { 12, 30, L"12 3 0", true, false, 12 },
        { 7, 0, L"7 0 0", false, true, 19 },
    };
    for (const auto& c : cases) {
        alarms[0]->AThour = c.hour;
        alarms[0]->ATmin = c.minute;
        std::wstring shown;
        bool pm = false;
        DialogDriver driver({ [&](HWND dialog) {
            shown = Digits(dialog);
            pm = Checked(dialog, IDC_PM) && !Checked(dialog, IDC_AM);
            if (c.pressPm)
                SendDlgItemMessageW(dialog, IDC_PM, BM_CLICK, 0, 0);
            Press(dialog, IDOK);
        } });
        EXPECT_EQ(1, RunSetAlarmsDialog());
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(c.pm, pm) << c.hour;
        EXPECT_EQ(c.saved, alarms[0]->AThour);
        EXPECT_STORED(AlarmKeyPath(0).c_str(), L"AThour", c.saved);
    }
}

TEST_F(Dialogs, SetAlarmsDigitsWrapOnTheirOwnAndEditsSurviveSwitchingAlarms)
{
    TwentyFourHourTime = 1;
    alarms[0]->AThour = 0;
    alarms[0]->ATmin = 50;
    bool amPmEnabled = true;
    std::wstring afterWrap, backOnFirst, defaultSound;
    DialogDriver driver({ [&](HWND dialog) {
        amPmEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_AM)) != 0;
        defaultSound = Text(dialog, IDC_SOUND_NAME);
        Press(dialog, IDC_HOUR_DOWN);
        Press(dialog, IDC_MINUTE_TENS_UP);
        afterWrap = Digits(dialog);
        for (int alarm : { 1, 0 }) {
            SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, alarm, 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_SELECTOR, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_SELECTOR)));
        }
        backOnFirst = Digits(dialog);
        Press(dialog, IDCANCEL);
    } });
    EXPECT_EQ(2, RunSetAlarmsDialog());
    EXPECT_FALSE(amPmEnabled);
    EXPECT_EQ(L"<default>", defaultSound);
    EXPECT_EQ(L"23 0 0", afterWrap);
    EXPECT_EQ(L"23 0 0", backOnFirst);
    EXPECT_EQ(23u, alarms[0]->AThour);   // kept in memory
    EXPECT_TRUE(ValueNames(AlarmKeyPath(0).c_str()).empty());   // Cancel writes nothing
}

TEST_F(Dialogs, SetAlarmsDoneSavesAllTenAndArmsEachForItsNewTime)
{
    TwentyFourHourTime = 1;
    std::wstring text, caption;
    DialogDriver driver({ [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, 2, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_SELECTOR, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_SELECTOR)));
        SendDlgItemMessageW(dialog, IDC_ALARM_ON, BM_CLICK, 0, 0);
        SetDigits(dialog, 21, 4, 5);
        for (int day : { IDC_SUNDAY, IDC_MONDAY, IDC_TUESDAY, IDC_WEDNESDAY, IDC_THURSDAY,
                         IDC_FRIDAY, IDC_SATURDAY })
            CheckDlgButton(dialog, day, BST_UNCHECKED);
        Press(dialog, IDOK);
    }, AnswerMessageBox(&text, &caption) });
    EXPECT_EQ(1, RunSetAlarmsDialog());
    EXPECT_EQ(L"No days were selected for alarm 3.  All days have been automatically selected", text);
    EXPECT_EQ(L"No Days Selected", caption);
    for (int i = 0; i < ALARM_COUNT; i++)
        EXPECT_EQ(9u, ValueNames(AlarmKeyPath(i).c_str()).size()) << i;
    EXPECT_STORED(AlarmKeyPath(2).c_str(), L"Days", 0x7Fu);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:2", pending[0].arguments);
    EXPECT_EQ(21, pending[0].start.wHour);
    EXPECT_EQ(45, pending[0].start.wMinute);
}

TEST_F(Dialogs, SetAlarmsVolumePreviewPlaysAtANewLevelOnlyAndCancelRestoresTheDevice)
{
    SetWaveVolume(0xFFFFFFFF);
    std::vector<short> preview = WavFileSamples(BuildSoundPath(L"volume.wav"));
    DWORD duringPreview = 0;
    int heardAtThree = 0;
    DialogDriver driver({ [&](HWND dialog) {
        HWND slider = GetDlgItem(dialog, IDC_VOLUME);
        for (int position : { 3, 3 }) {
            ClearSoundCapture();
            SendMessageW(slider, TBM_SETPOS, TRUE, position);
            SendMessageW(dialog, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
            // The first move plays the preview at level 3 (19660 of 65535);
            // the same position again plays nothing.
            if (PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, preview,
                                                   19660 / 65535.0) == 1; }, 5000))
                heardAtThree++;
        }
        duringPreview = GetWaveVolume();
        Press(dialog, IDCANCEL);
    } });
    RunSetAlarmsDialog();
    EXPECT_EQ(1, heardAtThree);
    EXPECT_EQ(19660u, duringPreview & 0xFFFF);
    EXPECT_EQ(0xFFFFFFFFu, GetWaveVolume());
}

TEST_F(Dialogs, SetAlarmsTestRingsTheAlarmBeingEditedAndRequestsNothing)
{
    std::wstring title;
    DialogDriver driver({ [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, 4, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_SELECTOR, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_SELECTOR)));
        SetDlgItemTextW(dialog, IDC_ALARM_NAME, L"Gym");
        Press(dialog, IDC_TEST);
        Press(dialog, IDCANCEL);
    }, [&](HWND ringing) {
        title = WindowText(ringing);
        Press(ringing, IDC_SNOOZE);
    } });
    RunSetAlarmsDialog();
    EXPECT_EQ(L"Gym", title);
    EXPECT_TRUE(PendingNotifications().empty());
}

// ---- Snooze time, Settings, About ----

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
        SnoozeTime = c.stored;
        std::wstring shown, text;
        DialogDriver driver({ [&](HWND dialog) {
            shown = Digits(dialog);
            if (c.toZero)
                SetDigits(dialog, 0, 0, 0);
            Press(dialog, IDOK);
        }, AnswerMessageBox(&text) });
        SendMessageW(mainWindow, WM_COMMAND, IDM_SNOOZE_TIME, 0);
        EXPECT_EQ(c.shown, shown);
        EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", c.saved);
        EXPECT_EQ(c.toZero ? L"A snooze time of zero minutes is not valid.  The snooze time has "
                             L"been reset to 5 minutes." : L"", text);
    }
}

TEST_F(Dialogs, SettingsSavesOnDoneOnlyAndRedrawsTheFace)
{
    MaxTime = 7;
    TwentyFourHourTime = 0;
    LRESULT selected = 0;
    DialogDriver cancel({ [&](HWND dialog) {
        selected = SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_GETCURSEL, 0, 0);
        SendDlgItemMessageW(dialog, IDC_TWENTY_FOUR_HOUR, BM_CLICK, 0, 0);
        Press(dialog, IDCANCEL);
    } });
    SendMessageW(mainWindow, WM_COMMAND, IDM_SETTINGS, 0);
    EXPECT_EQ(CB_ERR, selected);
    EXPECT_EQ(0u, TwentyFourHourTime);
    EXPECT_EQ(7u, MaxTime);

    SetClock(MakeTime(2026, 12, 6, 21, 47));
    DialogDriver done({ [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_TWENTY_FOUR_HOUR, BM_CLICK, 0, 0);
        Press(dialog, IDOK);
    } });
    SendMessageW(mainWindow, WM_COMMAND, IDM_SETTINGS, 0);
    EXPECT_STORED(SETTINGS_PATH, L"MaxTime", 5u);
    EXPECT_STORED(SETTINGS_PATH, L"24HourTime", 1u);
    // The face is redrawn on the 24-hour clock: 2 in the hour's tens.
    EXPECT_TRUE(Shows(CaptureWindow(mainWindow), DigitSlotRect(1), IDB_PORTRAIT_DIGIT_2));
}

TEST_F(Dialogs, AboutShowsTheLogoNameAndVersion)
{
    std::vector<std::wstring> texts;
    bool logo = false;
    DialogDriver driver({ [&](HWND dialog) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            texts.push_back(WindowText(child));
            logo = logo || SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
        }
        Press(dialog, IDOK);
    } });
    EXPECT_EQ(2, RunAboutDialog());
    EXPECT_TRUE(logo);
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"Wakeloom"));
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"Version 1.0"));
}

// ---- Countdown ----

TEST_F(Dialogs, CountdownOpensAtHalfAnHourAndAcceptsOneMinuteToADay)
{
    const struct {
        int hour, tens, ones;
        INT_PTR result;
        DWORD minutes;
    } cases[] = { { 0, 0, 0, 2, 0 }, { 0, 0, 1, IDC_COUNTDOWN_START, 1 },
                  { 23, 5, 9, IDC_COUNTDOWN_START, 1439 } };
    for (const auto& c : cases) {
        CountdownTime = 0;
        std::wstring shown, text;
        DialogDriver driver({ [&](HWND dialog) {
            shown = Digits(dialog);
            SetDigits(dialog, c.hour, c.tens, c.ones);
            Press(dialog, IDC_COUNTDOWN_START);
            if (!text.empty())   // refused: still open
                Press(dialog, IDCANCEL);
        }, AnswerMessageBox(&text) });
        EXPECT_EQ(c.result, RunCountdownDialog());
        EXPECT_EQ(L"0 3 0", shown);
        EXPECT_EQ(c.minutes, CountdownTime);
        EXPECT_EQ(c.minutes == 0 ? L"The countdown time must be greater than zero" : L"", text);
    }
}

TEST_F(Dialogs, CountdownBrowseIsKeptAndStartRunsTheCountdownToItsRing)
{
    std::wstring sound = FullPath(BuildSoundPath(L"CBell.wav"));
    DialogDriver browse({ [&](HWND dialog) {
        Press(dialog, IDC_BROWSE);
        Press(dialog, IDCANCEL);
    }, PickFile(sound) });
    RunCountdownDialog();
    EXPECT_EQ(0, _wcsicmp(sound.c_str(), CountdownSound));

    DialogDriver start({ [&](HWND dialog) {
        SetDigits(dialog, 0, 0, 1);
        Press(dialog, IDC_COUNTDOWN_START);
    } });
    LONGLONG now = static_cast<LONGLONG>(LocalNowTicks());
    SendMessageW(mainWindow, WM_COMMAND, IDM_COUNTDOWN, 0);
    EXPECT_EQ(DISPLAY_COUNTDOWN, displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 1u);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:254", pending[0].arguments);
    EXPECT_NEAR(static_cast<double>(now + TICKS_PER_MINUTE), static_cast<double>(Ticks(pending[0].start)),
                5.0 * TICKS_PER_SECOND);
    LONGLONG finish = static_cast<LONGLONG>((static_cast<ULONGLONG>(CDFTHigh) << 32) | CDFTLow);
    EXPECT_EQ(Ticks(pending[0].start) + 59 * TICKS_PER_SECOND, finish);

    // Its end, brought forward, comes through the scheduler and the launcher.
    ASSERT_TRUE(InstallInWindowsFolder(LAUNCHER_FILE));
    std::wstring rang;
    DialogDriver end({ [&](HWND finished) {
        rang = WindowText(finished);
        Press(finished, IDC_STOP);
    } });
    SetNotificationIn(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(pending[0].handle)),
                      L"\\Windows\\wklmgr.exe", L"/ID:254", 500, 60000);
    EXPECT_TRUE(PumpUntil([] { return displayMode == DISPLAY_CLOCK; }, 10000));
    EXPECT_EQ(L"Countdown", rang);
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
}

// ---- Chime ----

TEST_F(Dialogs, ChimeTestPlaysTheDefaultOnceAndCutsALongSound)
{
    SetWaveVolume(0xFFFFFFFF);
    // Ten minutes: more than the capture's sink takes in within the test's
    // 4.2 s, fast as it is.
    std::wstring longSound = BuildSoundPath(L"..\\long.wav");
    WriteBytes(longSound, MakeWav(std::vector<short>(22050 * 600, 3000), 1, 22050));
    const struct {
        const wchar_t* sound;
        size_t atLeast, atMost;   // samples heard
        DWORD atMostMs;
    } cases[] = {
        { L"C:\\gone\\bell.mp3", 44100, 44100, 4000 },   // falls back to CBell.wav, 2 s
        { longSound.c_str(), 22050 * 4, 22050 * 599, 6000 },
    };
    for (const auto& c : cases) {
        StringCchCopyW(ChimeSound, SETTINGS_TEXT_UNITS, c.sound);
        ClearSoundCapture();
        DWORD took = 0;
        DialogDriver driver({ [&](HWND dialog) {
            DWORD start = GetTickCount();
            Press(dialog, IDC_TEST);
            took = GetTickCount() - start;
            Press(dialog, IDCANCEL);
        } });
        RunChimeDialog();
        size_t heard = ReadSoundCapture().samples.size();
        EXPECT_GE(heard, c.atLeast) << c.sound;
        EXPECT_LE(heard, c.atMost + 4096) << c.sound;
        EXPECT_LE(took, c.atMostMs) << c.sound;
    }
    DeleteFileW(longSound.c_str());
}

TEST_F(Dialogs, ChimeBrowseIsKeptButTheBoxOnlyWithDoneWhichSchedulesOrClears)
{
    std::wstring sound = FullPath(BuildSoundPath(L"buzz.wav"));
    DialogDriver browse({ [&](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_CHIME_ON, BM_CLICK, 0, 0);
        Press(dialog, IDC_BROWSE);
        Press(dialog, IDCANCEL);
    }, PickFile(sound) });
    SendMessageW(mainWindow, WM_COMMAND, IDM_HOURLY_CHIME, 0);
    EXPECT_EQ(0, _wcsicmp(sound.c_str(), ChimeSound));
    EXPECT_EQ(0u, Chime);

    for (DWORD on : { 1u, 0u }) {
        DialogDriver done({ [&](HWND dialog) {
            CheckDlgButton(dialog, IDC_CHIME_ON, on ? BST_CHECKED : BST_UNCHECKED);
            Press(dialog, IDOK);
        } });
        SYSTEMTIME now;
        GetLocalTime(&now);
        SendMessageW(mainWindow, WM_COMMAND, IDM_HOURLY_CHIME, 0);
        std::vector<PendingNotification> pending = PendingNotifications();
        ASSERT_EQ(on, pending.size());
        EXPECT_STORED(SETTINGS_PATH, L"Chime", on);
        if (on) {
            EXPECT_EQ(Ticks(NextChimeTime(now)), Ticks(pending[0].start));
        }
    }
}

// ---- Help ----

TEST_F(Dialogs, HelpStartsTheViewerWhichOpensTheHelpPage)
{
    // The recorder stands in for the viewer where the program finds it first.
    std::wstring viewer = ProgramPath(L"peghelp.exe");
    ASSERT_TRUE(MoveFileExW(viewer.c_str(), (viewer + L".real").c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), viewer.c_str(), FALSE));
    ClearRecorderLog(viewer);
    SendMessageW(mainWindow, WM_HELP, 0, 0);
    SendMessageW(mainWindow, WM_COMMAND, IDM_HELP, 0);
    PumpUntil([&] { return ReadRecorderLog(viewer).size() == 2; }, 5000);
    std::vector<RecordedStart> starts = ReadRecorderLog(viewer);
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(L"file:wkl.htp#wkl_help", starts[0].arguments);
    EXPECT_EQ(L"wkl.htp", starts[1].arguments);
    ClearRecorderLog(viewer);
    ASSERT_TRUE(MoveFileExW((viewer + L".real").c_str(), viewer.c_str(), MOVEFILE_REPLACE_EXISTING));

    // Our viewer finds the page beside itself and hands it to the browser.
    TempFolder folder;
    ASSERT_TRUE(CopyFileW(ProgramPath(L"peghelp.exe").c_str(), (folder / L"peghelp.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(ProgramPath(L"wkl.htp").c_str(), (folder / L"wkl.htp").c_str(), FALSE));
    std::wstring browser = folder / L"winebrowser.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), browser.c_str(), FALSE));
    ChildProcess help = StartProgram((folder / L"peghelp.exe").c_str(), L"file:wkl.htp#wkl_help");
    EXPECT_EQ(0u, WaitForExit(help, 10000));
    PumpUntil([&] { return !ReadRecorderLog(browser).empty(); }, 5000);
    ASSERT_EQ(1u, ReadRecorderLog(browser).size());
    EXPECT_EQ(folder / L"wkl.htp", ReadRecorderLog(browser)[0].arguments);
}

} // namespace
