// Where a WAV file's samples are and how they are stored, from its header.
#include <gtest/gtest.h>

#include <string>

#include "wavheader.h"

// A little-endian number of `size` bytes.
static std::string Le(uint32_t value, int size)
{
    std::string out;
    for (int i = 0; i < size; i++)
        out += static_cast<char>(value >> (8 * i));
    return out;
}

// A header of a format chunk (WAVE_FORMAT_EXTENSIBLE when `subtype` is not
// 0) and a data chunk that claims `dataBytes`.
static std::string Header(int tag, int channels, int bits, int subtype = 0, uint32_t dataBytes = 1000)
{
    int blockAlign = channels * bits / 8;
    std::string fmt = Le(subtype ? 0xFFFE : tag, 2) + Le(channels, 2) + Le(22050, 4) + Le(22050 * blockAlign, 4)
        + Le(blockAlign, 2) + Le(bits, 2);
    if (subtype)
        fmt += Le(22, 2) + Le(bits, 2) + Le(0, 4) + Le(subtype, 2)
            + std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    std::string chunks = "fmt " + Le(static_cast<uint32_t>(fmt.size()), 4) + fmt + "data" + Le(dataBytes, 4);
    return "RIFF" + Le(static_cast<uint32_t>(chunks.size() + 4 + dataBytes), 4) + "WAVE" + chunks;
}

TEST(WavHeader, EncodingsChannelsAndTheSamplesThatLieInTheFile)
{
    const struct {
        std::string header;
        uint64_t fileSize;     // 0: the header and its 1000 bytes of data
        int encoding;          // -1: refused
        int bits;
        uint64_t dataBytes;
    } cases[] = {
        { Header(1, 1, 8), 0, WAV_PCM, 8, 1000 },
        { Header(1, 2, 16), 0, WAV_PCM, 16, 1000 },
        { Header(1, 2, 24), 0, WAV_PCM, 24, 996 },        // whole frames of 6 bytes
        { Header(0, 2, 24, 1), 0, WAV_PCM, 24, 996 },
        { Header(3, 1, 64), 0, WAV_FLOAT, 64, 1000 },
        { Header(0, 1, 32, 3), 0, WAV_FLOAT, 32, 1000 },   // extensible float, as editors write it
        { Header(0, 6, 16, 1), 0, WAV_PCM, 16, 996 },
        { Header(1, 8, 16), 0, WAV_PCM, 16, 992 },
        { Header(1, 1, 16), 100, WAV_PCM, 16, 100 - 44 },   // cut to the file
        { Header(1, 9, 16), 0, -1, 0, 0 },                 // more channels than any layout
        { Header(0x11, 1, 4), 0, -1, 0, 0 },               // IMA ADPCM
        { Header(2, 1, 4), 0, -1, 0, 0 },                  // MS ADPCM
        { Header(1, 1, 12), 0, -1, 0, 0 },
        { Header(3, 1, 16), 0, -1, 0, 0 },
        { Header(7, 1, 16), 0, -1, 0, 0 },
        { Header(0, 1, 16, 2), 0, -1, 0, 0 },              // extensible ADPCM
    };
    for (const auto& c : cases) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(c.header.data());
        uint64_t fileSize = c.fileSize ? c.fileSize : c.header.size() + 1000;
        WavFormat format = {};
        bool ok = ParseWavHeader(bytes, c.header.size(), fileSize, &format);
        EXPECT_EQ(c.encoding >= 0, ok) << testing::PrintToString(c.header);
        if (!ok || c.encoding < 0)
            continue;
        EXPECT_EQ(c.encoding, format.encoding);
        EXPECT_EQ(c.bits, format.bits);
        EXPECT_EQ(c.header.size(), format.dataOffset);
        EXPECT_EQ(c.dataBytes, format.dataBytes);
    }
}
