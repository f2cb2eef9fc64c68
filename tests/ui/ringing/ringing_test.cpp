// Arriving events in the real main window: the ringing dialogs driven as a
// user would, what they request of the real notification store, and what
// is heard through the sound capture.
#include "windowfixture.h"

#include <optional>

#include "alarmrequests.h"
#include "ringing.h"
#include "schedule.h"

static std::vector<PendingNotification> PendingFor(const wchar_t* arguments)
{
    std::vector<PendingNotification> found;
    for (const PendingNotification& n : PendingNotifications())
        if (n.arguments == arguments)
            found.push_back(n);
    return found;
}

// The main window's handling of an arriving event.
static std::function<void()> Event(WPARAM event)
{
    return [event] { SendMessageW(app.mainWindow, WM_APP_EVENT, event, 0); };
}

static bool CancelSnoozeEnabled()
{
    return SendMessageW(app.menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0) != 0;
}

// A step that waits until the capture holds `passes` passes of `file` at
// `volume`, then does `then`.
static DialogStep WhenHeard(const wchar_t* file, double volume, int passes, DialogStep then)
{
    return [=](HWND dialog) {
        std::vector<short> pass = WavFileSamples(BuildSoundPath(file));
        bool heard = PumpUntil([&] {
            return CountPasses(ReadSoundCapture().samples, pass, volume) >= passes;
        }, 15000);
        EXPECT_TRUE(heard) << "the capture does not hold " << Narrow(file);
        then(dialog);
    };
}

class Ringing : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // Alarm 3 (index 2) rings at its own level 5; the device is at full.
        alarms[2]->AlarmOn = 1;
        alarms[2]->AThour = 23;
        alarms[2]->ATmin = 59;
        alarms[2]->Volume = 5;
        SetWaveVolume(0xFFFFFFFF);
        ClearSoundCapture();
    }

    static LONGLONG NextElevenFiftyNine()
    {
        return Ticks(NextAlarmTime(*alarms[2], LocalTimeIn(0)));
    }
    // When alarm 3's one notification is due; 0 when it has none or more.
    static LONGLONG AlarmThreeDue()
    {
        std::vector<PendingNotification> pending = PendingFor(L"/ID:2");
        return pending.size() == 1 ? Ticks(pending[0].start) : 0;
    }
};

TEST_F(Ringing, MissedEventsSaySoAndSilencedOrUnknownOnesNothingButNoneRings)
{
    // A burst of them is told in one message for the alarms, within the
    // screen's width, and one for the countdown.
    settings.Countdown = 1;
    SetDisplayMode(DISPLAY_COUNTDOWN);
    alarms[7]->AlarmOn = 1;
    StringCchCopyW(alarms[7]->AlarmName, ALARM_NAME_UNITS, L"Gym");
    bool told = false;
    Answering({ [](HWND box) {
        RECT r;
        GetWindowRect(box, &r);
        EXPECT_LE(r.right - r.left, GetSystemMetrics(SM_CXSCREEN));
        Says(L"Alarm 3, Gym did not ring: the computer was off or asleep when they were due. They are set "
             L"again for their next times.")(box);
    }, [&](HWND box) {
        Says(L"The countdown ended while the computer was off or asleep.")(box);
        told = true;
    } }, [&] {
        for (WPARAM n : { WPARAM(2), WPARAM(EVENT_COUNTDOWN), WPARAM(7) })
            PostMessageW(app.mainWindow, WM_APP_MISSED, n, 0);
        PumpUntil([&] { return told; }, 10000);
    });
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);

    // An alarm turned off whose notification could not be cleared, a number
    // wider than any event and a countdown's end with none running ring
    // nothing; the stale notification is cleared.
    alarms[4]->AlarmHandle = SetEventNotification(4, LocalTimeIn(3600000));
    Answering({}, [] {
        for (WPARAM n : { WPARAM(4), WPARAM(EVENT_COUNTDOWN), (WPARAM(1) << 32) | 2 }) {
            Event(n)();
            SendMessageW(app.mainWindow, WM_APP_MISSED, n, 0);
        }
    });
    EXPECT_FALSE(MissedEventsToReport());
    EXPECT_TRUE(PendingFor(L"/ID:4").empty());

    // Silenced: nothing rings, but a countdown that ends is ended.
    settings.Silenced = 1;
    settings.Countdown = 1;
    SetDisplayMode(DISPLAY_COUNTDOWN);
    alarms[4]->AlarmHandle = SetEventNotification(4, LocalTimeIn(3600000));
    Answering({}, [] {
        for (int n : { 2, 4, 10, 253, -1, 9999, EVENT_COUNTDOWN }) {
            Event(static_cast<WPARAM>(n))();
            SendMessageW(app.mainWindow, WM_APP_MISSED, static_cast<WPARAM>(n), 0);
        }
    });
    EXPECT_FALSE(MissedEventsToReport());
    EXPECT_EQ(0u, FmodUseCount());
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
    // Alarm 3 for its next time, alarm 5 (off) cleared.
    EXPECT_TRUE(PendingFor(L"/ID:4").empty());
    EXPECT_EQ(NextElevenFiftyNine(), AlarmThreeDue());
}

// While it rings, other alarms are only rescheduled, the chime is silent and
// a countdown ends (a due alarm cancels a running countdown before it rings).
// Left ringing, it stops once its maximum time has passed and says so
// afterwards, with no owner. Turned, the screen shows the wide dialog.
TEST_F(Ringing, RingsAloneInTheWideDialogUntilTheMaximumTimeAndSaysSoOnlyAfterwardsWithoutOwner)
{
    settings.Countdown = 1;
    SetDisplayMode(DISPLAY_COUNTDOWN);
    alarms[5]->AlarmOn = 1;
    settings.Chime = 1;
    settings.MaxTime = 1;
    ASSERT_TRUE(TurnScreen(320, 240));
    HWND owner = app.mainWindow;
    ULONGLONG shown = 0;
    Answering({ [&](HWND dialog) {
        shown = GetTickCount64();
        EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
        EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
        DWORD uses = FmodUseCount();
        for (int n : { 5, EVENT_CHIME, EVENT_COUNTDOWN })
            Event(n)();
        EXPECT_EQ(uses, FmodUseCount());
        // The wide template's SNOOZE is three times as wide as it is high.
        RECT snooze = {};
        GetWindowRect(GetDlgItem(dialog, IDC_SNOOZE), &snooze);
        EXPECT_GT(snooze.right - snooze.left, 5 * (snooze.bottom - snooze.top) / 2);
        LeaveOpen(90000)(dialog);
    }, [&](HWND box) {
        EXPECT_NEAR(60.0, (GetTickCount64() - shown) / 1000.0, 5.0);
        owner = GetWindow(box, GW_OWNER);
        Says(L"The alarm was turned off because the maximum time was reached")(box);
    } }, Event(2));
    EXPECT_EQ(nullptr, owner);
    EXPECT_EQ(NextElevenFiftyNine(), AlarmThreeDue());
    EXPECT_EQ(1u, PendingFor(L"/ID:5").size());
    EXPECT_EQ(1u, PendingFor(L"/ID:255").size());
    EXPECT_STORED(SETTINGS_PATH, L"ChimeHandle", settings.ChimeHandle);
    EXPECT_TRUE(TurnScreen(240, 320));
}

// Sound files that exist, or not, but give no sound, and a file cut short
// while it rings: the alarm rings the default sound as soon as its dialog
// shows (or as the file fails), and once stopped (STOP or Escape) says which
// file did not play. With the default gone too, a tone rings.
TEST_F(Ringing, UnplayableSoundsRingTheDefaultAtOnceAndSaySo)
{
    TempFolder folder;
    std::vector<short> start = WavFileSamples(BuildSoundPath(L"buzz.wav"));
    start.resize(2000);
    ULONGLONG due = 0;
    auto ringsTheDefault = [&](const std::wstring& path, int button, ULONGLONG withinMs,
                               const std::function<void()>& meanwhile) {
        SCOPED_TRACE(Narrow(path));
        StringCchCopyW(alarms[2]->AlarmSound, ALARM_SOUND_UNITS, path.c_str());
        ClearSoundCapture();
        due = GetTickCount64();
        // Its beep, a second, then the dialog, already ringing.
        Answering({ [&](HWND dialog) {
            meanwhile();
            EXPECT_TRUE(PumpUntil([&] {
                return CountPasses(ReadSoundCapture().samples, start, 32767 / 65535.0) > 0;
            }, 8000));
            EXPECT_LT(GetTickCount64() - due, withinMs);
            ClickDialogButton(dialog, button);
        }, [&](HWND box) {
            EXPECT_NE(std::wstring::npos, MessageBoxText(box).find(path + L" could not be played"));
            ClickDialogButton(box, IDOK);
        } }, Event(2));
        EXPECT_EQ(NextElevenFiftyNine(), AlarmThreeDue());
        EXPECT_EQ(0u, FmodUseCount());
    };
    for (const std::wstring& path : MakeUnplayableFiles(folder))
        ringsTheDefault(path, IDC_STOP, 2500, [] {});

    std::wstring cut = folder / L"long.wav";
    ASSERT_TRUE(WriteBytes(cut, MakeWav(NoiseSamples(22050 * 20, 3), 1, 22050)));
    // Noticed within the few seconds the dialog takes to look.
    ringsTheDefault(cut, IDCANCEL, 4000, [&] {
        EXPECT_TRUE(PumpUntil([] { return ReadSoundCapture().samples.size() > 4000; }, 5000));
        HANDLE file = CreateFileW(cut.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE
                                  | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER header = { { 44, 0 } };
        EXPECT_TRUE(SetFilePointerEx(file, header, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
        due = GetTickCount64();
    });

    StringCchCopyW(settings.installDirectory, MAX_PATH, L"C:\\no install");
    ClearSoundCapture();
    Answering({ [&](HWND dialog) {
        EXPECT_TRUE(PumpUntil([] {
            std::vector<short> heard = ReadSoundCapture().samples;
            return std::count_if(heard.begin(), heard.end(), [](short v) { return v > 1000; }) > 1000;
        }, 5000));
        ClickDialogButton(dialog, IDC_STOP);
    }, Says(L"The sound file " + cut + L" could not be played, nor the default sound, so a "
            L"tone rang instead.  Please select a valid sound file.", L"Error") }, Event(2));
    EXPECT_EQ(0u, FmodUseCount());
}

TEST_F(Ringing, ResumeFromSleepStartsTheSoundAgainFromItsBeginning)
{
    alarms[2]->Volume = 12;   // stored above the top level: rings at the top one
    std::vector<short> pass = WavFileSamples(BuildSoundPath(L"buzz.wav"));
    bool restarted = false;
    Answering({ WhenHeard(L"buzz.wav", 1.0, 1, [&](HWND dialog) {
        ClearSoundCapture();   // the stream writes on; a new one starts a new file
        SendMessageW(app.mainWindow, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        restarted = PumpUntil([&] {
            std::vector<short> heard = ReadSoundCapture().samples;
            return heard.size() >= pass.size()
                && std::equal(pass.begin(), pass.begin() + 1000, heard.begin());
        }, 10000);
        ClickDialogButton(dialog, IDC_STOP);
    }) }, Event(2));
    EXPECT_TRUE(restarted);
}

TEST_F(Ringing, CountdownEndSoundsItsBuzzerAtTheDeviceVolumeThenEndsTheCountdown)
{
    settings.Countdown = 1;
    SetDisplayMode(DISPLAY_COUNTDOWN);
    Answering({ WhenHeard(L"CBuzzer.wav", 1.0, 1, [&](HWND dialog) {
        Event(EVENT_COUNTDOWN)();   // its end again: no second dialog, the same sound
        EXPECT_EQ(1u, FmodUseCount());
        ClickDialogButton(dialog, IDCANCEL);
    }) }, Event(EVENT_COUNTDOWN));
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
    EXPECT_EQ(0u, FmodUseCount());

    // Its sound and the default both gone: a tone, a word once stopped, and
    // the countdown ends all the same.
    settings.Countdown = 1;
    SetDisplayMode(DISPLAY_COUNTDOWN);
    StringCchCopyW(settings.CountdownSound, SETTINGS_TEXT_UNITS, L"C:\\gone\\buzzer.wav");
    StringCchCopyW(settings.installDirectory, MAX_PATH, L"C:\\no install");
    Answering({ [](HWND dialog) {
        EXPECT_TRUE(PumpUntil([] { return ReadSoundCapture().samples.size() > 4000; }, 5000));
        ClickDialogButton(dialog, IDC_STOP);
    }, Says(L"The sound file C:\\gone\\buzzer.wav could not be played, nor the default sound, so a tone "
            L"rang instead.  Please select a valid sound file.") }, Event(EVENT_COUNTDOWN));
    EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
}

// SNOOZE (or Enter) requests the alarm again after the snooze time and
// offers to cancel it. One that cannot be set (the store cannot be written)
// is not taken for a snooze: the user is told, and the alarm is set for its
// regular time as soon as the store can be written.
TEST_F(Ringing, SnoozeRequestsTheSnoozeTimeOrSaysItCannotAndTheAlarmIsSetAgain)
{
    // Sleep music playing: it stops, and the clock is back, before the alarm rings.
    sleepPlayer.sleepList = BuildMediaList(MEDIA_SOURCE_FILE, BuildSoundPath(L"CBell.wav").c_str());
    ASSERT_TRUE(PlayMediaList(sleepPlayer.sleepList));
    SetDisplayMode(DISPLAY_SLEEP);
    LONGLONG now = static_cast<LONGLONG>(LocalNowTicks());
    Answering({ [](HWND dialog) {
        EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
        EXPECT_EQ(nullptr, sleepPlayer.sleepList);
        EXPECT_EQ(1u, FmodUseCount());   // the alarm's alone
        ClickDialogButton(dialog, IDOK);
    } }, Event(2));
    EXPECT_NEAR(static_cast<double>(now + 15 * TICKS_PER_MINUTE), static_cast<double>(AlarmThreeDue()),
                10.0 * TICKS_PER_SECOND);
    EXPECT_TRUE(CancelSnoozeEnabled());

    std::optional<BlockedStore> blocked;
    Answering({ [&](HWND dialog) {
        blocked.emplace();
        ClickDialogButton(dialog, IDC_SNOOZE);
    }, Says(L"The snooze could not be set.  The alarm is set again for its next regular time."),
       Says(L"Failed to set alarm!  Not set to ring: Alarm 3.") }, Event(2));
    EXPECT_FALSE(CancelSnoozeEnabled());
    blocked.reset();
    RescheduleAllAlarms(nullptr);
    EXPECT_EQ(NextElevenFiftyNine(), AlarmThreeDue());
}

TEST_F(Ringing, ChimeSoundsOnceAndIsRescheduledOrClearedEvenWithoutItsFile)
{
    settings.ChimeHandle = SetEventNotification(EVENT_CHIME, LocalTimeIn(3600000));
    Event(EVENT_CHIME)();   // Chime 0: once, then cleared
    std::vector<short> bell = WavFileSamples(BuildSoundPath(L"CBell.wav"));
    EXPECT_TRUE(PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, bell) == 1; }, 10000));
    EXPECT_TRUE(PumpUntil([] { return OneShotFinished(); }, 10000));
    EXPECT_EQ(1, CountPasses(ReadSoundCapture().samples, bell));
    EXPECT_STORED(SETTINGS_PATH, L"ChimeHandle", 0u);
    EXPECT_TRUE(PendingNotifications().empty());

    settings.Chime = 1;
    StringCchCopyW(settings.installDirectory, MAX_PATH, L"C:\\no install");
    Answering({ Says(L"Can't find the chime sound file C:\\no install\\sounds\\CBell.wav.  Please select a "
                     L"valid sound file.") }, Event(EVENT_CHIME));
    EXPECT_EQ(1u, PendingFor(L"/ID:255").size());
}
