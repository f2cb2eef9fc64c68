// The media stream: the sleep music, a Media list played track by track
// with previous / next, and the texts of the track playing.
//
// The end callback runs on the library's thread. It shares with the window
// thread the flags, the slot and the current track, all atomic, and never
// opens a window: a next track that cannot be opened ends the music as the
// end of the list does and is left for the window thread to tell.
#include "sound.h"

#include <strsafe.h>

#include <mutex>

#include "settings.h"
#include "streamslot.h"

static std::atomic<FSOUND_STREAM*> mediaStream;
// Set before the stream is stopped, so that its end callback leaves it alone.
static std::atomic<bool> mediaStopRequested;
static std::atomic<bool> mediaListFinished;
static std::atomic<bool> mediaTrackFailed;
static std::atomic<bool> trackInfoChanged;
static MediaNode* mediaListHead;
static std::atomic<MediaNode*> currentTrack;

// Held while a media track is put into the slot and played, or stopped.
static std::mutex mediaLock;
// Counts the stops of the media stream: a callback that began before one
// must not play what it opened.
static std::atomic<unsigned> mediaStops;

static std::mutex trackTextLock;
static wchar_t trackTitle[TRACK_TEXT_UNITS];
static wchar_t trackArtist[TRACK_TEXT_UNITS];
static wchar_t trackAlbum[TRACK_TEXT_UNITS];

MediaNode* MediaListHead()
{
    return mediaListHead;
}

MediaNode* CurrentTrack()
{
    return currentTrack;
}

void SetMediaPosition(MediaNode* head, MediaNode* track)
{
    std::lock_guard<std::mutex> hold(mediaLock);
    mediaListHead = head;
    currentTrack = track;
}

bool MediaListFinished()
{
    return mediaListFinished;
}

bool TakeMediaTrackFailure()
{
    return mediaTrackFailed.exchange(false);
}

bool TrackInfoChanged()
{
    return trackInfoChanged;
}

bool TakeTrackInfoChanged()
{
    return trackInfoChanged.exchange(false);
}

void MarkTrackInfoChanged()
{
    trackInfoChanged = true;
}

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

// Opens the current track with retries. Null after six failures (`failed`
// set) or when a stop came meanwhile (`stops` no longer current).
static FSOUND_STREAM* OpenCurrentTrack(unsigned stops, bool* failed)
{
    *failed = false;
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
            *failed = true;
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
        mediaTrackFailed = false;
        mediaListHead = list;
        currentTrack = list;
        stops = mediaStops;
    }
    bool libraryOpened = InitFMOD();
    bool failed;
    FSOUND_STREAM* stream = OpenCurrentTrack(stops, &failed);
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
static std::atomic<int> mediaCallbacksRunning;
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

int MediaCallbacksRunning()
{
    return mediaCallbacksRunning;
}

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
    bool failed;
    FSOUND_STREAM* stream = OpenCurrentTrack(stops, &failed);
    if (stream == nullptr) {
        if (failed) {
            // Ended as the list ends, unless a stop or a skip came meanwhile.
            std::lock_guard<std::mutex> hold(mediaLock);
            if (mediaStops == stops) {
                currentTrack = nullptr;
                mediaListFinished = true;
                mediaTrackFailed = true;
            }
        }
        return FALSE;
    }
    trackInfoChanged = true;
    return PlayOpenedTrack(stream, stops) ? TRUE : FALSE;
}

bool SkipTrack(bool forward)
{
    MediaNode* track;
    {
        std::lock_guard<std::mutex> hold(mediaLock);
        if (mediaStopRequested)
            return true;
        // The track the user saw when pressing, whatever a callback does now.
        track = currentTrack;
    }
    StopMediaList();
    CloseMediaStream();
    Sleep(500);
    MediaNode* target = track;
    if (forward) {
        if (track == nullptr)
            return true;
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
        return true;
    bool failed;
    FSOUND_STREAM* stream = OpenCurrentTrack(stops, &failed);
    if (stream == nullptr)
        return !failed;
    trackInfoChanged = true;
    PlayOpenedTrack(stream, stops);
    return true;
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
