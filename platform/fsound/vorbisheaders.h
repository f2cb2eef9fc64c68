// The first two headers of an OGG Vorbis file, checked before the Vorbis
// decoder sees the file, which trusts their lengths: the identification
// header alone on the first page, then the comment header packet with its
// vendor and every comment inside it. Pure code over a byte buffer, so it
// is fuzzed.
#ifndef WAKELOOM_VORBISHEADERS_H
#define WAKELOOM_VORBISHEADERS_H

#include <stddef.h>
#include <stdint.h>

enum VorbisHeaderCheck {
    VORBIS_HEADERS_BAD,
    VORBIS_HEADERS_GOOD,
    VORBIS_HEADERS_CUT,  // the buffer ends inside them: more of the file is needed
};

struct VorbisHeaderInfo {
    int channels;
    int rate;
};

// Checks the headers at the start of `p`, the first `size` bytes of a
// file. More than eight channels (Vorbis gives no layout beyond them), and
// rates outside 1000 to 192000, are refused.
VorbisHeaderCheck CheckVorbisHeaders(const uint8_t* p, size_t size, VorbisHeaderInfo* info);

#endif
