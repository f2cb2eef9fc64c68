// OGG Vorbis through stb_vorbis.
#include "decoders.h"

#include <stdio.h>
#include <string.h>

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

namespace {

struct OggDecoder : SoundDecoder {
    stb_vorbis* vorbis = nullptr;
    bool ended = false;

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

    bool ReadFailed() const override { return false; }
};

} // namespace

SoundDecoder* OpenOggDecoder(const char* fileName)
{
    std::wstring wide;
    if (!WideFileName(fileName, &wide))
        return nullptr;
    FILE* file = _wfopen(wide.c_str(), L"rb");
    if (file == nullptr)
        return nullptr;
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_file(file, 1, &error, nullptr);
    if (vorbis == nullptr) {
        fclose(file);
        return nullptr;
    }
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if (info.channels < 1 || info.sample_rate < 1000
        || info.sample_rate > 192000) {
        stb_vorbis_close(vorbis);
        return nullptr;
    }
    OggDecoder* decoder = new OggDecoder;
    decoder->vorbis = vorbis;
    decoder->rate = static_cast<int>(info.sample_rate);
    // stb_vorbis mixes more channels down to the two asked for.
    decoder->channels = info.channels > 2 ? 2 : info.channels;
    stb_vorbis_comment comments = stb_vorbis_get_comment(vorbis);
    for (int i = 0; i < comments.comment_list_length; i++) {
        SoundTag tag;
        const char* text = comments.comment_list[i];
        if (text != nullptr && SplitVorbisComment(text, strlen(text), &tag))
            decoder->tags.push_back(std::move(tag));
    }
    return decoder;
}
