// The sound library's decoders and tags on files made by real encoders and
// on hand-built and hostile ones, and the track texts the engine makes of
// the tags.
#include <gtest/gtest.h>

#include <cmath>

#include "decoders.h"
#include "fsound.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

static std::vector<short> DecodeAll(SoundDecoder* decoder, size_t limitFrames = 50000000)
{
    std::vector<short> out;
    std::vector<short> block(4096 * 2);
    size_t frames = 0;
    while (frames < limitFrames) {
        size_t got = decoder->Read(block.data(), 4096);
        if (got == 0)
            break;
        out.insert(out.end(), block.begin(), block.begin() + static_cast<ptrdiff_t>(got * decoder->channels));
        frames += got;
    }
    return out;
}

// The 16-bit samples of one of our mono WAV files.
static std::vector<short> WavSamples(const std::wstring& path)
{
    std::vector<BYTE> bytes = ReadBytes(path);
    std::vector<short> samples;
    for (size_t i = 44; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<short>(bytes[i] | (bytes[i + 1] << 8)));
    return samples;
}

static double Correlation(const std::vector<short>& a, const std::vector<short>& b)
{
    size_t n = std::min(a.size(), b.size());
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; i++) {
        ab += static_cast<double>(a[i]) * b[i];
        aa += static_cast<double>(a[i]) * a[i];
        bb += static_cast<double>(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

TEST(Decoders, Mp3ComesOutAlignedAndAsLongAsItsSource)
{
    std::vector<short> source = WavSamples(BuildSoundPath(L"buzz.wav"));
    SoundDecoder* decoder = OpenSoundDecoder(Narrow(TestMediaPath(L"plain.mp3")).c_str());
    ASSERT_NE(nullptr, decoder);
    EXPECT_EQ(22050, decoder->rate);
    EXPECT_EQ(1, decoder->channels);
    std::vector<short> decoded = DecodeAll(decoder);
    EXPECT_EQ(source.size(), decoded.size());
    EXPECT_GT(Correlation(source, decoded), 0.9);
    // A second pass gives the same.
    ASSERT_TRUE(decoder->Rewind());
    EXPECT_EQ(decoded, DecodeAll(decoder));
    delete decoder;
}

TEST(Decoders, Mpeg1Mp3Decodes)
{
    SoundDecoder* decoder = OpenSoundDecoder(Narrow(TestMediaPath(L"mpeg1.mp3")).c_str());
    ASSERT_NE(nullptr, decoder);
    EXPECT_EQ(44100, decoder->rate);
    // Two seconds of bell at twice the rate.
    EXPECT_EQ(88200u, DecodeAll(decoder).size());
    delete decoder;
}

TEST(Decoders, OggComesOutAsLongAsItsSource)
{
    std::vector<short> source = WavSamples(BuildSoundPath(L"buzz.wav"));
    SoundDecoder* decoder = OpenSoundDecoder(Narrow(TestMediaPath(L"plain.ogg")).c_str());
    ASSERT_NE(nullptr, decoder);
    std::vector<short> decoded = DecodeAll(decoder);
    EXPECT_EQ(source.size(), decoded.size());
    EXPECT_GT(Correlation(source, decoded), 0.9);
    delete decoder;
}

TEST(Decoders, WavOfEightBitsStereoBecomesSixteenBits)
{
    TempFolder folder;
    std::vector<short> samples = { -32768, 32512, 0, 256, -256, 12800 };
    ASSERT_TRUE(WriteBytes(folder / L"s8.wav", MakeWav(samples, 2, 11025, 8)));
    SoundDecoder* decoder = OpenSoundDecoder(Narrow(folder / L"s8.wav").c_str());
    ASSERT_NE(nullptr, decoder);
    EXPECT_EQ(2, decoder->channels);
    EXPECT_EQ(11025, decoder->rate);
    EXPECT_EQ(samples, DecodeAll(decoder));
    delete decoder;
}

// ---- hostile files ------------------------------------------------------------

static std::vector<BYTE> NoiseBytes(size_t count, unsigned seed)
{
    std::vector<short> noise = NoiseSamples(count / 2, seed, 32767);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(noise.data());
    return std::vector<BYTE>(bytes, bytes + noise.size() * 2);
}

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FSOUND_Init(22050, 32, 0)); }
    void TearDown() override { FSOUND_Close(); }

    // Opens the bytes as a stream; when that works, plays them to the end.
    bool OpenAndPlay(const std::vector<BYTE>& bytes, const wchar_t* name)
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
};

TEST_F(HostileFiles, CutOrCorruptFilesFailOrPlayWithoutHarm)
{
    std::vector<BYTE> mp3 = ReadBytes(TestMediaPath(L"tagged.mp3"));
    std::vector<BYTE> ogg = ReadBytes(TestMediaPath(L"tagged.ogg"));
    ASSERT_GT(mp3.size(), 2000u);
    ASSERT_GT(ogg.size(), 2000u);

    EXPECT_FALSE(OpenAndPlay({}, L"empty.mp3"));
    EXPECT_FALSE(OpenAndPlay(std::vector<BYTE>(ogg.begin(), ogg.begin() + 200), L"cut.ogg"));
    OpenAndPlay(std::vector<BYTE>(mp3.begin(), mp3.begin() + 1500), L"cut.mp3");
    OpenAndPlay(std::vector<BYTE>(ogg.begin(), ogg.begin() + 5000), L"half.ogg");

    // Every tenth byte flipped after the tag.
    std::vector<BYTE> scrambled = mp3;
    for (size_t i = 200; i < scrambled.size(); i += 10)
        scrambled[i] ^= 0x5A;
    OpenAndPlay(scrambled, L"scrambled.mp3");
}

// Garbage would play as silence, an OGG of more channels as noise (the
// Vorbis decoder's mix down is broken), and damaged Vorbis comments crash
// the decoder.
TEST_F(HostileFiles, WhatWouldNotPlayRightIsRefused)
{
    std::vector<std::pair<std::wstring, std::vector<BYTE>>> files;
    // Noise, as random or compressed files are: now and then a frame header.
    for (unsigned seed = 1; seed <= 30; seed++)
        files.push_back({ L"noise" + std::to_wstring(seed) + L".mp3", NoiseBytes(70000, seed) });
    // A lone frame header (a frame of 417 bytes) cut by the end of the file,
    // and one cut by the end of the first 64 KB read.
    const BYTE header[4] = { 0xFF, 0xFB, 0x90, 0x64 };
    for (auto [size, at] : { std::pair{ 5000, 4700 }, std::pair{ 100000, 65236 } }) {
        std::vector<BYTE> bytes = NoiseBytes(size, 100);
        std::copy(header, header + 4, bytes.begin() + at);
        files.push_back({ L"lone" + std::to_wstring(size) + L".mp3", bytes });
    }
    // The Info frame and one frame of a real file: no sound is left after
    // the encoder delay.
    std::vector<BYTE> mp3 = ReadBytes(TestMediaPath(L"plain.mp3"));
    files.push_back({ L"cut417.mp3", std::vector<BYTE>(mp3.begin(), mp3.begin() + 417) });

    for (const wchar_t* name : { L"channels3.ogg", L"channels6.ogg" })
        files.push_back({ name, ReadBytes(TestMediaPath(name)) });
    // The vendor length, the comment count and the first comment's length
    // of the comment header, on the second page after the 58 bytes of the first.
    std::vector<BYTE> ogg = ReadBytes(TestMediaPath(L"tagged.ogg"));
    auto le32 = [&](size_t at) { return ogg[at] | (ogg[at + 1] << 8) | (ogg[at + 2] << 16) | (ogg[at + 3] << 24); };
    size_t vendor = 58 + 27 + ogg[58 + 26] + 7, count = vendor + 4 + le32(vendor), first = count + 4;
    for (auto [at, value] : { std::pair{ vendor, 0xFFFFFFFFu }, std::pair{ count, 0x40000000u },
                              std::pair{ first, le32(first) + 2000u }, std::pair{ first, 0x80000000u } }) {
        std::vector<BYTE> bytes = ogg;
        for (int i = 0; i < 4; i++)
            bytes[at + i] = static_cast<BYTE>(value >> (8 * i));
        files.push_back({ L"comments" + std::to_wstring(files.size()) + L".ogg", bytes });
    }
    for (const auto& [name, bytes] : files) {
        ASSERT_GT(bytes.size(), 400u) << Narrow(name);
        EXPECT_FALSE(OpenAndPlay(bytes, name.c_str())) << Narrow(name);
    }
}

TEST_F(HostileFiles, BadWavHeadersAreRefused)
{
    std::vector<BYTE> good = MakeWav(NoiseSamples(1000, 5), 1, 22050);
    std::vector<BYTE> hugeFmt = good;
    hugeFmt[16] = 0xF0; hugeFmt[17] = hugeFmt[18] = hugeFmt[19] = 0xFF;
    EXPECT_FALSE(OpenAndPlay(hugeFmt, L"hugefmt.wav"));
    std::vector<BYTE> adpcm = good;
    adpcm[20] = 2;
    EXPECT_FALSE(OpenAndPlay(adpcm, L"adpcm.wav"));
    std::vector<BYTE> threeChannels = good;
    threeChannels[22] = 3;
    EXPECT_FALSE(OpenAndPlay(threeChannels, L"three.wav"));
    EXPECT_FALSE(OpenAndPlay(std::vector<BYTE>(good.begin(), good.begin() + 30), L"header.wav"));
    // A data chunk that claims more than the file holds plays what is there.
    std::vector<BYTE> longData = good;
    longData[40] = longData[41] = longData[42] = 0xFF;
    EXPECT_TRUE(OpenAndPlay(longData, L"longdata.wav"));
}

// ---- tags -----------------------------------------------------------------------

// An ID3v2 tag of the given version around frames.
static std::vector<BYTE> Id3Tag(int version, BYTE flags, const std::vector<BYTE>& frames)
{
    size_t size = frames.size();
    std::vector<BYTE> tag = { 'I', 'D', '3', static_cast<BYTE>(version), 0, flags,
                              static_cast<BYTE>((size >> 21) & 0x7F), static_cast<BYTE>((size >> 14) & 0x7F),
                              static_cast<BYTE>((size >> 7) & 0x7F), static_cast<BYTE>(size & 0x7F) };
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

static std::vector<BYTE> Frame(int version, const char* id, const std::vector<BYTE>& data,
                               BYTE formatFlags = 0)
{
    std::vector<BYTE> frame(id, id + (version == 2 ? 3 : 4));
    size_t size = data.size();
    if (version == 2) {
        frame.insert(frame.end(), { static_cast<BYTE>(size >> 16), static_cast<BYTE>(size >> 8),
                                    static_cast<BYTE>(size) });
    } else if (version == 3) {
        frame.insert(frame.end(), { static_cast<BYTE>(size >> 24), static_cast<BYTE>(size >> 16),
                                    static_cast<BYTE>(size >> 8), static_cast<BYTE>(size) });
    } else {
        frame.insert(frame.end(), { static_cast<BYTE>((size >> 21) & 0x7F), static_cast<BYTE>((size >> 14) & 0x7F),
                                    static_cast<BYTE>((size >> 7) & 0x7F), static_cast<BYTE>(size & 0x7F) });
    }
    if (version != 2)
        frame.insert(frame.end(), { 0, formatFlags });
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

static std::vector<BYTE> Text(BYTE encoding, const std::string& text)
{
    std::vector<BYTE> data(1 + text.size());
    data[0] = encoding;
    std::copy(text.begin(), text.end(), data.begin() + 1);
    return data;
}

class TrackTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(InitFMOD());
        // A list of two, so the track opens as it would in a longer list.
        second.next = nullptr;
        first.next = &second;
        mediaListHead = &first;
    }
    void TearDown() override
    {
        CloseMediaStream();
        ReleaseFMOD();
        mediaListHead = nullptr;
    }

    bool Open(const std::wstring& path)
    {
        if (!OpenMediaStream(Narrow(path).c_str(), path.c_str()))
            return false;
        GetTrackInfo(title, artist, album);
        CloseMediaStream();
        return true;
    }

    // An MP3 of the given tag in front of the audio of plain.mp3.
    bool OpenWithTag(const std::vector<BYTE>& tag, const wchar_t* name)
    {
        std::vector<BYTE> bytes = tag;
        std::vector<BYTE> audio = ReadBytes(TestMediaPath(L"plain.mp3"));
        bytes.insert(bytes.end(), audio.begin(), audio.end());
        EXPECT_TRUE(WriteBytes(folder / name, bytes));
        return Open(folder / name);
    }

    MediaNode first = {}, second = {};
    TempFolder folder;
    wchar_t title[TRACK_TEXT_UNITS] = L"", artist[TRACK_TEXT_UNITS] = L"", album[TRACK_TEXT_UNITS] = L"";
};

TEST_F(TrackTexts, LameId3v2Tags)
{
    // lame writes its text frames as UTF-16 after a byte-order mark.
    ASSERT_TRUE(Open(TestMediaPath(L"tagged.mp3")));
    EXPECT_STREQ(L"Morning Song", title);
    EXPECT_STREQ(L"The Larks", artist);
    EXPECT_STREQ(L"Dawn Chorus", album);
    EXPECT_TRUE(trackInfoChanged);
}

TEST_F(TrackTexts, VorbisComments)
{
    ASSERT_TRUE(Open(TestMediaPath(L"tagged.ogg")));
    EXPECT_STREQ(L"Evening Song", title);
    EXPECT_STREQ(L"The Owls", artist);
    EXPECT_STREQ(L"Dusk", album);
}

TEST_F(TrackTexts, LaterTitleWinsUntilAllThreeAreFound)
{
    ASSERT_TRUE(Open(TestMediaPath(L"twotitles.ogg")));
    EXPECT_STREQ(L"Second", title);
    EXPECT_STREQ(L"Band", artist);
    ASSERT_TRUE(Open(TestMediaPath(L"complete.ogg")));
    EXPECT_STREQ(L"First", title);
    EXPECT_STREQ(L"Record", album);
}

TEST_F(TrackTexts, Id3v1Fields)
{
    ASSERT_TRUE(Open(TestMediaPath(L"id3v1.mp3")));
    EXPECT_STREQ(L"Short Title", title);
    EXPECT_STREQ(L"Old Tagger", artist);
}

TEST_F(TrackTexts, UntaggedFileIsNamedByItsFile)
{
    ASSERT_TRUE(Open(TestMediaPath(L"plain.mp3")));
    EXPECT_STREQ(L"plain.mp3", title);
    EXPECT_STREQ(L"<Artist Unknown>", artist);
    EXPECT_STREQ(L"", album);
}

TEST_F(TrackTexts, Utf8AndUtf16BigEndianTitlesAreNotConverted)
{
    ASSERT_TRUE(OpenWithTag(Id3Tag(4, 0, Frame(4, "TIT2", Text(3, "Utf8 Title"))), L"enc3.mp3"));
    EXPECT_STREQ(L"enc3.mp3", title);
    ASSERT_TRUE(OpenWithTag(Id3Tag(4, 0, Frame(4, "TIT2", Text(2, std::string("\0B", 2)))), L"enc2.mp3"));
    EXPECT_STREQ(L"enc2.mp3", title);
    // A later title that converts wins.
    std::vector<BYTE> frames = Frame(4, "TIT2", Text(3, "Utf8"));
    std::vector<BYTE> latin = Frame(4, "TIT2", Text(0, "Latin"));
    frames.insert(frames.end(), latin.begin(), latin.end());
    ASSERT_TRUE(OpenWithTag(Id3Tag(4, 0, frames), L"both.mp3"));
    EXPECT_STREQ(L"Latin", title);
}

TEST_F(TrackTexts, Id3v22NamesAndV23ExtendedHeader)
{
    std::vector<BYTE> v22 = Frame(2, "TT2", Text(0, "Old Form"));
    std::vector<BYTE> v22Artist = Frame(2, "TP1", Text(0, "Ancient"));
    v22.insert(v22.end(), v22Artist.begin(), v22Artist.end());
    ASSERT_TRUE(OpenWithTag(Id3Tag(2, 0, v22), L"v22.mp3"));
    EXPECT_STREQ(L"Old Form", title);
    EXPECT_STREQ(L"Ancient", artist);

    std::vector<BYTE> extended = { 0, 0, 0, 6, 0, 0, 0, 0, 0, 0 };
    std::vector<BYTE> albumFrame = Frame(3, "TALB", Text(0, "Extended"));
    extended.insert(extended.end(), albumFrame.begin(), albumFrame.end());
    ASSERT_TRUE(OpenWithTag(Id3Tag(3, 0x40, extended), L"ext.mp3"));
    EXPECT_STREQ(L"Extended", album);
}

TEST_F(TrackTexts, Id3v24UnsynchronisedFrameWithDataLength)
{
    // UTF-16 "Hi" after its mark FF FE: the FF is followed by a stuffed 00.
    std::vector<BYTE> data = { 0, 0, 0, 7, 1, 0xFF, 0x00, 0xFE, 'H', 0, 'i', 0 };
    ASSERT_TRUE(OpenWithTag(Id3Tag(4, 0, Frame(4, "TIT2", data, 0x03)), L"unsync.mp3"));
    EXPECT_STREQ(L"Hi", title);
}

TEST_F(TrackTexts, HostileTagsLeaveTheDefaults)
{
    // A tag that claims 256 MB, one with frames of size zero and one whose
    // frame runs past its end.
    std::vector<BYTE> huge = { 'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F };
    ASSERT_TRUE(OpenWithTag(huge, L"huge.mp3"));
    EXPECT_STREQ(L"huge.mp3", title);
    std::vector<BYTE> zeros = Frame(3, "TIT2", {});
    std::vector<BYTE> zeroArtist = Frame(3, "TPE1", {});
    zeros.insert(zeros.end(), zeroArtist.begin(), zeroArtist.end());
    ASSERT_TRUE(OpenWithTag(Id3Tag(3, 0, zeros), L"zeros.mp3"));
    EXPECT_STREQ(L"zeros.mp3", title);
    std::vector<BYTE> overlong = Frame(3, "TIT2", Text(0, "Overlong"));
    overlong[7] = 0x7F;
    ASSERT_TRUE(OpenWithTag(Id3Tag(3, 0, overlong), L"overlong.mp3"));
    EXPECT_STREQ(L"overlong.mp3", title);
}
