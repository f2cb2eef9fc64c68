#include "storagecards.h"

#include <string.h>
#include <strsafe.h>

#include <vector>

// Wine's own: the Unix path of a Windows one (null elsewhere).
typedef char* (CDECL* UnixFileName)(const wchar_t* path);

static bool MountedFromMedia(wchar_t letter)
{
    static UnixFileName unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (unixFileName == nullptr)
        return false;
    wchar_t root[4] = { letter, L':', L'\\', L'\0' };
    char* path = unixFileName(root);
    if (path == nullptr)
        return false;
    bool media = strncmp(path, "/media/", 7) == 0 || strncmp(path, "/run/media/", 11) == 0
              || strncmp(path, "/mnt/", 5) == 0;
    HeapFree(GetProcessHeap(), 0, path);
    return media;
}

bool IsStorageCardDrive(wchar_t letter)
{
    if (letter < L'A' || letter > L'Z')
        return false;
    wchar_t root[4] = { letter, L':', L'\\', L'\0' };
    UINT type = GetDriveTypeW(root);
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
        return false;
    return type == DRIVE_REMOVABLE || type == DRIVE_CDROM || MountedFromMedia(letter);
}

// The device closes a card search with FindClose: its handle is a real
// search (of the Windows folder) that carries the cards still to come.
struct CardSearch {
    HANDLE carrier;
    std::vector<wchar_t> letters;
};
static std::vector<CardSearch> searches;

static void Fill(wchar_t letter, WIN32_FIND_DATAW* found)
{
    ZeroMemory(found, sizeof(*found));
    found->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
    StringCchPrintfW(found->cFileName, MAX_PATH, L"%s%c", STORAGE_CARD_PREFIX, letter);
}

HANDLE FindFirstFlashCard(WIN32_FIND_DATAW* found)
{
    std::vector<wchar_t> letters;
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; letter++) {
        if ((drives & (1u << (letter - L'A'))) && IsStorageCardDrive(letter))
            letters.push_back(letter);
    }
    if (letters.empty() || found == nullptr)
        return INVALID_HANDLE_VALUE;
    wchar_t pattern[MAX_PATH];
    UINT n = GetSystemWindowsDirectoryW(pattern, MAX_PATH);
    WIN32_FIND_DATAW unused;
    HANDLE carrier = n > 0 && SUCCEEDED(StringCchCatW(pattern, MAX_PATH, L"\\*"))
        ? FindFirstFileW(pattern, &unused) : INVALID_HANDLE_VALUE;
    if (carrier == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    // A handle value the system gives out again belongs to this search now.
    std::erase_if(searches, [&](const CardSearch& s) { return s.carrier == carrier; });
    Fill(letters.front(), found);
    letters.erase(letters.begin());
    searches.push_back({ carrier, letters });
    return carrier;
}

BOOL FindNextFlashCard(HANDLE search, WIN32_FIND_DATAW* found)
{
    for (CardSearch& s : searches) {
        if (s.carrier != search)
            continue;
        if (s.letters.empty() || found == nullptr)
            break;
        Fill(s.letters.front(), found);
        s.letters.erase(s.letters.begin());
        return TRUE;
    }
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
}
