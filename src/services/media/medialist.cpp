// Media lists: building them from a file or a folder tree, keeping them in
// file-name order, and freeing them.
#include "medialist.h"

#include <strsafe.h>

#include <set>
#include <string>
#include <vector>

#include "devicepath.h"

static const wchar_t* FileNamePointer(const wchar_t* path)
{
    // A backslash in the first position does not count.
    const wchar_t* name = path;
    for (const wchar_t* p = path + (path[0] != L'\0' ? 1 : 0); *p != L'\0'; p++)
        if (*p == L'\\')
            name = p + 1;
    return name;
}

void FileNamePart(const wchar_t* path, wchar_t* out)
{
    StringCchCopyW(out, MEDIA_PATH_UNITS, FileNamePointer(path));
}

bool IsSupportedSoundFile(const wchar_t* name)
{
    size_t length = wcslen(name);
    if (length <= 4)
        return false;
    const wchar_t* extension = name + length - 4;
    return _wcsicmp(extension, L".wav") == 0 || _wcsicmp(extension, L".ogg") == 0
        || _wcsicmp(extension, L".mp3") == 0;
}

// Ordinal order of the file names: code unit by code unit, unsigned.
static int CompareFileNames(const MediaNode* a, const MediaNode* b)
{
    const wchar_t* x = FileNamePointer(a->path);
    const wchar_t* y = FileNamePointer(b->path);
    while (*x != L'\0' && *x == *y) {
        x++;
        y++;
    }
    return static_cast<int>(static_cast<unsigned short>(*x))
         - static_cast<int>(static_cast<unsigned short>(*y));
}

MediaNode* InsertByFileName(MediaNode* list, MediaNode* node)
{
    MediaNode** link = &list;
    while (*link != nullptr && CompareFileNames(*link, node) <= 0)
        link = &(*link)->next;
    node->next = *link;
    *link = node;
    return list;
}

// Cuts the list after `count` nodes and returns the rest.
static MediaNode* SplitAfter(MediaNode* list, size_t count)
{
    for (size_t i = 1; list != nullptr && i < count; i++)
        list = list->next;
    if (list == nullptr)
        return nullptr;
    MediaNode* rest = list->next;
    list->next = nullptr;
    return rest;
}

MediaNode* SortMediaList(MediaNode* list)
{
    // Bottom-up merge sort of the links: stable, so equal names keep the
    // order in which they were found, as one insert after another would.
    size_t count = 0;
    for (MediaNode* n = list; n != nullptr; n = n->next)
        count++;
    for (size_t width = 1; width < count; width *= 2) {
        MediaNode* rest = list;
        MediaNode* head = nullptr;
        MediaNode** tail = &head;
        while (rest != nullptr) {
            MediaNode* left = rest;
            MediaNode* right = SplitAfter(left, width);
            rest = SplitAfter(right, width);
            while (left != nullptr && right != nullptr) {
                MediaNode** smaller = CompareFileNames(right, left) < 0 ? &right : &left;
                *tail = *smaller;
                tail = &(*smaller)->next;
                *smaller = (*smaller)->next;
            }
            *tail = left != nullptr ? left : right;
            while (*tail != nullptr)
                tail = &(*tail)->next;
        }
        list = head;
    }
    return list;
}

MediaNode* NewMediaNode(const wchar_t* path)
{
    MediaNode* node = static_cast<MediaNode*>(LocalAlloc(LMEM_FIXED, sizeof(MediaNode)));
    if (node == nullptr)
        return nullptr;
    if (FAILED(StringCchCopyW(node->path, MEDIA_PATH_UNITS, path))) {
        LocalFree(node);
        return nullptr;
    }
    node->next = nullptr;
    return node;
}

// A folder's identity on its volume, so that one reached again through a
// link is searched once.
static bool FirstVisit(const std::wstring& folder, std::set<std::pair<DWORD, ULONGLONG>>* seen)
{
    HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    BY_HANDLE_FILE_INFORMATION info;
    bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    ULONGLONG index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return !known || seen->insert({ info.dwVolumeSerialNumber, index }).second;
}

MediaNode* ScanFolderInFoundOrder(const wchar_t* folderPath)
{
    // Breadth first: every folder's files, then its subfolders'.
    std::vector<std::wstring> folders;
    std::set<std::pair<DWORD, ULONGLONG>> seen;
    if (wcslen(folderPath) >= MEDIA_PATH_UNITS)
        return nullptr;
    folders.push_back(folderPath);
    MediaNode* head = nullptr;
    MediaNode** tail = &head;
    for (size_t i = 0; i < folders.size(); i++) {
        std::wstring folder = folders[i];
        if (!FirstVisit(folder, &seen))
            continue;
        wchar_t pattern[MEDIA_PATH_UNITS];
        if (FAILED(StringCchPrintfW(pattern, MEDIA_PATH_UNITS, L"%s\\*.*", folder.c_str())))
            continue;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(pattern, &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            // A path that would not fit a node is left out.
            wchar_t path[MEDIA_PATH_UNITS];
            if (FAILED(StringCchPrintfW(path, MEDIA_PATH_UNITS, L"%s\\%s", folder.c_str(),
                                        found.cFileName)))
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // The desktop lists a folder's self and parent; the device
                // does not. Links and junctions are not followed: one that
                // leads back up would make the search endless.
                if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0
                    && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    folders.push_back(path);
            } else if (IsSupportedSoundFile(found.cFileName)) {
                MediaNode* node = NewMediaNode(path);
                if (node == nullptr)
                    break;
                *tail = node;
                tail = &node->next;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return head;
}

MediaNode* ScanFolder(const wchar_t* folderPath)
{
    return SortMediaList(ScanFolderInFoundOrder(folderPath));
}

static MediaNode* BuildFromRealPath(DWORD sourceType, const wchar_t* path,
                                    PlaylistResult* playlistResult)
{
    switch (sourceType) {
    case MEDIA_SOURCE_FOLDER:
        return ScanFolder(path);
    case MEDIA_SOURCE_PLAYLIST:
        return ReadPlaylistFile(path, playlistResult);
    case MEDIA_SOURCE_FILE:
        if (!IsExistingFile(path))
            return nullptr;
        return NewMediaNode(path);
    default:
        return nullptr;
    }
}

bool IsExistingFile(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

MediaNode* BuildMediaList(DWORD sourceType, const wchar_t* path, PlaylistResult* playlistResult)
{
    PlaylistResult ignored;
    if (playlistResult == nullptr)
        playlistResult = &ignored;
    *playlistResult = PLAYLIST_READ;
    // The picker keeps folders as the device names them ("\My Documents\...").
    wchar_t real[MEDIA_PATH_UNITS];
    if (!ResolveDevicePath(path, real, MEDIA_PATH_UNITS))
        return nullptr;
    return BuildFromRealPath(sourceType, real, playlistResult);
}

void FreeMediaList(MediaNode* list)
{
    while (list != nullptr) {
        MediaNode* next = list->next;
        LocalFree(list);
        list = next;
    }
}
