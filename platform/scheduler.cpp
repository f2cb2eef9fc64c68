// wklsched.exe: keeps the timed notifications of this machine and starts
// their applications when they come due, as the device's system does.
//
// Each due notification is started on its own, outside the store's lock,
// and removed from the store once its program has ended: a kill in between
// starts at most that one again. One whose removal could not be written is remembered and never
// started twice. One found long past its start and its end (the scheduler
// or the machine was down) is still started, with NOTIFICATION_EXPIRED_PREFIX
// before its arguments, so its application can schedule what comes next
// without ringing late.
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
#define MAX_SLEEP_MS      10000
#define RETRY_DELAY_MS    1000
// Reached within this of its start, a notification is delivered whatever
// its end says.
#define GRACE_TICKS       (60 * 1000 * TICKS_PER_MS)
// How long a started program may take to hand its event on.
#define HANDOVER_WAIT_MS  15000
#define RUN_KEY           L"Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define RUN_VALUE         L"WakeloomNotifications"

struct FailedLaunch {
    DWORD handle;
    DWORD retryAt;  // GetTickCount
};
static std::vector<FailedLaunch> failedLaunches;
// Started, but still in the store because its removal could not be written.
static std::vector<StoredNotification> startedUnwritten;
static bool removalFailing;
// The wall clock and the tick count when nothing was left due: what came due
// after that is late by the real time since, however far the clock moved.
static bool lookedBefore;
static LONGLONG lastLookWall;
static ULONGLONG lastLookTick;

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

// True for the first failure of this handle.
static bool NoteFailedLaunch(DWORD handle)
{
    DWORD retryAt = GetTickCount() + RETRY_DELAY_MS;
    for (FailedLaunch& f : failedLaunches) {
        if (f.handle == handle) {
            f.retryAt = retryAt;
            return false;
        }
    }
    failedLaunches.push_back({ handle, retryAt });
    return true;
}

static bool StartedButUnwritten(const StoredNotification& n)
{
    for (const StoredNotification& s : startedUnwritten) {
        if (SameNotification(n, s))
            return true;
    }
    return false;
}

// Removes the started notifications from the store, unless a client has
// replaced them meanwhile; true once that is on disk.
static bool RemoveStarted()
{
    HANDLE lock = LockNotificationStore();
    if (lock == nullptr)
        return false;
    NotificationStore store;
    ReadNotificationStore(&store);
    size_t before = store.pending.size();
    std::erase_if(store.pending, StartedButUnwritten);
    bool written = store.pending.size() == before || WriteNotificationStore(store);
    DWORD error = GetLastError();
    UnlockNotificationStore(lock);
    if (!written) {
        if (!removalFailing)
            LogNotificationEvent(L"the store could not be rewritten (error %lu): %lu started "
                                 L"notifications stay in it until it can be, and are not "
                                 L"started again", error,
                                 static_cast<unsigned long>(startedUnwritten.size()));
        removalFailing = true;
        return false;
    }
    if (removalFailing)
        LogNotificationEvent(L"the store could be rewritten again");
    removalFailing = false;
    std::erase_if(failedLaunches, [](const FailedLaunch& f) {
        for (const StoredNotification& s : startedUnwritten) {
            if (s.handle == f.handle)
                return true;
        }
        return false;
    });
    startedUnwritten.clear();
    return true;
}

static void Start(const StoredNotification& n, LONGLONG now, ULONGLONG tick)
{
    LONGLONG start = LocalTicks(n.start);
    LONGLONG late = now - start;
    if (lookedBefore && start > lastLookWall)
        late = std::min(late, static_cast<LONGLONG>(tick - lastLookTick) * TICKS_PER_MS);
    bool expired = late > std::max<LONGLONG>(GRACE_TICKS, LocalTicks(n.end) - start);

    wchar_t arguments[NOTIFY_TEXT_UNITS + 16];
    StringCchPrintfW(arguments, ARRAYSIZE(arguments), L"%s%s",
                     expired ? NOTIFICATION_EXPIRED_PREFIX : L"", n.arguments);
    HANDLE process = nullptr;
    if (!LaunchProgram(n.application, arguments, &process)) {
        if (NoteFailedLaunch(n.handle))
            LogNotificationEvent(L"notification %lu: %s could not be started (error %lu); "
                                 L"trying again every second", static_cast<unsigned long>(n.handle),
                                 n.application, GetLastError());
        return;
    }
    // It counts as delivered once it has ended (the launcher ends as soon as
    // it has handed the event on) or has had time to: if everything is
    // killed before then (the wineserver), it is started again.
    WaitForSingleObject(process, HANDOVER_WAIT_MS);
    CloseHandle(process);
    LogNotificationEvent(L"notification %lu started %ld s after its time%s: %s %s",
                         static_cast<unsigned long>(n.handle),
                         static_cast<long>(std::max(late, 0LL) / (1000 * TICKS_PER_MS)),
                         expired ? L", past its end" : L"", n.application, arguments);
    startedUnwritten.push_back(n);
    RemoveStarted();
}

// Starts what is due, earliest first, and returns the milliseconds until
// the next start (MAX_SLEEP_MS at most).
static DWORD DeliverDueNotifications()
{
    if (!startedUnwritten.empty())
        RemoveStarted();
    for (;;) {
        HANDLE lock = LockNotificationStore();
        if (lock == nullptr)
            return RETRY_DELAY_MS;
        NotificationStore store;
        ReadNotificationStore(&store);
        UnlockNotificationStore(lock);

        LONGLONG now = NowLocalTicks();
        ULONGLONG tick = GetTickCount64();
        const StoredNotification* due = nullptr;
        LONGLONG wait = startedUnwritten.empty() ? MAX_SLEEP_MS : RETRY_DELAY_MS;
        for (const StoredNotification& n : store.pending) {
            LONGLONG start = LocalTicks(n.start);
            if (StartedButUnwritten(n))
                continue;
            if (WaitingToRetry(n.handle))
                wait = std::min<LONGLONG>(wait, RETRY_DELAY_MS);
            else if (start > now)
                wait = std::min(wait, (start - now + TICKS_PER_MS - 1) / TICKS_PER_MS);
            else if (due == nullptr || start < LocalTicks(due->start))
                due = &n;
        }
        if (due == nullptr) {
            lookedBefore = true;
            lastLookWall = now;
            lastLookTick = tick;
            return static_cast<DWORD>(wait);
        }
        Start(*due, now, tick);
    }
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
    // Without it alarms ring after a log-in only once Wakeloom is opened:
    // the log says so, the scheduler having no window to tell it in.
    LONG err = RegSetKeyValueW(HKEY_CURRENT_USER, RUN_KEY, RUN_VALUE, REG_SZ, command,
                               static_cast<DWORD>((wcslen(command) + 1) * sizeof(wchar_t)));
    if (err != ERROR_SUCCESS)
        LogNotificationEvent(L"the scheduler could not register to start at each log-in "
                             L"(error %ld)", static_cast<long>(err));
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
    if (single == nullptr) {
        LogNotificationEvent(L"the scheduler's mutex could not be created (error %lu)",
                             GetLastError());
        return 1;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS)
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

    // Without the change event or the timer (another process may hold an
    // object of the event's name) the scheduler looks once a second.
    HANDLE changed = OpenStoreChangedEvent();
    DWORD changedError = GetLastError();
    HANDLE timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    bool polling = changed == nullptr || timer == nullptr;
    if (changed == nullptr)
        LogNotificationEvent(L"no change event (error %lu): looking at the store every second",
                             changedError);
    if (timer == nullptr)
        LogNotificationEvent(L"no wake timer (error %lu): looking at the store every second",
                             GetLastError());
    HANDLE waits[2];
    DWORD count = 0;
    if (changed != nullptr)
        waits[count++] = changed;
    if (timer != nullptr)
        waits[count++] = timer;

    for (;;) {
        DWORD waitMs = DeliverDueNotifications();
        if (polling)
            waitMs = std::min<DWORD>(waitMs, RETRY_DELAY_MS);
        if (timer != nullptr)
            ArmWakeTimer(timer, waitMs);
        DWORD result = MsgWaitForMultipleObjects(count, waits, FALSE, waitMs, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0 + count) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    return static_cast<int>(msg.wParam);
                DispatchMessageW(&msg);
            }
        } else if (result == WAIT_FAILED) {
            Sleep(RETRY_DELAY_MS);  // never spin
        }
    }
}
