#include "wavevolume.h"

#include <mmsystem.h>

#include <atomic>
#include <mutex>

namespace {

std::mutex gVolumeLock;
HWAVEOUT gVolumeHandle;
std::atomic<bool> gPerStream;
std::atomic<DWORD> gVolumeWord{ 0xFFFFFFFF };

// A stereo handle that never plays: its volume word is the device's.
HWAVEOUT VolumeHandle()
{
    if (gVolumeHandle == nullptr) {
        WAVEFORMATEX format = { WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0 };
        if (waveOutOpen(&gVolumeHandle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL)
            != MMSYSERR_NOERROR)
            gVolumeHandle = nullptr;
    }
    return gVolumeHandle;
}

// Calls `access` (waveOutSetVolume or waveOutGetVolume) with the null
// handle, or with our own handle where the null handle is refused; the word
// is then remembered for the streams.
MMRESULT AccessVolume(MMRESULT (WINAPI* access)(HWAVEOUT, DWORD*), DWORD* volume)
{
    if (!gPerStream) {
        MMRESULT result = access(nullptr, volume);
        if (result != MMSYSERR_INVALHANDLE)
            return result;
    }
    std::lock_guard<std::mutex> hold(gVolumeLock);
    HWAVEOUT handle = VolumeHandle();
    if (handle == nullptr)
        return MMSYSERR_NODRIVER;
    MMRESULT result = access(handle, volume);
    if (result == MMSYSERR_NOERROR) {
        gVolumeWord = *volume;
        gPerStream = true;
    }
    return result;
}

MMRESULT WINAPI SetVolumeWord(HWAVEOUT handle, DWORD* volume)
{
    return waveOutSetVolume(handle, *volume);
}

} // namespace

MMRESULT SetDeviceVolume(DWORD volume)
{
    return AccessVolume(SetVolumeWord, &volume);
}

MMRESULT GetDeviceVolume(DWORD* volume)
{
    return AccessVolume(waveOutGetVolume, volume);
}

bool DeviceVolumeIsPerStream(DWORD* volume)
{
    *volume = gVolumeWord;
    return gPerStream;
}
