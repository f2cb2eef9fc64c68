#include "devicepath.h"

#include <strsafe.h>

static bool IsDeviceRooted(const wchar_t* path)
{
    // "\\server\share" is a network path, not a rooted one.
    return path[0] == L'\\' && path[1] != L'\\';
}

bool ResolveDevicePath(const wchar_t* path, wchar_t* out, size_t outCount)
{
    if (out == nullptr || outCount == 0)
        return false;
    out[0] = L'\0';
    if (path == nullptr)
        return false;

    HRESULT hr;
    if (IsDeviceRooted(path)) {
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
