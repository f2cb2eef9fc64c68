#include "launcher.h"

#include <windows.h>
#include <strsafe.h>

#include "contract.h"
#include "launch.h"
#include "settings.h"

void UpdateTaskbarIcon()
{
    HWND launcher = FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME);
    if (settings.ShowIcon == 0 && launcher != nullptr) {
        // Another process: a launcher that hangs must not hang the clock.
        SendMessageTimeoutW(launcher, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    } else if (settings.ShowIcon != 0 && launcher == nullptr) {
        wchar_t path[MAX_PATH];
        StringCchPrintfW(path, ARRAYSIZE(path), LAUNCHER_PATH_FORMAT, LAUNCHER_FILE);
        LaunchProgram(path, nullptr);
    }
}
