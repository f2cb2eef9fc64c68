// libFuzzer target: MP3 framing as the decoder walks a file: ID3v2 tags in
// front, the first frame, the Xing/Info frame, then frame after frame.
#include <stddef.h>
#include <stdint.h>

#include "mpegaudio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t pos = 0;
    while (pos < size) {
        uint64_t tag = Id3v2TagBytes(data + pos, size - pos);
        if (tag == 0)
            break;
        if (tag > size - pos) {  // damaged: the audio is looked for after its header
            pos += 10;
            break;
        }
        pos += static_cast<size_t>(tag);
    }
    size_t end = size >= pos + 128 && IsId3v1Tag(data + size - 128, 128) ? size - 128 : size;
    // Read as the first window of a longer file, then as the whole file:
    // a start found is a whole frame.
    MpegFrameHeader stream;
    size_t first = FindMpegStart(data + pos, end - pos, false, &stream);
    if (first < end - pos && first + stream.frameBytes > end - pos)
        __builtin_trap();
    first = FindMpegStart(data + pos, end - pos, true, &stream);
    if (first >= end - pos)
        return 0;
    if (stream.frameBytes == 0 || first + stream.frameBytes > end - pos)
        __builtin_trap();
    pos += first;
    MpegStreamInfo info;
    if (pos + stream.frameBytes <= end && ParseMpegInfoFrame(data + pos, stream.frameBytes, stream, &info))
        pos += stream.frameBytes;
    MpegFrameHeader frame;
    while (pos < end) {
        size_t at = pos;
        if (!NextMpegFrame(data, end, &at, &stream, &frame)) {
            pos = at + 1;
            continue;
        }
        if (frame.frameBytes == 0 || at + frame.frameBytes > end)
            __builtin_trap();
        pos = at + frame.frameBytes;
    }
    return 0;
}
