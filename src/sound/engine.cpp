// Until the sound library layer exists nothing plays: every play fails.
#include "sound.h"

std::atomic<bool> oneShotFinished;
std::atomic<bool> mediaListFinished;
std::atomic<bool> trackInfoChanged;
MediaNode* mediaListHead;
std::atomic<MediaNode*> currentTrack;
DWORD fmodUseCount;

bool InitFMOD() { return false; }
void ReleaseFMOD() {}
bool TestForPowerOn() { return false; }
void PauseAllSound(bool) {}
bool PlaySoundViaFMOD(const wchar_t*, bool) { return false; }
void StopAlarmSound() {}
void CloseAlarmSound(bool) {}
bool PlayMediaList(MediaNode*) { return false; }
void SkipTrack(bool) {}
void StopMediaList() {}
void CloseMediaStream() {}
void GetTrackInfo(wchar_t* title, wchar_t* artist, wchar_t* album)
{
    title[0] = artist[0] = album[0] = L'\0';
}
bool PlayOneShot(const wchar_t*) { return false; }
void StopOneShot() {}
void CloseOneShot() {}
void SetVolumeLevel(DWORD) {}
void SetWaveVolume(DWORD) {}
DWORD GetWaveVolume() { return 0; }
