// The track texts made of a sound file's tag fields. Pure code over the raw
// field values the sound library hands out.
#ifndef WAKELOOM_TAGTEXT_H
#define WAKELOOM_TAGTEXT_H

#include "portable.h"

// Title, artist and album: 255 units, terminator included.
#define TRACK_TEXT_UNITS 255

// Converts a field's value (`length` bytes) into `text`. ID3v2 values begin
// with their encoding: 0 is Latin-1, 1 UTF-16 in the byte order its mark
// names (little-endian without one; the mark is dropped), others are not
// taken. ID3v1 values are Latin-1 and Vorbis comments UTF-8 (Latin-1 when they are not valid UTF-8). True when
// the text has at least one character.
bool ConvertTagText(int type, const char* value, int length, WCHAR text[TRACK_TEXT_UNITS]);

#endif
