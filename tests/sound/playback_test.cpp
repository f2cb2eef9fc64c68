// The engine through the real sound library, heard through the ALSA
// capture under Wine.
#include <gtest/gtest.h>

#include <cmath>

#include "alarms.h"
#include "ringing.h"
#include "settings.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

static double Rms(const std::vector<short>& samples)
{
    double sum = 0;
    for (short s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

static void Wait(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

class SoundEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
        currentAlarm = 0;
        alarms[0]->UseSystemVol = 1;
        alarms[0]->Volume = 10;
        TimedSleep = 0;
        // The device volume applies to every stream: full, so the capture
        // holds the files' own samples.
        SetWaveVolume(0xFFFFFFFF);
    }

    void TearDown() override
    {
        StopAlarmSound();
        CloseAlarmSound(false);
        StopMediaList();
        CloseMediaStream();
        StopOneShot();
        CloseOneShot();
        while (fmodUseCount > 0)
            ReleaseFMOD();
        FreeMediaList(list);
        FreeAlarms();
    }

    std::wstring WriteNoiseWav(const wchar_t* name, const std::vector<short>& samples)
    {
        std::wstring path = folder / name;
        EXPECT_TRUE(WriteBytes(path, MakeWav(samples, 1, 22050)));
        return path;
    }

    TempFolder folder;
    MediaNode* list = nullptr;
};

TEST_F(SoundEngine, AlarmRepeatsWithItsGapUntilStoppedThenStaysSilent)
{
    std::vector<short> pass = NoiseSamples(2205, 1);
    std::wstring path = WriteNoiseWav(L"alarm.wav", pass);
    ClearSoundCapture();
    DWORD start = GetTickCount();
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    Wait(1800);
    StopAlarmSound();
    DWORD elapsed = GetTickCount() - start;
    CloseAlarmSound(false);

    SoundCapture capture = ReadSoundCapture();
    ASSERT_TRUE(capture.valid);
    EXPECT_EQ(1, capture.channels);
    EXPECT_EQ(22050, capture.rate);
    int passes = CountPasses(capture.samples, pass);
    EXPECT_GE(passes, 2);
    // Each pass after the first waits its 500 ms.
    EXPECT_LE(passes, static_cast<int>(elapsed / 500) + 1);

    size_t heard = capture.samples.size();
    Wait(1200);
    EXPECT_EQ(heard, ReadSoundCapture().samples.size());
    EXPECT_EQ(0u, fmodUseCount);
}

TEST_F(SoundEngine, StopDuringTheGapEndsTheAlarmAtOnce)
{
    std::wstring path = WriteNoiseWav(L"short.wav", NoiseSamples(441, 2));
    // Stops land before, during and after the end callback's wait.
    for (DWORD delay : { 30u, 150u, 320u, 480u, 700u }) {
        ClearSoundCapture();
        ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
        Wait(delay);
        DWORD start = GetTickCount();
        StopAlarmSound();
        CloseAlarmSound(false);
        EXPECT_LT(GetTickCount() - start, 400u) << delay;
        size_t heard = ReadSoundCapture().samples.size();
        Wait(700);
        EXPECT_EQ(heard, ReadSoundCapture().samples.size()) << delay;
    }
}

TEST_F(SoundEngine, AlarmLevelSetsTheDeviceVolumeAndCloseRestoresIt)
{
    std::vector<short> pass = NoiseSamples(22050, 3);
    std::wstring path = WriteNoiseWav(L"loud.wav", pass);
    alarms[0]->UseSystemVol = 0;
    alarms[0]->Volume = 3;
    SetWaveVolume(0xC000C000);
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    EXPECT_EQ(19660u * 0x10001u, GetWaveVolume());
    StopAlarmSound();
    CloseAlarmSound(true);
    EXPECT_EQ(0xC000C000u, GetWaveVolume());

    alarms[0]->Volume = 7;
    ClearSoundCapture();
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    EXPECT_EQ(45874u * 0x10001u, GetWaveVolume());
    Wait(600);
    StopAlarmSound();
    CloseAlarmSound(true);
    EXPECT_EQ(0xC000C000u, GetWaveVolume());
    // The stream was played at 70 %.
    SoundCapture capture = ReadSoundCapture();
    ASSERT_TRUE(capture.valid);
    std::vector<short> loudPart;
    for (short s : capture.samples)
        if (s != 0)
            loudPart.push_back(s);
    ASSERT_GT(loudPart.size(), 2000u);
    EXPECT_NEAR(0.7, Rms(loudPart) / Rms(pass), 0.05);
}

TEST_F(SoundEngine, VolumeLevelsDropTheirHalfUnitOnBothChannels)
{
    for (auto [level, word] : { std::pair{ 10u, 65535u }, std::pair{ 7u, 45874u }, std::pair{ 3u, 19660u },
                                std::pair{ 1u, 6553u } }) {
        SetVolumeLevel(level);
        EXPECT_EQ(word | (word << 16), GetWaveVolume()) << level;
    }
}

TEST_F(SoundEngine, StereoAlarmAtItsOwnLevelIsHeardWholeAtThatLevel)
{
    // Left and right differ, so a channel lost or a wrong mix shows.
    std::vector<short> left = NoiseSamples(22050, 51), right = NoiseSamples(22050, 52), stereo, mix;
    for (size_t i = 0; i < left.size(); i++) {
        stereo.insert(stereo.end(), { left[i], right[i] });
        mix.push_back(static_cast<short>((left[i] + right[i]) / 2));
    }
    std::wstring path = folder / L"stereo.wav";
    ASSERT_TRUE(WriteBytes(path, MakeWav(stereo, 2, 22050)));
    alarms[0]->UseSystemVol = 0;
    alarms[0]->Volume = 7;
    ClearSoundCapture();
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    PumpUntil([] { return ReadSoundCapture().samples.size() > 11025; }, 3000);
    StopAlarmSound();
    CloseAlarmSound(true);
    // Opened as the engine opens it (mono), both channels mixed into one
    // at 70 %.
    SoundCapture capture = ReadSoundCapture();
    ASSERT_TRUE(capture.valid);
    EXPECT_EQ(1, capture.channels);
    std::vector<short> heard;
    for (short s : capture.samples)
        if (s != 0)
            heard.push_back(s);
    ASSERT_GT(heard.size(), 5000u);
    EXPECT_NEAR(0.7, Rms(heard) / Rms(mix), 0.05);
}

TEST_F(SoundEngine, SystemVolumeAlarmLeavesTheDeviceVolumeAlone)
{
    std::wstring path = WriteNoiseWav(L"quiet.wav", NoiseSamples(2205, 4));
    alarms[0]->UseSystemVol = 1;
    alarms[0]->Volume = 3;
    SetWaveVolume(0x80008000);
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    EXPECT_EQ(0x80008000u, GetWaveVolume());
    StopAlarmSound();
    CloseAlarmSound(true);
    EXPECT_EQ(0x80008000u, GetWaveVolume());
}

TEST_F(SoundEngine, MissingAlarmFileGivesUpAfterSixTriesAndRestoresVolume)
{
    alarms[0]->UseSystemVol = 0;
    alarms[0]->Volume = 3;
    SetWaveVolume(0x40004000);
    DWORD start = GetTickCount();
    EXPECT_FALSE(PlaySoundViaFMOD((folder / L"gone.wav").c_str(), true));
    EXPECT_GE(GetTickCount() - start, 2900u);
    EXPECT_EQ(0x40004000u, GetWaveVolume());
}

class MediaPlayback : public SoundEngine {
protected:
    // Three tracks, named so that the folder gives them in this order.
    void MakeTracks(size_t samplesEach)
    {
        const wchar_t* names[3] = { L"1 first.wav", L"2 second.wav", L"3 third.wav" };
        for (int i = 0; i < 3; i++) {
            tracks[i] = NoiseSamples(samplesEach, 10 + i);
            WriteNoiseWav(names[i], tracks[i]);
        }
        list = BuildMediaList(MEDIA_SOURCE_FOLDER, folder.path.c_str());
        ASSERT_NE(nullptr, list);
    }

    int IndexOf(MediaNode* node)
    {
        int i = 0;
        for (MediaNode* n = list; n != nullptr; n = n->next, i++)
            if (n == node)
                return i + 1;
        return 0;
    }

    // The tracks that became current, in order, until `done` or the time ran out.
    std::vector<int> Follow(const std::function<bool(const std::vector<int>&)>& done, DWORD ms)
    {
        std::vector<int> seen;
        PumpUntil([&] {
            int now = IndexOf(currentTrack);
            if (now != 0 && (seen.empty() || seen.back() != now))
                seen.push_back(now);
            return done(seen);
        }, ms);
        return seen;
    }

    std::vector<short> tracks[3];
};

TEST_F(MediaPlayback, ThreeTracksPlayInOrderAndFinish)
{
    MakeTracks(11025);
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    std::vector<int> seen = Follow([](const std::vector<int>&) { return mediaListFinished.load(); },
                                   10000);
    EXPECT_EQ((std::vector<int>{ 1, 2, 3 }), seen);
    EXPECT_TRUE(mediaListFinished);
    EXPECT_EQ(nullptr, currentTrack.load());
    // The last stream heard is the third track, once.
    Wait(300);
    EXPECT_EQ(1, CountPasses(ReadSoundCapture().samples, tracks[2]));
}

TEST_F(MediaPlayback, TimedSleepRepeatsTheList)
{
    MakeTracks(11025);
    TimedSleep = 1;
    ASSERT_TRUE(PlayMediaList(list));
    std::vector<int> seen = Follow([](const std::vector<int>& s) { return s.size() >= 5; }, 15000);
    EXPECT_EQ((std::vector<int>{ 1, 2, 3, 1, 2 }), seen);
    EXPECT_FALSE(mediaListFinished);
    StopMediaList();
    CloseMediaStream();
}

TEST_F(MediaPlayback, SingleTrackLoopsInOneStream)
{
    std::vector<short> pass = NoiseSamples(4410, 20);
    std::wstring path = WriteNoiseWav(L"only.wav", pass);
    list = BuildMediaList(MEDIA_SOURCE_FILE, path.c_str());
    ASSERT_NE(nullptr, list);
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    Wait(1500);
    EXPECT_FALSE(mediaListFinished);
    EXPECT_EQ(list, currentTrack.load());
    StopMediaList();
    CloseMediaStream();
    EXPECT_GE(CountPasses(ReadSoundCapture().samples, pass), 3);
}

TEST_F(MediaPlayback, SkipRestartsAtTheEndsAndMovesBetween)
{
    MakeTracks(22050 * 20);
    ASSERT_TRUE(PlayMediaList(list));
    SkipTrack(false);
    EXPECT_EQ(1, IndexOf(currentTrack));
    SkipTrack(true);
    EXPECT_EQ(2, IndexOf(currentTrack));
    SkipTrack(true);
    EXPECT_EQ(3, IndexOf(currentTrack));
    trackInfoChanged = false;
    SkipTrack(true);
    EXPECT_EQ(3, IndexOf(currentTrack));
    EXPECT_TRUE(trackInfoChanged);
    wchar_t title[TRACK_TEXT_UNITS], artist[TRACK_TEXT_UNITS], album[TRACK_TEXT_UNITS];
    GetTrackInfo(title, artist, album);
    EXPECT_STREQ(L"3 third.wav", title);
    EXPECT_STREQ(L"<Artist Unknown>", artist);
    EXPECT_STREQ(L"", album);
    SkipTrack(false);
    EXPECT_EQ(2, IndexOf(currentTrack));
    StopMediaList();
    CloseMediaStream();
}

TEST_F(SoundEngine, OneShotPlaysOnceAndSaysSo)
{
    std::vector<short> pass = NoiseSamples(4410, 30);
    std::wstring path = WriteNoiseWav(L"chime.wav", pass);
    ClearSoundCapture();
    ASSERT_TRUE(PlayOneShot(path.c_str()));
    EXPECT_TRUE(PumpUntil([] { return oneShotFinished.load(); }, 5000));
    CloseOneShot();
    ReleaseFMOD();
    EXPECT_EQ(1, CountPasses(ReadSoundCapture().samples, pass));
}

TEST_F(SoundEngine, DefaultSoundsPlay)
{
    for (const wchar_t* name : { L"buzz.wav", L"CBell.wav", L"CBuzzer.wav", L"volume.wav" }) {
        oneShotFinished = false;
        ASSERT_TRUE(PlayOneShot(BuildSoundPath(name).c_str())) << Narrow(name);
        EXPECT_TRUE(PumpUntil([] { return oneShotFinished.load(); }, 5000)) << Narrow(name);
        CloseOneShot();
        ReleaseFMOD();
    }
}

TEST_F(SoundEngine, OneShotThatCannotOpenSaysSoEachTime)
{
    std::wstring path = folder / L"missing.ogg";
    std::vector<std::wstring> texts, captions;
    std::vector<DialogStep> steps(7, [&](HWND box) {
        texts.push_back(MessageBoxText(box));
        captions.push_back(WindowText(box));
        ClickDialogButton(box, IDOK);
    });
    DialogDriver driver(steps);
    EXPECT_FALSE(PlayOneShot(path.c_str()));
    ASSERT_EQ(7u, texts.size());
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(path, texts[i]);
        EXPECT_EQ(L"Open Failed", captions[i]);
    }
    EXPECT_EQ(L"Unable to play sound!", texts[6]);
    EXPECT_EQ(L"Error", captions[6]);
    EXPECT_EQ(0, driver.dialogsForced);
}

TEST_F(SoundEngine, FileNamesBeyondAsciiPlay)
{
    struct Case {
        std::wstring name;
        bool plays;
    } cases[] = {
        { L"Caf\u00e9 \u00e0 l'aube.wav", true },
        { L"Don\u2019t stop.wav", true },
        { L"\u0411\u0443\u0434\u0438\u043b\u044c\u043d\u0438\u043a.wav", true },
        { L"Morning \u2013 bell.wav", true },
        { L"\U0001F413 crows.wav", true },
        // Beyond the 260 bytes handed to the library: never cut, not opened.
        { std::wstring(100, L'\u00e9') + L"\\" + std::wstring(30, L'\u00e9') + L".wav", false },
    };
    CreateDirectoryW((folder / std::wstring(100, L'\u00e9')).c_str(), nullptr);
    for (size_t i = 0; i < std::size(cases); i++) {
        std::vector<short> pass = NoiseSamples(2205, 40 + static_cast<unsigned>(i));
        std::wstring path = WriteNoiseWav(cases[i].name.c_str(), pass);
        ClearSoundCapture();
        EXPECT_EQ(cases[i].plays, PlaySoundViaFMOD(path.c_str(), false)) << i;
        if (cases[i].plays) {
            EXPECT_TRUE(PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, pass) > 0; }, 3000))
                << i;
        }
        StopAlarmSound();
        CloseAlarmSound(false);
    }
}

TEST_F(MediaPlayback, PauseHoldsTheStreamsPlayingThenNotAnAlarmAfter)
{
    MakeTracks(22050 * 20);
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    ASSERT_TRUE(PumpUntil([] { return ReadSoundCapture().samples.size() > 4410; }, 3000));
    PauseAllSound(true);
    Wait(200);
    size_t heard = ReadSoundCapture().samples.size();
    Wait(500);
    EXPECT_EQ(heard, ReadSoundCapture().samples.size());

    std::vector<short> pass = NoiseSamples(2205, 60);
    std::wstring path = WriteNoiseWav(L"alarm.wav", pass);
    ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
    EXPECT_TRUE(PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, pass) > 0; }, 3000));
    StopAlarmSound();
    CloseAlarmSound(false);
    PauseAllSound(false);
}

// The process's CPU time so far, in seconds.
static double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

TEST_F(MediaPlayback, LoopingFileEmptiedWhilePlayingDoesNotSpin)
{
    std::wstring path = WriteNoiseWav(L"only.wav", NoiseSamples(4410, 21));
    list = BuildMediaList(MEDIA_SOURCE_FILE, path.c_str());
    TimedSleep = 1;
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    ASSERT_TRUE(PumpUntil([] { return ReadSoundCapture().samples.size() > 2205; }, 3000));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, TRUNCATE_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    // Replayed at once, each empty pass would keep a core busy.
    double before = CpuSeconds();
    Wait(2000);
    EXPECT_LT(CpuSeconds() - before, 0.5);
    EXPECT_EQ(list, currentTrack.load());
    StopMediaList();
    CloseMediaStream();
}
