// The registry pattern shared by the settings and the alarm records.
#ifndef WAKELOOM_REGSTORE_H
#define WAKELOOM_REGSTORE_H

#include <windows.h>

// Opens `path` under `root`, creating it first when it cannot be opened, and
// opens it afresh. Returns ERROR_SUCCESS with `*key` set, or the error of the
// final open with `*key` null.
LONG EnsureKey(HKEY root, const wchar_t* path, HKEY* key);

// Reads a 4-byte number. A value that is absent, of another size, or of a
// type other than REG_DWORD or REG_BINARY leaves `*value` alone and returns
// false.
bool ReadDwordValue(HKEY key, const wchar_t* name, DWORD* value);

// Reads a text of at most `maxBytes` bytes (terminator included) into `text`,
// which holds `textCount` units. Only REG_SZ and REG_EXPAND_SZ values are
// taken; a stored text without a terminator is terminated here. An absent,
// over-long or wrongly typed value leaves `text` alone and returns false.
bool ReadTextValue(HKEY key, const wchar_t* name, DWORD maxBytes,
                   wchar_t* text, size_t textCount);

// Writes with the byte counts the stored data has always had: 4 for a
// number, (length + 1) * 2 for a text.
LONG WriteDwordValue(HKEY key, const wchar_t* name, DWORD value);
LONG WriteTextValue(HKEY key, const wchar_t* name, const wchar_t* text);

#endif
