#include "soundtags.h"

#include <string.h>

#include "bytes.h"
#include "mpegaudio.h"

static const size_t kMaxFields = 512;

static uint32_t Syncsafe32(const uint8_t* p)
{
    return ((p[0] & 0x7F) << 21) | ((p[1] & 0x7F) << 14) | ((p[2] & 0x7F) << 7) | (p[3] & 0x7F);
}

// Undoes the unsynchronisation scheme: every 0xFF 0x00 stands for 0xFF.
static std::vector<uint8_t> Resync(const uint8_t* p, size_t size)
{
    std::vector<uint8_t> out;
    out.reserve(size);
    for (size_t i = 0; i < size; i++) {
        out.push_back(p[i]);
        if (p[i] == 0xFF && i + 1 < size && p[i + 1] == 0x00)
            i++;
    }
    return out;
}

static bool IsFrameIdChar(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

static std::string V22Name(const uint8_t* id)
{
    static const char* const kNames[][2] = {
        { "TT2", "TIT2" }, { "TP1", "TPE1" }, { "TAL", "TALB" }, { "TP2", "TPE2" },
        { "TRK", "TRCK" }, { "TYE", "TYER" }, { "TCO", "TCON" }, { "TCM", "TCOM" },
        { "TXX", "TXXX" },
    };
    std::string name(reinterpret_cast<const char*>(id), 3);
    for (const auto& pair : kNames)
        if (name == pair[0])
            return pair[1];
    return name;
}

static void AddField(std::vector<SoundTag>* tags, int type, std::string name, const uint8_t* value,
                     size_t length)
{
    if (tags->size() >= kMaxFields)
        return;
    SoundTag tag;
    tag.type = type;
    tag.name = std::move(name);
    tag.value.assign(value, value + length);
    tags->push_back(std::move(tag));
}

void ReadId3v2Frames(const uint8_t* p, size_t size, std::vector<SoundTag>* tags)
{
    uint64_t tagBytes = Id3v2TagBytes(p, size);
    if (tagBytes == 0)
        return;
    int major = p[3];
    uint8_t flags = p[5];
    if (major < 2 || major > 4)
        return;
    if (major == 2 && (flags & 0x40))  // v2.2 compression was never defined
        return;
    uint64_t bodyEnd = 10 + ((static_cast<uint64_t>(p[6]) << 21) | (p[7] << 14) | (p[8] << 7) | p[9]);
    size_t bodySize = static_cast<size_t>((bodyEnd < size ? bodyEnd : size) - 10);

    // Up to v2.3 unsynchronisation covers the whole tag, frame headers too.
    std::vector<uint8_t> body;
    if (major <= 3 && (flags & 0x80))
        body = Resync(p + 10, bodySize);
    else
        body.assign(p + 10, p + 10 + bodySize);
    const uint8_t* b = body.data();
    size_t n = body.size();

    size_t pos = 0;
    if (major >= 3 && (flags & 0x40)) {  // extended header
        if (n < 4)
            return;
        uint64_t extended = major == 3 ? 4 + static_cast<uint64_t>(Be32(b)) : Syncsafe32(b);
        if (extended > n)
            return;
        pos = static_cast<size_t>(extended);
    }

    size_t headerBytes = major == 2 ? 6 : 10;
    while (pos + headerBytes <= n) {
        const uint8_t* h = b + pos;
        size_t idLength = major == 2 ? 3 : 4;
        bool validId = true;
        for (size_t i = 0; i < idLength; i++)
            validId = validId && IsFrameIdChar(h[i]);
        if (!validId)  // padding, or the end of what can be read
            break;
        uint64_t frameSize;
        uint8_t formatFlags = 0;
        if (major == 2)
            frameSize = (h[3] << 16) | (h[4] << 8) | h[5];
        else if (major == 3)
            frameSize = Be32(h + 4);
        else
            frameSize = Syncsafe32(h + 4);
        if (major >= 3)
            formatFlags = h[9];
        size_t dataStart = pos + headerBytes;
        if (frameSize > n - dataStart)
            break;
        pos = dataStart + static_cast<size_t>(frameSize);
        if (h[0] != 'T' || frameSize == 0)
            continue;

        const uint8_t* data = b + dataStart;
        size_t length = static_cast<size_t>(frameSize);
        std::vector<uint8_t> resynced;
        if (major == 3) {
            if (formatFlags & 0xC0)  // compressed or encrypted
                continue;
            if (formatFlags & 0x20) {  // group id byte
                data++;
                length--;
            }
        } else if (major == 4) {
            if (formatFlags & 0x0C)  // compressed or encrypted
                continue;
            size_t skip = ((formatFlags & 0x40) ? 1 : 0) + ((formatFlags & 0x01) ? 4 : 0);
            if (skip >= length)
                continue;
            data += skip;
            length -= skip;
            if ((formatFlags & 0x02) || (flags & 0x80)) {
                resynced = Resync(data, length);
                data = resynced.data();
                length = resynced.size();
            }
        }
        if (length == 0)
            continue;
        std::string name = major == 2 ? V22Name(h) : std::string(reinterpret_cast<const char*>(h), 4);
        AddField(tags, SOUND_TAG_ID3V2, std::move(name), data, length);
    }
}

void ReadId3v1Fields(const uint8_t* p, size_t size, std::vector<SoundTag>* tags)
{
    if (!IsId3v1Tag(p, size))
        return;
    static const struct { const char* name; size_t offset; size_t length; } kFields[] = {
        { "TITLE", 3, 30 }, { "ARTIST", 33, 30 }, { "ALBUM", 63, 30 }, { "YEAR", 93, 4 },
        { "COMMENT", 97, 28 },
    };
    for (const auto& field : kFields) {
        const uint8_t* text = p + field.offset;
        size_t length = 0;
        while (length < field.length && text[length] != 0)
            length++;
        while (length > 0 && text[length - 1] == ' ')
            length--;
        if (length > 0)
            AddField(tags, SOUND_TAG_ID3V1, field.name, text, length);
    }
}

bool SplitVorbisComment(const char* comment, size_t length, SoundTag* tag)
{
    const char* equals = static_cast<const char*>(memchr(comment, '=', length));
    if (equals == nullptr || equals == comment)
        return false;
    tag->type = SOUND_TAG_VORBISCOMMENT;
    tag->name.assign(comment, equals);
    const uint8_t* value = reinterpret_cast<const uint8_t*>(equals + 1);
    tag->value.assign(value, reinterpret_cast<const uint8_t*>(comment + length));
    return true;
}
