#include "notifyrecord.h"

#define STORE_MAGIC   0x534E4B57  // "WKNS"
#define STORE_VERSION 1
#define HEADER_BYTES  20
#define RECORD_BYTES  (4 + 2 * 16 + 2 * 2 * NOTIFY_TEXT_UNITS)

static DWORD Checksum(const BYTE* bytes, size_t size)
{
    // FNV-1a: catches a torn or damaged file, which is all it is for.
    DWORD hash = 2166136261u;
    for (size_t i = 0; i < size; i++) {
        hash ^= bytes[i];
        hash *= 16777619u;
    }
    return hash;
}

static void Put16(std::vector<BYTE>& out, unsigned value)
{
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

static void Put32(std::vector<BYTE>& out, DWORD value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

static void PutTime(std::vector<BYTE>& out, const SYSTEMTIME& t)
{
    const WORD fields[8] = { t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute,
                             t.wSecond, t.wMilliseconds };
    for (WORD field : fields)
        Put16(out, field);
}

static unsigned Get16(const BYTE* p)
{
    return p[0] | (p[1] << 8);
}

static DWORD Get32(const BYTE* p)
{
    return Get16(p) | (static_cast<DWORD>(Get16(p + 2)) << 16);
}

static SYSTEMTIME GetTime(const BYTE* p)
{
    SYSTEMTIME t;
    WORD* fields[8] = { &t.wYear, &t.wMonth, &t.wDayOfWeek, &t.wDay, &t.wHour, &t.wMinute,
                        &t.wSecond, &t.wMilliseconds };
    for (int i = 0; i < 8; i++)
        *fields[i] = static_cast<WORD>(Get16(p + 2 * i));
    return t;
}

std::vector<BYTE> EncodeNotificationStore(const NotificationStore& store)
{
    std::vector<BYTE> records;
    records.reserve(store.pending.size() * RECORD_BYTES);
    for (const StoredNotification& n : store.pending) {
        Put32(records, n.handle);
        PutTime(records, n.start);
        PutTime(records, n.end);
        for (WCHAR unit : n.application)
            Put16(records, unit);
        for (WCHAR unit : n.arguments)
            Put16(records, unit);
    }
    std::vector<BYTE> out;
    Put32(out, STORE_MAGIC);
    Put32(out, STORE_VERSION);
    Put32(out, store.nextHandle);
    Put32(out, static_cast<DWORD>(store.pending.size()));
    Put32(out, Checksum(records.data(), records.size()));
    out.insert(out.end(), records.begin(), records.end());
    return out;
}

bool DecodeNotificationStore(const BYTE* bytes, size_t size, NotificationStore* store)
{
    store->pending.clear();
    if (size < HEADER_BYTES || Get32(bytes) != STORE_MAGIC || Get32(bytes + 4) != STORE_VERSION)
        return false;
    // Even when the records are damaged, handles go on from where they were.
    store->nextHandle = Get32(bytes + 8);
    DWORD count = Get32(bytes + 12);
    if (count > STORE_MAX_NOTIFICATIONS || size - HEADER_BYTES != count * size_t(RECORD_BYTES)
        || Checksum(bytes + HEADER_BYTES, size - HEADER_BYTES) != Get32(bytes + 16))
        return false;
    for (DWORD i = 0; i < count; i++) {
        const BYTE* p = bytes + HEADER_BYTES + i * size_t(RECORD_BYTES);
        StoredNotification n;
        n.handle = Get32(p);
        n.start = GetTime(p + 4);
        n.end = GetTime(p + 20);
        for (int u = 0; u < NOTIFY_TEXT_UNITS; u++) {
            n.application[u] = static_cast<WCHAR>(Get16(p + 36 + 2 * u));
            n.arguments[u] = static_cast<WCHAR>(Get16(p + 36 + 2 * NOTIFY_TEXT_UNITS + 2 * u));
        }
        // Texts come from disk: make sure they end inside their buffers.
        n.application[NOTIFY_TEXT_UNITS - 1] = 0;
        n.arguments[NOTIFY_TEXT_UNITS - 1] = 0;
        if (n.handle != 0)
            store->pending.push_back(n);
    }
    return true;
}
