// The playback engine: the only code that talks to the sound library. Three
// stream slots (alarm, media, one-shot) that may play at once, and the
// device volume.
#ifndef WAKELOOM_SOUND_H
#define WAKELOOM_SOUND_H

#include <windows.h>

#include <atomic>

#include "alarms.h"
#include "fsound.h"
#include "medialist.h"
#include "tagtext.h"

// Set by the library's end callbacks on its own thread; polled and cleared
// by the main window's timer.
extern std::atomic<bool> oneShotFinished;
extern std::atomic<bool> mediaListFinished;
extern std::atomic<bool> trackInfoChanged;
// Set before a stream is stopped, so that its end callback leaves it alone.
extern std::atomic<bool> alarmStopRequested;
extern std::atomic<bool> mediaStopRequested;
// The device volume word from before an alarm set its own level.
extern DWORD savedWaveVolume;

// The list being played and the node now playing (null when it ran out).
extern MediaNode* mediaListHead;
extern std::atomic<MediaNode*> currentTrack;

// Uses of the sound library; it is initialised while this is above 0.
extern DWORD fmodUseCount;
// The alarm whose sound rings or is tested, for its volume; set by the
// ringing dialog, null when none.
extern const Alarm* ringingAlarm;

bool InitFMOD();
void ReleaseFMOD();
bool TestForPowerOn();
void PauseAllSound(bool paused);

// Starts the alarm sound, repeated until StopAlarmSound; a sound still in
// the slot is stopped and closed first. The file is opened once: false at
// once when it cannot play. Either way the library use it took (one while
// the slot holds it) is given back by CloseAlarmSound, and a device volume
// it changed is put back on failure.
bool PlaySoundViaFMOD(const wchar_t* path, bool useAlarmVolume);
// The same with a beeping tone made in memory, for when no file plays.
bool PlayAlarmTone(bool useAlarmVolume);
// True, once for each start of the alarm sound, when its file could no
// longer be read (cut or removed while it rang): the caller should start
// another sound.
bool AlarmSoundFailed();
void StopAlarmSound();
void CloseAlarmSound(bool restoreVolume);
// Opens the alarm slot's stream with its end callback.
bool OpenStream(const char* mbPath);
signed char EndCallback(FSOUND_STREAM* stream, void* buffer, int length, void* userData);

bool PlayMediaList(MediaNode* list);
// The media end callbacks running now; they may still read the list.
extern std::atomic<int> mediaCallbacksRunning;
// Frees a list given up by its player once no end callback can read it.
void FreeMediaListAfterCallbacks(MediaNode* list);
void SkipTrack(bool forward);
// True, once, after a track of the list could not be opened: the window
// thread tells the user.
bool TrackOpenFailed();
void StopMediaList();
void CloseMediaStream();
// Opens one track into the media slot, with its end callback and tags.
bool OpenMediaStream(const char* mbPath, const wchar_t* widePath);
// Copies the current track's title, artist and album (each TRACK_TEXT_UNITS).
void GetTrackInfo(wchar_t* title, wchar_t* artist, wchar_t* album);

// Plays a file once, taking one use of the library that its closer gives
// back. A one-shot still in the slot is closed first and its use given
// back. False at once, with nothing taken, when the file cannot play: the
// caller tells the user.
bool PlayOneShot(const wchar_t* path);
void StopOneShot();
// True when it closed a stream.
bool CloseOneShot();

// The volume preview of the Set Alarms dialog: a short sound at the device
// volume, replacing the one before; false when it cannot play. (Wine keeps
// a volume per stream, so the system's PlaySoundW would not carry it.)
bool PlayPreviewSound(const wchar_t* path);
void StopPreviewSound();

void SetVolumeLevel(DWORD level);
void SetWaveVolume(DWORD value);
DWORD GetWaveVolume();

#endif
