// MP3 through the system's ACM MPEG Layer-3 codec. Our own framing feeds it
// whole frames of one stream only: the ID3 tags, the leading Xing/Info frame
// and anything between frames never reach the codec, and the LAME encoder
// delay and padding are cut from what comes out.
#include "decoders.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <string.h>

#include "mpegaudio.h"

namespace {

// Frames handed to the codec per conversion, and the bytes read per block.
// The output has room for twice as many frames; what the codec holds back
// beyond that is fetched by converting again without new frames.
const size_t kFramesPerFeed = 8;
const size_t kReadBlock = 16384;
// Of a tag in front, at most this much is read for its fields.
const size_t kTagReadLimit = 1 << 20;
// The bytes searched for the first frame.
const size_t kHeadBytes = 64 * 1024;

struct Mp3Decoder : SoundDecoder {
    SoundFile file;
    uint64_t audioStart = 0;
    uint64_t audioEnd = 0;
    MpegFrameHeader stream = {};
    MpegStreamInfo info = {};

    HACMSTREAM acm = nullptr;
    ACMSTREAMHEADER header = {};
    bool prepared = false;
    std::vector<uint8_t> feed;     // whole frames waiting for the codec
    size_t feedBytes = 0;
    std::vector<uint8_t> pcmBuffer;
    size_t pcmFrameBytes = 0;      // the output of one frame

    std::vector<uint8_t> input;    // bytes read, not yet framed
    size_t inputPos = 0;
    uint64_t readPos = 0;
    bool inputEnded = false;
    bool framesEnded = false;      // every frame has gone into the feed
    bool outputFull = false;       // the last conversion had no room for more
    bool finished = false;         // the codec gave its last

    std::vector<short> pcm;        // decoded, not yet handed out
    size_t pcmPos = 0;
    // Of the codec's output (counted in frames from the start of a pass),
    // the encoder delay before trimStart and the padding from trimEnd to
    // partEnd are cut. Anything after partEnd, where a second file was
    // joined on, plays as it comes, as the reference decoder does.
    uint64_t outPos = 0;
    uint64_t trimStart = 0;
    uint64_t trimEnd = 0;
    uint64_t partEnd = 0;

    ~Mp3Decoder() override { CloseCodec(); }

    bool OpenCodec()
    {
        MPEGLAYER3WAVEFORMAT source = {};
        source.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        source.wfx.nChannels = static_cast<WORD>(stream.channels);
        source.wfx.nSamplesPerSec = static_cast<DWORD>(stream.rate);
        source.wfx.nAvgBytesPerSec = static_cast<DWORD>(stream.bitrateKbps * 125);
        source.wfx.nBlockAlign = 1;
        source.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        source.wID = MPEGLAYER3_ID_MPEG;
        source.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
        source.nBlockSize = static_cast<WORD>(stream.frameBytes);
        source.nFramesPerBlock = 1;
        WAVEFORMATEX target = { WAVE_FORMAT_PCM, static_cast<WORD>(stream.channels),
                                static_cast<DWORD>(stream.rate),
                                static_cast<DWORD>(stream.rate * stream.channels * 2),
                                static_cast<WORD>(stream.channels * 2), 16, 0 };
        if (acmStreamOpen(&acm, nullptr, &source.wfx, &target, nullptr, 0, 0,
                          ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
            acm = nullptr;
            return false;
        }
        feed.assign(2 * kFramesPerFeed * MPEG_MAX_FRAME_BYTES, 0);
        pcmFrameBytes = static_cast<size_t>(stream.samples * stream.channels) * sizeof(short);
        pcmBuffer.assign(2 * kFramesPerFeed * pcmFrameBytes, 0);
        header = {};
        header.cbStruct = sizeof(header);
        header.pbSrc = feed.data();
        header.cbSrcLength = static_cast<DWORD>(feed.size());
        header.pbDst = pcmBuffer.data();
        header.cbDstLength = static_cast<DWORD>(pcmBuffer.size());
        if (acmStreamPrepareHeader(acm, &header, 0) != MMSYSERR_NOERROR) {
            CloseCodec();
            return false;
        }
        prepared = true;
        return true;
    }

    void CloseCodec()
    {
        if (acm == nullptr)
            return;
        if (prepared) {
            header.cbSrcLength = static_cast<DWORD>(feed.size());
            header.cbDstLength = static_cast<DWORD>(pcmBuffer.size());
            acmStreamUnprepareHeader(acm, &header, 0);
        }
        prepared = false;
        acmStreamClose(acm, 0);
        acm = nullptr;
    }

    void Restart()
    {
        input.clear();
        inputPos = 0;
        readPos = audioStart;
        inputEnded = false;
        framesEnded = false;
        outputFull = false;
        finished = false;
        feedBytes = 0;
        pcm.clear();
        pcmPos = 0;
        outPos = 0;
        trimStart = trimEnd = partEnd = 0;
        if (info.gapless) {
            trimStart = static_cast<uint64_t>(info.encoderDelay) + MPEG_DECODER_DELAY;
            trimEnd = partEnd = UINT64_MAX;
            if (info.frames > 0) {
                partEnd = static_cast<uint64_t>(info.frames) * stream.samples;
                uint64_t end = partEnd + MPEG_DECODER_DELAY;
                trimEnd = end > static_cast<uint64_t>(info.encoderPadding) ? end - info.encoderPadding : 0;
                trimEnd = trimEnd > trimStart ? trimEnd : trimStart;
                partEnd = partEnd > trimEnd ? partEnd : trimEnd;
            }
        }
    }

    // Reads the next block of the audio into `input`, keeping what is left.
    bool ReadBlock()
    {
        if (inputEnded)
            return false;
        input.erase(input.begin(), input.begin() + static_cast<ptrdiff_t>(inputPos));
        inputPos = 0;
        uint64_t left = audioEnd > readPos ? audioEnd - readPos : 0;
        size_t want = static_cast<size_t>(left < kReadBlock ? left : kReadBlock);
        size_t kept = input.size();
        input.resize(kept + want);
        size_t got = want > 0 ? file.ReadAt(readPos, input.data() + kept, want) : 0;
        input.resize(kept + got);
        readPos += got;
        if (got == 0)
            inputEnded = true;
        return got > 0;
    }

    // Adds up to kFramesPerFeed whole frames to the feed; false when no
    // frame is left.
    bool FillFeed()
    {
        size_t added = 0;
        while (added < kFramesPerFeed && feedBytes + MPEG_MAX_FRAME_BYTES <= feed.size()) {
            MpegFrameHeader frame;
            size_t pos = inputPos;
            if (NextMpegFrame(input.data(), input.size(), &pos, &stream, &frame)) {
                memcpy(feed.data() + feedBytes, input.data() + pos, frame.frameBytes);
                feedBytes += frame.frameBytes;
                inputPos = pos + frame.frameBytes;
                added++;
                continue;
            }
            inputPos = pos;
            if (ReadBlock())
                continue;
            // At the end a frame cut short is not audio: step past its header.
            if (inputPos + 4 <= input.size()) {
                inputPos++;
                continue;
            }
            return false;
        }
        return true;
    }

    // Runs the codec once; false when nothing more will come out.
    bool Decode()
    {
        if (finished)
            return false;
        bool draining = outputFull;
        if (!draining && !framesEnded)
            framesEnded = !FillFeed();
        // With every frame given, the codec is told so and emptied.
        bool flush = framesEnded && feedBytes == 0;
        header.cbSrcLength = static_cast<DWORD>(feedBytes);
        header.cbDstLength = static_cast<DWORD>(pcmBuffer.size());
        header.cbSrcLengthUsed = 0;
        header.cbDstLengthUsed = 0;
        DWORD flags = flush ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN;
        if (acmStreamConvert(acm, &header, flags) != MMSYSERR_NOERROR) {
            finished = true;
            return false;
        }
        size_t used = header.cbSrcLengthUsed < feedBytes ? header.cbSrcLengthUsed : feedBytes;
        size_t got = header.cbDstLengthUsed < pcmBuffer.size() ? header.cbDstLengthUsed : pcmBuffer.size();
        memmove(feed.data(), feed.data() + used, feedBytes - used);
        feedBytes -= used;
        outputFull = got + pcmFrameBytes > pcmBuffer.size();
        if (flush && !outputFull)
            finished = true;
        const short* decoded = reinterpret_cast<const short*>(pcmBuffer.data());
        pcm.erase(pcm.begin(), pcm.begin() + static_cast<ptrdiff_t>(pcmPos));
        pcmPos = 0;
        pcm.insert(pcm.end(), decoded, decoded + got / sizeof(short));
        if (got == 0 && used == 0 && !draining && !flush) {
            // A codec that takes no more of the last frames: flush it.
            if (!framesEnded)
                return false;
            feedBytes = 0;
        }
        return true;
    }

    size_t Read(short* out, size_t frames) override
    {
        size_t done = 0;
        size_t width = static_cast<size_t>(channels);
        while (done < frames) {
            size_t available = (pcm.size() - pcmPos) / width;
            if (available == 0) {
                if (!Decode())
                    break;
                continue;
            }
            // The run from outPos that is all kept or all cut.
            bool keep;
            uint64_t runEnd;
            if (outPos < trimStart) {
                keep = false;
                runEnd = trimStart;
            } else if (outPos < trimEnd) {
                keep = true;
                runEnd = trimEnd;
            } else if (outPos < partEnd) {
                keep = false;
                runEnd = partEnd;
            } else {
                keep = true;
                runEnd = UINT64_MAX;
            }
            size_t take = available;
            if (runEnd - outPos < take)
                take = static_cast<size_t>(runEnd - outPos);
            if (keep) {
                take = frames - done < take ? frames - done : take;
                memcpy(out + done * width, pcm.data() + pcmPos, take * width * sizeof(short));
                done += take;
            }
            pcmPos += take * width;
            outPos += take;
        }
        return done;
    }

    bool Rewind() override
    {
        // A fresh codec forgets the frames of the pass before.
        CloseCodec();
        if (!OpenCodec())
            return false;
        Restart();
        return true;
    }

    bool ReadFailed() const override { return file.failed; }
};

} // namespace

SoundDecoder* OpenMp3Decoder(const SoundSource& source)
{
    Mp3Decoder* decoder = new Mp3Decoder;
    SoundFile& file = decoder->file;
    if (!file.Open(source)) {
        delete decoder;
        return nullptr;
    }

    // Tags in front: one or more ID3v2 tags; their text frames are read
    // from the first kTagReadLimit bytes of each.
    uint64_t pos = 0;
    for (;;) {
        uint8_t tagHeader[10];
        if (file.ReadAt(pos, tagHeader, sizeof(tagHeader)) != sizeof(tagHeader))
            break;
        uint64_t tagBytes = Id3v2TagBytes(tagHeader, sizeof(tagHeader));
        if (tagBytes == 0)
            break;
        size_t readBytes = static_cast<size_t>(tagBytes < kTagReadLimit ? tagBytes : kTagReadLimit);
        std::vector<uint8_t> tag(readBytes);
        readBytes = file.ReadAt(pos, tag.data(), readBytes);
        ReadId3v2Frames(tag.data(), readBytes, &decoder->tags);
        // A tag that claims more than the file holds is damaged: the audio
        // is found by its frames after the tag's header.
        if (tagBytes > file.size - pos) {
            pos += 10;
            break;
        }
        pos += tagBytes;
    }

    // An ID3v1 tag at the end is not audio; its fields go before the ID3v2
    // ones, so that a full ID3v2 text wins over the cut one of ID3v1.
    decoder->audioEnd = file.size;
    if (file.size >= pos + 128) {
        uint8_t tail[128];
        if (file.ReadAt(file.size - 128, tail, sizeof(tail)) == sizeof(tail) && IsId3v1Tag(tail, 128)) {
            std::vector<SoundTag> v1;
            ReadId3v1Fields(tail, sizeof(tail), &v1);
            decoder->tags.insert(decoder->tags.begin(), v1.begin(), v1.end());
            decoder->audioEnd = file.size - 128;
        }
    }

    // The first frame, and whether it is the Xing/Info frame.
    std::vector<uint8_t> head(kHeadBytes);
    size_t headBytes = 0;
    uint64_t left = decoder->audioEnd > pos ? decoder->audioEnd - pos : 0;
    if (left > 0)
        headBytes = file.ReadAt(pos, head.data(), static_cast<size_t>(left < head.size() ? left : head.size()));
    size_t first = FindMpegStart(head.data(), headBytes, headBytes == left, &decoder->stream);
    if (first >= headBytes) {
        delete decoder;
        return nullptr;
    }
    decoder->audioStart = pos + first;
    size_t frameBytes = decoder->stream.frameBytes;
    if (first + frameBytes <= headBytes
        && ParseMpegInfoFrame(head.data() + first, frameBytes, decoder->stream, &decoder->info))
        decoder->audioStart += frameBytes;
    else
        decoder->info = {};

    decoder->rate = decoder->stream.rate;
    decoder->channels = decoder->stream.channels;
    if (!decoder->Rewind()) {
        delete decoder;
        return nullptr;
    }
    return decoder;
}
