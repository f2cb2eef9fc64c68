// libFuzzer target: the OGG open path as the library takes it: our check of
// the Vorbis headers, then stb_vorbis opening what passed (from memory),
// its comments, decoding and a rewind.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <memory>

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include "vorbisheaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VorbisHeaderInfo info;
    if (CheckVorbisHeaders(data, size, &info) != VORBIS_HEADERS_GOOD)
        return 0;
    if (info.channels < 1 || info.channels > 8)
        __builtin_trap();
    // In a buffer of ours, grown while too small, as the library opens it.
    std::unique_ptr<char[]> memory;
    stb_vorbis* vorbis = nullptr;
    for (size_t bytes = 512 * 1024; vorbis == nullptr; bytes *= 2) {
        memory.reset(new char[bytes]);
        stb_vorbis_alloc alloc = { memory.get(), static_cast<int>(bytes) };
        int error = 0;
        vorbis = stb_vorbis_open_memory(data, static_cast<int>(size), &error, &alloc);
        if (error != VORBIS_outofmem || bytes >= 32 * 1024 * 1024)
            break;
    }
    if (vorbis == nullptr)
        return 0;
    stb_vorbis_comment comments = stb_vorbis_get_comment(vorbis);
    size_t text = 0;
    for (int i = 0; i < comments.comment_list_length; i++)
        text += strlen(comments.comment_list[i]);
    if (text > size)
        __builtin_trap();
    // Every channel, as the library decodes them before its mix down.
    short out[8 * 4096];
    for (int pass = 0; pass < 2; pass++) {
        for (int block = 0; block < 64; block++) {
            if (stb_vorbis_get_samples_short_interleaved(vorbis, info.channels, out, 8 * 4096) <= 0)
                break;
        }
        stb_vorbis_seek_start(vorbis);
    }
    stb_vorbis_close(vorbis);
    return 0;
}
