#include "regstore.h"

#include <strsafe.h>

// The longest text any field holds, with room for a terminator Wine adds.
#define LONGEST_TEXT_UNITS 600

// The records whose last save failed, those of them told of, and why the
// last one failed.
struct SaveFailures {
    DWORD failing;
    DWORD told;
    LONG lastError;
};
static SaveFailures saveFailures;

LONG EnsureKey(HKEY root, const wchar_t* path, REGSAM access, HKEY* key)
{
    *key = nullptr;
    HKEY probe;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
    } else {
        DWORD disposition;
        if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &probe, &disposition) == ERROR_SUCCESS)
            RegCloseKey(probe);
    }
    LONG err = RegOpenKeyExW(root, path, 0, access, key);
    if (err != ERROR_SUCCESS)
        *key = nullptr;
    return err;
}

bool ReadDwordValue(HKEY key, const wchar_t* name, DWORD* value)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        return false;
    // A shorter value would leave part of the number unwritten.
    if (size != sizeof(data) || (type != REG_DWORD && type != REG_BINARY))
        return false;
    *value = data;
    return true;
}

bool ReadTextValue(HKEY key, const wchar_t* name, DWORD maxBytes,
                   wchar_t* text, size_t textCount)
{
    // Read into a roomy buffer and apply the byte limit to the size the
    // registry reports. (Wine reports a text stored without its terminator
    // with one added, so such a text must fit the limit with it.)
    wchar_t buffer[LONGEST_TEXT_UNITS];
    if (maxBytes > sizeof(buffer) - sizeof(wchar_t) || textCount == 0)
        return false;

    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS)
        return false;
    if (size > maxBytes || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buffer[size / sizeof(wchar_t)] = L'\0';

    size_t length;
    if (FAILED(StringCchLengthW(buffer, ARRAYSIZE(buffer), &length)) || length >= textCount)
        return false;
    StringCchCopyW(text, textCount, buffer);
    return true;
}

LONG WriteDwordValue(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

LONG WriteTextValue(HKEY key, const wchar_t* name, const wchar_t* text)
{
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

void LoadField(HKEY key, const wchar_t* name, FieldKind kind, void* value, size_t units)
{
    if (kind == FIELD_TEXT) {
        ReadTextValue(key, name, static_cast<DWORD>(units * sizeof(wchar_t)),
                      static_cast<wchar_t*>(value), units);
        return;
    }
    DWORD number;
    if (ReadDwordValue(key, name, &number))
        *static_cast<DWORD*>(value) = kind == FIELD_FLAG ? (number != 0 ? 1 : 0) : number;
}

LONG SaveField(HKEY key, const wchar_t* name, FieldKind kind, const void* value)
{
    if (kind == FIELD_TEXT)
        return WriteTextValue(key, name, static_cast<const wchar_t*>(value));
    return WriteDwordValue(key, name, *static_cast<const DWORD*>(value));
}

void NoteRecordSaved(int record, LONG result)
{
    if (record < 0 || record > 31)
        return;
    DWORD bit = 1u << record;
    if (result == ERROR_SUCCESS) {
        saveFailures.failing &= ~bit;
        saveFailures.told &= ~bit;
    } else {
        saveFailures.failing |= bit;
        saveFailures.lastError = result;
    }
}

DWORD TakeUntoldSaveFailures(LONG* error)
{
    DWORD untold = saveFailures.failing & ~saveFailures.told;
    saveFailures.told |= untold;
    *error = saveFailures.lastError;
    return untold;
}
