// The ASX playlist reader: the line scanner over the file's bytes, then the
// references that name existing, supported sound files, in file-name order.
#include "medialist.h"

#include <strsafe.h>

#include "asxscanner.h"

#define ASX_READ_BLOCK 65536

// A reference as a path: UTF-8 when it is valid UTF-8 (with or without a
// byte-order mark at the file's start), else the ANSI code page; relative
// to the playlist's folder unless rooted, as media players read it. False
// when it does not fit a path.
static bool ReferencePath(const std::string& reference, const wchar_t* playlistPath,
                          wchar_t* path)
{
    wchar_t text[MEDIA_PATH_UNITS];
    int length = static_cast<int>(reference.size());
    int units = length == 0 ? 0
        : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reference.data(), length, text,
                              MEDIA_PATH_UNITS - 1);
    if (units == 0 && length > 0)
        units = MultiByteToWideChar(CP_ACP, 0, reference.data(), length, text,
                                    MEDIA_PATH_UNITS - 1);
    if (units == 0 && length > 0)
        return false;
    text[units] = L'\0';

    bool rooted = text[0] == L'\\' || text[0] == L'/' || (text[0] != L'\0' && text[1] == L':');
    if (rooted)
        return SUCCEEDED(StringCchCopyW(path, MEDIA_PATH_UNITS, text));
    wchar_t folder[MEDIA_PATH_UNITS];
    if (FAILED(StringCchCopyW(folder, MEDIA_PATH_UNITS, playlistPath)))
        return false;
    wchar_t* slash = wcsrchr(folder, L'\\');
    if (slash == nullptr)
        return SUCCEEDED(StringCchCopyW(path, MEDIA_PATH_UNITS, text));
    *slash = L'\0';
    return SUCCEEDED(StringCchPrintfW(path, MEDIA_PATH_UNITS, L"%s\\%s", folder, text));
}

MediaNode* ReadPlaylistFile(const wchar_t* playlistPath, PlaylistResult* result)
{
    *result = PLAYLIST_READ;
    HANDLE file = CreateFileW(playlistPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *result = PLAYLIST_CANNOT_OPEN;
        return nullptr;
    }
    AsxScanner scanner;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, ASX_READ_BLOCK));
    DWORD got = 0;
    while (block != nullptr && ReadFile(file, block, ASX_READ_BLOCK, &got, nullptr) && got > 0)
        ScanAsxBytes(&scanner, block, got);
    LocalFree(block);
    CloseHandle(file);

    if (!scanner.asxSeen) {
        *result = PLAYLIST_NOT_ASX;
        return nullptr;
    }
    bool missingSeen = false, unsupportedSeen = false;
    MediaNode* head = nullptr;
    MediaNode** tail = &head;
    for (const std::string& reference : scanner.references) {
        // A reference too long for a path names no file: it is not cut
        // short, which could name another one.
        wchar_t path[MEDIA_PATH_UNITS];
        if (!ReferencePath(reference, playlistPath, path) || !IsExistingFile(path)) {
            missingSeen = true;
        } else if (!IsSupportedSoundFile(path)) {
            unsupportedSeen = true;
        } else if (MediaNode* node = NewMediaNode(path)) {
            *tail = node;
            tail = &node->next;
        }
    }
    MediaNode* list = SortMediaList(head);
    if (list == nullptr)
        return nullptr;
    if (missingSeen)
        *result = PLAYLIST_SOME_MISSING;
    else if (unsupportedSeen)
        *result = PLAYLIST_SOME_UNSUPPORTED;
    return list;
}
