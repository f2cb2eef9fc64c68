// wklmgr.exe, the Companion launcher.
//   wklmgr /ID:n   hands event n to Wakeloom (posted to its window, or by
//                  starting it with the same argument) and ends;
//   wklmgr /EXPIRED /ID:n
//                  the same for an event that could not be delivered in
//                  time, handed over as missed (WM_APP_MISSED, "/MISSED:n");
//   wklmgr         stays as one instance with a notification-area icon that
//                  opens Wakeloom, until its window receives WM_CLOSE.
#include <windows.h>
#include <shellapi.h>
#include <strsafe.h>

#include "contract.h"
#include "launch.h"
#include "notifystore.h"
#include "resource.h"
#include "settings.h"

#define WM_TRAY_CALLBACK    (WM_APP + 100)
#define TRAY_ICON_ID        1
// How long a started Wakeloom may take to open its window.
#define START_WAIT_MS       10000

static HWND FindMainWindow()
{
    return FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME);
}

// Wakeloom in its registered install folder, else beside the launcher.
static bool FindMainProgram(wchar_t* path, size_t pathCount)
{
    FindInstallDirectory();
    return FindFileIn(settings.installDirectory, WAKELOOM_PROGRAM_FILE, path, pathCount)
           || FindBesideProgram(WAKELOOM_PROGRAM_FILE, path, pathCount);
}

static bool StartMainProgram(const wchar_t* arguments, HANDLE* process = nullptr)
{
    wchar_t path[MAX_PATH];
    return FindMainProgram(path, ARRAYSIZE(path)) && LaunchProgram(path, arguments, process);
}

// An event that cannot reach Wakeloom is lost unless someone sees it: it
// goes to the notifications' log and before the user.
static void ReportUndelivered(int eventId, bool missed, DWORD error)
{
    LogNotificationEvent(L"%s event %d could not be handed to Wakeloom: %s not found in its "
                         L"install folder (%s) nor beside the launcher, or could not be "
                         L"started (error %lu)", missed ? L"missed" : L"due", eventId,
                         WAKELOOM_PROGRAM_FILE,
                         settings.installDirectory[0] != L'\0' ? settings.installDirectory
                                                                : L"none registered",
                         error);
    wchar_t format[256] = L"", caption[64] = L"";
    LoadStringW(GetModuleHandleW(nullptr), IDS_LAUNCHER_FAILED, format, ARRAYSIZE(format));
    LoadStringW(GetModuleHandleW(nullptr), IDS_WAKELOOM, caption, ARRAYSIZE(caption));
    wchar_t text[256];
    StringCchPrintfW(text, ARRAYSIZE(text), format, eventId, WAKELOOM_PROGRAM_FILE);
    MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// Posts the event to the running Wakeloom, or starts Wakeloom with it. A
// missed event goes as WM_APP_MISSED and "/MISSED:n". Launchers of events
// due together take turns, and the one that starts Wakeloom waits for its
// window, so the next one hands its event over instead of starting another.
static int DeliverEvent(int eventId, bool missed)
{
    HANDLE turn = CreateMutexW(nullptr, FALSE, L"Local\\WakeloomLauncherTurn");
    if (turn != nullptr)
        WaitForSingleObject(turn, START_WAIT_MS);
    HWND mainWindow = FindMainWindow();
    int result = 0;
    DWORD error = 0;
    if (mainWindow == nullptr
        || !PostMessageW(mainWindow, missed ? WM_APP_MISSED : WM_APP_EVENT,
                         static_cast<WPARAM>(eventId), 0)) {
        wchar_t arguments[EVENT_ARGUMENT_UNITS];
        StringCchPrintfW(arguments, ARRAYSIZE(arguments),
                         missed ? MISSED_ARGUMENT_FORMAT : EVENT_ARGUMENT_FORMAT, eventId);
        HANDLE started = nullptr;
        if (StartMainProgram(arguments, &started)) {
            for (DWORD waited = 0; FindMainWindow() == nullptr && waited < START_WAIT_MS
                                   && WaitForSingleObject(started, 50) == WAIT_TIMEOUT;
                 waited += 50) {
            }
            CloseHandle(started);
        } else {
            error = GetLastError();
            result = 1;
        }
    }
    if (turn != nullptr) {
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    if (result != 0)
        ReportUndelivered(eventId, missed, error);
    return result;
}

static void OpenWakeloom()
{
    HWND mainWindow = FindMainWindow();
    if (mainWindow != nullptr)
        SetForegroundWindow(mainWindow);
    else
        StartMainProgram(L"");
}

static void SetTrayIcon(HWND window, DWORD action)
{
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = window;
    nid.uID = TRAY_ICON_ID;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAY_CALLBACK;
    nid.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_WAKELOOM));
    LoadStringW(GetModuleHandleW(nullptr), IDS_WAKELOOM, nid.szTip, ARRAYSIZE(nid.szTip));
    Shell_NotifyIconW(action, &nid);
}

static LRESULT CALLBACK LauncherWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        SetTrayIcon(window, NIM_ADD);
        return 0;
    case WM_TRAY_CALLBACK:
        if (lParam == WM_LBUTTONUP)
            OpenWakeloom();
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        SetTrayIcon(window, NIM_DELETE);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

static int RunTrayIcon(HINSTANCE instance)
{
    if (FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME) != nullptr)
        return 0;  // one icon is enough
    WNDCLASSW wc = {};
    wc.lpfnWndProc = LauncherWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = LAUNCHER_WINDOW_NAME;
    if (!RegisterClassW(&wc))
        return 1;
    if (CreateWindowExW(0, LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                        instance, nullptr)
        == nullptr)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // The raw command line: an argument that begins with a blank is no event.
    const wchar_t* commandLine = CommandLineArguments(GetCommandLineW());
    int eventId = ParseEventId(commandLine);
    size_t expired = wcslen(EXPIRED_ARGUMENT_PREFIX);
    if (commandLine != nullptr && wcsncmp(commandLine, EXPIRED_ARGUMENT_PREFIX, expired) == 0) {
        int missedId = ParseEventId(commandLine + expired);
        return missedId >= 0 ? DeliverEvent(missedId, true) : 1;
    }
    if (eventId >= 0)
        return DeliverEvent(eventId, false);
    if (commandLine == nullptr || commandLine[0] == L'\0')
        return RunTrayIcon(instance);
    return 1;  // nothing we understand
}
