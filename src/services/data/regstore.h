// The registry pattern shared by the settings and the alarm records: keys
// ensured before use, values read with their type and size checked, texts
// written with their terminator.
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

// The kinds of stored fields: a flag loads any non-zero number as 1; a text
// is read up to the size of the field that holds it.
enum FieldKind { FIELD_FLAG, FIELD_NUMBER, FIELD_TEXT };

// Loads one field into `value` (a DWORD, or a text of `units` units).
void LoadField(HKEY key, const wchar_t* name, FieldKind kind, void* value, size_t units);
LONG SaveField(HKEY key, const wchar_t* name, FieldKind kind, const void* value);

#endif
