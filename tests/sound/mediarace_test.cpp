// Stop and skip pressed while the end callback moves to the next track:
// the user's press wins, whatever the callback is doing.
#include <gtest/gtest.h>

#include "settings.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

namespace {

class MediaRace : public ::testing::Test {
protected:
    void SetUp() override
    {
        TimedSleep = 0;
        SetWaveVolume(0xFFFFFFFF);
        MediaNode** tail = &list;
        for (int i = 0; i < 3; i++) {
            samples[i] = NoiseSamples(2205, 40 + i);
            paths[i] = folder / (L"t" + std::to_wstring(i) + L".wav");
            // The second track is not there yet: the callback keeps trying it.
            if (i != 1)
                WriteTrack(i);
            *tail = NewMediaNode(paths[i].c_str());
            tail = &(*tail)->next;
        }
        second = list->next;
        ClearSoundCapture();
        ASSERT_TRUE(PlayMediaList(list));
        ASSERT_TRUE(PumpUntil([&] { return currentTrack.load() == second; }, 10000));
    }
    void TearDown() override
    {
        StopMediaList();
        CloseMediaStream();
        while (fmodUseCount > 0)
            ReleaseFMOD();
        FreeMediaListAfterCallbacks(list);
    }

    void WriteTrack(int i) { EXPECT_TRUE(WriteBytes(paths[i], MakeWav(samples[i], 1, 22050))); }
    int PassesHeard(int i) { return CountPasses(ReadSoundCapture().samples, samples[i]); }

    // Lets the second track appear and the callback see it, or give up.
    void SecondTrackAppears()
    {
        WriteTrack(1);
        EXPECT_TRUE(PumpUntil([] { return mediaCallbacksRunning == 0; }, 10000));
    }

    TempFolder folder;
    std::vector<short> samples[3];
    std::wstring paths[3];
    MediaNode* list = nullptr;
    MediaNode* second = nullptr;
};

TEST_F(MediaRace, StopWinsOverTheTrackBeingOpened)
{
    StopMediaList();
    SecondTrackAppears();
    // Had the second track started, the player would be on to the third by now.
    EXPECT_FALSE(PumpUntil([&] { return currentTrack.load() != second; }, 1500));
    EXPECT_EQ(0, PassesHeard(1));
}

TEST_F(MediaRace, SkipWinsOverTheTrackBeingOpened)
{
    SkipTrack(true);
    SecondTrackAppears();
    EXPECT_EQ(second->next, currentTrack.load());
    EXPECT_TRUE(PumpUntil([&] { return PassesHeard(2) == 1; }, 10000));
    EXPECT_EQ(0, PassesHeard(1));
}

} // namespace
