// libFuzzer target: the notification store's codec reading any file, and
// what it kept written back and read the same.
#include <stddef.h>
#include <stdint.h>

#include "notifyrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NotificationStore store = { 1, {} };
    StoreDecodeReport report;
    bool whole = DecodeNotificationStore(data, size, &store, &report);
    if (store.pending.size() > STORE_MAX_NOTIFICATIONS || (whole && report.damaged != 0))
        __builtin_trap();
    std::vector<BYTE> again = EncodeNotificationStore(store);
    NotificationStore back = { 1, {} };
    if (!DecodeNotificationStore(again.data(), again.size(), &back)
        || back.pending.size() != store.pending.size() || back.nextHandle != store.nextHandle
        || back.generation != store.generation)
        __builtin_trap();
    for (const StoredNotification& n : back.pending)
        if (n.handle == 0 || (n.handle >= back.nextHandle && n.handle != 0xFFFFFFFF))
            __builtin_trap();
    return 0;
}
