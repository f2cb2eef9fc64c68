// The sound library's decoders and tags on files made by real encoders and
// on hand-built and hostile ones, and the track texts the engine makes of
// the tags.
#include <gtest/gtest.h>

#include "fsound.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

// Byte strings put one after the other.
static std::vector<BYTE> operator+(std::vector<BYTE> first, const std::vector<BYTE>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

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

// ---- tags -----------------------------------------------------------------------

// ID3v2 tags and frames of fewer than 128 bytes, whose sizes read the same
// sync-safe (v2.4) and plain (v2.2, v2.3). Frames of v2.2 have names of
// three letters and no flags.
static std::vector<BYTE> Id3Tag(int version, BYTE flags, const std::vector<BYTE>& frames)
{
    return std::vector<BYTE>{ 'I', 'D', '3', static_cast<BYTE>(version), 0, flags, 0, 0, 0,
                              static_cast<BYTE>(frames.size()) } + frames;
}

static std::vector<BYTE> Frame(int version, const char* id, const std::vector<BYTE>& data, BYTE formatFlags = 0)
{
    BYTE size = static_cast<BYTE>(data.size());
    if (version == 2)
        return std::vector<BYTE>(id, id + 3) + std::vector<BYTE>{ 0, 0, size } + data;
    return std::vector<BYTE>(id, id + 4) + std::vector<BYTE>{ 0, 0, 0, size, 0, formatFlags } + data;
}

static std::vector<BYTE> Text(BYTE encoding, const std::string& text)
{
    return std::vector<BYTE>{ encoding } + std::vector<BYTE>(text.begin(), text.end());
}

TEST_F(SoundFiles, TitleArtistAndAlbumOfEachKindOfTag)
{
    const struct {
        const wchar_t* file;   // of the test media, or made of `tag` and plain.mp3's audio
        std::vector<BYTE> tag;
        std::wstring texts;    // title | artist | album
    } cases[] = {
        // A later title wins until all three are found.
        { L"twotitles.ogg", {}, L"Second | Band | " },
        { L"complete.ogg", {}, L"First | Band | Record" },
        { L"id3v1.mp3", {}, L"Short Title | Old Tagger | " },
        // UTF-8 is not converted, and does not undo a title before it.
        { L"utf8.mp3", Id3Tag(4, 0, Frame(4, "TIT2", Text(3, "Utf8 Title"))), L"utf8.mp3 | <Artist Unknown> | " },
        { L"both.mp3", Id3Tag(4, 0, Frame(4, "TIT2", Text(0, "Latin")) + Frame(4, "TIT2", Text(3, "Utf8"))),
          L"Latin | <Artist Unknown> | " },
        { L"v22.mp3", Id3Tag(2, 0, Frame(2, "TT2", Text(0, "Old Form")) + Frame(2, "TP1", Text(0, "Ancient"))),
          L"Old Form | Ancient | " },
        { L"ext.mp3", Id3Tag(3, 0x40, std::vector<BYTE>{ 0, 0, 0, 6, 0, 0, 0, 0, 0, 0 }
                                          + Frame(3, "TALB", Text(0, "Extended"))),
          L"ext.mp3 | <Artist Unknown> | Extended" },
        // UTF-16 "Hi" after its mark FF FE: the FF is followed by a stuffed 00;
        // the data length comes first.
        { L"unsync.mp3", Id3Tag(4, 0, Frame(4, "TIT2", { 0, 0, 0, 7, 1, 0xFF, 0x00, 0xFE, 'H', 0, 'i', 0 }, 0x03)),
          L"Hi | <Artist Unknown> | " },
        // Hostile: a tag that claims 256 MB, frames of size zero, and a frame
        // that runs past the tag's end.
        { L"huge.mp3", { 'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F }, L"huge.mp3 | <Artist Unknown> | " },
        { L"zeros.mp3", Id3Tag(3, 0, Frame(3, "TIT2", {}) + Frame(3, "TPE1", {})), L"zeros.mp3 | <Artist Unknown> | " },
        { L"overlong.mp3", Id3Tag(3, 0, Patched(Frame(3, "TIT2", Text(0, "Overlong")), 7, 0x7F, 1)),
          L"overlong.mp3 | <Artist Unknown> | " },
    };
    std::vector<BYTE> audio = Media(L"plain.mp3");
    for (const auto& c : cases) {
        std::wstring path = c.tag.empty() ? TestMediaPath(c.file) : folder / c.file;
        ASSERT_TRUE(c.tag.empty() || WriteBytes(path, c.tag + audio));
        TakeTrackInfoChanged();
        ASSERT_TRUE(OpenMediaStream(Narrow(path).c_str(), path.c_str())) << Narrow(c.file);
        EXPECT_TRUE(TrackInfoChanged());
        wchar_t title[TRACK_TEXT_UNITS], artist[TRACK_TEXT_UNITS], album[TRACK_TEXT_UNITS];
        GetTrackInfo(title, artist, album);
        CloseMediaStream();
        EXPECT_EQ(c.texts, std::wstring(title) + L" | " + artist + L" | " + album) << Narrow(c.file);
    }
}
