#include "settings.h"

#include <strsafe.h>

#include "devicepath.h"
#include "regstore.h"

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

wchar_t installDirectory[MAX_PATH];

// Read limits of the text values, in bytes, terminator included. A longer
// stored text is not loaded and the field keeps its default.
#define SLEEP_PATH_READ_BYTES   260
#define SOUND_PATH_READ_BYTES   255
#define INSTALL_DIR_READ_BYTES  520

static DWORD LocaleUses24HourTime()
{
    wchar_t iTime[2] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ITIME, iTime, ARRAYSIZE(iTime));
    return iTime[0] == L'0' ? 0 : 1;
}

static void ReadFlagValue(HKEY key, const wchar_t* name, DWORD* flag)
{
    DWORD value;
    if (ReadDwordValue(key, name, &value))
        *flag = value != 0 ? 1 : 0;
}

static void LookUpInstallDirectory()
{
    installDirectory[0] = L'\0';

    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, INSTALL_DIR_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    wchar_t stored[MAX_PATH] = L"";
    if (ReadTextValue(key, L"InstlDir", INSTALL_DIR_READ_BYTES, stored, ARRAYSIZE(stored))
        || ReadTextValue(key, L"InstallDir", INSTALL_DIR_READ_BYTES, stored, ARRAYSIZE(stored)))
        ResolveDevicePath(stored, installDirectory, ARRAYSIZE(installDirectory));
    RegCloseKey(key);
}

void FindInstallDirectory()
{
    LookUpInstallDirectory();
    TwentyFourHourTime = LocaleUses24HourTime();
    SnoozeTime = 15;
    MaxTime = 5;
    ShowIcon = 1;
    ShowITime = 1;
    SleepTime = 60;
    SleepPathType = 0;
    SleepPath[0] = L'\0';
    TimedSleep = 1;
    Silenced = 0;
    Chime = 0;
    ChimeSound[0] = L'\0';
    ChimeHandle = 0;
    Countdown = 0;
    CountdownTime = 0;
    CountdownKeepAwake = 0;
    CountdownSound[0] = L'\0';
    CountdownHandle = 0;
    CDFTLow = 0;
    CDFTHigh = 0;
}

LONG LoadSettings()
{
    FindInstallDirectory();

    HKEY key;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, SETTINGS_KEY, &key);
    if (err != ERROR_SUCCESS)
        return err;

    ReadFlagValue(key, L"24HourTime", &TwentyFourHourTime);
    ReadDwordValue(key, L"SnoozeTime", &SnoozeTime);
    ReadDwordValue(key, L"SleepTime", &SleepTime);
    ReadDwordValue(key, L"SleepPathType", &SleepPathType);
    ReadTextValue(key, L"SleepPath", SLEEP_PATH_READ_BYTES, SleepPath, ARRAYSIZE(SleepPath));
    ReadFlagValue(key, L"TimedSleep", &TimedSleep);
    ReadDwordValue(key, L"MaxTime", &MaxTime);
    ReadFlagValue(key, L"ShowIcon", &ShowIcon);
    ReadFlagValue(key, L"ShowITime", &ShowITime);
    ReadFlagValue(key, L"Silenced", &Silenced);
    ReadFlagValue(key, L"Chime", &Chime);
    ReadTextValue(key, L"ChimeSound", SOUND_PATH_READ_BYTES, ChimeSound, ARRAYSIZE(ChimeSound));
    ReadDwordValue(key, L"ChimeHandle", &ChimeHandle);
    ReadFlagValue(key, L"Countdown", &Countdown);
    ReadDwordValue(key, L"CountdownTime", &CountdownTime);
    ReadDwordValue(key, L"CDFTLow", &CDFTLow);
    ReadDwordValue(key, L"CDFTHigh", &CDFTHigh);
    ReadTextValue(key, L"CountdownSound", SOUND_PATH_READ_BYTES, CountdownSound,
                  ARRAYSIZE(CountdownSound));
    ReadDwordValue(key, L"CountdownHandle", &CountdownHandle);
    ReadFlagValue(key, L"CountdownKeepAwake", &CountdownKeepAwake);

    RegCloseKey(key);
    return ERROR_SUCCESS;
}

// The saves never create the key: LoadSettings did at start-up.
static LONG OpenSettingsKey(HKEY* key)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_ALL_ACCESS, key);
}

static void WriteChimeValues(HKEY key)
{
    WriteDwordValue(key, L"Chime", Chime);
    WriteTextValue(key, L"ChimeSound", ChimeSound);
    WriteDwordValue(key, L"ChimeHandle", ChimeHandle);
}

static void WriteCountdownValues(HKEY key)
{
    WriteDwordValue(key, L"Countdown", Countdown);
    WriteDwordValue(key, L"CountdownTime", CountdownTime);
    WriteDwordValue(key, L"CDFTLow", CDFTLow);
    WriteDwordValue(key, L"CDFTHigh", CDFTHigh);
    WriteTextValue(key, L"CountdownSound", CountdownSound);
    WriteDwordValue(key, L"CountdownHandle", CountdownHandle);
    WriteDwordValue(key, L"CountdownKeepAwake", CountdownKeepAwake);
}

LONG SaveSettings()
{
    HKEY key;
    LONG err = OpenSettingsKey(&key);
    if (err != ERROR_SUCCESS)
        return err;

    WriteDwordValue(key, L"24HourTime", TwentyFourHourTime);
    WriteDwordValue(key, L"SnoozeTime", SnoozeTime);
    WriteDwordValue(key, L"SleepTime", SleepTime);
    WriteDwordValue(key, L"SleepPathType", SleepPathType);
    WriteTextValue(key, L"SleepPath", SleepPath);
    WriteDwordValue(key, L"TimedSleep", TimedSleep);
    WriteDwordValue(key, L"MaxTime", MaxTime);
    WriteDwordValue(key, L"ShowIcon", ShowIcon);
    WriteDwordValue(key, L"Silenced", Silenced);
    WriteChimeValues(key);
    WriteCountdownValues(key);
    WriteDwordValue(key, L"ShowITime", ShowITime);

    RegFlushKey(key);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG SaveChimeSettings()
{
    HKEY key;
    LONG err = OpenSettingsKey(&key);
    if (err != ERROR_SUCCESS)
        return err;
    WriteChimeValues(key);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG SaveCountdownSettings()
{
    HKEY key;
    LONG err = OpenSettingsKey(&key);
    if (err != ERROR_SUCCESS)
        return err;
    WriteCountdownValues(key);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

LONG ReloadChimeHandle()
{
    HKEY key;
    LONG err = EnsureKey(HKEY_LOCAL_MACHINE, SETTINGS_KEY, &key);
    if (err != ERROR_SUCCESS)
        return err;
    ReadDwordValue(key, L"ChimeHandle", &ChimeHandle);
    RegCloseKey(key);
    return ERROR_SUCCESS;
}

bool DefaultSoundPath(const wchar_t* fileName, wchar_t* path, size_t pathCount)
{
    return SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\sounds\\%s", installDirectory,
                                      fileName));
}
