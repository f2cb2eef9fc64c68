#include "notifyrecord.h"

#include <string.h>

#define STORE_MAGIC   0x534E4B57  // "WKNS"
// Version 1 had one checksum over all records: one bad byte lost them all.
#define STORE_VERSION_WHOLE   1
#define STORE_VERSION         2
#define V1_HEADER_BYTES 20
#define HEADER_BYTES  32
#define FIELDS_BYTES  (4 + 2 * 16 + 2 * 2 * NOTIFY_TEXT_UNITS)
#define RECORD_BYTES  (FIELDS_BYTES + 4)

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

static void PutFields(std::vector<BYTE>& out, const StoredNotification& n)
{
    Put32(out, n.handle);
    PutTime(out, n.start);
    PutTime(out, n.end);
    // Nothing after a text's end is written: padding holds no stale bytes.
    bool ended = false;
    for (WCHAR unit : n.application) {
        Put16(out, ended ? 0 : unit);
        ended = ended || unit == 0;
    }
    ended = false;
    for (WCHAR unit : n.arguments) {
        Put16(out, ended ? 0 : unit);
        ended = ended || unit == 0;
    }
}

static StoredNotification GetFields(const BYTE* p)
{
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
    return n;
}

std::vector<BYTE> EncodeNotificationStore(const NotificationStore& store)
{
    std::vector<BYTE> out;
    out.reserve(HEADER_BYTES + store.pending.size() * RECORD_BYTES);
    Put32(out, STORE_MAGIC);
    Put32(out, STORE_VERSION);
    Put32(out, store.generation);
    Put32(out, store.nextHandle);
    Put32(out, static_cast<DWORD>(store.pending.size()));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, Checksum(out.data(), out.size()));
    for (const StoredNotification& n : store.pending) {
        size_t at = out.size();
        PutFields(out, n);
        Put32(out, Checksum(out.data() + at, FIELDS_BYTES));
    }
    return out;
}

StoredNotification* FindStoredNotification(NotificationStore& store, DWORD handle)
{
    for (StoredNotification& n : store.pending) {
        if (n.handle == handle)
            return &n;
    }
    return nullptr;
}

// The first version: all records or none.
static bool DecodeWhole(const BYTE* bytes, size_t size, NotificationStore* store,
                        StoreDecodeReport* report)
{
    if (size < V1_HEADER_BYTES)
        return false;
    report->headerRead = true;
    store->nextHandle = Get32(bytes + 8);
    DWORD count = Get32(bytes + 12);
    report->expected = count;
    report->damaged = count;
    if (count > STORE_MAX_NOTIFICATIONS
        || size - V1_HEADER_BYTES != count * size_t(FIELDS_BYTES)
        || Checksum(bytes + V1_HEADER_BYTES, size - V1_HEADER_BYTES) != Get32(bytes + 16))
        return false;
    report->damaged = 0;
    for (DWORD i = 0; i < count; i++) {
        StoredNotification n = GetFields(bytes + V1_HEADER_BYTES + i * size_t(FIELDS_BYTES));
        if (n.handle != 0 && FindStoredNotification(*store, n.handle) == nullptr)
            store->pending.push_back(n);
    }
    return true;
}

bool DecodeNotificationStore(const BYTE* bytes, size_t size, NotificationStore* store,
                             StoreDecodeReport* report)
{
    StoreDecodeReport unused;
    if (report == nullptr)
        report = &unused;
    *report = StoreDecodeReport();
    store->pending.clear();
    if (size < 8 || Get32(bytes) != STORE_MAGIC) {
        // Not even a magic: still look for whole records where they would be.
        report->version = 0;
    } else {
        report->version = Get32(bytes + 4);
    }
    bool whole = false;
    if (report->version == STORE_VERSION_WHOLE) {
        whole = DecodeWhole(bytes, size, store, report);
    } else {
        if (size >= HEADER_BYTES && report->version == STORE_VERSION
            && Checksum(bytes, HEADER_BYTES - 4) == Get32(bytes + HEADER_BYTES - 4)
            && Get32(bytes + 16) <= STORE_MAX_NOTIFICATIONS) {
            report->headerRead = true;
            store->generation = Get32(bytes + 8);
            store->nextHandle = Get32(bytes + 12);
            report->expected = Get32(bytes + 16);
        }
        // Each record stands alone: a damaged one loses only itself.
        size_t present = size > HEADER_BYTES ? (size - HEADER_BYTES) / RECORD_BYTES : 0;
        size_t slots = report->headerRead ? report->expected : present;
        if (slots > STORE_MAX_NOTIFICATIONS)
            slots = STORE_MAX_NOTIFICATIONS;
        for (size_t i = 0; i < slots; i++) {
            const BYTE* p = bytes + HEADER_BYTES + i * size_t(RECORD_BYTES);
            if (i >= present || Checksum(p, FIELDS_BYTES) != Get32(p + FIELDS_BYTES)) {
                report->damaged++;
                continue;
            }
            StoredNotification n = GetFields(p);
            if (n.handle != 0 && FindStoredNotification(*store, n.handle) == nullptr)
                store->pending.push_back(n);
        }
        // Bytes beyond the announced records, or a torn last one.
        if (!report->headerRead && size > HEADER_BYTES + present * size_t(RECORD_BYTES))
            report->damaged++;
        whole = report->headerRead && report->damaged == 0
                && size == HEADER_BYTES + slots * size_t(RECORD_BYTES);
    }
    for (const StoredNotification& n : store->pending) {
        if (n.handle >= store->nextHandle && n.handle != 0xFFFFFFFF)
            store->nextHandle = n.handle + 1;
    }
    return whole;
}

bool SameNotification(const StoredNotification& a, const StoredNotification& b)
{
    std::vector<BYTE> left, right;
    PutFields(left, a);
    PutFields(right, b);
    return left == right;
}
