// The RIFF/WAVE header: where the PCM samples of a file are and how they
// are laid out. Pure code over a byte buffer (no Windows), so it is fuzzed.
#ifndef WAKELOOM_WAVHEADER_H
#define WAKELOOM_WAVHEADER_H

#include <stddef.h>
#include <stdint.h>

struct WavFormat {
    int channels;          // 1 or 2
    int rate;              // frames per second
    int bits;              // 8 (unsigned) or 16 (signed)
    uint64_t dataOffset;   // file offset of the first sample
    uint64_t dataBytes;    // whole frames only, cut to the file's size
};

// Reads the header from the first `size` bytes of a file of `fileSize`
// bytes. False for anything but PCM of 8 or 16 bits, mono or stereo, a
// sane rate, with its "data" chunk starting inside the buffer.
bool ParseWavHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, WavFormat* format);

#endif
