// Draws the pictures of the README: the clock and each dialog on the
// device's screen, upright and turned, as BMP files.
//   shots.exe FOLDER
#include <windows.h>

#include <stdio.h>
#include <strsafe.h>

#include "alarms.h"
#include "app.h"
#include "resource.h"
#include "ringing.h"
#include "settings.h"

static wchar_t outputFolder[MAX_PATH];
static const wchar_t* shotName;
static const wchar_t* screenName;

static void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

static void SaveScreen()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    HDC screen = GetDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    DWORD imageBytes = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file = { 0x4D42, 0, 0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) };
    file.bfSize = file.bfOffBits + imageBytes;
    wchar_t path[MAX_PATH];
    StringCchPrintfW(path, MAX_PATH, L"%s\\%s-%s.bmp", outputFolder, shotName, screenName);
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(out, &file, sizeof(file), &written, nullptr);
    WriteFile(out, &bmi.bmiHeader, sizeof(bmi.bmiHeader), &written, nullptr);
    WriteFile(out, bits, imageBytes, &written, nullptr);
    CloseHandle(out);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
}

// Once the dialog shows and has painted: the picture, then the dialog ends.
static void CALLBACK ShootDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = GetForegroundWindow();
    if (dialog == mainWindow || dialog == nullptr || !IsWindowVisible(dialog))
        return;
    KillTimer(nullptr, id);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SaveScreen();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

struct Shot {
    const wchar_t* name;
    void (*open)();
};

static void RingAlarm()
{
    currentAlarm = 2;
    alarmTestMode = 1;
    RunAlarmDialog(mainWindow);
}

static void RingCountdown()
{
    RunCountdownFinishedDialog(mainWindow);
}

static const Shot shots[] = {
    { L"ringing", RingAlarm },
    { L"countdown-finished", RingCountdown },
};

static void TurnScreen(int width, int height)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    for (int i = 0; i < 300 && GetSystemMetrics(SM_CXSCREEN) != width; i++) {
        Pump();
        Sleep(10);
    }
    Pump();
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: shots FOLDER\n");
        return 2;
    }
    StringCchCopyW(outputFolder, MAX_PATH, argv[1]);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    LoadStringW(instance, IDS_WINDOW_CLASS, windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, windowTitle, WINDOW_NAME_UNITS);
    if (!RegisterMainWindowClass(instance) || !InitInstance(instance))
        return 1;
    // The build's default sounds: the folder above the programs.
    GetModuleFileNameW(nullptr, installDirectory, MAX_PATH);
    *wcsrchr(installDirectory, L'\\') = L'\0';
    *wcsrchr(installDirectory, L'\\') = L'\0';
    const struct {
        const wchar_t* name;
        int width, height;
    } screens[] = { { L"portrait", 240, 320 }, { L"landscape", 320, 240 } };
    for (const auto& screen : screens) {
        screenName = screen.name;
        TurnScreen(screen.width, screen.height);
        for (const Shot& shot : shots) {
            shotName = shot.name;
            SetTimer(nullptr, 0, 100, ShootDialog);
            shot.open();
            Pump();
        }
    }
    TurnScreen(240, 320);
    DestroyWindow(mainWindow);
    return 0;
}
