// Media lists: the sound files the sleep player plays, in file-name order.
#ifndef WAKELOOM_MEDIALIST_H
#define WAKELOOM_MEDIALIST_H

#include <windows.h>

#define MEDIA_PATH_UNITS 260

// Sources of a list, as stored in SleepPathType.
#define MEDIA_SOURCE_FOLDER   0
#define MEDIA_SOURCE_PLAYLIST 1
#define MEDIA_SOURCE_FILE     2

struct MediaNode {
    wchar_t path[MEDIA_PATH_UNITS];
    MediaNode* next;
};

// What reading a playlist found, for the user to be told.
enum PlaylistResult {
    PLAYLIST_READ,              // every reference was a playable file
    PLAYLIST_CANNOT_OPEN,
    PLAYLIST_NOT_ASX,
    PLAYLIST_SOME_MISSING,      // a list, with references to no file left out
    PLAYLIST_SOME_UNSUPPORTED,  // a list, with files of other kinds left out
};

// The list of a source type and path, or null (never an empty list). A
// playlist's result goes to `playlistResult` when it is not null.
MediaNode* BuildMediaList(DWORD sourceType, const wchar_t* path,
                          PlaylistResult* playlistResult = nullptr);
// Every supported file of a folder and its subfolders, in file-name order.
MediaNode* ScanFolder(const wchar_t* folderPath);
// The same files in the order the folder search finds them, breadth first.
MediaNode* ScanFolderInFoundOrder(const wchar_t* folderPath);
// Puts a node into a list in file-name order, after the nodes of an equal
// name; returns the new first node.
MediaNode* InsertByFileName(MediaNode* list, MediaNode* node);
// The order of one InsertByFileName after another, in O(n log n).
MediaNode* SortMediaList(MediaNode* list);
// A node of its own with a copy of `path`; null when it does not fit.
MediaNode* NewMediaNode(const wchar_t* path);
// A name (or path) ending in ".wav", ".ogg" or ".mp3", any case, after at
// least one more character.
bool IsSupportedSoundFile(const wchar_t* name);
// The text after the last backslash (not counting one in the first place)
// into `out` of MEDIA_PATH_UNITS units; the whole path when there is none.
void FileNamePart(const wchar_t* path, wchar_t* out);
// An existing file, not a folder (a folder may be named like a sound file).
bool IsExistingFile(const wchar_t* path);
// The supported files an ASX playlist names that exist, in file-name order,
// and in `result` whether the file was no playlist or music was left out.
MediaNode* ReadPlaylistFile(const wchar_t* playlistPath, PlaylistResult* result);
void FreeMediaList(MediaNode* list);

#endif
