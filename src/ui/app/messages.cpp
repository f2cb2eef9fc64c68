#include "messages.h"

#include <stdarg.h>
#include <strsafe.h>

#include "resource.h"

#define MESSAGE_UNITS 1024

void LoadResourceText(UINT id, wchar_t* text, int units)
{
    text[0] = L'\0';
    LoadStringW(GetModuleHandleW(nullptr), id, text, units);
}

int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT style)
{
    wchar_t caption[64];
    LoadResourceText(captionId, caption, ARRAYSIZE(caption));
    return MessageBoxW(owner, text, caption, style);
}

int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT style, ...)
{
    wchar_t format[MESSAGE_UNITS];
    LoadResourceText(textId, format, ARRAYSIZE(format));
    wchar_t text[MESSAGE_UNITS];
    va_list arguments;
    va_start(arguments, style);
    StringCchVPrintfW(text, ARRAYSIZE(text), format, arguments);
    va_end(arguments);
    return ShowMessageText(owner, text, captionId, style);
}

void ShowPlaylistResult(PlaylistResult result)
{
    switch (result) {
    case PLAYLIST_READ:
        break;
    case PLAYLIST_CANNOT_OPEN:
        ShowMessage(nullptr, IDS_CANNOT_OPEN_PLAYLIST, IDS_WAKELOOM, MB_OK);
        break;
    case PLAYLIST_NOT_ASX:
        ShowMessage(nullptr, IDS_NOT_A_PLAYLIST, IDS_WAKELOOM, MB_ICONEXCLAMATION);
        break;
    case PLAYLIST_SOME_MISSING:
        ShowMessage(nullptr, IDS_PLAYLIST_MISSING, IDS_WAKELOOM, MB_ICONINFORMATION);
        break;
    case PLAYLIST_SOME_UNSUPPORTED:
        ShowMessage(nullptr, IDS_PLAYLIST_UNSUPPORTED, IDS_WAKELOOM, MB_ICONINFORMATION);
        break;
    }
}

MediaNode* ReadAsxPlaylist(const wchar_t* playlistPath)
{
    PlaylistResult result;
    MediaNode* list = ReadPlaylistFile(playlistPath, &result);
    ShowPlaylistResult(result);
    return list;
}
