// The playback engine: the only code that talks to the sound library. Four
// stream slots (alarm, media, one-shot, preview) that may play at once, and
// the device volume. Nothing here opens a window: what the user must hear
// of comes back as a result for the window thread to tell.
#ifndef WAKELOOM_SOUND_H
#define WAKELOOM_SOUND_H

#include <windows.h>

#include "fsound.h"
#include "medialist.h"
#include "tagtext.h"

// The level an alarm sound leaves alone: it plays at the device volume.
#define KEEP_DEVICE_VOLUME (-1)

// ---- the library (engine.cpp) ----
bool InitFMOD();
void ReleaseFMOD();
// Uses of the sound library; it is initialised while this is above 0.
DWORD FmodUseCount();
bool TestForPowerOn();
void PauseAllSound(bool paused);

// ---- alarm stream (alarmstream.cpp) ----
// Starts the alarm sound, repeated until StopAlarmSound; a sound still in
// the slot is stopped and closed first. `volumeLevel` 1-10 sets the device
// volume for as long as it rings (CloseAlarmSound puts the old one back);
// KEEP_DEVICE_VOLUME leaves it. The file is opened once: false at once
// when it cannot play. Either way the library use it took (one while the
// slot holds it) is given back by CloseAlarmSound, and a device volume it
// changed is put back on failure.
bool PlaySoundViaFMOD(const wchar_t* path, int volumeLevel);
// The same with a beeping tone made in memory, for when no file plays.
bool PlayAlarmTone(int volumeLevel);
// True, once for each start of the alarm sound, when its file could no
// longer be read (cut or removed while it rang): the caller should start
// another sound.
bool AlarmSoundFailed();
void StopAlarmSound();
// Closes the alarm stream; with `restoreVolume`, the device volume the
// sound changed is put back.
void CloseAlarmSound(bool restoreVolume);
// Opens the alarm slot's stream with its end callback.
bool OpenStream(const char* mbPath);
signed char EndCallback(FSOUND_STREAM* stream, void* buffer, int length, void* userData);

// ---- media stream (mediastream.cpp) ----
// Plays a list from its first node; false, with nothing kept, when that
// cannot be opened.
bool PlayMediaList(MediaNode* list);
// Moves to the next or the previous track and plays it; false when that
// track cannot be opened.
bool SkipTrack(bool forward);
void StopMediaList();
void CloseMediaStream();
// Opens one track into the media slot, with its end callback and tags.
bool OpenMediaStream(const char* mbPath, const wchar_t* widePath);
// The list being played and the node now playing (null when it ran out).
MediaNode* MediaListHead();
MediaNode* CurrentTrack();
// Puts the player on a track of a list without playing it, for a display
// that shows a list played elsewhere.
void SetMediaPosition(MediaNode* head, MediaNode* track);
// The last track has ended and the list is not repeated.
bool MediaListFinished();
// True, once, after the end of a track when the next one could not be
// opened: the music has stopped as at the end of the list.
bool TakeMediaTrackFailure();
// A track was opened and its texts are new; Take... reads and clears it.
bool TrackInfoChanged();
bool TakeTrackInfoChanged();
void MarkTrackInfoChanged();
// Copies the current track's title, artist and album (each TRACK_TEXT_UNITS);
// the artist is empty when the track names none.
void GetTrackInfo(wchar_t* title, wchar_t* artist, wchar_t* album);
// The media end callbacks running now; they may still read the list.
int MediaCallbacksRunning();
// Frees a list given up by its player once no end callback can read it.
void FreeMediaListAfterCallbacks(MediaNode* list);

// ---- one-shot stream (oneshot.cpp) ----
// Plays a file once, taking one use of the library that its closer gives
// back. A one-shot still in the slot is closed first and its use given
// back. False at once, with nothing taken, when the file cannot play: the
// caller tells the user.
bool PlayOneShot(const wchar_t* path);
// The one-shot has played to its end; Take... reads and clears it.
bool OneShotFinished();
bool TakeOneShotFinished();
void StopOneShot();
// True when it closed a stream.
bool CloseOneShot();

// ---- volume preview (preview.cpp) ----
// The volume preview of the Set Alarms dialog: a short sound at the device
// volume, replacing the one before; false when it cannot play. (Wine keeps
// a volume per stream, so the system's PlaySoundW would not carry it.)
bool PlayPreviewSound(const wchar_t* path);
void StopPreviewSound();

// ---- device volume (engine.cpp) ----
void SetVolumeLevel(DWORD level);
void SetWaveVolume(DWORD value);
DWORD GetWaveVolume();

#endif
