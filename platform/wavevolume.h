// The device volume word of waveOut (low 16 bits left, high 16 bits right).
// The device takes it with a null handle. Wine refuses a null handle and
// keeps a volume per open handle, so there the word is kept on a handle of
// our own, read back through it, and put on every stream the sound library
// opens.
#ifndef WAKELOOM_WAVEVOLUME_H
#define WAKELOOM_WAVEVOLUME_H

#include <windows.h>

MMRESULT SetDeviceVolume(DWORD volume);
MMRESULT GetDeviceVolume(DWORD* volume);
// For the sound library: true when each new stream must be given the word
// itself, with the word to give.
bool DeviceVolumeIsPerStream(DWORD* volume);

#endif
