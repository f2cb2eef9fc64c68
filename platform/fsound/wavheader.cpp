#include "wavheader.h"

#include <string.h>

#include "bytes.h"

// The KSDATAFORMAT_SUBTYPE GUIDs of WAVE_FORMAT_EXTENSIBLE without their
// first two bytes, which hold the plain format tag.
static const uint8_t kSubtypeTail[14] = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                          0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71 };

static bool ParseFmt(const uint8_t* chunk, uint32_t size, WavFormat* format)
{
    if (size < 16)
        return false;
    uint16_t tag = Le16(chunk);
    if (tag == 0xFFFE) {
        if (size < 40 || memcmp(chunk + 26, kSubtypeTail, sizeof(kSubtypeTail)) != 0)
            return false;
        tag = Le16(chunk + 24);
    }
    int channels = Le16(chunk + 2);
    uint32_t rate = Le32(chunk + 4);
    int blockAlign = Le16(chunk + 12);
    int bits = Le16(chunk + 14);
    int encoding;
    bool bitsFit;
    switch (tag) {
    case 1:
        encoding = WAV_PCM;
        bitsFit = bits == 8 || bits == 16 || bits == 24 || bits == 32;
        break;
    case 3:
        encoding = WAV_FLOAT;
        bitsFit = bits == 32 || bits == 64;
        break;
    case 6:
        encoding = WAV_ALAW;
        bitsFit = bits == 8;
        break;
    case 7:
        encoding = WAV_MULAW;
        bitsFit = bits == 8;
        break;
    default:
        return false;
    }
    if (!bitsFit || channels < 1 || channels > WAV_MAX_CHANNELS)
        return false;
    if (rate < 1000 || rate > 192000 || blockAlign != channels * bits / 8)
        return false;
    format->channels = channels;
    format->rate = static_cast<int>(rate);
    format->bits = bits;
    format->encoding = encoding;
    return true;
}

bool ParseWavHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, WavFormat* format)
{
    if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    bool haveFmt = false;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = bytes + pos;
        uint32_t chunkSize = Le32(chunk + 4);
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize > size - pos - 8 || !ParseFmt(chunk + 8, chunkSize, format))
                return false;
            haveFmt = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt)
                return false;
            uint64_t offset = pos + 8;
            uint64_t available = fileSize > offset ? fileSize - offset : 0;
            uint64_t length = chunkSize < available ? chunkSize : available;
            uint32_t frameBytes = static_cast<uint32_t>(format->channels * format->bits / 8);
            format->dataOffset = offset;
            format->dataBytes = length - length % frameBytes;
            return true;
        }
        // Chunks are padded to an even size.
        uint64_t next = static_cast<uint64_t>(pos) + 8 + chunkSize + (chunkSize & 1);
        if (next > size)
            return false;
        pos = static_cast<size_t>(next);
    }
    return false;
}
