// The pending notifications as the store keeps them, and the codec between
// them and the store file's bytes. Pure code, so the codec is table-tested
// and fuzzed natively.
#ifndef WAKELOOM_NOTIFYRECORD_H
#define WAKELOOM_NOTIFYRECORD_H

#include <stddef.h>

#include <vector>

#include "portable.h"

#define NOTIFY_TEXT_UNITS 260
// Far more than ten alarms, a chime and a countdown need; bounds a damaged
// file, and a request past it is refused.
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
    DWORD generation = 0;  // counts the writes, so two copies can be told apart
};

// What a read found besides the records.
struct StoreDecodeReport {
    bool headerRead = false;  // the header was whole: nextHandle and generation are its
    DWORD version = 0;
    DWORD expected = 0;       // records the header announced (0 when unread)
    DWORD damaged = 0;        // records lost to damage or truncation
};

// The store file's bytes (the current version, with a checksum per record).
std::vector<BYTE> EncodeNotificationStore(const NotificationStore& store);
// Reads a store file. True when the bytes are a whole, undamaged store.
// Otherwise `pending` holds every record that is still whole and `report`
// says what was lost; `nextHandle` and `generation` come from the header
// when it was readable (else are left alone), and `nextHandle` always lies
// past every handle read.
bool DecodeNotificationStore(const BYTE* bytes, size_t size, NotificationStore* store,
                             StoreDecodeReport* report = nullptr);
// The pending notification with `handle`, or null.
StoredNotification* FindStoredNotification(NotificationStore& store, DWORD handle);
// True when both hold the same notification (a replaced one differs).
bool SameNotification(const StoredNotification& a, const StoredNotification& b);

#endif
