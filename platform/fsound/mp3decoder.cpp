// MP3 through the system's ACM MPEG Layer-3 codec. Our own framing feeds it
// whole frames of one stream only: the ID3 tags, the Xing/Info frame and
// anything between frames never reach the codec, and the LAME encoder delay
// and padding are cut from what comes out.
#include "decoders.h"

#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
#include <string.h>

#include "mpegaudio.h"

namespace {

// Frames handed to the codec per conversion, and the bytes read per block.
const size_t kFramesPerFeed = 8;
const size_t kReadBlock = 16384;
// Of a tag in front, at most this much is read for its fields.
const size_t kTagReadLimit = 1 << 20;
// The largest frame, free format included.
const size_t kMaxFrameBytes = MPEG_MAX_FRAME_BYTES;
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

    std::vector<uint8_t> input;    // bytes read, not yet framed
    size_t inputPos = 0;
    uint64_t readPos = 0;
    bool inputEnded = false;
    bool flushed = false;

    std::vector<short> pcm;        // decoded, not yet handed out
    size_t pcmPos = 0;
    uint64_t skipFrames = 0;       // still to cut at the start
    uint64_t framesLeft = 0;       // still to hand out, when the length is known
    bool lengthKnown = false;

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
        feed.assign(kFramesPerFeed * kMaxFrameBytes, 0);
        // Room for the frames fed and as much again held back by the codec.
        pcmBuffer.assign(2 * kFramesPerFeed * 1152 * 2 * sizeof(short), 0);
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
        flushed = false;
        feedBytes = 0;
        pcm.clear();
        pcmPos = 0;
        skipFrames = info.gapless ? static_cast<uint64_t>(info.encoderDelay) + MPEG_DECODER_DELAY : 0;
        lengthKnown = info.gapless && info.frames > 0;
        if (lengthKnown) {
            uint64_t total = static_cast<uint64_t>(info.frames) * stream.samples;
            uint64_t cut = static_cast<uint64_t>(info.encoderDelay) + info.encoderPadding;
            framesLeft = total > cut ? total - cut : 0;
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

    // Gathers whole frames into the feed; false when no frame is left.
    bool FillFeed()
    {
        while (feedBytes + kMaxFrameBytes <= feed.size()) {
            MpegFrameHeader frame;
            size_t pos = inputPos;
            if (NextMpegFrame(input.data(), input.size(), &pos, &stream, &frame)) {
                memcpy(feed.data() + feedBytes, input.data() + pos, frame.frameBytes);
                feedBytes += frame.frameBytes;
                inputPos = pos + frame.frameBytes;
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
            break;
        }
        return feedBytes > 0;
    }

    // Runs the codec once; false when it has nothing more to give.
    bool Decode()
    {
        bool haveFrames = FillFeed();
        if (!haveFrames && flushed)
            return false;
        header.cbSrcLength = static_cast<DWORD>(feedBytes);
        header.cbDstLength = static_cast<DWORD>(pcmBuffer.size());
        header.cbSrcLengthUsed = 0;
        header.cbDstLengthUsed = 0;
        DWORD flags = haveFrames ? ACM_STREAMCONVERTF_BLOCKALIGN : ACM_STREAMCONVERTF_END;
        if (acmStreamConvert(acm, &header, flags) != MMSYSERR_NOERROR)
            return false;
        if (!haveFrames)
            flushed = true;
        size_t used = header.cbSrcLengthUsed < feedBytes ? header.cbSrcLengthUsed : feedBytes;
        memmove(feed.data(), feed.data() + used, feedBytes - used);
        feedBytes -= used;
        size_t samples = header.cbDstLengthUsed / sizeof(short);
        const short* decoded = reinterpret_cast<const short*>(pcmBuffer.data());
        pcm.erase(pcm.begin(), pcm.begin() + static_cast<ptrdiff_t>(pcmPos));
        pcmPos = 0;
        pcm.insert(pcm.end(), decoded, decoded + samples);
        // A codec that neither takes input nor gives output is stuck.
        return samples > 0 || (haveFrames && used > 0);
    }

    size_t Read(short* out, size_t frames) override
    {
        size_t done = 0;
        while (done < frames) {
            if (lengthKnown && framesLeft == 0)
                break;
            size_t available = (pcm.size() - pcmPos) / static_cast<size_t>(channels);
            if (available == 0) {
                if (!Decode())
                    break;
                continue;
            }
            if (skipFrames > 0) {
                size_t skip = static_cast<size_t>(skipFrames < available ? skipFrames : available);
                pcmPos += skip * static_cast<size_t>(channels);
                skipFrames -= skip;
                continue;
            }
            size_t take = frames - done < available ? frames - done : available;
            if (lengthKnown && take > framesLeft)
                take = static_cast<size_t>(framesLeft);
            memcpy(out + done * channels, pcm.data() + pcmPos, take * channels * sizeof(short));
            pcmPos += take * static_cast<size_t>(channels);
            done += take;
            if (lengthKnown)
                framesLeft -= take;
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

SoundDecoder* OpenMp3Decoder(const char* fileName)
{
    Mp3Decoder* decoder = new Mp3Decoder;
    SoundFile& file = decoder->file;
    if (!file.Open(fileName)) {
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
