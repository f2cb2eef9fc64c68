// libFuzzer target: the notification store's codec reading any file, and
// what it read written back the same.
#include <stddef.h>
#include <stdint.h>

#include "notifyrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NotificationStore store = { 1, {} };
    if (!DecodeNotificationStore(data, size, &store))
        return 0;
    std::vector<BYTE> again = EncodeNotificationStore(store);
    NotificationStore back = { 1, {} };
    if (!DecodeNotificationStore(again.data(), again.size(), &back)
        || back.pending.size() != store.pending.size() || back.nextHandle != store.nextHandle)
        __builtin_trap();
    return 0;
}
