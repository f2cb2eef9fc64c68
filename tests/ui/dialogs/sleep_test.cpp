// The Sleep dialog and the sound-folder picker, driven as a user would, and
// the sleep player they start.
#include "windowfixture.h"

#include <shlobj.h>

#include <cmath>

static const wchar_t* const kPersonal =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// The pitch at the end of a capture, from the zero crossings of its last
// tenth of a second; 0 when there is not that much.
static int ToneAtTheEnd(const SoundCapture& capture)
{
    const size_t channels = static_cast<size_t>(capture.channels), window = capture.rate / 10 * channels;
    if (channels < 1 || window < channels || capture.samples.size() < window)
        return 0;
    int crossings = 0;
    for (size_t i = capture.samples.size() - window + channels; i < capture.samples.size(); i += channels)
        crossings += (capture.samples[i - channels] < 0) != (capture.samples[i] < 0);
    return crossings * 5;
}

// A pen tap on a player button.
static void Tap(const RECT& button)
{
    LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageW(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(app.mainWindow, WM_LBUTTONUP, 0, at);
}

class SleepDialog : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The documents folder of these tests is a folder of their own.
        DWORD type;
        hadPersonal = ReadRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", &type, &personal);
        std::wstring documents = Folder(L"");
        WriteRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", REG_SZ, documents.c_str(),
                      static_cast<DWORD>((documents.size() + 1) * sizeof(wchar_t)));
        SetWaveVolume(0xFFFFFFFF);
        SetClock(clock);
        ClearSoundCapture();
    }
    void TearDown() override
    {
        if (app.displayMode == DISPLAY_SLEEP)
            StopSleep();
        FreeMediaList(sleepPlayer.sleepList);
        sleepPlayer.sleepList = nullptr;
        if (hadPersonal)
            WriteRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", REG_EXPAND_SZ,
                          personal.data(), static_cast<DWORD>(personal.size()));
        MainWindowTest::TearDown();
    }

    // A folder of the documents folder, made with those above it.
    std::wstring Folder(const std::wstring& relative)
    {
        std::wstring path = relative.empty() ? home / L"Documents" : home / (L"Documents\\" + relative);
        SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
        return path;
    }

    // Two tones under the names that order them: OGG, WAV.
    std::wstring NightFolder()
    {
        std::wstring night = Folder(L"Night");
        const wchar_t* const files[2][2] = { { L"tone1320.ogg", L"a owls.ogg" },
                                             { L"tone440.wav", L"c bell.wav" } };
        for (const auto& f : files)
            CopyFileW(TestMediaPath(f[0]).c_str(), (night + L"\\" + f[1]).c_str(), FALSE);
        return night;
    }

    // The clock moved on by `seconds`, and its once-a-second tick run.
    void Tick(int seconds = 0)
    {
        clock = AddTicks(clock, seconds * TICKS_PER_SECOND);
        SetClock(clock);
        SendMessageW(app.mainWindow, WM_TIMER, CLOCK_TIMER_ID, 0);
    }

    // The track shows its title and its tone is heard (each track opens the
    // device anew, which starts the capture over).
    testing::AssertionResult Plays(const std::wstring& title, int tone)
    {
        std::wstring shown;
        int heard = 0;
        if (PumpUntil([&] {
                Tick();
                shown = WindowText(mainControls.trackTitleText);
                heard = ToneAtTheEnd(ReadSoundCapture());
                return shown == title && abs(heard - tone) < tone / 10;
            }, 8000))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "at last " << Narrow(shown) << " and " << heard << " Hz";
    }

    SYSTEMTIME clock = MakeTime(2026, 12, 6, 23, 0, 0);
    TempFolder home;
    bool hadPersonal = false;
    std::vector<BYTE> personal;
};

TEST_F(SleepDialog, DialogShowsItsSettingsWrapsItsDigitsChecksTheSourceBeforeTheTimeAndAListThatCannotPlaySaysSo)
{
    settings.SleepPathType = MEDIA_SOURCE_FILE;
    StringCchCopyW(settings.SleepPath, SETTINGS_TEXT_UNITS, L"C:\\gone\\song.mp3");
    settings.SleepTime = 1500;
    Answering({ [](HWND dialog) {
        EXPECT_EQ(L"23 0 0", Digits(dialog));
        EXPECT_EQ(L"Folder", Text(dialog, IDC_SOURCE_KIND));   // whatever was kept
        EXPECT_EQ(L"File:", Text(dialog, IDC_SLEEP_SOURCE_LABEL));
        Press(dialog, IDC_HOUR_UP);
        Press(dialog, IDC_MINUTE_TENS_DOWN);
        for (int i = 0; i < 10; i++)
            Press(dialog, IDC_MINUTE_ONES_UP);
        EXPECT_EQ(L"0 5 0", Digits(dialog));
        Press(dialog, IDC_SLEEP_START);   // no source: said first
        StringCchCopyW(settings.SleepPath, SETTINGS_TEXT_UNITS, BuildSoundPath(L"buzz.wav").c_str());
        Press(dialog, IDC_MINUTE_TENS_UP);
        Press(dialog, IDC_SLEEP_START);   // a source, but 0:00
        Press(dialog, IDCANCEL);
    }, Says(L"No supported sound files were found"),
       Says(L"The sleep time must be greater than zero") }, [] { Click(mainControls.sleepButton); });
    // Refused at its time, the list is not kept for a Cancel to play.
    EXPECT_EQ(nullptr, sleepPlayer.sleepList);
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);

    // A kept list that cannot play says so once, and the clock stays.
    sleepPlayer.sleepList = static_cast<MediaNode*>(LocalAlloc(LPTR, sizeof(MediaNode)));
    StringCchCopyW(sleepPlayer.sleepList->path, MEDIA_PATH_UNITS, L"C:\\no such folder\\missing.mp3");
    Answering({ [](HWND dialog) { Press(dialog, IDCANCEL); }, Says(L"Unable to play sound!") },
              [] { Click(mainControls.sleepButton); });
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_EQ(0u, FmodUseCount());
    EXPECT_EQ(nullptr, sleepPlayer.sleepList);

    // A next track that cannot be opened ends the music, and the window's
    // thread, not the sound library's, says so.
    WriteBytes(Folder(L"Cut") + L"\\1.wav", MakeWav(std::vector<short>(2205), 1, 22050));
    WriteBytes(Folder(L"Cut") + L"\\2.wav", {});
    sleepPlayer.sleepList = BuildMediaList(MEDIA_SOURCE_FOLDER, Folder(L"Cut").c_str());
    Answering({ [](HWND dialog) { Press(dialog, IDCANCEL); } }, [] { Click(mainControls.sleepButton); });
    ASSERT_EQ(DISPLAY_SLEEP, app.displayMode);
    Answering({ [](HWND box) {
        EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(box, nullptr));
        EXPECT_EQ(app.mainWindow, GetWindow(box, GW_OWNER));
        Says(L"Unable to play sound!")(box);
    } }, [&] { PumpUntil([&] { Tick(); return app.displayMode == DISPLAY_CLOCK; }, 10000); });
    EXPECT_EQ(nullptr, sleepPlayer.sleepList);
    EXPECT_EQ(0u, FmodUseCount());
}

TEST_F(SleepDialog, PickerWithNoFolderOfSoundOffersNothingToSelect)
{
    // No folder holds sound: nothing to choose, and Select does nothing.
    Answering({ [](HWND dialog) {
        EXPECT_EQ(0u, TreeView_GetCount(GetDlgItem(dialog, IDC_FOLDER_TREE)));
        Press(dialog, IDC_PICKER_SELECT);
        EXPECT_TRUE(IsWindowVisible(dialog));
        Press(dialog, IDC_PICKER_CANCEL);
    } }, [] { wchar_t picked[MAX_PATH]; EXPECT_EQ(2, RunFolderPicker(app.mainWindow, picked)); });
}

TEST_F(SleepDialog, FolderFromTheTreePlaysEachTrackWholeInNameOrderWithItsButtonsUntilTheTimeIsUp)
{
    // Three 3-second tones, made out of name order.
    std::wstring night = Folder(L"Night");
    const struct {
        const wchar_t* name;
        int tone;
    } tracks[] = { { L"a dusk.wav", 1320 }, { L"b dawn.wav", 440 }, { L"c noon.wav", 880 } };
    for (int i : { 2, 0, 1 }) {
        std::vector<short> sine(22050 * 3);
        for (size_t n = 0; n < sine.size(); n++)
            sine[n] = static_cast<short>(12000 * sin(6.283185307 * tracks[i].tone * n / 22050));
        WriteBytes(night + L"\\" + tracks[i].name, MakeWav(sine, 1, 22050));
    }
    Answering({ [](HWND dialog) {
        Press(dialog, IDC_SLEEP_BROWSE);
        SetDigits(dialog, 0, 0, 1);
        Press(dialog, IDC_SLEEP_START);
    }, [](HWND picker) {
        HWND tree = GetDlgItem(picker, IDC_FOLDER_TREE);
        // The documents folder is the last at the top; Night its one folder.
        HTREEITEM documents = TreeView_GetRoot(tree);
        while (TreeView_GetNextSibling(tree, documents) != nullptr)
            documents = TreeView_GetNextSibling(tree, documents);
        TreeView_SelectItem(tree, TreeView_GetChild(tree, documents));
        Press(picker, IDC_PICKER_SELECT);
    } }, [] { Click(mainControls.sleepButton); });
    ASSERT_EQ(DISPLAY_SLEEP, app.displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"SleepPath", L"\\Documents\\Night");
    EXPECT_STORED(SETTINGS_PATH, L"SleepTime", 1);

    // Each heard for its three seconds, in name order and round again, the
    // title following the track.
    ASSERT_TRUE(Plays(tracks[0].name, tracks[0].tone));
    DWORD started = GetTickCount();
    for (int i = 1; i <= 3; i++) {
        ASSERT_TRUE(Plays(tracks[i % 3].name, tracks[i % 3].tone)) << i;
        DWORD now = GetTickCount();
        EXPECT_NEAR(3000, static_cast<int>(now - started), 300) << Narrow(tracks[i - 1].name);
        started = now;
    }

    ASSERT_TRUE(Plays(tracks[1].name, tracks[1].tone));
    Tap(MainLayout().prevButtonRect);
    EXPECT_TRUE(Plays(tracks[0].name, tracks[0].tone));
    Tap(MainLayout().nextButtonRect);
    EXPECT_TRUE(Plays(tracks[1].name, tracks[1].tone));

    // Paused, the time left stands still however long the pause.
    Tick();
    EXPECT_EQ(L"00:01", WindowText(mainControls.sleepRemainingText));
    Tap(MainLayout().pauseButtonRect);
    MediaNode* track = CurrentTrack();
    Tap(MainLayout().nextButtonRect);   // no skipping while paused
    EXPECT_EQ(track, CurrentTrack());
    Tick(600);
    EXPECT_EQ(DISPLAY_SLEEP, app.displayMode);
    Tap(MainLayout().pauseButtonRect);
    Tick(1);
    EXPECT_EQ(DISPLAY_SLEEP, app.displayMode);
    EXPECT_EQ(L"00:01", WindowText(mainControls.sleepRemainingText));
    // Less than a whole minute left: the sleep is over.
    Tick(60);
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_EQ(nullptr, sleepPlayer.sleepList);
}

TEST_F(SleepDialog, PlaylistIsReadWhenChosenKeptThroughCancelAndPlaysUntilStopped)
{
    std::wstring night = NightFolder();
    std::wstring good = night + L"\\list.asx", bad = night + L"\\notes.asx";
    std::string asx = "<ASX version=\"3.0\">\n<ENTRY>\n<ref href=\"c bell.wav\"/>\n</ENTRY>\n"
                      "<ENTRY>\n<ref href=\"a owls.ogg\"/>\n</ENTRY>\n</ASX>\n";
    WriteBytes(good, std::vector<BYTE>(asx.begin(), asx.end()));
    WriteBytes(bad, { 'h', 'i' });
    Answering({ [](HWND dialog) {
        for (int i = 0; i < 2; i++) {   // the bad playlist, then the good one
            SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_SETCURSEL, 2, 0);
            Press(dialog, IDC_SLEEP_BROWSE);
        }
        EXPECT_EQ(L"Playlist:", Text(dialog, IDC_SLEEP_SOURCE_LABEL));
        Press(dialog, IDCANCEL);
    }, PickFile(bad), Says(L"This does not appear to be a valid playlist file"),
       Says(L"No supported sound files were found"), PickFile(good) },
              [] { Click(mainControls.sleepButton); });
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_STORED(SETTINGS_PATH, L"SleepPath", good);
    EXPECT_STORED(SETTINGS_PATH, L"SleepPathType", MEDIA_SOURCE_PLAYLIST);

    // Started from what was kept, in file-name order.
    Answering({ [](HWND dialog) {
        SetDigits(dialog, 0, 0, 1);
        Press(dialog, IDC_SLEEP_START);
    } }, [] { Click(mainControls.sleepButton); });
    ASSERT_EQ(DISPLAY_SLEEP, app.displayMode);
    EXPECT_TRUE(Plays(L"Dusk", 1320));
    EXPECT_EQ(L"The Owls - Evening", WindowText(mainControls.trackDetailText));
    Tap(MainLayout().stopButtonRect);
    EXPECT_EQ(DISPLAY_CLOCK, app.displayMode);
    EXPECT_EQ(0, FmodUseCount());
}

