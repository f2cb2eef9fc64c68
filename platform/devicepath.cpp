#include "devicepath.h"

#include <shlobj.h>
#include <strsafe.h>
#include <wctype.h>

#include <initializer_list>

#include "storagecards.h"

// The device's name of the documents folder, and the desktop's own name of
// it, both roots of device paths.
#define DEVICE_DOCUMENTS L"My Documents"
// Where the device keeps its programs, ours among them.
#define DEVICE_WINDOWS   L"Windows"
// The installer's value may be a long path: up to 259 units and a terminator.
#define INSTALL_DIR_READ_BYTES 520

static bool IsDeviceRooted(const wchar_t* path)
{
    // "\\server\share" is a network path, not a rooted one.
    return path[0] == L'\\' && path[1] != L'\\';
}

bool DocumentsFolder(wchar_t* path, size_t pathCount)
{
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return false;
    return SUCCEEDED(StringCchCopyW(path, pathCount, folder));
}

// The desktop's documents folder and the name it goes by in device paths.
static bool DocumentsRoot(wchar_t* folder, const wchar_t** name)
{
    if (!DocumentsFolder(folder, MAX_PATH))
        return false;
    const wchar_t* slash = wcsrchr(folder, L'\\');
    *name = slash != nullptr ? slash + 1 : folder;
    return **name != L'\0';
}

// Whether `path` begins with the root folder `root` (a whole element).
static size_t RootLength(const wchar_t* path, const wchar_t* root)
{
    size_t length = wcslen(root);
    if (length == 0 || _wcsnicmp(path, root, length) != 0)
        return 0;
    return path[length] == L'\0' || path[length] == L'\\' ? length : 0;
}

// The real folder of a device path's first element, or false when it is
// the system drive's.
static bool RealRoot(const wchar_t* path, wchar_t* folder, size_t* rootLength)
{
    const wchar_t* name;
    wchar_t documents[MAX_PATH];
    if (DocumentsRoot(documents, &name)) {
        for (const wchar_t* root : { name, DEVICE_DOCUMENTS }) {
            if ((*rootLength = RootLength(path, root)) != 0)
                return SUCCEEDED(StringCchCopyW(folder, MAX_PATH, documents));
        }
    }
    size_t prefix = wcslen(STORAGE_CARD_PREFIX);
    if (_wcsnicmp(path, STORAGE_CARD_PREFIX, prefix) == 0 && path[prefix] != L'\0'
        && (path[prefix + 1] == L'\0' || path[prefix + 1] == L'\\')
        && IsStorageCardDrive(static_cast<wchar_t>(towupper(path[prefix])))) {
        *rootLength = prefix + 1;
        wchar_t drive[3] = { static_cast<wchar_t>(towupper(path[prefix])), L':', L'\0' };
        return SUCCEEDED(StringCchCopyW(folder, MAX_PATH, drive));
    }
    return false;
}

bool DevicePathOf(const wchar_t* path, wchar_t* out, size_t outCount)
{
    const wchar_t* name;
    wchar_t documents[MAX_PATH];
    size_t length;
    if (DocumentsRoot(documents, &name) && (length = RootLength(path, documents)) != 0)
        return SUCCEEDED(StringCchPrintfW(out, outCount, L"\\%s%s", name, path + length));
    if (path[0] != L'\0' && path[1] == L':' && IsStorageCardDrive(static_cast<wchar_t>(towupper(path[0]))))
        return SUCCEEDED(StringCchPrintfW(out, outCount, L"\\%s%c%s", STORAGE_CARD_PREFIX,
                                          towupper(path[0]), path[2] == L'\\' && path[3] == L'\0' ? L"" : path + 2));
    return SUCCEEDED(StringCchCopyW(out, outCount, path));
}

static bool Resolve(const wchar_t* path, wchar_t* out, size_t outCount, bool ownPrograms);

static bool ProgramFolder(wchar_t* folder)
{
    DWORD n = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    wchar_t* slash = n > 0 && n < MAX_PATH ? wcsrchr(folder, L'\\') : nullptr;
    if (slash == nullptr)
        return false;
    *slash = L'\0';
    return true;
}

static bool InstalledFolder(wchar_t* folder)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, INSTALL_DIR_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    wchar_t stored[INSTALL_DIR_READ_BYTES / sizeof(wchar_t)];
    bool found = false;
    for (const wchar_t* name : { L"InstlDir", L"InstallDir" }) {
        DWORD bytes = sizeof(stored);
        if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                         nullptr, stored, &bytes) == ERROR_SUCCESS) {
            found = true;
            break;
        }
    }
    RegCloseKey(key);
    // Resolved without the Windows folder's rule, which asks for this folder.
    return found && Resolve(stored, folder, MAX_PATH, false) && folder[0] != L'\0';
}

bool InstallFolder(wchar_t* path, size_t pathCount)
{
    wchar_t folder[MAX_PATH];
    return (InstalledFolder(folder) || ProgramFolder(folder))
           && SUCCEEDED(StringCchCopyW(path, pathCount, folder));
}

static bool FoundIn(const wchar_t* folder, const wchar_t* name, wchar_t* out, size_t outCount)
{
    return SUCCEEDED(StringCchPrintfW(out, outCount, L"%s\\%s", folder, name))
           && GetFileAttributesW(out) != INVALID_FILE_ATTRIBUTES;
}

// "\Windows\NAME" when NAME is one of our own files: beside the running
// program (the scheduler, the launcher and Wakeloom are installed together)
// or in the install folder.
static bool OwnProgramFile(const wchar_t* path, wchar_t* out, size_t outCount)
{
    size_t length = RootLength(path + 1, DEVICE_WINDOWS);
    if (length == 0 || path[1 + length] != L'\\' || path[2 + length] == L'\0')
        return false;
    const wchar_t* name = path + 2 + length;
    wchar_t folder[MAX_PATH];
    if (ProgramFolder(folder) && FoundIn(folder, name, out, outCount))
        return true;
    return InstalledFolder(folder) && FoundIn(folder, name, out, outCount);
}

static bool Resolve(const wchar_t* path, wchar_t* out, size_t outCount, bool ownPrograms)
{
    if (out == nullptr || outCount == 0)
        return false;
    out[0] = L'\0';
    if (path == nullptr)
        return false;
    if (ownPrograms && IsDeviceRooted(path) && OwnProgramFile(path, out, outCount))
        return true;

    HRESULT hr;
    wchar_t root[MAX_PATH];
    size_t rootLength = 0;
    if (IsDeviceRooted(path) && RealRoot(path + 1, root, &rootLength)) {
        hr = StringCchPrintfW(out, outCount, L"%s%s", root, path + 1 + rootLength);
    } else if (IsDeviceRooted(path)) {
        wchar_t windowsDir[MAX_PATH];
        UINT n = GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
        wchar_t drive[3] = L"C:";
        if (n >= 2 && n < MAX_PATH && windowsDir[1] == L':')
            drive[0] = windowsDir[0];
        hr = StringCchPrintfW(out, outCount, L"%s%s", drive, path);
    } else {
        hr = StringCchCopyW(out, outCount, path);
    }
    if (FAILED(hr)) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

bool ResolveDevicePath(const wchar_t* path, wchar_t* out, size_t outCount)
{
    return Resolve(path, out, outCount, true);
}
