// The engine through the real sound library, heard through the ALSA
// capture under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "alarms.h"
#include "settings.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

// True when nothing more is heard for `ms`.
static bool StaysSilent(DWORD ms)
{
    size_t heard = ReadSoundCapture().samples.size();
    return !PumpUntil([&] { return ReadSoundCapture().samples.size() != heard; }, ms);
}

// True once `pass`, scaled by `volume`, was heard `passes` times in the
// stream played last.
static bool Heard(const std::vector<short>& pass, int passes, double volume = 1.0)
{
    return PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, pass, volume) >= passes; }, 10000);
}

class SoundEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
        alarms[0]->UseSystemVol = 1;
        settings.TimedSleep = 0;
        // The device volume applies to every stream: full, so the capture
        // holds the files' own samples.
        SetWaveVolume(0xFFFFFFFF);
    }

    void TearDown() override
    {
        StopAlarmSound();
        CloseAlarmSound(false);
        StopOneShot();
        CloseOneShot();
        StopMediaList();
        CloseMediaStream();
        while (FmodUseCount() > 0)
            ReleaseFMOD();
        FreeMediaListAfterCallbacks(list);
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

TEST_F(SoundEngine, AlarmOfAnyNameRepeatsWithItsGapAndAnyStopSilencesItAtOnce)
{
    // Two, three and four bytes in UTF-8, and a pair of UTF-16 units.
    std::vector<short> pass = NoiseSamples(2205, 1);
    std::wstring path = WriteNoiseWav(L"Caf\u00e9 \u0411\u0443\u0434\u0438\u043b\u044c\u043d\u0438\u043a "
                                      L"\u2013 don\u2019t \U0001F413.wav", pass);
    // Stops land after three passes, and before, during and after the end
    // callback's wait: each delay places the stop, it waits for nothing.
    for (DWORD delay : { 0u, 30u, 150u, 320u, 480u, 700u }) {
        ClearSoundCapture();
        DWORD start = GetTickCount();
        ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), KEEP_DEVICE_VOLUME));
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
        EXPECT_EQ(0u, FmodUseCount());
    }
    // A long path of two-byte letters, beyond 260 bytes of UTF-8, still plays.
    std::wstring accents(100, L'\u00e9');
    CreateDirectoryW((folder / accents).c_str(), nullptr);
    path = WriteNoiseWav(accents + L"\\" + std::wstring(30, L'\u00e9') + L".wav", pass);
    ClearSoundCapture();
    EXPECT_TRUE(PlaySoundViaFMOD(path.c_str(), KEEP_DEVICE_VOLUME));
    EXPECT_TRUE(Heard(pass, 1));
    StopAlarmSound();
    CloseAlarmSound(false);
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
        ASSERT_TRUE(PlaySoundViaFMOD(path.c_str(), c.useSystemVolume ? KEEP_DEVICE_VOLUME : static_cast<int>(c.level)));
        EXPECT_EQ(c.playingVolume, GetWaveVolume()) << c.level;
        // Opened as the engine opens it (mono): both channels mixed into one.
        EXPECT_TRUE(Heard(mix, 1, (c.playingVolume & 0xFFFF) / 65535.0)) << c.level;
        StopAlarmSound();
        CloseAlarmSound(true);
        EXPECT_EQ(0xC000C000u, GetWaveVolume()) << c.level;
    }
}

// Whatever cannot play is refused at once, by the alarm (which puts the
// device volume back), by a one-shot (no message: its caller tells the
// user) and by the preview; none keeps a use of the library, and a device
// name, a folder or a file held by another program neither hangs nor
// crashes the player.
TEST_F(SoundEngine, WhatCannotPlayIsRefusedAtOnceAndQuietly)
{
    std::vector<std::wstring> paths = MakeUnplayableFiles(folder);
    // Held by another program that shares nothing.
    std::wstring heldPath = WriteNoiseWav(L"held.wav", NoiseSamples(2205, 4));
    HANDLE held = CreateFileW(heldPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    paths.push_back(heldPath);
    alarms[0]->UseSystemVol = 0;
    alarms[0]->Volume = 3;
    for (const std::wstring& path : paths) {
        SCOPED_TRACE(Narrow(path));
        SetWaveVolume(0x40004000);
        DialogDriver noBoxes({});
        ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(PlaySoundViaFMOD(path.c_str(), static_cast<int>(alarms[0]->Volume)));
        EXPECT_EQ(0x40004000u, GetWaveVolume());
        StopAlarmSound();
        CloseAlarmSound(true);
        EXPECT_FALSE(PlayOneShot(path.c_str()));
        EXPECT_FALSE(PlayPreviewSound(path.c_str()));
        StopPreviewSound();
        EXPECT_LT(GetTickCount64() - start, 1000u);
        EXPECT_EQ(0, noBoxes.dialogsSeen);
        EXPECT_EQ(0u, FmodUseCount());
    }
    CloseHandle(held);
}

// Encodings and channel counts that recorders and editors write play as the
// sound they hold: more channels as their average in the one the alarm
// plays.
TEST_F(SoundEngine, WavOfEachEncodingAndFilesOfManyChannelsSoundAsTheyShould)
{
    for (std::wstring name : { L"pcm24.wav", L"pcm32.wav", L"float.wav", L"six.wav", L"u-law.wav",
                               L"a-law.wav", L"channels3.ogg", L"channels6.ogg" }) {
        SCOPED_TRACE(Narrow(name));
        std::wstring mono = name.substr(0, name.find(L'.')) + L".mono.wav";
        std::vector<short> heard = WavFileSamples(TestMediaPath(mono.c_str()));
        ASSERT_GT(heard.size(), 2000u);
        ClearSoundCapture();
        ASSERT_TRUE(PlaySoundViaFMOD(TestMediaPath(name.c_str()).c_str(), KEEP_DEVICE_VOLUME));
        // Decoders round apart by a few steps.
        EXPECT_TRUE(PumpUntil([&] { return CountPasses(ReadSoundCapture().samples, heard, 1.0, 6) >= 1; }, 10000));
        StopAlarmSound();
        CloseAlarmSound(false);
    }
}

class MediaPlayback : public SoundEngine {
protected:
    // Three tracks, named so that the folder gives them in this order.
    void MakeTracks(size_t samplesEach)
    {
        for (int i = 0; i < 3; i++)
            WriteNoiseWav(std::to_wstring(i + 1) + L" track.wav", NoiseSamples(samplesEach, 10 + i));
        list = BuildMediaList(MEDIA_SOURCE_FOLDER, folder.path.c_str());
        for (MediaNode* n = list; n != nullptr; n = n->next)
            tracks.push_back(n);
        ASSERT_EQ(3u, tracks.size());
    }

    std::vector<MediaNode*> tracks;
};

// Untimed, the list ends after its last track. (Timed, it goes round again:
// SleepDialog.FolderFromTheTree...)
TEST_F(MediaPlayback, TracksPlayInOrderThenFinish)
{
    MakeTracks(11025);
    ASSERT_TRUE(PlayMediaList(list));
    std::vector<MediaNode*> seen;   // the tracks that became current, in order
    PumpUntil([&] {
        MediaNode* now = CurrentTrack();
        if (now != nullptr && (seen.empty() || seen.back() != now))
            seen.push_back(now);
        return MediaListFinished() || seen.size() > 3;
    }, 15000);
    EXPECT_EQ(tracks, seen);
    EXPECT_TRUE(MediaListFinished());
    EXPECT_EQ(nullptr, CurrentTrack());
}

// A pause holds the streams playing then, not an alarm opened after it.
TEST_F(MediaPlayback, SkipRestartsAtTheEndsAndMovesBetweenAndPauseHoldsOnlyWhatPlays)
{
    MakeTracks(22050 * 20);
    ClearSoundCapture();
    ASSERT_TRUE(PlayMediaList(list));
    const struct {
        bool forward;
        int track;   // from 0
    } steps[] = { { false, 0 }, { true, 1 }, { true, 2 }, { true, 2 }, { false, 1 } };
    for (const auto& step : steps) {
        TakeTrackInfoChanged();
        SkipTrack(step.forward);
        EXPECT_EQ(tracks[step.track], CurrentTrack()) << step.track;
        EXPECT_TRUE(TrackInfoChanged());
    }
    ASSERT_TRUE(PumpUntil([] { return ReadSoundCapture().samples.size() > 4410; }, 10000));
    PauseAllSound(true);
    // What was on its way out is written, then nothing.
    EXPECT_TRUE(PumpUntil([] { return StaysSilent(500); }, 3000));

    std::vector<short> pass = NoiseSamples(2205, 60);
    ASSERT_TRUE(PlaySoundViaFMOD(WriteNoiseWav(L"alarm.wav", pass).c_str(), KEEP_DEVICE_VOLUME));
    EXPECT_TRUE(Heard(pass, 1));
    PauseAllSound(false);
}

