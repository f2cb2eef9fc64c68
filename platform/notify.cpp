#include "notify.h"

#include <strsafe.h>

#include "launch.h"
#include "notifystore.h"

static bool IsValidTime(const SYSTEMTIME& time)
{
    FILETIME ft;
    return SystemTimeToFileTime(&time, &ft) != 0;
}

static ULONGLONG TimeValue(const SYSTEMTIME& time)
{
    FILETIME ft = {};
    SystemTimeToFileTime(&time, &ft);
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

static bool FitsText(const WCHAR* text)
{
    size_t length;
    return SUCCEEDED(StringCchLengthW(text, NOTIFY_TEXT_UNITS, &length));
}

static bool IsValidTrigger(const CE_NOTIFICATION_TRIGGER* t)
{
    return t != nullptr && t->dwSize >= sizeof(CE_NOTIFICATION_TRIGGER) && t->dwType == CNT_TIME
           && t->lpszApplication != nullptr && t->lpszApplication[0] != L'\0'
           && FitsText(t->lpszApplication)
           && (t->lpszArguments == nullptr || FitsText(t->lpszArguments))
           && IsValidTime(t->stStartTime) && IsValidTime(t->stEndTime)
           && TimeValue(t->stEndTime) >= TimeValue(t->stStartTime);
}

// Takes the store's lock and reads it; false (ERROR_BUSY) when the lock
// could not be had. The caller unlocks.
static bool LockAndReadStore(NotificationStore* store, HANDLE* lock)
{
    *lock = LockNotificationStore();
    if (*lock == nullptr) {
        SetLastError(ERROR_BUSY);
        return false;
    }
    ReadNotificationStore(store);
    return true;
}

// What is pending now, for the callers that only look. Without the lock
// the file is read as it is, and not repaired.
static void ReadStoreSnapshot(NotificationStore* store)
{
    HANDLE lock = LockNotificationStore();
    ReadNotificationStore(store, lock != nullptr);
    UnlockNotificationStore(lock);
}

HANDLE CeSetUserNotificationEx(HANDLE hNotification, CE_NOTIFICATION_TRIGGER* pcnt,
                               CE_USER_NOTIFICATION* pceun)
{
    (void)pceun;  // no dialog, text or sound is offered: the application is the action
    if (!IsValidTrigger(pcnt)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DWORD wanted = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hNotification));
    if (reinterpret_cast<ULONG_PTR>(hNotification) > MAXDWORD) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }

    NotificationStore store;
    HANDLE lock;
    if (!LockAndReadStore(&store, &lock))
        return nullptr;

    StoredNotification record = {};
    StoredNotification* target = &record;
    if (wanted != 0) {
        target = FindStoredNotification(store, wanted);
        if (target == nullptr) {
            UnlockNotificationStore(lock);
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    } else {
        if (store.pending.size() >= STORE_MAX_NOTIFICATIONS) {
            UnlockNotificationStore(lock);
            SetLastError(ERROR_NOT_ENOUGH_QUOTA);
            return nullptr;
        }
        record.handle = store.nextHandle++;
        if (store.nextHandle == 0)  // 0 means "no notification"
            store.nextHandle = 1;
        LONG noted = NoteIssuedHandles(store.nextHandle);
        if (noted != ERROR_SUCCESS) {
            UnlockNotificationStore(lock);
            SetLastError(static_cast<DWORD>(noted));
            return nullptr;
        }
    }
    target->start = pcnt->stStartTime;
    target->end = pcnt->stEndTime;
    StringCchCopyW(target->application, NOTIFY_TEXT_UNITS, pcnt->lpszApplication);
    StringCchCopyW(target->arguments, NOTIFY_TEXT_UNITS,
                   pcnt->lpszArguments != nullptr ? pcnt->lpszArguments : L"");
    DWORD handle = target->handle;
    if (wanted == 0)
        store.pending.push_back(record);

    bool written = WriteNotificationStore(store);
    UnlockNotificationStore(lock);
    if (!written) {
        SetLastError(ERROR_WRITE_FAULT);
        return nullptr;
    }
    SignalStoreChanged();
    EnsureNotificationSchedulerRunning();
    return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(handle));
}

BOOL CeClearUserNotification(HANDLE hNotification)
{
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hNotification);
    if (value == 0 || value > MAXDWORD) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    NotificationStore store;
    HANDLE lock;
    if (!LockAndReadStore(&store, &lock))
        return FALSE;
    size_t before = store.pending.size();
    std::erase_if(store.pending,
                  [&](const StoredNotification& n) { return n.handle == value; });
    bool found = store.pending.size() != before;
    bool written = found && WriteNotificationStore(store);
    UnlockNotificationStore(lock);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!written) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    SignalStoreChanged();
    return TRUE;
}

BOOL CeGetUserNotificationHandles(HANDLE* rghNotifications, DWORD cHandles,
                                  LPDWORD pcHandlesNeeded)
{
    if (pcHandlesNeeded == nullptr || (cHandles > 0 && rghNotifications == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    NotificationStore store;
    ReadStoreSnapshot(&store);

    *pcHandlesNeeded = static_cast<DWORD>(store.pending.size());
    if (cHandles < store.pending.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    for (size_t i = 0; i < store.pending.size(); i++)
        rghNotifications[i] = reinterpret_cast<HANDLE>(
            static_cast<ULONG_PTR>(store.pending[i].handle));
    return TRUE;
}

BOOL CeGetUserNotification(HANDLE hNotification, DWORD cBufferSize, LPDWORD pcBytesNeeded,
                           LPBYTE pBuffer)
{
    if (pcBytesNeeded == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    NotificationStore store;
    ReadStoreSnapshot(&store);

    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hNotification);
    const StoredNotification* n = value <= MAXDWORD ? FindStoredNotification(store, static_cast<DWORD>(value))
                                                    : nullptr;
    if (value == 0 || n == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }

    size_t appBytes = (wcslen(n->application) + 1) * sizeof(WCHAR);
    size_t argBytes = (wcslen(n->arguments) + 1) * sizeof(WCHAR);
    size_t needed = sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER)
                    + sizeof(CE_USER_NOTIFICATION) + appBytes + argBytes;
    *pcBytesNeeded = static_cast<DWORD>(needed);
    if (pBuffer == nullptr || cBufferSize < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }

    ZeroMemory(pBuffer, needed);
    auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(pBuffer);
    auto* trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(header + 1);
    auto* user = reinterpret_cast<CE_USER_NOTIFICATION*>(trigger + 1);
    auto* app = reinterpret_cast<WCHAR*>(user + 1);
    auto* args = reinterpret_cast<WCHAR*>(reinterpret_cast<BYTE*>(app) + appBytes);
    memcpy(app, n->application, appBytes);
    memcpy(args, n->arguments, argBytes);
    trigger->dwSize = sizeof(*trigger);
    trigger->dwType = CNT_TIME;
    trigger->lpszApplication = app;
    trigger->lpszArguments = args;
    trigger->stStartTime = n->start;
    trigger->stEndTime = n->end;
    header->hNotification = hNotification;
    header->dwStatus = 0;  // still pending
    header->pcent = trigger;
    header->pceun = user;
    return TRUE;
}

bool EnsureNotificationSchedulerRunning()
{
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, NOTIFICATION_SCHEDULER_MUTEX);
    if (running != nullptr) {
        CloseHandle(running);
        return true;
    }
    // Where the device keeps it: beside the calling program (a build or the
    // install folder) or in the install folder.
    wchar_t path[MAX_PATH];
    if (!FindDeviceWindowsFile(NOTIFICATION_SCHEDULER_FILE, path, MAX_PATH))
        return false;
    return LaunchProgram(path, nullptr);
}
