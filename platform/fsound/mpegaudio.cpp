#include "mpegaudio.h"

#include <string.h>

static const int kBitratesV1[16] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224,
                                     256, 320, 0 };
static const int kBitratesV2[16] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128,
                                     144, 160, 0 };
static const int kRatesV1[3] = { 44100, 48000, 32000 };

static uint32_t Be32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

bool ParseMpegFrameHeader(const uint8_t* p, MpegFrameHeader* header)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    int versionBits = (p[1] >> 3) & 3;
    int layerBits = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3)
        return false;
    int version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
    int kbps = (version == 1 ? kBitratesV1 : kBitratesV2)[bitrateIndex];
    if (kbps == 0)  // free format or invalid
        return false;
    int rate = kRatesV1[rateIndex] / (version == 1 ? 1 : (version == 2 ? 2 : 4));
    bool padding = (p[2] >> 1) & 1;
    bool mono = (p[3] >> 6) == 3;

    header->version = version;
    header->bitrateKbps = kbps;
    header->rate = rate;
    header->channels = mono ? 1 : 2;
    header->crc = (p[1] & 1) == 0;
    header->samples = version == 1 ? 1152 : 576;
    uint32_t factor = version == 1 ? 144 : 72;
    header->frameBytes = factor * kbps * 1000 / rate + (padding ? 1 : 0);
    if (version == 1)
        header->sideInfoBytes = mono ? 17 : 32;
    else
        header->sideInfoBytes = mono ? 9 : 17;
    return true;
}

bool SameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b)
{
    return a.version == b.version && a.rate == b.rate && a.channels == b.channels;
}

uint64_t Id3v2TagBytes(const uint8_t* p, size_t size)
{
    if (size < 10 || memcmp(p, "ID3", 3) != 0 || p[3] == 0xFF || p[4] == 0xFF)
        return 0;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80)  // not a syncsafe size
        return 0;
    uint64_t body = (static_cast<uint64_t>(p[6]) << 21) | (p[7] << 14) | (p[8] << 7) | p[9];
    bool footer = p[3] == 4 && (p[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

bool IsId3v1Tag(const uint8_t* p, size_t size)
{
    return size >= 128 && memcmp(p, "TAG", 3) == 0;
}

bool ParseMpegInfoFrame(const uint8_t* p, size_t size, const MpegFrameHeader& header,
                        MpegStreamInfo* info)
{
    memset(info, 0, sizeof(*info));
    size_t xing = 4 + (header.crc ? 2 : 0) + header.sideInfoBytes;
    if (xing + 8 <= size && (memcmp(p + xing, "Xing", 4) == 0 || memcmp(p + xing, "Info", 4) == 0)) {
        uint32_t flags = Be32(p + xing + 4);
        size_t pos = xing + 8;
        if (flags & 1) {
            if (pos + 4 > size)
                return true;
            info->frames = Be32(p + pos);
            pos += 4;
        }
        if (flags & 2)
            pos += 4;    // byte count
        if (flags & 4)
            pos += 100;  // seek table
        if (flags & 8)
            pos += 4;    // quality
        // The LAME tag: 9 bytes of encoder name, then at byte 21 the delay and
        // padding as two 12-bit numbers.
        if (pos + 24 <= size && (memcmp(p + pos, "LAME", 4) == 0 || memcmp(p + pos, "Lavc", 4) == 0
                                 || memcmp(p + pos, "Lavf", 4) == 0)) {
            const uint8_t* d = p + pos + 21;
            info->encoderDelay = (d[0] << 4) | (d[1] >> 4);
            info->encoderPadding = ((d[1] & 0x0F) << 8) | d[2];
            info->gapless = true;
        }
        return true;
    }
    // Fraunhofer's VBRI header stands at a fixed place.
    if (36 + 18 <= size && memcmp(p + 36, "VBRI", 4) == 0) {
        info->frames = Be32(p + 36 + 14);
        return true;
    }
    return false;
}

bool NextMpegFrame(const uint8_t* p, size_t size, size_t* pos, const MpegFrameHeader* locked,
                   MpegFrameHeader* header)
{
    size_t i = *pos;
    while (i + 4 <= size) {
        if (p[i] == 0xFF && ParseMpegFrameHeader(p + i, header)
            && (locked == nullptr || SameMpegStream(*locked, *header))) {
            *pos = i;
            return header->frameBytes <= size - i;
        }
        i++;
    }
    *pos = i;
    return false;
}

size_t FindMpegStart(const uint8_t* p, size_t size, MpegFrameHeader* header)
{
    size_t pos = 0;
    while (pos + 4 <= size) {
        size_t at = pos;
        MpegFrameHeader first;
        if (!NextMpegFrame(p, size, &at, nullptr, &first)) {
            // A lone frame cut by the end of the buffer still counts.
            if (at + 4 <= size) {
                *header = first;
                return at;
            }
            return size;
        }
        size_t next = at + first.frameBytes;
        MpegFrameHeader second;
        if (next + 4 > size
            || (ParseMpegFrameHeader(p + next, &second) && SameMpegStream(first, second))) {
            *header = first;
            return at;
        }
        pos = at + 1;
    }
    return size;
}
