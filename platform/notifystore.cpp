#include "notifystore.h"

#include <stdarg.h>
#include <string.h>
#include <strsafe.h>

#include <algorithm>

#include "devicestore.h"

#define STORE_READ_LIMIT  (64 * 1024 * 1024)
#define LOG_LIMIT_BYTES   (256 * 1024)

bool NotificationFilePath(const wchar_t* name, wchar_t* path, size_t pathCount)
{
    wchar_t dataDir[MAX_PATH];
    return DeviceDataFolder(dataDir, MAX_PATH)
           && SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\%s", dataDir, name));
}

bool NotificationStorePath(wchar_t* path, size_t pathCount)
{
    return NotificationFilePath(STORE_FILE, path, pathCount);
}

// The folder may not exist yet on a fresh system.
static void CreateNotificationFolder()
{
    wchar_t folder[MAX_PATH];
    if (!NotificationFilePath(L"", folder, MAX_PATH))
        return;
    folder[wcslen(folder) - 1] = L'\0';   // the trailing backslash
    CreateDirectoryW(folder, nullptr);
}

HANDLE LockNotificationStore()
{
    HANDLE lock = CreateMutexW(nullptr, FALSE, NOTIFICATION_STORE_LOCK);
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

// Whether the end of the log holds `line` already, from the same hour. A
// fault that lasts (a store that cannot be written, read again each second)
// is logged once an hour, not on every try.
static bool LoggedThisHour(const wchar_t* path, const char* line, size_t length)
{
    const size_t stampBytes = 20;  // "YYYY-MM-DD HH:MM:SS "
    const size_t hourBytes = 13;   // "YYYY-MM-DD HH"
    if (length <= stampBytes)
        return false;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char tail[4096];
    DWORD got = 0;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size)) {
        LARGE_INTEGER at;
        at.QuadPart = size.QuadPart > static_cast<LONGLONG>(sizeof(tail))
                          ? size.QuadPart - static_cast<LONGLONG>(sizeof(tail)) : 0;
        if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)
            || !ReadFile(file, tail, sizeof(tail), &got, nullptr))
            got = 0;
    }
    CloseHandle(file);
    for (size_t start = 0; start < got;) {
        size_t end = start;
        while (end < got && tail[end] != '\n')
            end++;
        size_t lineLength = end + 1 - start;  // with its newline, as `line` has it
        if (end < got && lineLength == length && memcmp(tail + start, line, hourBytes) == 0
            && memcmp(tail + start + stampBytes, line + stampBytes, length - stampBytes) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

void LogNotificationEvent(const wchar_t* format, ...)
{
    wchar_t text[768];
    va_list args;
    va_start(args, format);
    StringCchVPrintfW(text, ARRAYSIZE(text), format, args);
    va_end(args);

    wchar_t program[MAX_PATH] = L"?";
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const wchar_t* name = wcsrchr(program, L'\\');
    name = name != nullptr ? name + 1 : program;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t line[1024];
    StringCchPrintfW(line, ARRAYSIZE(line), L"%04u-%02u-%02u %02u:%02u:%02u %s: %s\r\n",
                     now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, name,
                     text);
    char utf8[3 * ARRAYSIZE(line)];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8), nullptr, nullptr);
    if (bytes <= 1)
        return;

    wchar_t path[MAX_PATH], old[MAX_PATH + 8];
    if (!NotificationFilePath(STORE_LOG_FILE, path, MAX_PATH))
        return;
    if (LoggedThisHour(path, utf8, static_cast<size_t>(bytes - 1)))
        return;
    CreateNotificationFolder();
    // Kept small: the previous part is kept once.
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (GetFileAttributesExW(path, GetFileExInfoStandard, &info) && info.nFileSizeLow > LOG_LIMIT_BYTES
        && SUCCEEDED(StringCchPrintfW(old, ARRAYSIZE(old), L"%s.old", path)))
        MoveFileExW(path, old, MOVEFILE_REPLACE_EXISTING);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, utf8, static_cast<DWORD>(bytes - 1), &written, nullptr);
    CloseHandle(file);
}

// Where handles start when nothing else is known: the seconds since 2020
// grow with time.
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

static DWORD IssuedHandlesUnder(HKEY root)
{
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(root, DEVICE_HANDLES_KEY, DEVICE_HANDLES_VALUE, RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS)
        value = 0;
    return value;
}

// The user's, and those an earlier install handed out for the machine: its
// handles may be among the user's, copied with its store.
static DWORD IssuedHandles()
{
    return std::max(IssuedHandlesUnder(DeviceDataRoot()), IssuedHandlesUnder(HKEY_LOCAL_MACHINE));
}

LONG NoteIssuedHandles(DWORD nextHandle)
{
    // Written before the handle is returned: a registry that kept an alarm's
    // handle kept this too.
    return RegSetKeyValueW(DeviceDataRoot(), DEVICE_HANDLES_KEY, DEVICE_HANDLES_VALUE, REG_DWORD,
                           &nextHandle, sizeof(nextHandle));
}

// False when the file does not exist (or cannot be opened).
static bool ReadWholeFile(const wchar_t* name, std::vector<BYTE>* bytes)
{
    bytes->clear();
    wchar_t path[MAX_PATH];
    if (!NotificationFilePath(name, path, MAX_PATH))
        return false;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart <= STORE_READ_LIMIT) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr))
            read = 0;
        bytes->resize(read);
    }
    CloseHandle(file);
    return true;
}

static void Describe(bool present, bool whole, const StoreDecodeReport& report, wchar_t* text,
                     size_t units)
{
    if (!present)
        StringCchCopyW(text, units, L"missing");
    else if (whole)
        StringCchCopyW(text, units, L"whole");
    else if (!report.headerRead)
        StringCchPrintfW(text, units, L"header unreadable, %lu records damaged",
                         static_cast<unsigned long>(report.damaged));
    else
        StringCchPrintfW(text, units, L"%lu of %lu records damaged or cut off",
                         static_cast<unsigned long>(report.damaged),
                         static_cast<unsigned long>(report.expected));
}

static void AddMissing(NotificationStore* store, const NotificationStore& other)
{
    for (const StoredNotification& n : other.pending) {
        if (FindStoredNotification(*store, n.handle) == nullptr
            && store->pending.size() < STORE_MAX_NOTIFICATIONS)
            store->pending.push_back(n);
    }
}

void ReadNotificationStore(NotificationStore* store, bool repair)
{
    DWORD floor = std::max(FreshHandleSeed(), IssuedHandles());
    store->pending.clear();
    store->generation = 0;
    store->nextHandle = floor;

    std::vector<BYTE> bytes;
    NotificationStore main = { floor, {} }, copy = { floor, {} };
    StoreDecodeReport mainReport, copyReport;
    bool haveMain = ReadWholeFile(STORE_FILE, &bytes);
    bool mainWhole = haveMain && DecodeNotificationStore(bytes.data(), bytes.size(), &main,
                                                         &mainReport);
    if (mainWhole) {
        *store = main;
        store->nextHandle = std::max(main.nextHandle, floor);
        return;
    }
    bool haveCopy = ReadWholeFile(STORE_COPY_FILE, &bytes);
    bool copyWhole = haveCopy && DecodeNotificationStore(bytes.data(), bytes.size(), &copy,
                                                         &copyReport);
    if (!haveMain && !haveCopy)
        return;  // a fresh system

    if (copyWhole && (!mainReport.headerRead || copy.generation >= main.generation)) {
        *store = copy;
    } else if (copyReport.headerRead && mainReport.headerRead
               && copy.generation > main.generation) {
        *store = copy;
        AddMissing(store, main);
    } else {
        *store = main;
        // The same generation damaged in other places: together they are whole.
        if (!copyReport.headerRead || !mainReport.headerRead || copy.generation == main.generation)
            AddMissing(store, copy);
    }
    store->nextHandle = std::max({ main.nextHandle, copy.nextHandle, floor });
    store->generation = std::max(main.generation, copy.generation);

    wchar_t mainText[96], copyText[96];
    Describe(haveMain, mainWhole, mainReport, mainText, ARRAYSIZE(mainText));
    Describe(haveCopy, copyWhole, copyReport, copyText, ARRAYSIZE(copyText));
    DWORD expected = std::max(mainReport.expected, copyReport.expected);
    DWORD lost = expected > store->pending.size()
                     ? expected - static_cast<DWORD>(store->pending.size()) : 0;
    LogNotificationEvent(L"notification store damaged (file: %s; copy: %s): %lu notifications "
                         L"kept, %lu lost%s",
                         mainText, copyText, static_cast<unsigned long>(store->pending.size()),
                         static_cast<unsigned long>(lost),
                         repair ? L"; the damaged file is kept as " STORE_DAMAGED : L"");
    if (!repair)
        return;
    wchar_t path[MAX_PATH], damaged[MAX_PATH];
    if (haveMain && NotificationStorePath(path, MAX_PATH)
        && NotificationFilePath(STORE_DAMAGED, damaged, MAX_PATH))
        CopyFileW(path, damaged, FALSE);
    if (!WriteNotificationStore(*store))
        LogNotificationEvent(L"the recovered store could not be written (error %lu)",
                             GetLastError());
}

static bool ReplaceWithBytes(const wchar_t* name, const std::vector<BYTE>& bytes)
{
    wchar_t path[MAX_PATH], temp[MAX_PATH];
    if (!NotificationFilePath(name, path, MAX_PATH)
        || !NotificationFilePath(STORE_TEMP_FILE, temp, MAX_PATH))
        return false;
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
        DWORD error = GetLastError();
        DeleteFileW(temp);
        SetLastError(error);
        return false;
    }
    return true;
}

bool WriteNotificationStore(NotificationStore& store)
{
    CreateNotificationFolder();

    store.generation++;
    std::vector<BYTE> bytes = EncodeNotificationStore(store);
    if (!ReplaceWithBytes(STORE_FILE, bytes)) {
        store.generation--;
        return false;
    }
    // Only once the file is in place: until then the copy is the previous
    // generation, whole.
    if (!ReplaceWithBytes(STORE_COPY_FILE, bytes))
        LogNotificationEvent(L"the copy of the store could not be written (error %lu)",
                             GetLastError());
    return true;
}

HANDLE OpenStoreChangedEvent()
{
    return CreateEventW(nullptr, FALSE, FALSE, NOTIFICATION_CHANGED);
}

void SignalStoreChanged()
{
    HANDLE changed = OpenStoreChangedEvent();
    if (changed != nullptr) {
        SetEvent(changed);
        CloseHandle(changed);
    }
}
