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

// Where a decoder reads: a file named in UTF-8, or bytes in memory that
// outlive the decoder.
struct SoundSource {
    const char* fileName = nullptr;
    const uint8_t* bytes = nullptr;
    size_t length = 0;
};

// A file (or bytes in memory) read at explicit offsets.
struct SoundFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    const uint8_t* bytes = nullptr;
    uint64_t size = 0;
    // A read failed, or gave less than the file held when it was opened.
    bool failed = false;

    // Only files on a disk open: a device (CON, NUL) or a folder does not.
    bool Open(const SoundSource& source);
    // Bytes read (fewer at the end of the file).
    size_t ReadAt(uint64_t offset, void* buffer, size_t count);
    // True when the file now holds less than when it was opened.
    bool Shrunk() const;
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
    // True, and from then on, when the file could no longer be read or no
    // longer held what it did at open.
    virtual bool ReadFailed() const = 0;
};

// Null when the source is not of the decoder's kind or is unusable.
SoundDecoder* OpenWavDecoder(const SoundSource& source);
SoundDecoder* OpenMp3Decoder(const SoundSource& source);
SoundDecoder* OpenOggDecoder(const SoundSource& source);
// Chooses the decoder from the first bytes. A source that gives no sound a
// person could hear is refused, as are more than WAV_MAX_CHANNELS channels.
SoundDecoder* OpenSoundDecoder(const SoundSource& source);
SoundDecoder* OpenSoundDecoder(const char* fileName);

#endif
