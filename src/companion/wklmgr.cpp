// The Companion launcher: started by a notification with "/ID:n", it hands
// event n to Wakeloom, starting the program when it is not running.
#include <windows.h>
#include <strsafe.h>

#include "schedule.h"
#include "settings.h"

#define MAIN_PROGRAM_FILE L"Wakeloom.exe"

static bool StartMainProgram(int eventId)
{
    FindInstallDirectory();
    wchar_t path[MAX_PATH];
    wchar_t commandLine[MAX_PATH + 32];
    if (FAILED(StringCchPrintfW(path, ARRAYSIZE(path), L"%s\\%s", installDirectory,
                                MAIN_PROGRAM_FILE))
        || FAILED(StringCchPrintfW(commandLine, ARRAYSIZE(commandLine), L"\"%s\" /ID:%d", path,
                                   eventId)))
        return false;

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    int eventId = ParseEventId(commandLine);
    if (eventId < 0)
        return 0;

    HWND mainWindow = FindWindowW(L"Wakeloom", L"Wakeloom");
    if (mainWindow != nullptr
        && PostMessageW(mainWindow, WM_APP + 1, static_cast<WPARAM>(eventId), 0))
        return 0;
    return StartMainProgram(eventId) ? 0 : 1;
}
