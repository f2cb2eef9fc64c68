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

static size_t CaptureSize()
{
    return ReadSoundCapture().samples.size();
}

// True when nothing more is heard for `ms`.
static bool StaysSilent(DWORD ms)
{
    size_t heard = CaptureSize();
    return !PumpUntil([&] { return CaptureSize() != heard; }, ms);
}

// True once `pass` was heard `passes` times in the stream played last.
static bool Heard(const std::vector<short>& pass, int passes, DWORD ms = 3000)
{
    return PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, pass) >= passes; }, ms);
}

// The loudness of the samples that are not silence.
static double Loudness(const std::vector<short>& samples)
{
    double sum = 0;
    size_t count = 0;
    for (short s : samples) {
        sum += static_cast<double>(s) * s;
        count += s != 0;
    }
    return count < 5000 ? 0 : std::sqrt(sum / count);
}

class SoundEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
        currentAlarm = 0;
        alarms[0]->UseSystemVol = 1;
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
        while (fmodUseCount > 0)
            ReleaseFMOD();
        FreeMediaList(list);
        FreeAlarms();
    }

    std::wstring WriteNoiseWav(const std::wstring& name, const std::vector<short>& samples)
    {
        std::wstring path = folder / name;
        EXPECT_TRUE(WriteBytes(path, MakeWav(samples, 1, 22050)));
        return path;
    }

    TempFolder folder;
    MediaNode* list = nullptr;
};

TEST_F(SoundEngine, AlarmRepeatsWithItsGapAndAnyStopSilencesItAtOnce)
{
    std::vector<short> pass = NoiseSamples(2205, 1);
    std::wstring path = WriteNoiseWav(L"alarm.wav", pass);
    // Stops land after three passes, and before, during and after the end
    // callback's wait: each delay places the stop, it waits for nothing.
    for (DWORD delay : { 0u, 30u, 150u, 320u, 480u, 700u }) {
        ClearSoundCapture();
        DWORD start = GetTickCount();
        ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
        if (delay == 0) {
            EXPECT_TRUE(Heard(pass, 3));
            // Each pass after the first waits its 500 ms.
            EXPECT_GE(GetTickCount() - start, 900u);
        }
        PumpUntil([] { return false; }, delay);
        start = GetTickCount();
        StopAlarmSound();
        CloseAlarmSound(false);
        EXPECT_LT(GetTickCount() - start, 400u) << delay;
        EXPECT_TRUE(StaysSilent(700)) << delay;
        EXPECT_EQ(0u, fmodUseCount);
    }
}

TEST_F(SoundEngine, AlarmIsHeardWholeAtItsLevelAndTheDeviceVolumeIsRestored)
{
    // Left and right differ, so a channel lost or a wrong mix shows.
    std::vector<short> left = NoiseSamples(22050, 51), right = NoiseSamples(22050, 52), stereo, mix;
    for (size_t i = 0; i < left.size(); i++) {
        stereo.insert(stereo.end(), { left[i], right[i] });
        mix.push_back(static_cast<short>((left[i] + right[i]) / 2));
    }
    std::wstring path = folder / L"stereo.wav";
    ASSERT_TRUE(WriteBytes(path, MakeWav(stereo, 2, 22050)));
    const struct {
        DWORD useSystemVolume;
        DWORD level;
        DWORD playingVolume;
    } cases[] = { { 0, 10, 65535u * 0x10001u }, { 0, 7, 45874u * 0x10001u }, { 0, 1, 6553u * 0x10001u },
                  { 1, 3, 0xC000C000u } };
    for (const auto& c : cases) {
        alarms[0]->UseSystemVol = c.useSystemVolume;
        alarms[0]->Volume = c.level;
        SetWaveVolume(0xC000C000);
        ClearSoundCapture();
        ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), true));
        EXPECT_EQ(c.playingVolume, GetWaveVolume()) << c.level;
        PumpUntil([] { return CaptureSize() > 11025; }, 3000);
        StopAlarmSound();
        CloseAlarmSound(true);
        EXPECT_EQ(0xC000C000u, GetWaveVolume()) << c.level;
        // Opened as the engine opens it (mono): both channels mixed into one.
        SoundCapture capture = ReadSoundCapture();
        EXPECT_EQ(1, capture.channels);
        EXPECT_NEAR((c.playingVolume & 0xFFFF) / 65535.0, Loudness(capture.samples) / Loudness(mix), 0.05)
            << c.level;
    }
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

TEST_F(SoundEngine, OneShotThatCannotOpenSaysSoEachTime)
{
    std::wstring path = folder / L"missing.ogg";
    std::vector<std::wstring> boxes;
    DialogDriver driver(std::vector<DialogStep>(7, [&](HWND box) {
        boxes.push_back(WindowText(box) + L": " + MessageBoxText(box));
        ClickDialogButton(box, IDOK);
    }));
    EXPECT_FALSE(PlayOneShot(path.c_str()));
    std::vector<std::wstring> expected(6, L"Open Failed: " + path);
    expected.push_back(L"Error: Unable to play sound!");
    EXPECT_EQ(expected, boxes);
    EXPECT_EQ(0, driver.dialogsForced);
}

TEST_F(SoundEngine, FileNamesBeyondAsciiPlay)
{
    // Two, three and four bytes in UTF-8, and a pair of UTF-16 units.
    std::vector<short> pass = NoiseSamples(2205, 40);
    std::wstring path = WriteNoiseWav(L"Caf\u00e9 \u0411\u0443\u0434\u0438\u043b\u044c\u043d\u0438\u043a "
                                      L"\u2013 don\u2019t \U0001F413.wav", pass);
    ClearSoundCapture();
    EXPECT_TRUE(PlaySoundViaFMOD(path.c_str(), false));
    EXPECT_TRUE(Heard(pass, 1));
    StopAlarmSound();
    CloseAlarmSound(false);
    // Beyond the 260 bytes handed to the library: never cut, not opened.
    std::wstring accents(100, L'\u00e9');
    CreateDirectoryW((folder / accents).c_str(), nullptr);
    path = WriteNoiseWav(accents + L"\\" + std::wstring(30, L'\u00e9') + L".wav", pass);
    EXPECT_FALSE(PlaySoundViaFMOD(path.c_str(), false));
}

class MediaPlayback : public SoundEngine {
protected:
    // Three tracks, named so that the folder gives them in this order.
    void MakeTracks(size_t samplesEach)
    {
        for (int i = 0; i < 3; i++)
            WriteNoiseWav(std::to_wstring(i + 1) + L" track.wav", NoiseSamples(samplesEach, 10 + i));
        list = BuildMediaList(MEDIA_SOURCE_FOLDER, folder.path.c_str());
        ASSERT_NE(nullptr, list);
    }

    int IndexOf(MediaNode* node)
    {
        int i = 1;
        for (MediaNode* n = list; n != nullptr; n = n->next, i++)
            if (n == node)
                return i;
        return 0;
    }
};

TEST_F(MediaPlayback, TracksPlayInOrderThenFinishOrRepeatInTimedSleep)
{
    MakeTracks(11025);
    const struct {
        DWORD timedSleep;
        std::vector<int> tracks;
    } cases[] = { { 0, { 1, 2, 3 } }, { 1, { 1, 2, 3, 1, 2 } } };
    for (const auto& c : cases) {
        TimedSleep = c.timedSleep;
        ClearSoundCapture();
        ASSERT_TRUE(PlayMediaList(list));
        // The tracks that became current, in order.
        std::vector<int> seen;
        PumpUntil([&] {
            int now = IndexOf(currentTrack);
            if (now != 0 && (seen.empty() || seen.back() != now))
                seen.push_back(now);
            return mediaListFinished || seen.size() >= 5;
        }, 15000);
        EXPECT_EQ(c.tracks, seen);
        EXPECT_EQ(c.timedSleep == 0, mediaListFinished.load());
        EXPECT_EQ(c.timedSleep == 0, currentTrack.load() == nullptr);
        StopMediaList();
        CloseMediaStream();
    }
}

TEST_F(MediaPlayback, SkipRestartsAtTheEndsAndMovesBetween)
{
    MakeTracks(22050 * 20);
    ASSERT_TRUE(PlayMediaList(list));
    const struct {
        bool forward;
        int track;
    } steps[] = { { false, 1 }, { true, 2 }, { true, 3 }, { true, 3 }, { false, 2 } };
    for (const auto& step : steps) {
        trackInfoChanged = false;
        SkipTrack(step.forward);
        EXPECT_EQ(step.track, IndexOf(currentTrack));
        EXPECT_TRUE(trackInfoChanged);
    }
}

TEST_F(MediaPlayback, PauseHoldsTheStreamsPlayingThenNotAnAlarmAfter)
{
    MakeTracks(22050 * 20);
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    ASSERT_TRUE(PumpUntil([] { return CaptureSize() > 4410; }, 3000));
    PauseAllSound(true);
    // What was on its way out is written, then nothing.
    EXPECT_TRUE(PumpUntil([] { return StaysSilent(500); }, 3000));

    std::vector<short> pass = NoiseSamples(2205, 60);
    ASSERT_TRUE(PlaySoundViaFMOD(WriteNoiseWav(L"alarm.wav", pass).c_str(), true));
    EXPECT_TRUE(Heard(pass, 1));
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
    EXPECT_FALSE(PumpUntil([&] { return CpuSeconds() - before > 0.5; }, 2000));
    EXPECT_EQ(list, currentTrack.load());
    StopMediaList();
    CloseMediaStream();
}
