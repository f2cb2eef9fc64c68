// The decoders behind the streams: each turns one file into interleaved
// 16-bit PCM at the file's own rate and channel count.
#ifndef WAKELOOM_DECODERS_H
#define WAKELOOM_DECODERS_H

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "soundtags.h"

// File names come as UTF-8 and are opened through the wide API, so that
// every name the file system can hold opens. False when the name is not
// UTF-8.
bool WideFileName(const char* fileName, std::wstring* wide);

// A file read at explicit offsets.
struct SoundFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    uint64_t size = 0;
    bool failed = false;  // a read failed after the file was opened

    bool Open(const char* fileName);
    // Bytes read (fewer at the end of the file).
    size_t ReadAt(uint64_t offset, void* buffer, size_t count);
    void Close();
    ~SoundFile() { Close(); }
};

struct SoundDecoder {
    int rate = 0;
    int channels = 0;
    std::vector<SoundTag> tags;

    virtual ~SoundDecoder() {}
    // Up to `frames` frames; 0 at the end or on a read failure.
    virtual size_t Read(short* out, size_t frames) = 0;
    // Back to the first frame.
    virtual bool Rewind() = 0;
    // True when the file could no longer be read.
    virtual bool ReadFailed() const = 0;
};

// Null when the file is not of the decoder's kind or is unusable.
SoundDecoder* OpenWavDecoder(const char* fileName);
SoundDecoder* OpenMp3Decoder(const char* fileName);
SoundDecoder* OpenOggDecoder(const char* fileName);
// Chooses the decoder from the file's first bytes. A file that gives no
// sound at all is refused.
SoundDecoder* OpenSoundDecoder(const char* fileName);

#endif
