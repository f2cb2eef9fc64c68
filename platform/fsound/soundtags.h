// Tag fields of sound files as the sound library hands them out: a type, a
// name and the raw value. ID3v2 text frames (v2.2, v2.3, v2.4) keep their
// encoding byte in front; ID3v1 and Vorbis comment values are plain text.
// Pure code over byte buffers, so it is fuzzed.
#ifndef WAKELOOM_SOUNDTAGS_H
#define WAKELOOM_SOUNDTAGS_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The library's tag field types.
#define SOUND_TAG_VORBISCOMMENT 0
#define SOUND_TAG_ID3V1         1
#define SOUND_TAG_ID3V2         2

struct SoundTag {
    int type;
    std::string name;
    std::vector<uint8_t> value;
};

// Appends the text frames of the ID3v2 tag that starts at p ("ID3" header
// included). A tag cut short by `size` yields the frames that fit; ID3v2.2
// names of title, artist and album come out as their v2.3 names.
void ReadId3v2Frames(const uint8_t* p, size_t size, std::vector<SoundTag>* tags);
// Appends the non-empty title, artist, album, year and comment of the
// 128-byte ID3v1 tag at p.
void ReadId3v1Fields(const uint8_t* p, size_t size, std::vector<SoundTag>* tags);
// Splits a Vorbis comment "NAME=value" into a field; false without "=".
bool SplitVorbisComment(const char* comment, size_t length, SoundTag* tag);

#endif
