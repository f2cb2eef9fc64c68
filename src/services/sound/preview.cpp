// The volume preview of the Set Alarms dialog: one short sound at the
// device volume, replacing the one before.
#include "sound.h"

#include "streamslot.h"

static std::atomic<FSOUND_STREAM*> previewStream;
static bool previewUsesLibrary;

bool PlayPreviewSound(const wchar_t* path)
{
    CloseStreamSlot(previewStream);
    if (!previewUsesLibrary)
        previewUsesLibrary = InitFMOD();
    char mbPath[MB_PATH_BYTES];
    ToMultibytePath(path, mbPath);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(mbPath, STREAM_MODE, 0, 0);
    if (stream == nullptr)
        return false;
    previewStream = stream;
    return FSOUND_Stream_Play(FSOUND_FREE, stream) >= 0;
}

void StopPreviewSound()
{
    CloseStreamSlot(previewStream);
    if (previewUsesLibrary)
        ReleaseFMOD();
    previewUsesLibrary = false;
}
