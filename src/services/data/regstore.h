// The registry pattern shared by the settings and the alarm records: keys
// ensured before use, values read with their type and size checked, texts
// written with their terminator, and every save's outcome noted.
#ifndef WAKELOOM_REGSTORE_H
#define WAKELOOM_REGSTORE_H

#include <windows.h>

// Opens `path` under `root`, creating it first when it cannot be opened, and
// opens it afresh with `access`. Returns ERROR_SUCCESS with `*key` set, or
// the error of the final open with `*key` null.
LONG EnsureKey(HKEY root, const wchar_t* path, REGSAM access, HKEY* key);

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

// A save that fails must not go unseen. The records a save writes are
// numbered: alarm i is record i, the settings SETTINGS_RECORD. Each save
// notes its result; the window layer takes the failures to tell the user.
#define SETTINGS_RECORD 16
void NoteRecordSaved(int record, LONG result);
// The records whose last save failed and that the user was not told of
// yet (bit n for record n), and the error of the last failure. From now
// they count as told: a record is told of again only after a save of it
// has succeeded in between, so a failure repeated at every save is told once.
DWORD TakeUntoldSaveFailures(LONG* error);

#endif
