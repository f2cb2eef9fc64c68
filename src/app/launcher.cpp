// What passes between Wakeloom and its Companion launcher.
#include "app.h"

#include <strsafe.h>

#include "launch.h"
#include "settings.h"

void UpdateTaskbarIcon()
{
    HWND launcher = FindWindowW(L"wklmgr", L"wklmgr");
    if (ShowIcon == 0 && launcher != nullptr) {
        SendMessageW(launcher, WM_CLOSE, 0, 0);
    } else if (ShowIcon != 0 && launcher == nullptr) {
        wchar_t path[MAX_PATH];
        StringCchPrintfW(path, ARRAYSIZE(path), L"\\Windows\\%s", L"wklmgr.exe");
        LaunchProgram(path, nullptr);
    }
}
