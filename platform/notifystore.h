// The durable store of pending notifications, shared by every process that
// sets them and by the scheduler that delivers them. It is a file, written
// through to disk and replaced atomically, so it survives any process's
// death, the wineserver's included (which would lose unsaved registry data).
// Each write goes to the file and then to a copy of it, so a good
// generation is always on disk to recover a damaged file from.
//
// The store is the user's own (see devicestore.h), and so are the lock, the
// change event and the scheduler's mutex (Local names, of the user's
// session): each user's scheduler rings that user's alarms.
#ifndef WAKELOOM_NOTIFYSTORE_H
#define WAKELOOM_NOTIFYSTORE_H

#include <windows.h>

#include "notifyrecord.h"

#define NOTIFICATION_STORE_LOCK  L"Local\\WakeloomNotificationStore"
#define NOTIFICATION_CHANGED     L"Local\\WakeloomNotificationsChanged"
// The file names, in the program's data folder (DeviceDataFolder).
#define STORE_FILE        L"notifications.dat"
#define STORE_COPY_FILE   L"notifications.dat.copy"
#define STORE_TEMP_FILE   L"notifications.dat.new"
#define STORE_DAMAGED     L"notifications.dat.damaged"
#define STORE_LOG_FILE    L"notifications.log"

// Serialises read-modify-write cycles between processes.
HANDLE LockNotificationStore();
void UnlockNotificationStore(HANDLE lock);

// Reads the store, recovering what it can from the copy. Damage is logged;
// with `repair` (the caller holds the lock) the damaged file is kept as
// STORE_DAMAGED and the store is rewritten from what was recovered.
void ReadNotificationStore(NotificationStore* store, bool repair = true);
// Writes the next generation; false when the file could not be replaced.
bool WriteNotificationStore(NotificationStore& store);
// Handles handed out so far, kept apart from the store (in the registry,
// where the alarms keep theirs), so no loss of the store repeats one. The
// registry's error when it could not be written: no handle may then be given.
LONG NoteIssuedHandles(DWORD nextHandle);

// Signalled whenever the store changes, so the scheduler looks again.
HANDLE OpenStoreChangedEvent();
void SignalStoreChanged();

// Where the store and its files live, for tests and tools.
bool NotificationStorePath(wchar_t* path, size_t pathCount);
bool NotificationFilePath(const wchar_t* name, wchar_t* path, size_t pathCount);

// Appends a line (local time, program, text) to STORE_LOG_FILE: what was
// lost, started late or could not be done, where a user can read it.
void LogNotificationEvent(const wchar_t* format, ...);

#endif
