#include "notifystore.h"

#include <shlobj.h>
#include <strsafe.h>

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
    std::vector<BYTE> bytes;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= 64 * 1024 * 1024) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
        bytes.resize(read);
    }
    CloseHandle(file);

    DWORD seed = store->nextHandle;
    DecodeNotificationStore(bytes.data(), bytes.size(), store);
    // Handles never go back, whatever the file said.
    if (store->nextHandle < seed)
        store->nextHandle = seed;
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

    std::vector<BYTE> bytes = EncodeNotificationStore(store);
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
              && written == bytes.size() && FlushFileBuffers(file);
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
