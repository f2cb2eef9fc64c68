// libFuzzer target: ID3v2 frames, ID3v1 fields and Vorbis comments, and the
// track texts made of them.
#include <stddef.h>
#include <stdint.h>

#include "soundtags.h"
#include "tagtext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<SoundTag> tags;
    ReadId3v2Frames(data, size, &tags);
    for (const SoundTag& tag : tags) {
        if (tag.value.empty() || tag.value.size() > size)
            __builtin_trap();
        WCHAR text[TRACK_TEXT_UNITS];
        ConvertTagText(tag.type, reinterpret_cast<const char*>(tag.value.data()),
                       static_cast<int>(tag.value.size()), text);
    }
    ReadId3v1Fields(data, size, &tags);
    SoundTag comment;
    SplitVorbisComment(reinterpret_cast<const char*>(data), size, &comment);
    return 0;
}
