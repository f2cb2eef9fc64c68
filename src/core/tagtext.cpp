#include "tagtext.h"

#include "fsound.h"

#define TEXT_LIMIT (TRACK_TEXT_UNITS - 1)

static size_t Latin1(const unsigned char* bytes, size_t count, WCHAR* text)
{
    size_t units = 0;
    for (size_t i = 0; i < count && bytes[i] != 0 && units < TEXT_LIMIT; i++)
        text[units++] = bytes[i];
    return units;
}

// UTF-16 units of valid UTF-8 up to the first zero; false when it is not.
static bool Utf8(const unsigned char* bytes, size_t count, WCHAR* text, size_t* units)
{
    *units = 0;
    size_t i = 0;
    while (i < count && bytes[i] != 0) {
        unsigned c = bytes[i];
        size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
        if (extra > 3)
            return false;
        unsigned code = extra == 0 ? c : c & (0x3F >> extra);
        for (size_t k = 1; k <= extra; k++) {
            if (i + k >= count || (bytes[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        static const unsigned least[4] = { 0, 0x80, 0x800, 0x10000 };
        if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += extra + 1;
        if (code >= 0x10000) {
            if (*units + 2 > TEXT_LIMIT)
                break;
            code -= 0x10000;
            text[(*units)++] = static_cast<WCHAR>(0xD800 | (code >> 10));
            text[(*units)++] = static_cast<WCHAR>(0xDC00 | (code & 0x3FF));
        } else {
            if (*units + 1 > TEXT_LIMIT)
                break;
            text[(*units)++] = static_cast<WCHAR>(code);
        }
    }
    return true;
}

bool ConvertTagText(int type, const char* value, int length, WCHAR text[TRACK_TEXT_UNITS])
{
    text[0] = 0;
    if (value == nullptr || length <= 0)
        return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(value);
    size_t count = static_cast<size_t>(length);
    size_t units = 0;
    if (type == FSOUND_TAGFIELD_ID3V2) {
        if (bytes[0] == 0) {
            units = Latin1(bytes + 1, count - 1, text);
        } else if (bytes[0] == 1) {
            // UTF-16 in the order its byte-order mark names (little-endian
            // without one); the mark is not part of the text.
            const unsigned char* wide = bytes + 1;
            size_t available = (count - 1) / 2;
            bool bigEndian = available > 0 && wide[0] == 0xFE && wide[1] == 0xFF;
            if (available > 0 && (bigEndian || (wide[0] == 0xFF && wide[1] == 0xFE))) {
                wide += 2;
                available--;
            }
            int low = bigEndian ? 1 : 0;
            while (units < available && units < TEXT_LIMIT) {
                WCHAR unit = static_cast<WCHAR>(wide[2 * units + low] | (wide[2 * units + 1 - low] << 8));
                if (unit == 0)
                    break;
                text[units++] = unit;
            }
        } else {
            return false;
        }
    } else if (type == FSOUND_TAGFIELD_VORBISCOMMENT) {
        if (!Utf8(bytes, count, text, &units))
            units = Latin1(bytes, count, text);
    } else {
        units = Latin1(bytes, count, text);
    }
    text[units] = 0;
    return units > 0;
}
