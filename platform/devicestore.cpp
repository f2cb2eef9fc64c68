#include "devicestore.h"

#include <shlobj.h>
#include <strsafe.h>

#include "notifystore.h"

#define DATA_FOLDER_NAME  L"Wakeloom"
// Set in the user's handles key while a copy is under way: one cut short
// (the program killed) is made again, over what it left.
#define COPYING_VALUE     L"CopyingEarlierData"

// The store's files, the copy before the file itself: a copy cut short
// between them leaves a store that reads whole from its copy.
static const wchar_t* const storeFiles[] = { STORE_COPY_FILE, STORE_FILE };

static bool FolderIn(int csidl, wchar_t* path, size_t pathCount)
{
    wchar_t base[MAX_PATH];
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, base))
           && SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\" DATA_FOLDER_NAME, base));
}

bool EarlierDataFolder(wchar_t* path, size_t pathCount)
{
    return FolderIn(CSIDL_COMMON_APPDATA, path, pathCount);
}

static bool KeyExists(HKEY root, const wchar_t* path)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static bool CopyCutShort()
{
    return RegGetValueW(HKEY_CURRENT_USER, DEVICE_HANDLES_KEY, COPYING_VALUE, RRF_RT_ANY, nullptr,
                        nullptr, nullptr) == ERROR_SUCCESS;
}

static bool FileIn(const wchar_t* folder, const wchar_t* name, wchar_t* path)
{
    return SUCCEEDED(StringCchPrintfW(path, MAX_PATH, L"%s\\%s", folder, name));
}

static bool HasStore(const wchar_t* folder)
{
    wchar_t path[MAX_PATH];
    for (const wchar_t* name : storeFiles) {
        if (FileIn(folder, name, path) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
            return true;
    }
    return false;
}

// Replaces the user's store with the earlier one, file by file.
static LONG CopyStore(const wchar_t* earlier, const wchar_t* mine)
{
    CreateDirectoryW(mine, nullptr);
    for (const wchar_t* name : storeFiles) {
        wchar_t from[MAX_PATH], to[MAX_PATH];
        if (!FileIn(earlier, name, from) || !FileIn(mine, name, to))
            return ERROR_FILENAME_EXCED_RANGE;
        if (GetFileAttributesW(from) == INVALID_FILE_ATTRIBUTES)
            DeleteFileW(to);
        else if (!CopyFileW(from, to, FALSE))
            return static_cast<LONG>(GetLastError());
    }
    return ERROR_SUCCESS;
}

// Copies the earlier install's keys and, unless the user has a store of
// their own already, its store. The mark goes only once all is copied.
static bool CopyEarlierData(bool again, bool store, const wchar_t* earlier, const wchar_t* mine)
{
    DWORD one = 1;
    LONG err = RegSetKeyValueW(HKEY_CURRENT_USER, DEVICE_HANDLES_KEY, COPYING_VALUE, REG_DWORD,
                               &one, sizeof(one));
    if (err != ERROR_SUCCESS)
        return false;
    if (again)
        RegDeleteTreeW(HKEY_CURRENT_USER, DEVICE_DATA_KEY);
    HKEY from, to;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DEVICE_DATA_KEY, 0, KEY_READ, &from) == ERROR_SUCCESS) {
        err = RegCreateKeyExW(HKEY_CURRENT_USER, DEVICE_DATA_KEY, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &to, nullptr);
        if (err == ERROR_SUCCESS) {
            // Values and subkeys only: the keys take the user's own access rights.
            err = RegCopyTreeW(from, nullptr, to);
            RegCloseKey(to);
        }
        RegCloseKey(from);
    }
    if (err == ERROR_SUCCESS && store)
        err = CopyStore(earlier, mine);
    if (err == ERROR_SUCCESS)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, DEVICE_HANDLES_KEY, COPYING_VALUE);
    return store && err == ERROR_SUCCESS;
}

// The user has data once their key exists and no copy was cut short. Else
// what there is to copy is copied, under the store's lock: one copy at a
// time among the user's programs (the scheduler may start before Wakeloom,
// or with it), and none while another reads or writes the store (they come
// here first, holding that lock already). Never fails: without a copy the
// program starts as on a first run.
static void CopyEarlierDataOnce()
{
    if (KeyExists(HKEY_CURRENT_USER, DEVICE_DATA_KEY) && !CopyCutShort())
        return;
    HANDLE lock = LockNotificationStore();
    if (lock == nullptr)
        return;
    bool storeCopied = false;
    wchar_t earlier[MAX_PATH], mine[MAX_PATH];
    if (EarlierDataFolder(earlier, MAX_PATH) && FolderIn(CSIDL_LOCAL_APPDATA, mine, MAX_PATH)) {
        bool again = CopyCutShort();
        bool store = HasStore(earlier) && (again || !HasStore(mine));
        if (again || store
            || (!KeyExists(HKEY_CURRENT_USER, DEVICE_DATA_KEY)
                && KeyExists(HKEY_LOCAL_MACHINE, DEVICE_DATA_KEY)))
            storeCopied = CopyEarlierData(again, store, earlier, mine);
    }
    UnlockNotificationStore(lock);
    // A scheduler that runs already looks at the store it now has.
    if (storeCopied)
        SignalStoreChanged();
}

HKEY DeviceDataRoot()
{
    CopyEarlierDataOnce();
    return HKEY_CURRENT_USER;
}

bool DeviceDataFolder(wchar_t* path, size_t pathCount)
{
    CopyEarlierDataOnce();
    return FolderIn(CSIDL_LOCAL_APPDATA, path, pathCount);
}
