// The playback engine over the sound library: the alarm, media and one-shot
// stream slots, their end callbacks and the device volume.
//
// The end callbacks run on the library's threads. They share with the
// window thread the flags, the slots and the current track, all atomic. A
// stop and a replay exclude each other through a lock per slot, so that a
// stop that arrives while a callback waits can never be followed by that
// callback playing the stream again.
#include "sound.h"

#include <math.h>
#include <stdlib.h>
#include <strsafe.h>

#include <mutex>
#include <vector>

#include "alarms.h"
#include "fsound.h"
#include "settings.h"
#include "wavevolume.h"

#define FMOD_MIX_RATE        22050
#define FMOD_CHANNELS        32
#define STREAM_MODE          (FSOUND_NORMAL)
#define STREAM_MODE_LOOPING  (FSOUND_NORMAL | FSOUND_LOOP_NORMAL)
#define INIT_ATTEMPTS        11
#define OPEN_ATTEMPTS        6
#define CLOSE_ATTEMPTS       6
#define REPEAT_GAP_MS        500
// Room for any path in UTF-8: at most three bytes for each UTF-16 unit.
#define MB_PATH_BYTES        (3 * MAX_PATH)

std::atomic<bool> oneShotFinished;
std::atomic<bool> mediaListFinished;
std::atomic<bool> trackInfoChanged;
std::atomic<bool> alarmStopRequested;
std::atomic<bool> mediaStopRequested;
MediaNode* mediaListHead;
std::atomic<MediaNode*> currentTrack;
DWORD fmodUseCount;
DWORD savedWaveVolume;

static std::atomic<FSOUND_STREAM*> alarmStream;
static std::atomic<FSOUND_STREAM*> mediaStream;
static std::atomic<FSOUND_STREAM*> oneShotStream;
static std::atomic<FSOUND_STREAM*> previewStream;
static bool previewUsesLibrary;
// The alarm slot holds one use of the library from its start to its close.
static bool alarmUsesLibrary;
// AlarmSoundFailed has said so since the alarm sound started.
static bool alarmFailureReported;

// Held while the alarm is replayed or stopped.
static std::mutex alarmLock;
// Cuts the alarm callback's wait short when the alarm is stopped.
static HANDLE alarmStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
// Held while a media track is put into the slot and played, or stopped.
static std::mutex mediaLock;
// Counts the stops of the media stream: a callback that began before one
// must not play what it opened.
static std::atomic<unsigned> mediaStops;

static std::mutex trackTextLock;
static wchar_t trackTitle[TRACK_TEXT_UNITS];
static wchar_t trackArtist[TRACK_TEXT_UNITS];
static wchar_t trackAlbum[TRACK_TEXT_UNITS];

const Alarm* ringingAlarm;

static const Alarm* RingingAlarm()
{
    return ringingAlarm;
}

static bool RingingAlarmUsesOwnVolume()
{
    const Alarm* alarm = RingingAlarm();
    return alarm != nullptr && alarm->UseSystemVol == 0;
}

static void ToMultibytePath(const wchar_t* path, char* mbPath)
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

bool TestForPowerOn()
{
    return FSOUND_HasPowerOnOccurred() != 0;
}

void PauseAllSound(bool paused)
{
    FSOUND_SetPaused(FSOUND_ALL, paused ? TRUE : FALSE);
}

// Closes the slot's stream; false when it held none.
static bool CloseStreamSlot(std::atomic<FSOUND_STREAM*>& slot)
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

// ---- alarm stream -------------------------------------------------------------

// Opens a file, or with FSOUND_LOADMEMORY bytes, into the alarm slot,
// closing what the slot held.
static bool OpenAlarmStream(const char* source, unsigned memoryMode, int length)
{
    CloseStreamSlot(alarmStream);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(source, STREAM_MODE | memoryMode, 0, length);
    if (stream == nullptr)
        return false;
    FSOUND_Stream_SetEndCallback(stream, EndCallback, nullptr);
    alarmStream = stream;
    return true;
}

bool OpenStream(const char* mbPath)
{
    return OpenAlarmStream(mbPath, 0, 0);
}

static bool PlayAlarmStream()
{
    return FSOUND_Stream_Play(FSOUND_FREE, alarmStream) >= 0;
}

signed char EndCallback(FSOUND_STREAM*, void*, int, void*)
{
    if (alarmStopRequested)
        return TRUE;
    WaitForSingleObject(alarmStopEvent, REPEAT_GAP_MS);
    std::lock_guard<std::mutex> hold(alarmLock);
    // The replay leaves a power-on to the ringing dialog, which restarts
    // the sound for it.
    if (!alarmStopRequested)
        PlayAlarmStream();
    return TRUE;
}

// Opened once: a file that cannot play now will not play half a second
// later, and the ringing dialog falls back at once to a sound that does.
static bool StartAlarm(const char* source, unsigned memoryMode, int length, bool useAlarmVolume)
{
    // A sound still in the slot ends first, its callback finished before the
    // stop flag is cleared below; its use of the library is kept.
    if (alarmStream != nullptr) {
        StopAlarmSound();
        CloseStreamSlot(alarmStream);
    }
    alarmStopRequested = false;
    ResetEvent(alarmStopEvent);
    alarmFailureReported = false;
    bool volumeChanged = false;
    if (useAlarmVolume && RingingAlarmUsesOwnVolume()) {
        savedWaveVolume = GetWaveVolume();
        SetVolumeLevel(RingingAlarm()->Volume);
        volumeChanged = true;
    }
    if (!alarmUsesLibrary)
        alarmUsesLibrary = InitFMOD();
    if (!alarmUsesLibrary || !OpenAlarmStream(source, memoryMode, length)) {
        if (volumeChanged)
            SetWaveVolume(savedWaveVolume);
        return false;
    }
    std::lock_guard<std::mutex> hold(alarmLock);
    TestForPowerOn();   // a power-on from before this sound began is old news
    return PlayAlarmStream();
}

bool PlaySoundViaFMOD(const wchar_t* path, bool useAlarmVolume)
{
    char mbPath[MB_PATH_BYTES];
    ToMultibytePath(path, mbPath);
    return StartAlarm(mbPath, 0, 0, useAlarmVolume);
}

// Little-endian, as a WAV file stores its numbers.
static void AppendLe(std::vector<BYTE>* bytes, DWORD value, int size)
{
    for (int i = 0; i < size; i++)
        bytes->push_back(static_cast<BYTE>(value >> (8 * i)));
}

// A WAV image of four short beeps at 880 Hz, made once. Each beep rises and
// falls over a few milliseconds, so it does not click.
static const std::vector<BYTE>& AlarmToneImage()
{
    static std::vector<BYTE> image;
    if (!image.empty())
        return image;
    const DWORD rate = 22050, beepFrames = rate / 8, rampFrames = rate / 200, beeps = 4;
    const DWORD dataBytes = beeps * 2 * beepFrames * 2;
    image.insert(image.end(), { 'R', 'I', 'F', 'F' });
    AppendLe(&image, 36 + dataBytes, 4);
    image.insert(image.end(), { 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ' });
    AppendLe(&image, 16, 4);          // the fmt chunk: PCM, mono, 16 bits
    AppendLe(&image, WAVE_FORMAT_PCM, 2);
    AppendLe(&image, 1, 2);
    AppendLe(&image, rate, 4);
    AppendLe(&image, rate * 2, 4);
    AppendLe(&image, 2, 2);
    AppendLe(&image, 16, 2);
    image.insert(image.end(), { 'd', 'a', 't', 'a' });
    AppendLe(&image, dataBytes, 4);
    for (DWORD beep = 0; beep < beeps; beep++) {
        for (DWORD i = 0; i < beepFrames; i++) {
            DWORD edge = i < beepFrames - i ? i : beepFrames - i;
            double envelope = edge < rampFrames ? static_cast<double>(edge) / rampFrames : 1.0;
            double sample = 24000.0 * envelope * sin(2.0 * 3.14159265358979 * 880.0 * i / rate);
            AppendLe(&image, static_cast<DWORD>(static_cast<short>(sample)), 2);
        }
        image.insert(image.end(), beepFrames * 2, 0);   // the pause after it
    }
    return image;
}

bool PlayAlarmTone(bool useAlarmVolume)
{
    const std::vector<BYTE>& image = AlarmToneImage();
    return StartAlarm(reinterpret_cast<const char*>(image.data()), FSOUND_LOADMEMORY,
                      static_cast<int>(image.size()), useAlarmVolume);
}

bool AlarmSoundFailed()
{
    FSOUND_STREAM* stream = alarmStream;
    if (stream == nullptr || alarmFailureReported || !FSOUND_Stream_File_HasFatalErrorOccurred(stream))
        return false;
    alarmFailureReported = true;
    return true;
}

void StopAlarmSound()
{
    FSOUND_STREAM* stream = alarmStream;
    if (stream == nullptr)
        return;
    std::lock_guard<std::mutex> hold(alarmLock);
    alarmStopRequested = true;
    SetEvent(alarmStopEvent);
    FSOUND_Stream_Stop(stream);
}

void CloseAlarmSound(bool restoreVolume)
{
    CloseStreamSlot(alarmStream);
    if (alarmUsesLibrary)
        ReleaseFMOD();
    alarmUsesLibrary = false;
    if (restoreVolume && RingingAlarmUsesOwnVolume())
        SetWaveVolume(savedWaveVolume);
}

// ---- media stream -------------------------------------------------------------

static void ReadTrackTags(FSOUND_STREAM* stream, const wchar_t* widePath)
{
    wchar_t title[TRACK_TEXT_UNITS] = L"", artist[TRACK_TEXT_UNITS] = L"",
            album[TRACK_TEXT_UNITS] = L"";
    bool titleFound = false, artistFound = false, albumFound = false;
    int count = 0;
    FSOUND_Stream_GetNumTagFields(stream, &count);
    for (int i = 0; i < count && !(titleFound && artistFound && albumFound); i++) {
        int type = 0, length = 0;
        char* name = nullptr;
        void* value = nullptr;
        if (!FSOUND_Stream_GetTagField(stream, i, &type, &name, &value, &length) || name == nullptr)
            continue;
        wchar_t* slot;
        bool* found;
        if (_stricmp(name, "TITLE") == 0 || _stricmp(name, "TIT2") == 0) {
            slot = title;
            found = &titleFound;
        } else if (_stricmp(name, "ARTIST") == 0 || _stricmp(name, "TPE1") == 0) {
            slot = artist;
            found = &artistFound;
        } else if (_stricmp(name, "ALBUM") == 0 || _stricmp(name, "TALB") == 0) {
            slot = album;
            found = &albumFound;
        } else {
            continue;
        }
        WCHAR text[TRACK_TEXT_UNITS];
        if (ConvertTagText(type, static_cast<const char*>(value), length, text)) {
            StringCchCopyW(slot, TRACK_TEXT_UNITS, text);
            *found = true;
        }
    }
    if (!titleFound) {
        wchar_t name[MEDIA_PATH_UNITS];
        FileNamePart(widePath, name);
        StringCchCopyW(title, TRACK_TEXT_UNITS, name);
    }
    if (!artistFound)
        StringCchCopyW(artist, TRACK_TEXT_UNITS, L"<Artist Unknown>");
    std::lock_guard<std::mutex> hold(trackTextLock);
    StringCchCopyW(trackTitle, TRACK_TEXT_UNITS, title);
    StringCchCopyW(trackArtist, TRACK_TEXT_UNITS, artist);
    StringCchCopyW(trackAlbum, TRACK_TEXT_UNITS, album);
}

void GetTrackInfo(wchar_t* title, wchar_t* artist, wchar_t* album)
{
    std::lock_guard<std::mutex> hold(trackTextLock);
    StringCchCopyW(title, TRACK_TEXT_UNITS, trackTitle);
    StringCchCopyW(artist, TRACK_TEXT_UNITS, trackArtist);
    StringCchCopyW(album, TRACK_TEXT_UNITS, trackAlbum);
}

static signed char MediaEndCallback(FSOUND_STREAM*, void*, int, void*);

// Opens one track with its end callback and tags; the stream is handed
// back, not put into the slot.
static FSOUND_STREAM* OpenMediaTrack(const char* mbPath, const wchar_t* widePath)
{
    MediaNode* head = mediaListHead;
    unsigned mode = head != nullptr && head->next == nullptr ? STREAM_MODE_LOOPING : STREAM_MODE;
    FSOUND_STREAM* stream = FSOUND_Stream_Open(mbPath, mode, 0, 0);
    if (stream == nullptr)
        return nullptr;
    FSOUND_Stream_SetEndCallback(stream, MediaEndCallback, nullptr);
    ReadTrackTags(stream, widePath);
    trackInfoChanged = true;
    return stream;
}

bool OpenMediaStream(const char* mbPath, const wchar_t* widePath)
{
    FSOUND_STREAM* stream = OpenMediaTrack(mbPath, widePath);
    if (stream == nullptr)
        return false;
    mediaStream = stream;
    return true;
}

// A track gave up opening; the window thread tells the user.
static std::atomic<bool> trackOpenFailed;

bool TrackOpenFailed()
{
    return trackOpenFailed.exchange(false);
}

// Opens the current track with retries. Null after six failures (the user
// is told) or when a stop came meanwhile (`stops` no longer current).
static FSOUND_STREAM* OpenCurrentTrack(unsigned stops)
{
    MediaNode* track = currentTrack;
    if (track == nullptr)
        return nullptr;
    wchar_t widePath[MEDIA_PATH_UNITS];
    StringCchCopyW(widePath, MEDIA_PATH_UNITS, track->path);
    char mbPath[MB_PATH_BYTES];
    ToMultibytePath(widePath, mbPath);
    for (int failures = 0;;) {
        FSOUND_STREAM* stream = OpenMediaTrack(mbPath, widePath);
        if (stream != nullptr)
            return stream;
        Sleep(500);
        if (mediaStops != stops)
            return nullptr;
        if (++failures > OPEN_ATTEMPTS - 1) {
            trackOpenFailed = true;
            return nullptr;
        }
    }
}

// Puts an opened track into the slot and plays it, unless the media was
// stopped after `stops` was read.
static bool PlayOpenedTrack(FSOUND_STREAM* stream, unsigned stops)
{
    std::unique_lock<std::mutex> hold(mediaLock);
    if (mediaStops != stops || mediaStopRequested) {
        hold.unlock();
        FSOUND_Stream_Close(stream);
        return false;
    }
    mediaStream = stream;
    FSOUND_Stream_Play(FSOUND_FREE, stream);
    return true;
}

bool PlayMediaList(MediaNode* list)
{
    if (list == nullptr)
        return false;
    unsigned stops;
    {
        std::lock_guard<std::mutex> hold(mediaLock);
        mediaStopRequested = false;
        mediaListFinished = false;
        mediaListHead = list;
        currentTrack = list;
        stops = mediaStops;
    }
    bool libraryOpened = InitFMOD();
    FSOUND_STREAM* stream = OpenCurrentTrack(stops);
    if (stream != nullptr) {
        trackInfoChanged = true;
        if (PlayOpenedTrack(stream, stops))
            return true;
    }
    // Nothing plays, so no stop will give the library back: given back here,
    // and the list, which its owner may free, is let go.
    if (libraryOpened)
        ReleaseFMOD();
    std::lock_guard<std::mutex> hold(mediaLock);
    if (mediaListHead == list) {
        mediaListHead = nullptr;
        currentTrack = nullptr;
    }
    return false;
}

// Counts the end callbacks running, which may read the list; the last one
// frees a list given up meanwhile.
std::atomic<int> mediaCallbacksRunning;
static MediaNode* retiredList;

struct MediaCallbackScope {
    MediaCallbackScope() { mediaCallbacksRunning++; }
    ~MediaCallbackScope()
    {
        MediaNode* retired = nullptr;
        {
            std::lock_guard<std::mutex> hold(mediaLock);
            if (--mediaCallbacksRunning == 0) {
                retired = retiredList;
                retiredList = nullptr;
            }
        }
        FreeMediaList(retired);
    }
};

void FreeMediaListAfterCallbacks(MediaNode* list)
{
    MediaNode* now = nullptr;
    {
        std::lock_guard<std::mutex> hold(mediaLock);
        if (mediaListHead == list) {
            mediaListHead = nullptr;
            currentTrack = nullptr;
        }
        if (mediaCallbacksRunning == 0) {
            now = list;
        } else {
            // Appended to what is already waiting.
            MediaNode** tail = &retiredList;
            while (*tail != nullptr)
                tail = &(*tail)->next;
            *tail = list;
        }
    }
    FreeMediaList(now);
}

static signed char MediaEndCallback(FSOUND_STREAM* ended, void*, int, void*)
{
    MediaCallbackScope scope;
    unsigned stops;
    {
        // A stop or a skip that came first wins: the callback does nothing.
        std::lock_guard<std::mutex> hold(mediaLock);
        if (mediaStopRequested || mediaStream != ended)
            return TRUE;
        stops = mediaStops;
        MediaNode* track = currentTrack;
        if (track == nullptr)
            return TRUE;
        if (track->next != nullptr) {
            currentTrack = track->next;
        } else if (settings.TimedSleep == 0) {
            currentTrack = nullptr;
            mediaListFinished = true;
            return TRUE;
        } else {
            currentTrack = mediaListHead;
        }
        if (currentTrack == track) {
            // A list of one: the same stream again.
            FSOUND_Stream_Play(FSOUND_FREE, ended);
            return TRUE;
        }
        mediaStream = nullptr;
    }
    FSOUND_Stream_Close(ended);   // freed when this callback returns
    FSOUND_STREAM* stream = OpenCurrentTrack(stops);
    if (stream == nullptr)
        return FALSE;
    trackInfoChanged = true;
    return PlayOpenedTrack(stream, stops) ? TRUE : FALSE;
}

void SkipTrack(bool forward)
{
    MediaNode* track;
    {
        std::lock_guard<std::mutex> hold(mediaLock);
        if (mediaStopRequested)
            return;
        // The track the user saw when pressing, whatever a callback does now.
        track = currentTrack;
    }
    StopMediaList();
    CloseMediaStream();
    Sleep(500);
    MediaNode* target = track;
    if (forward) {
        if (track == nullptr)
            return;
        if (track->next != nullptr)
            target = track->next;
    } else if (track != mediaListHead) {
        MediaNode* previous = mediaListHead;
        while (previous != nullptr && previous->next != track)
            previous = previous->next;
        target = previous != nullptr ? previous : mediaListHead;
    }
    unsigned stops;
    {
        std::lock_guard<std::mutex> hold(mediaLock);
        currentTrack = target;
        mediaStopRequested = false;
        stops = mediaStops;
    }
    if (target == nullptr)
        return;
    FSOUND_STREAM* stream = OpenCurrentTrack(stops);
    if (stream == nullptr)
        return;
    trackInfoChanged = true;
    PlayOpenedTrack(stream, stops);
}

void StopMediaList()
{
    // Also while a callback moves between tracks and the slot is empty: its
    // next track must not start.
    std::lock_guard<std::mutex> hold(mediaLock);
    mediaStopRequested = true;
    mediaStops++;
    FSOUND_STREAM* stream = mediaStream;
    if (stream != nullptr)
        FSOUND_Stream_Stop(stream);
}

void CloseMediaStream()
{
    CloseStreamSlot(mediaStream);
}

// ---- one-shot stream ------------------------------------------------------------

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

// ---- volume preview -----------------------------------------------------------------

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
