// libFuzzer target: RIFF/WAVE header parsing.
#include <stddef.h>
#include <stdint.h>

#include "wavheader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WavFormat format;
    if (ParseWavHeader(data, size, size, &format)) {
        // What it reports must lie inside the file.
        if (format.dataOffset + format.dataBytes > size)
            __builtin_trap();
    }
    // A file longer than the buffer read of it.
    ParseWavHeader(data, size, static_cast<uint64_t>(size) * 3, &format);
    return 0;
}
