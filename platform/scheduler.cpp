// wklsched.exe: keeps the timed notifications of this session and starts
// their applications when they come due, as the device's system does.
#include <windows.h>
#include <strsafe.h>

#include <algorithm>
#include <vector>

#include "launch.h"
#include "notify.h"
#include "notifystore.h"

#define TICKS_PER_MS      10000LL
// Look again at least this often: the wall clock may have been set, or
// daylight saving may have begun, without any message saying so.
#define MAX_SLEEP_MS      60000
#define RETRY_DELAY_MS    1000
#define RUN_KEY           L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define RUN_VALUE         L"WakeloomNotifications"

struct FailedLaunch {
    DWORD handle;
    DWORD retryAt;  // GetTickCount
};
static std::vector<FailedLaunch> failedLaunches;

static LONGLONG LocalTicks(const SYSTEMTIME& time)
{
    FILETIME ft = {};
    SystemTimeToFileTime(&time, &ft);
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32)
                                 | ft.dwLowDateTime);
}

static LONGLONG NowLocalTicks()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return LocalTicks(now);
}

static bool WaitingToRetry(DWORD handle)
{
    DWORD now = GetTickCount();
    for (const FailedLaunch& f : failedLaunches) {
        if (f.handle == handle)
            return static_cast<LONG>(f.retryAt - now) > 0;
    }
    return false;
}

static void NoteFailedLaunch(DWORD handle)
{
    DWORD retryAt = GetTickCount() + RETRY_DELAY_MS;
    for (FailedLaunch& f : failedLaunches) {
        if (f.handle == handle) {
            f.retryAt = retryAt;
            return;
        }
    }
    failedLaunches.push_back({ handle, retryAt });
}

// Starts what is due, drops what is past its end time, and returns the
// milliseconds until the next start (MAX_SLEEP_MS at most).
static DWORD DeliverDueNotifications()
{
    HANDLE lock = LockNotificationStore();
    if (lock == nullptr)
        return RETRY_DELAY_MS;
    NotificationStore store;
    ReadNotificationStore(&store);

    LONGLONG now = NowLocalTicks();
    std::vector<StoredNotification> due;
    for (const StoredNotification& n : store.pending) {
        if (LocalTicks(n.start) <= now)
            due.push_back(n);
    }
    std::sort(due.begin(), due.end(), [](const StoredNotification& a, const StoredNotification& b) {
        return LocalTicks(a.start) < LocalTicks(b.start);
    });

    std::vector<DWORD> finished;
    for (const StoredNotification& n : due) {
        if (LocalTicks(n.end) < now) {
            finished.push_back(n.handle);  // too late to be of use
        } else if (!WaitingToRetry(n.handle)) {
            if (LaunchProgram(n.application, n.arguments))
                finished.push_back(n.handle);
            else
                NoteFailedLaunch(n.handle);
        }
    }
    if (!finished.empty()) {
        std::erase_if(store.pending, [&](const StoredNotification& n) {
            return std::find(finished.begin(), finished.end(), n.handle) != finished.end();
        });
        std::erase_if(failedLaunches, [&](const FailedLaunch& f) {
            return std::find(finished.begin(), finished.end(), f.handle) != finished.end();
        });
        WriteNotificationStore(store);
    }
    UnlockNotificationStore(lock);

    LONGLONG wait = MAX_SLEEP_MS;
    for (const StoredNotification& n : store.pending) {
        LONGLONG ms = (LocalTicks(n.start) - now + TICKS_PER_MS - 1) / TICKS_PER_MS;
        if (WaitingToRetry(n.handle))
            ms = RETRY_DELAY_MS;
        wait = std::min(wait, std::max(ms, 0LL));
    }
    return static_cast<DWORD>(wait);
}

static void ArmWakeTimer(HANDLE timer, DWORD waitMs)
{
    // An absolute timer that may resume a sleeping machine for the next
    // start; the wait's own timeout covers a clock that moved meanwhile.
    FILETIME utcNow;
    GetSystemTimeAsFileTime(&utcNow);
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>((static_cast<ULONGLONG>(utcNow.dwHighDateTime) << 32)
                                         | utcNow.dwLowDateTime)
                   + static_cast<LONGLONG>(waitMs) * TICKS_PER_MS;
    SetWaitableTimer(timer, &due, 0, nullptr, nullptr, TRUE);
}

static void RegisterAtSessionStart()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    wchar_t command[MAX_PATH + 2];
    StringCchPrintfW(command, ARRAYSIZE(command), L"\"%s\"", path);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, RUN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                   static_cast<DWORD>((wcslen(command) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

static LRESULT CALLBACK SchedulerWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMECHANGE:
        // The loop looks again after every message.
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    HANDLE single = CreateMutexW(nullptr, FALSE, NOTIFICATION_SCHEDULER_MUTEX);
    if (single == nullptr || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    RegisterAtSessionStart();

    // A hidden top-level window: broadcasts such as WM_TIMECHANGE reach only those.
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SchedulerWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"WakeloomScheduler";
    RegisterClassW(&wc);
    CreateWindowExW(0, wc.lpszClassName, L"WakeloomScheduler", WS_POPUP, 0, 0, 0, 0, nullptr,
                    nullptr, instance, nullptr);

    HANDLE waits[2] = { OpenStoreChangedEvent(), CreateWaitableTimerW(nullptr, FALSE, nullptr) };
    for (;;) {
        DWORD waitMs = DeliverDueNotifications();
        ArmWakeTimer(waits[1], waitMs);
        DWORD result = MsgWaitForMultipleObjects(2, waits, FALSE, waitMs, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0 + 2) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    return static_cast<int>(msg.wParam);
                DispatchMessageW(&msg);
            }
        }
    }
}
