// The sound library's decoders on files made by real encoders and on
// hand-built and hostile ones.
#include <gtest/gtest.h>

#include "fsound.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

// The bytes with `size` of them at `at` replaced by a value, little-endian
// as the machine and the files are.
static std::vector<BYTE> Patched(std::vector<BYTE> bytes, size_t at, DWORD value, size_t size = 4)
{
    CopyMemory(bytes.data() + at, &value, size);
    return bytes;
}

static std::vector<BYTE> Cut(const std::vector<BYTE>& bytes, size_t size)
{
    return std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
}

static std::vector<BYTE> Media(const wchar_t* name)
{
    std::vector<BYTE> bytes = ReadBytes(TestMediaPath(name));
    EXPECT_GT(bytes.size(), 2000u) << Narrow(name);
    return bytes;
}

// The sound library started as the engine starts it, and a folder for the
// files a test makes.
class SoundFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitFMOD()); }
    void TearDown() override
    {
        CloseMediaStream();
        ReleaseFMOD();
    }

    // Opens the bytes as a stream; when that works, plays them to the end.
    bool OpenAndPlay(const std::vector<BYTE>& bytes, const std::wstring& name)
    {
        std::wstring path = folder / name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        FSOUND_STREAM* stream = FSOUND_Stream_Open(Narrow(path).c_str(), FSOUND_NORMAL, 0, 0);
        if (stream == nullptr)
            return false;
        static std::atomic<bool> ended;
        ended = false;
        FSOUND_Stream_SetEndCallback(stream, [](FSOUND_STREAM*, void*, int, void*) -> signed char {
            ended = true;
            return TRUE;
        }, nullptr);
        EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
        EXPECT_TRUE(PumpUntil([] { return ended.load(); }, 10000)) << Narrow(name);
        EXPECT_TRUE(FSOUND_Stream_Close(stream));
        return true;
    }

    TempFolder folder;
    const std::vector<BYTE> wav = MakeWav(NoiseSamples(1000, 5), 1, 22050);
};

// ---- hostile files ------------------------------------------------------------

// Cut or scrambled files play without harm if at all, and a data chunk that
// claims more than the file holds plays what is there. Garbage would play as
// silence, damaged Vorbis comments crash the decoder, and a WAV the library
// cannot play right would be noise: those are refused.
TEST_F(SoundFiles, DamagedFilesPlayWithoutHarmOrAreRefused)
{
    std::vector<BYTE> mp3 = Media(L"tagged.mp3"), ogg = Media(L"tagged.ogg");
    OpenAndPlay(Cut(mp3, 1500), L"cut.mp3");
    OpenAndPlay(Cut(ogg, 5000), L"half.ogg");
    std::vector<BYTE> scrambled = mp3;
    for (size_t i = 200; i < scrambled.size(); i += 10)   // every tenth byte after the tag
        scrambled[i] ^= 0x5A;
    OpenAndPlay(scrambled, L"scrambled.mp3");
    EXPECT_TRUE(OpenAndPlay(Patched(wav, 40, 0xFFFFFF), L"longdata.wav"));

    std::vector<std::pair<std::wstring, std::vector<BYTE>>> files = {
        { L"cut.ogg", Cut(ogg, 200) },
        // The Info frame and one frame of a real file: no sound is left after
        // the encoder delay.
        { L"cut417.mp3", Cut(Media(L"plain.mp3"), 417) },
        { L"hugefmt.wav", Patched(wav, 16, 0xFFFFFFF0) },
        { L"three.wav", Patched(wav, 22, 3, 2) },
    };
    // Noise, as random or compressed files are: now and then a frame header.
    auto noise = [](size_t count, unsigned seed) {
        std::vector<short> samples = NoiseSamples(count / 2, seed, 32767);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(samples.data());
        return std::vector<BYTE>(bytes, bytes + samples.size() * 2);
    };
    for (unsigned seed = 1; seed <= 30; seed++)
        files.push_back({ L"noise" + std::to_wstring(seed) + L".mp3", noise(70000, seed) });
    // A lone frame header (a frame of 417 bytes) cut by the end of the file,
    // and one cut by the end of the first 64 KB read.
    for (auto [size, at] : { std::pair{ 5000, 4700 }, std::pair{ 100000, 65236 } })
        files.push_back({ L"lone" + std::to_wstring(size) + L".mp3", Patched(noise(size, 100), at, 0x6490FBFF) });
    // The vendor length, the comment count and the first comment's length
    // of the comment header, on the second page after the 58 bytes of the first.
    auto le32 = [&](size_t at) -> unsigned { return *reinterpret_cast<const UNALIGNED DWORD*>(ogg.data() + at); };
    size_t vendor = 58 + 27 + ogg[58 + 26] + 7, count = vendor + 4 + le32(vendor), first = count + 4;
    for (auto [at, value] : { std::pair{ vendor, 0xFFFFFFFFu }, std::pair{ count, 0x40000000u },
                              std::pair{ first, le32(first) + 2000u }, std::pair{ first, 0x80000000u } })
        files.push_back({ L"comments" + std::to_wstring(files.size()) + L".ogg", Patched(ogg, at, value) });
    for (const auto& [name, bytes] : files)
        EXPECT_FALSE(OpenAndPlay(bytes, name)) << Narrow(name);
}
