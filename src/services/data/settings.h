// The Settings record, kept under the user's Software\Hazelmere\Wakeloom
// (devicestore.h) with one registry value per field. One table of fields
// drives their defaults, the load and the saves.
#ifndef WAKELOOM_SETTINGS_H
#define WAKELOOM_SETTINGS_H

#include <windows.h>

#include "devicestore.h"
#include "regstore.h"

#define SETTINGS_KEY        DEVICE_DATA_KEY
#define SETTINGS_TEXT_UNITS 260

#define DEFAULT_ALARM_SOUND     L"buzz.wav"
#define DEFAULT_CHIME_SOUND     L"CBell.wav"
#define DEFAULT_COUNTDOWN_SOUND L"CBuzzer.wav"
#define VOLUME_PREVIEW_SOUND    L"volume.wav"

// The Settings record. Fields are named as the registry values are, but
// for "24HourTime": a name cannot start with a digit.
struct SettingsRecord {
    DWORD TwentyFourHourTime;
    DWORD SnoozeTime;
    DWORD SleepTime;
    DWORD SleepPathType;
    wchar_t SleepPath[SETTINGS_TEXT_UNITS];
    DWORD TimedSleep;
    DWORD MaxTime;
    DWORD ShowIcon;
    DWORD ShowITime;
    DWORD Silenced;
    DWORD Chime;
    wchar_t ChimeSound[SETTINGS_TEXT_UNITS];
    DWORD ChimeHandle;
    DWORD Countdown;
    DWORD CountdownTime;
    DWORD CDFTLow;
    DWORD CDFTHigh;
    wchar_t CountdownSound[SETTINGS_TEXT_UNITS];
    DWORD CountdownHandle;
    DWORD CountdownKeepAwake;
    // Where the program was installed; its "sounds" folder holds the defaults.
    wchar_t installDirectory[MAX_PATH];
};
extern SettingsRecord settings;

// Which partial saves write a field besides the full save.
#define SAVED_WITH_CHIME     0x1
#define SAVED_WITH_COUNTDOWN 0x2

struct SettingField {
    const wchar_t* name;
    FieldKind kind;
    void* value;        // a DWORD, or a text of SETTINGS_TEXT_UNITS units
    DWORD initial;      // the default of a number; texts start empty
    DWORD savedWith;
};
extern const SettingField settingFields[];
extern const size_t settingFieldCount;

// Looks up the install directory and sets every setting to its default.
void FindInstallDirectory();
LONG LoadSettings();
// The saves return the first error of the open or of a value's write, and
// note it (NoteRecordSaved).
LONG SaveSettings();
LONG SaveChimeSettings();
LONG SaveCountdownSettings();
LONG ReloadChimeHandle();

// "%s\sounds\%s" of the install directory and `fileName`.
bool DefaultSoundPath(const wchar_t* fileName, wchar_t* path, size_t pathCount);

#endif
