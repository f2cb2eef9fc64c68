// The RIFF/WAVE header: where the samples of a file are and how they are
// laid out. Pure code over a byte buffer (no Windows), so it is fuzzed.
#ifndef WAKELOOM_WAVHEADER_H
#define WAKELOOM_WAVHEADER_H

#include <stddef.h>
#include <stdint.h>

enum WavEncoding {
    WAV_PCM,     // 8 bits unsigned; 16, 24 or 32 bits signed
    WAV_FLOAT,   // IEEE float of 32 or 64 bits
    WAV_ALAW,    // G.711, 8 bits
    WAV_MULAW,   // G.711, 8 bits
};

#define WAV_MAX_CHANNELS 8

struct WavFormat {
    int channels;          // 1 to WAV_MAX_CHANNELS
    int rate;              // frames per second
    int bits;              // of one sample as stored
    int encoding;          // a WavEncoding
    uint64_t dataOffset;   // file offset of the first sample
    uint64_t dataBytes;    // whole frames only, cut to the file's size
};

// Reads the header from the first `size` bytes of a file of `fileSize`
// bytes. False for any other encoding (ADPCM among them), more channels, a
// rate outside 1000 to 192000, or a "data" chunk that does not start
// inside the buffer.
bool ParseWavHeader(const uint8_t* bytes, size_t size, uint64_t fileSize, WavFormat* format);

#endif
