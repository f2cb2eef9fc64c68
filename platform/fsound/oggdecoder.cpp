// OGG Vorbis through stb_vorbis. Every channel is decoded as it is (its own
// mix down of more than two is broken); the stream mixes them. Of a chained
// file the first stream plays.
#include "decoders.h"

#include <stdio.h>
#include <string.h>

#include "vorbisheaders.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

// The bytes first read for the headers, and the most read for them (a
// comment header may hold a picture).
const size_t kHeadBytes = 64 * 1024;
const size_t kHeadLimit = 16 * 1024 * 1024;
// The decoder allocates from a buffer of ours only, so that nothing it
// loses on a damaged setup header outlives the buffer. It is grown while
// the decoder reports it too small.
const size_t kVorbisMemory = 512 * 1024;
const size_t kVorbisMemoryLimit = 32 * 1024 * 1024;

struct OggDecoder : SoundDecoder {
    stb_vorbis* vorbis = nullptr;
    std::vector<char> memory;
    bool ended = false;
    // Kept open to see the file cut while it plays: the Vorbis decoder
    // takes that for the end.
    SoundFile file;
    bool failed = false;

    ~OggDecoder() override
    {
        if (vorbis != nullptr)
            stb_vorbis_close(vorbis);
    }

    size_t Read(short* out, size_t frames) override
    {
        if (ended)
            return 0;
        size_t done = 0;
        while (done < frames) {
            int want = static_cast<int>((frames - done) * channels);
            int got = stb_vorbis_get_samples_short_interleaved(vorbis, channels,
                                                               out + done * channels, want);
            if (got <= 0) {
                ended = true;
                failed = failed || file.Shrunk();
                break;
            }
            done += static_cast<size_t>(got);
        }
        return done;
    }

    bool Rewind() override
    {
        ended = false;
        return stb_vorbis_seek_start(vorbis) != 0;
    }

    bool ReadFailed() const override { return failed; }
};

} // namespace

SoundDecoder* OpenOggDecoder(const SoundSource& source)
{
    OggDecoder* decoder = new OggDecoder;
    SoundFile& file = decoder->file;
    if (!file.Open(source)) {
        delete decoder;
        return nullptr;
    }
    // Our own check of the headers first, over as much of the file's start
    // as they take.
    VorbisHeaderInfo info = {};
    std::vector<uint8_t> head;
    for (size_t want = kHeadBytes;; want *= 4) {
        size_t bytes = static_cast<size_t>(file.size < want ? file.size : want);
        head.resize(bytes);
        bytes = file.ReadAt(0, head.data(), bytes);
        VorbisHeaderCheck check = CheckVorbisHeaders(head.data(), bytes, &info);
        if (check == VORBIS_HEADERS_GOOD)
            break;
        if (check == VORBIS_HEADERS_BAD || bytes >= file.size || want >= kHeadLimit) {
            delete decoder;
            return nullptr;
        }
    }

    std::wstring wide;
    if (source.bytes == nullptr && !WideFileName(source.fileName, &wide)) {
        delete decoder;
        return nullptr;
    }
    for (size_t bytes = kVorbisMemory; decoder->vorbis == nullptr; bytes *= 2) {
        decoder->memory.assign(bytes, 0);
        stb_vorbis_alloc alloc = { decoder->memory.data(), static_cast<int>(bytes) };
        int error = 0;
        if (source.bytes != nullptr) {
            decoder->vorbis = stb_vorbis_open_memory(source.bytes, static_cast<int>(source.length),
                                                     &error, &alloc);
        } else {
            FILE* stdioFile = _wfopen(wide.c_str(), L"rb");
            if (stdioFile == nullptr)
                break;
            // The decoder owns the file from here, and closes it also when it fails.
            decoder->vorbis = stb_vorbis_open_file(stdioFile, 1, &error, &alloc);
        }
        if (error != VORBIS_outofmem || bytes >= kVorbisMemoryLimit)
            break;
    }
    if (decoder->vorbis == nullptr) {
        delete decoder;
        return nullptr;
    }
    stb_vorbis_info stbInfo = stb_vorbis_get_info(decoder->vorbis);
    if (stbInfo.channels != info.channels || static_cast<int>(stbInfo.sample_rate) != info.rate) {
        delete decoder;
        return nullptr;
    }
    decoder->rate = info.rate;
    decoder->channels = info.channels;
    stb_vorbis_comment comments = stb_vorbis_get_comment(decoder->vorbis);
    for (int i = 0; i < comments.comment_list_length; i++) {
        SoundTag tag;
        const char* text = comments.comment_list[i];
        if (text != nullptr && SplitVorbisComment(text, strlen(text), &tag))
            decoder->tags.push_back(std::move(tag));
    }
    return decoder;
}
