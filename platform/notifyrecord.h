// The pending notifications as the store keeps them, and the codec between
// them and the store file's bytes. Pure code, so the codec is table-tested
// and fuzzed natively.
#ifndef WAKELOOM_NOTIFYRECORD_H
#define WAKELOOM_NOTIFYRECORD_H

#include <stddef.h>

#include <vector>

#include "portable.h"

#define NOTIFY_TEXT_UNITS 260
// Far more than ten alarms, a chime and a countdown need; bounds a damaged file.
#define STORE_MAX_NOTIFICATIONS 4096

struct StoredNotification {
    DWORD handle;
    SYSTEMTIME start;
    SYSTEMTIME end;
    WCHAR application[NOTIFY_TEXT_UNITS];
    WCHAR arguments[NOTIFY_TEXT_UNITS];
};

struct NotificationStore {
    DWORD nextHandle;  // handles are never reused
    std::vector<StoredNotification> pending;
};

// The store file's bytes.
std::vector<BYTE> EncodeNotificationStore(const NotificationStore& store);
// Reads a store file. False when the bytes are not a whole, undamaged
// store: `pending` is then empty, and `nextHandle` is the one the header
// gave when the header itself was readable, else left alone.
bool DecodeNotificationStore(const BYTE* bytes, size_t size, NotificationStore* store);

#endif
