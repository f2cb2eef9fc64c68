// MPEG-1/2/2.5 Layer III framing: frame headers, the tags around the audio
// (ID3v2 in front, ID3v1 at the end) and the Xing/Info frame with the LAME
// encoder delay and padding. Pure code over byte buffers, so it is fuzzed.
#ifndef WAKELOOM_MPEGAUDIO_H
#define WAKELOOM_MPEGAUDIO_H

#include <stddef.h>
#include <stdint.h>

struct MpegFrameHeader {
    int version;           // 1 (MPEG-1), 2 (MPEG-2) or 25 (MPEG-2.5)
    int bitrateKbps;       // rounded down for a free-format stream
    int rate;
    int channels;
    bool crc;              // a 16-bit CRC follows the header
    uint32_t frameBytes;   // header included
    int samples;           // per channel
    uint32_t sideInfoBytes;
    uint32_t freeBytes;    // a free-format stream's frame size without padding, else 0
};

// The largest frame taken, free format included (640 kbit/s at 32 kHz).
#define MPEG_MAX_FRAME_BYTES 2881

// Decoder delay of a Layer III decoder, in samples, on top of the encoder's.
#define MPEG_DECODER_DELAY 529

// Parses 4 bytes. Layer III with a known rate only; a free-format frame
// (no bitrate) only when its stream's frame size `freeBytes` is given.
bool ParseMpegFrameHeader(const uint8_t* p, MpegFrameHeader* header, uint32_t freeBytes = 0);
// Frames of one stream share version, rate, channel count and free format.
bool SameMpegStream(const MpegFrameHeader& a, const MpegFrameHeader& b);

// Size of the ID3v2 tag at p (header, body and footer), or 0 when p does
// not start one. Needs the 10 header bytes.
uint64_t Id3v2TagBytes(const uint8_t* p, size_t size);
// True when the 128 bytes at p are an ID3v1 tag.
bool IsId3v1Tag(const uint8_t* p, size_t size);

// What the Xing/Info (or VBRI) frame in front of the audio tells.
struct MpegStreamInfo {
    uint32_t frames;       // audio frames after it, 0 when not told
    bool gapless;          // delay and padding are known
    int encoderDelay;
    int encoderPadding;
};
// True when the frame at p (frameBytes long) is such a frame rather than
// audio; it is then not to be decoded.
bool ParseMpegInfoFrame(const uint8_t* p, size_t size, const MpegFrameHeader& header,
                        MpegStreamInfo* info);

// Finds the next frame from *pos: a valid header of the stream `locked`
// (any stream when locked is null) whose whole frame lies in the buffer.
// Bytes that cannot start such a frame are stepped over. True with *pos at
// the frame; false with *pos at the first byte that more data could still
// make into a frame (the caller keeps the bytes from there).
bool NextMpegFrame(const uint8_t* p, size_t size, size_t* pos, const MpegFrameHeader* locked,
                   MpegFrameHeader* header);

// Finds where the audio of a stream begins in the bytes after the ID3v2
// tags: a frame followed by two more of the same stream. The run may end
// early only at the end of the file (`atEnd`: the buffer holds the rest of
// the file), and only after a whole frame. Returns size when there is none.
size_t FindMpegStart(const uint8_t* p, size_t size, bool atEnd, MpegFrameHeader* header);

#endif
