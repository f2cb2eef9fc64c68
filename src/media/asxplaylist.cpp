// The ASX playlist reader: a line scanner that looks for a few exact,
// case-sensitive markers, not an XML parser.
#include "medialist.h"

#include <stdlib.h>
#include <string.h>

#define ASX_LINE_BYTES  520
#define ASX_READ_BLOCK  65536

namespace {

struct AsxReader {
    bool asxSeen = false;
    bool inEntry = false;
    bool missingSeen = false;
    bool unsupportedSeen = false;
    MediaNode* head = nullptr;
    MediaNode** tail = &head;
};

void TakeReference(AsxReader* reader, const char* reference, size_t length)
{
    // A reference longer than a path can be names no file; it is not cut
    // short, which could name another one.
    wchar_t path[MEDIA_PATH_UNITS];
    char text[ASX_LINE_BYTES];
    memcpy(text, reference, length);
    text[length] = '\0';
    size_t units = mbstowcs(path, text, MEDIA_PATH_UNITS);
    if (units == static_cast<size_t>(-1) || units >= MEDIA_PATH_UNITS
        || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        reader->missingSeen = true;
        return;
    }
    if (!IsSupportedSoundFile(path)) {
        reader->unsupportedSeen = true;
        return;
    }
    MediaNode* node = NewMediaNode(path);
    if (node != nullptr) {
        *reader->tail = node;
        reader->tail = &node->next;
    }
}

void ExamineLine(AsxReader* reader, const char* line)
{
    if (strstr(line, "<ASX") != nullptr)
        reader->asxSeen = true;
    if (!reader->asxSeen)
        return;
    if (strstr(line, "<ENTRY>") != nullptr) {
        reader->inEntry = true;
    } else if (reader->inEntry && strstr(line, "<ref") != nullptr) {
        reader->inEntry = false;  // only an entry's first reference counts
        const char* href = strstr(line, "href");
        if (href == nullptr)
            return;
        const char* open = strchr(href + 4, '"');
        if (open == nullptr)
            return;
        const char* start = open + 1;
        const char* close = strchr(start, '"');
        size_t length = close != nullptr ? static_cast<size_t>(close - start) : strlen(start);
        TakeReference(reader, start, length);
    } else if (strstr(line, "</ENTRY>") != nullptr) {
        reader->inEntry = false;
    }
}

} // namespace

MediaNode* ReadAsxPlaylistInBlocks(const wchar_t* playlistPath, DWORD blockBytes)
{
    HANDLE file = CreateFileW(playlistPath, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MessageBoxW(nullptr, L"Unable to open playlist", L"Wakeloom", MB_OK);
        return nullptr;
    }
    AsxReader reader;
    char line[ASX_LINE_BYTES];
    size_t lineBytes = 0;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, blockBytes));
    DWORD got = 0;
    while (block != nullptr && ReadFile(file, block, blockBytes, &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; i++) {
            char c = block[i];
            if (c == '\r')
                continue;
            if (c == '\n') {
                line[lineBytes] = '\0';
                ExamineLine(&reader, line);
                lineBytes = 0;
            } else if (lineBytes < ASX_LINE_BYTES - 1) {
                line[lineBytes++] = c;
            }
        }
    }
    // A last line without a line feed is never examined.
    LocalFree(block);
    CloseHandle(file);

    if (!reader.asxSeen) {
        MessageBoxW(nullptr, L"This does not appear to be a valid playlist file", L"Wakeloom",
                    MB_ICONEXCLAMATION);
        FreeMediaList(reader.head);
        return nullptr;
    }
    MediaNode* list = SortMediaList(reader.head);
    if (list == nullptr)
        return nullptr;
    if (reader.missingSeen)
        MessageBoxW(nullptr, L"Not all music in the playlist could be found", L"Wakeloom",
                    MB_ICONINFORMATION);
    else if (reader.unsupportedSeen)
        MessageBoxW(nullptr, L"Not all music in the playlist is supported by Wakeloom",
                    L"Wakeloom", MB_ICONINFORMATION);
    return list;
}

MediaNode* ReadAsxPlaylist(const wchar_t* playlistPath)
{
    return ReadAsxPlaylistInBlocks(playlistPath, ASX_READ_BLOCK);
}
