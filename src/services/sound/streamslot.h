// What the engine's stream kinds share: the open modes, path conversion
// and the closing of a slot. Only the engine's own files include this.
#ifndef WAKELOOM_STREAMSLOT_H
#define WAKELOOM_STREAMSLOT_H

#include <atomic>

#include "fsound.h"

#define STREAM_MODE          (FSOUND_NORMAL)
#define STREAM_MODE_LOOPING  (FSOUND_NORMAL | FSOUND_LOOP_NORMAL)
#define OPEN_ATTEMPTS        6
// Room for any path in UTF-8: at most three bytes for each UTF-16 unit.
#define MB_PATH_BYTES        (3 * MAX_PATH)

// The path as the sound library takes it; empty when it cannot be converted.
void ToMultibytePath(const wchar_t* path, char* mbPath);
// Closes the slot's stream; false when it held none.
bool CloseStreamSlot(std::atomic<FSOUND_STREAM*>& slot);

#endif
