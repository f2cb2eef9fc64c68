// The one-shot stream: a file played once, for the hourly chime and the
// chime dialog's test.
#include "sound.h"

#include "streamslot.h"

static std::atomic<FSOUND_STREAM*> oneShotStream;
// Set by the end callback on the library's thread.
static std::atomic<bool> oneShotFinished;

bool OneShotFinished()
{
    return oneShotFinished;
}

bool TakeOneShotFinished()
{
    return oneShotFinished.exchange(false);
}

static signed char OneShotEndCallback(FSOUND_STREAM*, void*, int, void*)
{
    oneShotFinished = true;
    return TRUE;
}

bool PlayOneShot(const wchar_t* path)
{
    // Each one-shot in the slot holds one use of the library. This one's is
    // taken before the one before is closed and gives its use back, so the
    // library stays up between them.
    if (!InitFMOD())
        return false;
    if (CloseStreamSlot(oneShotStream))
        ReleaseFMOD();
    oneShotFinished = false;   // the closed one's callback has run by now
    char mbPath[MB_PATH_BYTES];
    ToMultibytePath(path, mbPath);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(mbPath, STREAM_MODE, 0, 0);
    if (stream == nullptr) {
        ReleaseFMOD();
        return false;
    }
    FSOUND_Stream_SetEndCallback(stream, OneShotEndCallback, nullptr);
    oneShotStream = stream;
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    return true;
}

void StopOneShot()
{
    FSOUND_STREAM* stream = oneShotStream;
    if (stream != nullptr)
        FSOUND_Stream_Stop(stream);
}

bool CloseOneShot()
{
    return CloseStreamSlot(oneShotStream);
}
