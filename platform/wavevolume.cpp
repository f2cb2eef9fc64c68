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

} // namespace

MMRESULT SetDeviceVolume(DWORD volume)
{
    if (!gPerStream) {
        MMRESULT result = waveOutSetVolume(nullptr, volume);
        if (result != MMSYSERR_INVALHANDLE)
            return result;
    }
    std::lock_guard<std::mutex> hold(gVolumeLock);
    HWAVEOUT handle = VolumeHandle();
    if (handle == nullptr)
        return MMSYSERR_NODRIVER;
    MMRESULT result = waveOutSetVolume(handle, volume);
    if (result == MMSYSERR_NOERROR) {
        gVolumeWord = volume;
        gPerStream = true;
    }
    return result;
}

MMRESULT GetDeviceVolume(DWORD* volume)
{
    if (!gPerStream) {
        MMRESULT result = waveOutGetVolume(nullptr, volume);
        if (result != MMSYSERR_INVALHANDLE)
            return result;
    }
    std::lock_guard<std::mutex> hold(gVolumeLock);
    HWAVEOUT handle = VolumeHandle();
    if (handle == nullptr)
        return MMSYSERR_NODRIVER;
    MMRESULT result = waveOutGetVolume(handle, volume);
    if (result == MMSYSERR_NOERROR) {
        gVolumeWord = *volume;
        gPerStream = true;
    }
    return result;
}

bool DeviceVolumeIsPerStream(DWORD* volume)
{
    *volume = gVolumeWord;
    return gPerStream;
}
