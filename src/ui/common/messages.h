// The messages the user must see at once, with texts and captions from the
// string table.
#ifndef WAKELOOM_MESSAGES_H
#define WAKELOOM_MESSAGES_H

#include <windows.h>

#include "medialist.h"

// String `id` of the string table into `text` of `units` units; empty when
// there is none.
void LoadResourceText(UINT id, wchar_t* text, int units);
// A message box with the text of string `textId` (a format, filled with the
// arguments that follow) and the caption of string `captionId`.
int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT style, ...);
// The same with a text of the caller's.
int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT style);

// Tells the user what a playlist's reading found; nothing when all was read.
void ShowPlaylistResult(PlaylistResult result);
// Reads a playlist and tells the user what it found.
MediaNode* ReadAsxPlaylist(const wchar_t* playlistPath);

#endif
