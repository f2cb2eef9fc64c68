// What the running clock costs: the bitmap copies and the time of one
// ordinary tick, and the CPU share of the real program left alone for a
// minute. Prints figures; the targets are one colon copy a second and well
// under 0.3% of one core.
#include <windows.h>

#include <stdio.h>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "testsupport.h"

static double Seconds(const FILETIME& kernel, const FILETIME& user)
{
    ULARGE_INTEGER k = { { kernel.dwLowDateTime, kernel.dwHighDateTime } };
    ULARGE_INTEGER u = { { user.dwLowDateTime, user.dwHighDateTime } };
    return static_cast<double>(k.QuadPart + u.QuadPart) / 1e7;
}

static double CpuSeconds(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    return Seconds(kernel, user);
}

static SYSTEMTIME benchTime;

static void BenchClock(SYSTEMTIME* localNow, SYSTEMTIME* utcNow)
{
    *localNow = benchTime;
    *utcNow = benchTime;
}

static void MeasureTicks()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, app.windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, app.windowTitle, WINDOW_NAME_UNITS);
    RegisterMainWindowClass(instance);
    if (!InitInstance(instance)) {
        printf("the main window could not be created\n");
        return;
    }
    PumpPending();

    GetLocalTime(&benchTime);
    benchTime.wSecond = 0;
    clockTimeSource = BenchClock;
    ResetClockCache();
    UpdateClock(MainClockView());
    UpdateWindow(app.mainWindow);
    const int ticks = 1000;
    unsigned copies = clockFace.faceCopyCount;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < ticks; i++) {
        benchTime.wSecond = static_cast<WORD>(1 + i % 58);   // ordinary seconds of one minute
        // The tick invalidates; its drawing is the paint that follows.
        UpdateClock(MainClockView());
        UpdateWindow(app.mainWindow);
        // Idle until the next tick, as the message loop is: what was drawn
        // reaches the screen then.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    QueryPerformanceCounter(&end);
    double micros = static_cast<double>(end.QuadPart - start.QuadPart) * 1e6
        / static_cast<double>(frequency.QuadPart) / ticks;
    printf("ordinary tick: %.2f bitmap copies, %.1f us (over %d ticks)\n",
           static_cast<double>(clockFace.faceCopyCount - copies) / ticks, micros, ticks);
    fflush(stdout);
}

// A plain message loop, as the program's (the test helpers poll, which
// costs more), for `seconds` timer ticks; prints this process's CPU share.
static void RunTimerLoop(DWORD seconds, const char* label)
{
    double cpuStart = CpuSeconds(GetCurrentProcess());
    DWORD wallStart = GetTickCount();
    MSG msg;
    DWORD ticks = 0;
    while (ticks < seconds && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER)
            ticks++;
        DispatchMessageW(&msg);
    }
    double cpu = CpuSeconds(GetCurrentProcess()) - cpuStart;
    double wall = (GetTickCount() - wallStart) / 1000.0;
    printf("%s: %.3f s CPU in %.1f s = %.3f%% of one core\n", label, cpu, wall,
           100.0 * cpu / wall);
}

// The same window left to its one-second timer in a plain message loop, as
// the program runs it, measured from inside.
static void MeasureIdleWindow(DWORD seconds)
{
    SetTimer(app.mainWindow, CLOCK_TIMER_ID, 1000, nullptr);
    RunTimerLoop(seconds, "clock window in this process");
    KillTimer(app.mainWindow, CLOCK_TIMER_ID);
    SendMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    PumpUntil([] { return false; }, 200);
    FreeClockFace();
    FreeAlarms();
}

static void MeasureIdleProgram(DWORD seconds)
{
    ChildProcess program = StartProgram(L"Wakeloom.exe", L"");
    HWND window = WaitForWindow(L"Wakeloom", L"Wakeloom", 15000);
    if (window == nullptr) {
        printf("Wakeloom.exe did not start\n");
        KillProgram(program);
        return;
    }
    // Start-up work is not idle work.
    PumpUntil([] { return false; }, 3000);
    double cpuStart = CpuSeconds(program.process);
    DWORD wallStart = GetTickCount();
    PumpUntil([] { return false; }, seconds * 1000);
    double cpu = CpuSeconds(program.process) - cpuStart;
    double wall = (GetTickCount() - wallStart) / 1000.0;
    if (cpuStart < 0)
        printf("the program's CPU time cannot be read here\n");
    else
        printf("idle program: %.3f s CPU in %.1f s = %.3f%% of one core\n", cpu, wall,
               100.0 * cpu / wall);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForExit(program, 15000) == STILL_ACTIVE)
        KillProgram(program);
}

static LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// Wine's own cost of a window that wakes once a second and does nothing:
// the floor under the program's figure.
static void MeasureBareTimer(DWORD seconds)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BareTimer";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"BareTimer", L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    SetTimer(window, 1, 1000, nullptr);
    RunTimerLoop(seconds, "bare 1-second timer window");
    DestroyWindow(window);
}

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 60;
    MeasureTicks();
    MeasureIdleWindow(seconds);
    MeasureIdleProgram(seconds);
    MeasureBareTimer(seconds);
    return 0;
}
