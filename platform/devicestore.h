// Where the program's data lives on the desktop. The device kept it for the
// whole machine (HKEY_LOCAL_MACHINE, the common application-data folder); a
// desktop program started by a standard user may only read there, and two
// users would ring each other's alarms. So each user keeps their own, and
// what an earlier install kept for the machine is copied over once.
#ifndef WAKELOOM_DEVICESTORE_H
#define WAKELOOM_DEVICESTORE_H

#include <windows.h>

// The program's keys under the data root: the settings, with the alarms in
// its subkey "Alarms", and the notification handles handed out so far.
#define DEVICE_DATA_KEY      L"Software\\Hazelmere\\Wakeloom"
#define DEVICE_HANDLES_KEY   L"Software\\Hazelmere\\WakeloomNotifications"
#define DEVICE_HANDLES_VALUE L"NextHandle"

// Both of these copy an earlier install's data first when this user has
// none yet: its keys, and its machine-wide notification store, so that its
// pending alarms still ring. Whichever program asks first makes the copy,
// and the others wait for it; a copy cut short is made again.

// The root of the program's keys: the user's own (HKEY_CURRENT_USER).
// The root of an earlier install's is HKEY_LOCAL_MACHINE, only ever read.
HKEY DeviceDataRoot();
// The folder of the program's files (the notification store and its log):
// "Wakeloom" in the user's local application data.
bool DeviceDataFolder(wchar_t* path, size_t pathCount);

// The earlier install's folder: "Wakeloom" in the common application data.
bool EarlierDataFolder(wchar_t* path, size_t pathCount);

#endif
