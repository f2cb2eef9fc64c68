// The messages the user must see at once, with texts and captions from the
// string table.
#ifndef WAKELOOM_MESSAGES_H
#define WAKELOOM_MESSAGES_H

#include <windows.h>

// A message box with the text of string `textId` (a format, filled with the
// arguments that follow) and the caption of string `captionId`.
int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT style, ...);
// The same with a text of the caller's.
int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT style);

#endif
