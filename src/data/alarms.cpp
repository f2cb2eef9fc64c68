#include "alarms.h"

#include <strsafe.h>

#include "regstore.h"
#include "settings.h"

Alarm* alarms[ALARM_COUNT];

// Read limits in bytes, terminator included: a longer stored text is not
// loaded and the field keeps what it had.
#define ALARM_SOUND_READ_BYTES  255
#define ALARM_NAME_READ_BYTES   80

static bool IsValidIndex(int i)
{
    return i >= 0 && i < ALARM_COUNT && alarms[i] != nullptr;
}

bool AllocateAlarms()
{
    for (int i = 0; i < ALARM_COUNT; i++) {
        alarms[i] = static_cast<Alarm*>(LocalAlloc(LMEM_FIXED, sizeof(Alarm)));
        if (alarms[i] == nullptr) {
            FreeAlarms();
            return false;
        }
    }
    return true;
}

void InitAlarmDefaults()
{
    for (Alarm* alarm : alarms) {
        if (alarm == nullptr)
            continue;
        alarm->AlarmHandle = 0;
        alarm->AlarmOn = 0;
        alarm->AThour = 7;
        alarm->ATmin = 0;
        StringCchCopyW(alarm->AlarmSound, ALARM_SOUND_UNITS, DEFAULT_ALARM_SOUND);
        alarm->UseSystemVol = 0;
        alarm->Volume = 8;
        alarm->Days = 127;
        StringCchCopyW(alarm->AlarmName, ALARM_NAME_UNITS, UNTITLED_ALARM_NAME);
    }
}

static void IndexName(int i, wchar_t* name, size_t nameCount)
{
    StringCchPrintfW(name, nameCount, L"%d", i);
}

static void LoadAlarm(HKEY alarmsKey, int i)
{
    wchar_t subkey[12];
    IndexName(i, subkey, ARRAYSIZE(subkey));
    HKEY key;
    if (RegOpenKeyExW(alarmsKey, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;

    Alarm* alarm = alarms[i];
    DWORD value;
    if (ReadDwordValue(key, L"AlarmOn", &value))
        alarm->AlarmOn = value != 0 ? 1 : 0;
    ReadDwordValue(key, L"AThour", &alarm->AThour);
    ReadDwordValue(key, L"ATmin", &alarm->ATmin);
    ReadTextValue(key, L"AlarmSound", ALARM_SOUND_READ_BYTES, alarm->AlarmSound,
                  ALARM_SOUND_UNITS);
    ReadTextValue(key, L"AlarmName", ALARM_NAME_READ_BYTES, alarm->AlarmName,
                  ALARM_NAME_UNITS);
    if (ReadDwordValue(key, L"UseSystemVol", &value))
        alarm->UseSystemVol = value != 0 ? 1 : 0;
    ReadDwordValue(key, L"Volume", &alarm->Volume);
    ReadDwordValue(key, L"Days", &alarm->Days);
    ReadDwordValue(key, L"AlarmHandle", &alarm->AlarmHandle);
    RegCloseKey(key);
}

LONG LoadAlarms()
{
    HKEY alarmsKey;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, ALARMS_KEY, &alarmsKey);
    if (err != ERROR_SUCCESS)
        return err;
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (alarms[i] != nullptr)
            LoadAlarm(alarmsKey, i);
    }
    RegCloseKey(alarmsKey);
    return ERROR_SUCCESS;
}

static LONG WriteAlarm(HKEY alarmsKey, int i)
{
    wchar_t subkey[12];
    IndexName(i, subkey, ARRAYSIZE(subkey));
    HKEY key;
    LONG err = EnsureKey(alarmsKey, subkey, &key);
    if (err != ERROR_SUCCESS)
        return err;

    const Alarm* alarm = alarms[i];
    WriteDwordValue(key, L"AlarmOn", alarm->AlarmOn);
    WriteDwordValue(key, L"AThour", alarm->AThour);
    WriteDwordValue(key, L"ATmin", alarm->ATmin);
    WriteTextValue(key, L"AlarmSound", alarm->AlarmSound);
    WriteTextValue(key, L"AlarmName", alarm->AlarmName);
    WriteDwordValue(key, L"UseSystemVol", alarm->UseSystemVol);
    WriteDwordValue(key, L"Volume", alarm->Volume);
    WriteDwordValue(key, L"Days", alarm->Days);
    WriteDwordValue(key, L"AlarmHandle", alarm->AlarmHandle);
    RegFlushKey(key);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG SaveAlarms()
{
    HKEY alarmsKey;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, ALARMS_KEY, &alarmsKey);
    if (err != ERROR_SUCCESS)
        return err;
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (alarms[i] != nullptr)
            WriteAlarm(alarmsKey, i);
    }
    RegCloseKey(alarmsKey);
    return ERROR_SUCCESS;
}

LONG SaveAlarm(int i)
{
    if (!IsValidIndex(i))
        return ERROR_INVALID_PARAMETER;
    HKEY alarmsKey;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, ALARMS_KEY, &alarmsKey);
    if (err != ERROR_SUCCESS)
        return err;
    err = WriteAlarm(alarmsKey, i);
    RegCloseKey(alarmsKey);
    return err;
}

LONG LoadAlarmHandle(int i, Alarm* alarm)
{
    if (i < 0 || i >= ALARM_COUNT || alarm == nullptr)
        return ERROR_INVALID_PARAMETER;
    HKEY alarmsKey;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, ALARMS_KEY, &alarmsKey);
    if (err != ERROR_SUCCESS)
        return err;
    wchar_t subkey[12];
    IndexName(i, subkey, ARRAYSIZE(subkey));
    HKEY key;
    if (RegOpenKeyExW(alarmsKey, subkey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        ReadDwordValue(key, L"AlarmHandle", &alarm->AlarmHandle);
        RegCloseKey(key);
    }
    RegCloseKey(alarmsKey);
    return ERROR_SUCCESS;
}

void FreeAlarms()
{
    for (Alarm*& alarm : alarms) {
        if (alarm != nullptr)
            LocalFree(alarm);
        alarm = nullptr;
    }
}

void AlarmDisplayName(int i, wchar_t* name, size_t nameCount)
{
    if (IsValidIndex(i) && alarms[i]->AlarmName[0] != L'\0'
        && wcscmp(alarms[i]->AlarmName, UNTITLED_ALARM_NAME) != 0)
        StringCchCopyW(name, nameCount, alarms[i]->AlarmName);
    else
        StringCchPrintfW(name, nameCount, L"Alarm %d", i + 1);
}
