#include "alarms.h"

#include <strsafe.h>

#include "devicestore.h"
#include "regstore.h"
#include "settings.h"

Alarm* alarms[ALARM_COUNT];

struct AlarmField {
    const wchar_t* name;
    FieldKind kind;
    size_t offset;
    size_t units;           // of a text
    DWORD initial;
    const wchar_t* initialText;
};

// In the order they are loaded and saved.
static const AlarmField alarmFields[] = {
    { L"AlarmOn", FIELD_FLAG, offsetof(Alarm, AlarmOn), 0, 0, nullptr },
    { L"AThour", FIELD_NUMBER, offsetof(Alarm, AThour), 0, 7, nullptr },
    { L"ATmin", FIELD_NUMBER, offsetof(Alarm, ATmin), 0, 0, nullptr },
    { L"AlarmSound", FIELD_TEXT, offsetof(Alarm, AlarmSound), ALARM_SOUND_UNITS, 0,
      DEFAULT_ALARM_SOUND },
    { L"AlarmName", FIELD_TEXT, offsetof(Alarm, AlarmName), ALARM_NAME_UNITS, 0,
      UNTITLED_ALARM_NAME },
    { L"UseSystemVol", FIELD_FLAG, offsetof(Alarm, UseSystemVol), 0, 0, nullptr },
    { L"Volume", FIELD_NUMBER, offsetof(Alarm, Volume), 0, 8, nullptr },
    { L"Days", FIELD_NUMBER, offsetof(Alarm, Days), 0, 127, nullptr },
    { L"AlarmHandle", FIELD_NUMBER, offsetof(Alarm, AlarmHandle), 0, 0, nullptr },
};

static void* FieldOf(Alarm* alarm, const AlarmField& field)
{
    return reinterpret_cast<BYTE*>(alarm) + field.offset;
}

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
        for (const AlarmField& field : alarmFields) {
            if (field.kind == FIELD_TEXT)
                StringCchCopyW(static_cast<wchar_t*>(FieldOf(alarm, field)), field.units,
                               field.initialText);
            else
                *static_cast<DWORD*>(FieldOf(alarm, field)) = field.initial;
        }
    }
}

// A stored time out of range loads as the nearest one that exists, and
// level 0 would ring silently: the quietest level rings instead.
static void KeepAlarmInRange(Alarm* alarm)
{
    if (alarm->AThour > 23)
        alarm->AThour = 23;
    if (alarm->ATmin > 59)
        alarm->ATmin = 59;
    if (alarm->Volume < 1)
        alarm->Volume = 1;
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
    for (const AlarmField& field : alarmFields)
        LoadField(key, field.name, field.kind, FieldOf(alarms[i], field), field.units);
    RegCloseKey(key);
    KeepAlarmInRange(alarms[i]);
}

LONG LoadAlarms()
{
    HKEY alarmsKey;
    LONG err = EnsureKey(DeviceDataRoot(), ALARMS_KEY, KEY_READ, &alarmsKey);
    if (err != ERROR_SUCCESS)
        return err;
    for (int i = 0; i < ALARM_COUNT; i++) {
        if (alarms[i] != nullptr)
            LoadAlarm(alarmsKey, i);
    }
    RegCloseKey(alarmsKey);
    return ERROR_SUCCESS;
}

// The Alarms key, as the saves need it: to make a record's subkey.
static LONG OpenAlarmsKeyToSave(HKEY* alarmsKey)
{
    return EnsureKey(DeviceDataRoot(), ALARMS_KEY, KEY_READ | KEY_CREATE_SUB_KEY, alarmsKey);
}

// Writes record i under the Alarms key (null when that could not be
// opened: `err` tells why) and notes the result.
static LONG WriteAlarm(HKEY alarmsKey, LONG err, int i)
{
    wchar_t subkey[12];
    IndexName(i, subkey, ARRAYSIZE(subkey));
    HKEY key = nullptr;
    if (err == ERROR_SUCCESS)
        err = EnsureKey(alarmsKey, subkey, KEY_SET_VALUE, &key);
    if (err == ERROR_SUCCESS) {
        for (const AlarmField& field : alarmFields) {
            LONG written = SaveField(key, field.name, field.kind, FieldOf(alarms[i], field));
            if (err == ERROR_SUCCESS)
                err = written;
        }
        RegFlushKey(key);
        RegCloseKey(key);
    }
    NoteRecordSaved(i, err);
    return err;
}

LONG SaveAlarms()
{
    HKEY alarmsKey;
    LONG opened = OpenAlarmsKeyToSave(&alarmsKey);
    // Every record is tried; the first that could not be written is told.
    LONG err = ERROR_SUCCESS;
    for (int i = 0; i < ALARM_COUNT; i++) {
        LONG written = alarms[i] != nullptr ? WriteAlarm(alarmsKey, opened, i) : ERROR_SUCCESS;
        if (err == ERROR_SUCCESS)
            err = written;
    }
    if (alarmsKey != nullptr)
        RegCloseKey(alarmsKey);
    return err;
}

LONG SaveAlarm(int i)
{
    if (!IsValidIndex(i))
        return ERROR_INVALID_PARAMETER;
    HKEY alarmsKey;
    LONG opened = OpenAlarmsKeyToSave(&alarmsKey);
    LONG err = WriteAlarm(alarmsKey, opened, i);
    if (alarmsKey != nullptr)
        RegCloseKey(alarmsKey);
    return err;
}

LONG LoadAlarmHandle(int i, Alarm* alarm)
{
    if (i < 0 || i >= ALARM_COUNT || alarm == nullptr)
        return ERROR_INVALID_PARAMETER;
    HKEY alarmsKey;
    LONG err = EnsureKey(DeviceDataRoot(), ALARMS_KEY, KEY_READ, &alarmsKey);
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

bool StoreAlarmHandle(int i, DWORD handle)
{
    if (!IsValidIndex(i))
        return false;
    alarms[i]->AlarmHandle = handle;
    return SaveAlarm(i) == ERROR_SUCCESS;
}

void FreeAlarms()
{
    for (Alarm*& alarm : alarms) {
        if (alarm != nullptr)
            LocalFree(alarm);
        alarm = nullptr;
    }
}
