// The playback engine's shared part: the sound library's uses, the closing
// of a stream slot, path conversion and the device volume. Each kind of
// stream has a file of its own: alarmstream.cpp, mediastream.cpp,
// oneshot.cpp and preview.cpp.
#include "sound.h"

#include "streamslot.h"
#include "wavevolume.h"

#define FMOD_MIX_RATE        22050
#define FMOD_CHANNELS        32
#define INIT_ATTEMPTS        11
#define CLOSE_ATTEMPTS       6

// Only the window thread takes and gives back uses.
static DWORD fmodUseCount;

void ToMultibytePath(const wchar_t* path, char* mbPath)
{
    // The sound library takes UTF-8, which holds every name. A path that
    // cannot be converted whole opens nothing.
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, mbPath, MB_PATH_BYTES,
                            nullptr, nullptr) == 0)
        mbPath[0] = '\0';
}

// ---- the library ------------------------------------------------------------

bool InitFMOD()
{
    waveOutReset(nullptr);
    FSOUND_File_HasFatalErrorOccurred();
    FSOUND_HasPowerOnOccurred();
    FSOUND_SetOutput(FSOUND_OUTPUT_WINMM);
    if (fmodUseCount > 0) {
        fmodUseCount++;
        return true;
    }
    for (int attempt = 0; attempt < INIT_ATTEMPTS; attempt++) {
        if (attempt > 0)
            Sleep(100);
        if (FSOUND_Init(FMOD_MIX_RATE, FMOD_CHANNELS, 0)) {
            fmodUseCount++;
            return true;
        }
    }
    return false;
}

void ReleaseFMOD()
{
    if (fmodUseCount == 0)
        return;
    if (--fmodUseCount == 0)
        FSOUND_Close();
}

DWORD FmodUseCount()
{
    return fmodUseCount;
}

bool TestForPowerOn()
{
    return FSOUND_HasPowerOnOccurred() != 0;
}

void PauseAllSound(bool paused)
{
    FSOUND_SetPaused(FSOUND_ALL, paused ? TRUE : FALSE);
}

bool CloseStreamSlot(std::atomic<FSOUND_STREAM*>& slot)
{
    FSOUND_STREAM* stream = slot.exchange(nullptr);
    if (stream == nullptr)
        return false;
    for (int call = 0; call < CLOSE_ATTEMPTS; call++) {
        if (FSOUND_Stream_Close(stream))
            break;
        Sleep(200);
    }
    return true;
}

// ---- volume -------------------------------------------------------------------------

void SetVolumeLevel(DWORD level)
{
    // The low word is the left channel, the high word the right one; a
    // stored level above the top one plays at the top one.
    if (level > 10)
        level = 10;
    DWORD word = static_cast<DWORD>(static_cast<double>(level) * 10.0 * 655.35);
    SetWaveVolume(word | (word << 16));
}

void SetWaveVolume(DWORD value)
{
    SetDeviceVolume(value);
}

DWORD GetWaveVolume()
{
    DWORD value = 0;
    GetDeviceVolume(&value);
    return value;
}
