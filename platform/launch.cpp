#include "launch.h"

#include <strsafe.h>

#include "devicepath.h"

bool LaunchProgram(const wchar_t* path, const wchar_t* arguments, HANDLE* process)
{
    wchar_t program[MAX_PATH];
    if (!ResolveDevicePath(path, program, MAX_PATH))
        return false;
    // The quoted name, a blank and the arguments (260 units, and a prefix
    // such as "/EXPIRED ") at most.
    wchar_t commandLine[2 * MAX_PATH + 32];
    bool hasArguments = arguments != nullptr && arguments[0] != L'\0';
    if (FAILED(StringCchPrintfW(commandLine, ARRAYSIZE(commandLine), L"\"%s\"%s%s", program,
                                hasArguments ? L" " : L"", hasArguments ? arguments : L"")))
        return false;

    // Without a folder the name is searched for (and ".exe" added), which
    // only happens when no application name is given.
    bool bare = wcschr(program, L'\\') == nullptr && wcschr(program, L'/') == nullptr;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(bare ? nullptr : program, commandLine, nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    if (process != nullptr)
        *process = pi.hProcess;
    else
        CloseHandle(pi.hProcess);
    return true;
}

bool FindFileIn(const wchar_t* folder, const wchar_t* name, wchar_t* path, size_t pathCount)
{
    return folder[0] != L'\0'
           && SUCCEEDED(StringCchPrintfW(path, pathCount, L"%s\\%s", folder, name))
           && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

bool FindBesideProgram(const wchar_t* name, wchar_t* path, size_t pathCount)
{
    wchar_t folder[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, folder, MAX_PATH);
    wchar_t* slash = n > 0 && n < MAX_PATH ? wcsrchr(folder, L'\\') : nullptr;
    if (slash == nullptr)
        return false;
    *slash = L'\0';
    return FindFileIn(folder, name, path, pathCount);
}

bool FindDeviceWindowsFile(const wchar_t* name, wchar_t* path, size_t pathCount)
{
    wchar_t devicePath[MAX_PATH];
    return SUCCEEDED(StringCchPrintfW(devicePath, ARRAYSIZE(devicePath), L"\\Windows\\%s", name))
           && ResolveDevicePath(devicePath, path, pathCount)
           && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}
