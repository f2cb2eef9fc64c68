// What passes between Wakeloom and its Companion launcher.
#include "app.h"

#include <strsafe.h>

#include "devicepath.h"
#include "settings.h"

void UpdateTaskbarIcon()
{
    HWND launcher = FindWindowW(L"wklmgr", L"wklmgr");
    if (ShowIcon == 0 && launcher != nullptr) {
        SendMessageW(launcher, WM_CLOSE, 0, 0);
    } else if (ShowIcon != 0 && launcher == nullptr) {
        wchar_t devicePath[MAX_PATH], path[MAX_PATH];
        StringCchPrintfW(devicePath, ARRAYSIZE(devicePath), L"\\Windows\\%s", L"wklmgr.exe");
        if (!ResolveDevicePath(devicePath, path, MAX_PATH))
            return;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi;
        if (CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
}
