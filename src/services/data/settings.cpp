#include "settings.h"

#include <strsafe.h>

#include "devicepath.h"

SettingsRecord settings;

// In the order they are loaded and saved. The 24-hour default comes from
// the locale.
const SettingField settingFields[] = {
    { L"24HourTime", FIELD_FLAG, &settings.TwentyFourHourTime, 0, 0 },
    { L"SnoozeTime", FIELD_NUMBER, &settings.SnoozeTime, 15, 0 },
    { L"SleepTime", FIELD_NUMBER, &settings.SleepTime, 60, 0 },
    { L"SleepPathType", FIELD_NUMBER, &settings.SleepPathType, 0, 0 },
    { L"SleepPath", FIELD_TEXT, settings.SleepPath, 0, 0 },
    { L"TimedSleep", FIELD_FLAG, &settings.TimedSleep, 1, 0 },
    { L"MaxTime", FIELD_NUMBER, &settings.MaxTime, 5, 0 },
    { L"ShowIcon", FIELD_FLAG, &settings.ShowIcon, 1, 0 },
    { L"ShowITime", FIELD_FLAG, &settings.ShowITime, 1, 0 },
    { L"Silenced", FIELD_FLAG, &settings.Silenced, 0, 0 },
    { L"Chime", FIELD_FLAG, &settings.Chime, 0, SAVED_WITH_CHIME },
    { L"ChimeSound", FIELD_TEXT, settings.ChimeSound, 0, SAVED_WITH_CHIME },
    { L"ChimeHandle", FIELD_NUMBER, &settings.ChimeHandle, 0, SAVED_WITH_CHIME },
    { L"Countdown", FIELD_FLAG, &settings.Countdown, 0, SAVED_WITH_COUNTDOWN },
    { L"CountdownTime", FIELD_NUMBER, &settings.CountdownTime, 0, SAVED_WITH_COUNTDOWN },
    { L"CDFTLow", FIELD_NUMBER, &settings.CDFTLow, 0, SAVED_WITH_COUNTDOWN },
    { L"CDFTHigh", FIELD_NUMBER, &settings.CDFTHigh, 0, SAVED_WITH_COUNTDOWN },
    { L"CountdownSound", FIELD_TEXT, settings.CountdownSound, 0, SAVED_WITH_COUNTDOWN },
    { L"CountdownHandle", FIELD_NUMBER, &settings.CountdownHandle, 0, SAVED_WITH_COUNTDOWN },
    { L"CountdownKeepAwake", FIELD_FLAG, &settings.CountdownKeepAwake, 0, SAVED_WITH_COUNTDOWN },
};
const size_t settingFieldCount = ARRAYSIZE(settingFields);

static DWORD LocaleUses24HourTime()
{
    wchar_t iTime[2] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, iTime, ARRAYSIZE(iTime));
    return iTime[0] == L'0' ? 0 : 1;
}

void FindInstallDirectory()
{
    if (!InstallFolder(settings.installDirectory, ARRAYSIZE(settings.installDirectory)))
        settings.installDirectory[0] = L'\0';
    for (const SettingField& field : settingFields) {
        if (field.kind == FIELD_TEXT)
            static_cast<wchar_t*>(field.value)[0] = L'\0';
        else
            *static_cast<DWORD*>(field.value) = field.initial;
    }
    settings.TwentyFourHourTime = LocaleUses24HourTime();
}

LONG LoadSettings()
{
    FindInstallDirectory();

    HKEY key;
    LONG err = EnsureKey(DeviceDataRoot(), SETTINGS_KEY, KEY_READ, &key);
    if (err != ERROR_SUCCESS)
        return err;
    for (const SettingField& field : settingFields)
        LoadField(key, field.name, field.kind, field.value, SETTINGS_TEXT_UNITS);
    // No ring time would end every ring and every notification as it began;
    // no snooze time would ring again the moment SNOOZE was pressed.
    if (settings.MaxTime == 0)
        settings.MaxTime = 5;
    if (settings.SnoozeTime == 0)
        settings.SnoozeTime = 5;
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

// Writes the fields of `group` (all of them for 0). The saves never create
// the key: LoadSettings did at start-up.
static LONG SaveGroup(DWORD group)
{
    HKEY key;
    LONG err = RegOpenKeyExW(DeviceDataRoot(), SETTINGS_KEY, 0, KEY_SET_VALUE, &key);
    if (err == ERROR_SUCCESS) {
        for (const SettingField& field : settingFields) {
            if (group != 0 && (field.savedWith & group) == 0)
                continue;
            LONG written = SaveField(key, field.name, field.kind, field.value);
            if (err == ERROR_SUCCESS)
                err = written;
        }
        if (group == 0)
            RegFlushKey(key);
        RegCloseKey(key);
    }
    NoteRecordSaved(SETTINGS_RECORD, err);
    return err;
}

LONG SaveSettings()
{
    return SaveGroup(0);
}

LONG SaveChimeSettings()
{
    return SaveGroup(SAVED_WITH_CHIME);
}

LONG SaveCountdownSettings()
{
    return SaveGroup(SAVED_WITH_COUNTDOWN);
}

LONG ReloadChimeHandle()
{
    HKEY key;
    LONG err = EnsureKey(DeviceDataRoot(), SETTINGS_KEY, KEY_READ, &key);
    if (err != ERROR_SUCCESS)
        return err;
    ReadDwordValue(key, L"ChimeHandle", &settings.ChimeHandle);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

bool DefaultSoundPath(const wchar_t* fileName, wchar_t* path, size_t pathCount)
{
    return SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\sounds\\%s", settings.installDirectory,
                                      fileName));
}
