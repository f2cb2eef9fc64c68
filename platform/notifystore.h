// The durable store of pending notifications, shared by every process that
// sets them and by the scheduler that delivers them. It is a file, written
// through to disk and replaced atomically, so it survives any process's
// death, the wineserver's included (which would lose unsaved registry data).
#ifndef WAKELOOM_NOTIFYSTORE_H
#define WAKELOOM_NOTIFYSTORE_H

#include <windows.h>

#include "notifyrecord.h"

// Serialises read-modify-write cycles between processes.
HANDLE LockNotificationStore();
void UnlockNotificationStore(HANDLE lock);

// A missing or damaged file reads as an empty store.
void ReadNotificationStore(NotificationStore* store);
bool WriteNotificationStore(const NotificationStore& store);

// Signalled whenever the store changes, so the scheduler looks again.
HANDLE OpenStoreChangedEvent();
void SignalStoreChanged();

// Where the store lives, for tests and tools.
bool NotificationStorePath(wchar_t* path, size_t pathCount);

#endif
