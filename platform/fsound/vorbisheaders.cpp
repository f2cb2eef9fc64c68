#include "vorbisheaders.h"

#include <string.h>

#include <vector>

#include "bytes.h"

struct OggPage {
    uint8_t flags;
    const uint8_t* lacing;
    size_t segments;
    size_t body;  // offset of the first body byte
    size_t end;   // offset after the page
};

const uint8_t kContinued = 0x01;
const uint8_t kFirst = 0x02;
const uint8_t kLast = 0x04;
// The most channels Vorbis gives a layout for.
const int kMaxChannels = 8;

static VorbisHeaderCheck ReadPage(const uint8_t* p, size_t size, size_t pos, OggPage* page)
{
    if (size - pos < 27)
        return VORBIS_HEADERS_CUT;
    if (memcmp(p + pos, "OggS", 4) != 0 || p[pos + 4] != 0)
        return VORBIS_HEADERS_BAD;
    page->flags = p[pos + 5];
    page->segments = p[pos + 26];
    if (size - pos - 27 < page->segments)
        return VORBIS_HEADERS_CUT;
    page->lacing = p + pos + 27;
    page->body = pos + 27 + page->segments;
    size_t bodyBytes = 0;
    for (size_t i = 0; i < page->segments; i++)
        bodyBytes += page->lacing[i];
    if (size - page->body < bodyBytes)
        return VORBIS_HEADERS_CUT;
    page->end = page->body + bodyBytes;
    return VORBIS_HEADERS_GOOD;
}

// The packet at the start of the page at `pos`, gathered from the pages it
// spans.
static VorbisHeaderCheck ReadPacket(const uint8_t* p, size_t size, size_t pos,
                                    std::vector<uint8_t>* packet)
{
    packet->clear();
    for (bool first = true;; first = false) {
        OggPage page;
        VorbisHeaderCheck check = ReadPage(p, size, pos, &page);
        if (check != VORBIS_HEADERS_GOOD)
            return check;
        // A new packet starts a page; each page after it continues it.
        if (page.segments == 0 || ((page.flags & kContinued) != 0) == first)
            return VORBIS_HEADERS_BAD;
        size_t at = page.body;
        for (size_t i = 0; i < page.segments; i++) {
            packet->insert(packet->end(), p + at, p + at + page.lacing[i]);
            at += page.lacing[i];
            if (page.lacing[i] < 255)
                return VORBIS_HEADERS_GOOD;
        }
        pos = page.end;
    }
}

static bool IsVorbisHeader(const uint8_t* p, size_t size, uint8_t type)
{
    return size >= 7 && p[0] == type && memcmp(p + 1, "vorbis", 6) == 0;
}

// Steps over a 32-bit length at `*pos` and the bytes it counts; false when
// either would reach past the packet.
static bool SkipCountedBytes(const uint8_t* p, size_t size, size_t* pos)
{
    if (size - *pos < 4)
        return false;
    uint32_t length = Le32(p + *pos);
    *pos += 4;
    if (length > size - *pos)
        return false;
    *pos += length;
    return true;
}

static bool CheckComments(const std::vector<uint8_t>& packet)
{
    const uint8_t* p = packet.data();
    size_t size = packet.size();
    if (!IsVorbisHeader(p, size, 3))
        return false;
    size_t pos = 7;
    // The vendor, the comment count, each comment: every length must lie
    // inside the packet.
    if (!SkipCountedBytes(p, size, &pos) || size - pos < 4)
        return false;
    uint32_t count = Le32(p + pos);
    pos += 4;
    if (count > (size - pos) / 4)
        return false;
    for (uint32_t i = 0; i < count; i++) {
        if (!SkipCountedBytes(p, size, &pos))
            return false;
    }
    // The framing bit.
    return pos < size && (p[pos] & 1) != 0;
}

VorbisHeaderCheck CheckVorbisHeaders(const uint8_t* p, size_t size, VorbisHeaderInfo* info)
{
    // The identification header: the only packet of the first page.
    OggPage page;
    VorbisHeaderCheck check = ReadPage(p, size, 0, &page);
    if (check != VORBIS_HEADERS_GOOD)
        return check;
    if ((page.flags & (kFirst | kLast | kContinued)) != kFirst || page.segments != 1
        || page.lacing[0] != 30)
        return VORBIS_HEADERS_BAD;
    const uint8_t* id = p + page.body;
    if (!IsVorbisHeader(id, 30, 1) || Le32(id + 7) != 0)
        return VORBIS_HEADERS_BAD;
    int channels = id[11];
    uint32_t rate = Le32(id + 12);
    int shortBlock = id[28] & 15;
    int longBlock = id[28] >> 4;
    if (channels < 1 || channels > kMaxChannels || rate < 1000 || rate > 192000)
        return VORBIS_HEADERS_BAD;
    if (shortBlock < 6 || longBlock > 13 || shortBlock > longBlock || (id[29] & 1) == 0)
        return VORBIS_HEADERS_BAD;

    // The comment header starts the next page.
    std::vector<uint8_t> packet;
    check = ReadPacket(p, size, page.end, &packet);
    if (check != VORBIS_HEADERS_GOOD)
        return check;
    if (!CheckComments(packet))
        return VORBIS_HEADERS_BAD;
    info->channels = channels;
    info->rate = static_cast<int>(rate);
    return VORBIS_HEADERS_GOOD;
}
