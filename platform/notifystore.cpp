#include "notifystore.h"

#include <shlobj.h>
#include <strsafe.h>

#define STORE_MAGIC   0x534E4B57  // "WKNS"
#define STORE_VERSION 1
// Far more than ten alarms, a chime and a countdown need; bounds a damaged file.
#define STORE_MAX_NOTIFICATIONS 4096

struct StoreHeader {
    DWORD magic;
    DWORD version;
    DWORD nextHandle;
    DWORD count;
    DWORD checksum;  // of the records that follow
};

static DWORD Checksum(const void* data, size_t size)
{
    // FNV-1a: catches a torn or damaged file, which is all it is for.
    const BYTE* bytes = static_cast<const BYTE*>(data);
    DWORD hash = 2166136261u;
    for (size_t i = 0; i < size; i++) {
        hash ^= bytes[i];
        hash *= 16777619u;
    }
    return hash;
}

bool NotificationStorePath(wchar_t* path, size_t pathCount)
{
    wchar_t dataDir[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                dataDir)))
        return false;
    return SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\Wakeloom\\notifications.dat",
                                      dataDir));
}

HANDLE LockNotificationStore()
{
    HANDLE lock = CreateMutexW(nullptr, FALSE, L"Local\\WakeloomNotificationStore");
    if (lock == nullptr)
        return nullptr;
    // An owner that died leaves WAIT_ABANDONED: the file itself is still whole.
    DWORD wait = WaitForSingleObject(lock, 10000);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        CloseHandle(lock);
        return nullptr;
    }
    return lock;
}

void UnlockNotificationStore(HANDLE lock)
{
    if (lock == nullptr)
        return;
    ReleaseMutex(lock);
    CloseHandle(lock);
}

// Where handles start when there is no store to continue from: the seconds
// since 2020 grow with time, so a lost store does not bring back handles that
// alarm records may still hold.
static DWORD FreshHandleSeed()
{
    SYSTEMTIME epoch = { 2020, 1, 0, 1, 0, 0, 0, 0 };
    FILETIME epochFt, nowFt;
    SystemTimeToFileTime(&epoch, &epochFt);
    GetSystemTimeAsFileTime(&nowFt);
    ULONGLONG now = (static_cast<ULONGLONG>(nowFt.dwHighDateTime) << 32) | nowFt.dwLowDateTime;
    ULONGLONG start = (static_cast<ULONGLONG>(epochFt.dwHighDateTime) << 32)
                      | epochFt.dwLowDateTime;
    DWORD seconds = now > start ? static_cast<DWORD>((now - start) / 10000000) : 0;
    return seconds != 0 ? seconds : 1;
}

void ReadNotificationStore(NotificationStore* store)
{
    store->nextHandle = FreshHandleSeed();
    store->pending.clear();

    wchar_t path[MAX_PATH];
    if (!NotificationStorePath(path, MAX_PATH))
        return;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;

    StoreHeader header;
    DWORD read = 0;
    if (ReadFile(file, &header, sizeof(header), &read, nullptr) && read == sizeof(header)
        && header.magic == STORE_MAGIC && header.version == STORE_VERSION) {
        // Even when the records are damaged, handles go on from where they were.
        if (header.nextHandle > store->nextHandle)
            store->nextHandle = header.nextHandle;
        std::vector<StoredNotification> records;
        DWORD bytes = 0;
        if (header.count <= STORE_MAX_NOTIFICATIONS) {
            records.resize(header.count);
            bytes = static_cast<DWORD>(header.count * sizeof(StoredNotification));
        }
        if (header.count <= STORE_MAX_NOTIFICATIONS
            && (bytes == 0 || (ReadFile(file, records.data(), bytes, &read, nullptr) && read == bytes))
            && Checksum(records.data(), bytes) == header.checksum) {
            for (StoredNotification& n : records) {
                // Texts come from disk: make sure they end inside their buffers.
                n.application[NOTIFY_TEXT_UNITS - 1] = L'\0';
                n.arguments[NOTIFY_TEXT_UNITS - 1] = L'\0';
                if (n.handle != 0)
                    store->pending.push_back(n);
            }
        }
    }
    CloseHandle(file);
}

bool WriteNotificationStore(const NotificationStore& store)
{
    wchar_t path[MAX_PATH], temp[MAX_PATH + 8];
    if (!NotificationStorePath(path, MAX_PATH)
        || FAILED(StringCchPrintfW(temp, ARRAYSIZE(temp), L"%s.new", path)))
        return false;
    // The folder may not exist yet on a fresh system.
    wchar_t folder[MAX_PATH];
    StringCchCopyW(folder, MAX_PATH, path);
    wchar_t* slash = wcsrchr(folder, L'\\');
    if (slash != nullptr) {
        *slash = L'\0';
        CreateDirectoryW(folder, nullptr);
    }

    StoreHeader header = { STORE_MAGIC, STORE_VERSION, store.nextHandle,
                           static_cast<DWORD>(store.pending.size()), 0 };
    DWORD bytes = static_cast<DWORD>(store.pending.size() * sizeof(StoredNotification));
    header.checksum = Checksum(store.pending.data(), bytes);

    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, &header, sizeof(header), &written, nullptr)
              && written == sizeof(header);
    if (ok && bytes > 0)
        ok = WriteFile(file, store.pending.data(), bytes, &written, nullptr) && written == bytes;
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    // Readers see either the old file or the new one, never half of one.
    if (!ok || !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temp);
        return false;
    }
    return true;
}

HANDLE OpenStoreChangedEvent()
{
    return CreateEventW(nullptr, FALSE, FALSE, L"Local\\WakeloomNotificationsChanged");
}

void SignalStoreChanged()
{
    HANDLE changed = OpenStoreChangedEvent();
    if (changed != nullptr) {
        SetEvent(changed);
        CloseHandle(changed);
    }
}
