#include "mpegaudio.h"

#include <string.h>

#include "bytes.h"

static const int kBitratesV1[16] = { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224,
                                     256, 320, 0 };
static const int kBitratesV2[16] = { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128,
                                     144, 160, 0 };
static const int kRatesV1[3] = { 44100, 48000, 32000 };

bool ParseMpegFrameHeader(const uint8_t* p, MpegFrameHeader* header, uint32_t freeBytes)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    int versionBits = (p[1] >> 3) & 3;
    int layerBits = (p[1] >> 1) & 3;
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 3 || bitrateIndex == 15)
        return false;
    if (bitrateIndex == 0 && (freeBytes == 0 || freeBytes >= MPEG_MAX_FRAME_BYTES))
        return false;
    if (bitrateIndex != 0)
        freeBytes = 0;
    int version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
    int rate = kRatesV1[rateIndex] / (version == 1 ? 1 : (version == 2 ? 2 : 4));
    bool padding = (p[2] >> 1) & 1;
    bool mono = (p[3] >> 6) == 3;
    uint32_t factor = version == 1 ? 144 : 72;

    header->version = version;
    header->rate = rate;
    header->channels = mono ? 1 : 2;
    header->crc = (p[1] & 1) == 0;
    header->samples = version == 1 ? 1152 : 576;
    header->freeBytes = freeBytes;
    if (freeBytes == 0) {
        header->bitrateKbps = (version == 1 ? kBitratesV1 : kBitratesV2)[bitrateIndex];
        header->frameBytes = factor * header->bitrateKbps * 1000 / rate + (padding ? 1 : 0);
    } else {
        header->frameBytes = freeBytes + (padding ? 1 : 0);
        header->bitrateKbps = static_cast<int>(static_cast<uint64_t>(freeBytes) * rate / (factor * 1000));
    }
    if (version == 1)
        header->sideInfoBytes = mono ? 17 : 32;
    else
        header->sideInfoBytes = mono ? 9 : 17;
    return true;
}

bool SameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b)
{
    return a.version == b.version && a.rate == b.rate && a.channels == b.channels
        && a.freeBytes == b.freeBytes;
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

static bool IsXingTag(const uint8_t* p, size_t size, size_t at)
{
    return at + 8 <= size && (memcmp(p + at, "Xing", 4) == 0 || memcmp(p + at, "Info", 4) == 0);
}

bool ParseMpegInfoFrame(const uint8_t* p, size_t size, const MpegFrameHeader& header,
                        MpegStreamInfo* info)
{
    memset(info, 0, sizeof(*info));
    // LAME writes its tag right after the side info even when the frame
    // says a CRC follows the header; other encoders may leave the CRC room.
    size_t xing = 4 + header.sideInfoBytes;
    if (header.crc && !IsXingTag(p, size, xing) && IsXingTag(p, size, xing + 2))
        xing += 2;
    if (IsXingTag(p, size, xing)) {
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
        if (p[i] == 0xFF && ParseMpegFrameHeader(p + i, header, locked != nullptr ? locked->freeBytes : 0)
            && (locked == nullptr || SameMpegStream(*locked, *header))) {
            *pos = i;
            return header->frameBytes <= size - i;
        }
        i++;
    }
    *pos = i;
    return false;
}

// The frame size of a free-format stream whose first frame is at p[at]:
// the distance to the next header of the same kind, less the padding.
// 0 when p[at] is no free-format header or no such header follows.
static uint32_t FreeFormatBytes(const uint8_t* p, size_t size, size_t at)
{
    MpegFrameHeader probe;
    if ((p[at + 2] >> 4) != 0 || !ParseMpegFrameHeader(p + at, &probe, 1))
        return 0;
    size_t padding = (p[at + 2] >> 1) & 1;
    // A frame holds at least its header, CRC, side info and one byte.
    size_t next = at + 4 + (probe.crc ? 2 : 0) + probe.sideInfoBytes + padding + 1;
    for (; next + 4 <= size && next - at < MPEG_MAX_FRAME_BYTES; next++) {
        if (p[next] == 0xFF && p[next + 1] == p[at + 1] && (p[next + 2] & 0xFC) == (p[at + 2] & 0xFC)
            && (p[next + 3] & 0xC0) == (p[at + 3] & 0xC0))
            return static_cast<uint32_t>(next - at - padding);
    }
    return 0;
}

size_t FindMpegStart(const uint8_t* p, size_t size, bool atEnd, MpegFrameHeader* header)
{
    for (size_t at = 0; at + 4 <= size; at++) {
        MpegFrameHeader first;
        if (p[at] != 0xFF || !ParseMpegFrameHeader(p + at, &first, FreeFormatBytes(p, size, at)))
            continue;
        // Three frames in a row, or one whole frame or two at the end of the file.
        size_t next = at;
        MpegFrameHeader frame = first;
        bool holds = true;
        for (int count = 1; count < 3 && holds; count++) {
            next += frame.frameBytes;
            if (next + 4 > size) {
                holds = atEnd && at + first.frameBytes <= size;
                break;
            }
            holds = ParseMpegFrameHeader(p + next, &frame, first.freeBytes) && SameMpegStream(first, frame);
        }
        if (holds) {
            *header = first;
            return at;
        }
    }
    return size;
}
