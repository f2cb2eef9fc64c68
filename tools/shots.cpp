// Draws the pictures of the README: the clock and each dialog on the
// device's screen, upright and turned, as BMP files.
//   shots.exe FOLDER
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>
#include <strsafe.h>

#include <string>
#include <vector>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "dialogs.h"
#include "displaymode.h"
#include "medialist.h"
#include "resource.h"
#include "ringing.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

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

// Wine hands what a window drew to the X server a moment later: the
// picture is taken once two looks 100 ms apart agree.
static void SaveScreen();

static std::vector<BYTE> ScreenBits()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<BYTE> bits(static_cast<size_t>(width) * height * 4);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    GetDIBits(memory, bitmap, 0, height, bits.data(), &bmi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bits;
}

static void SaveSettledScreen()
{
    std::vector<BYTE> last = ScreenBits();
    for (int i = 0; i < 30; i++) {
        Pump();
        Sleep(100);
        std::vector<BYTE> now = ScreenBits();
        if (now == last)
            break;
        last = now;
    }
    SaveScreen();
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

// The picker's folders opened one by one from the keyboard, as a user
// would, and the last one chosen.
static void OpenFolders(HWND tree, HTREEITEM item)
{
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        TreeView_SelectItem(tree, item);
        SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
        OpenFolders(tree, TreeView_GetChild(tree, item));
    }
}

// Once the dialog shows and has painted: the picture, then the dialog ends.
static void CALLBACK ShootDialog(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = GetForegroundWindow();
    if (dialog == app.mainWindow || dialog == nullptr || !IsWindowVisible(dialog))
        return;
    KillTimer(nullptr, id);
    if (HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE))
        OpenFolders(tree, TreeView_GetRoot(tree));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SaveSettledScreen();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

struct Shot {
    const wchar_t* name;
    INT_PTR (*open)();
};

static INT_PTR RingAlarm()
{
    return RunAlarmDialog(app.mainWindow, 2, alarms[2], true);
}

static INT_PTR RingCountdown()
{
    return RunCountdownFinishedDialog(app.mainWindow, settings.CountdownSound, true);
}
static INT_PTR Picker()
{
    wchar_t folder[MAX_PATH];
    return RunFolderPicker(app.mainWindow, folder);
}

static INT_PTR Snooze() { return RunSnoozeTimeDialog(app.mainWindow, &settings.SnoozeTime); }
static INT_PTR SettingsShot() { return RunSettingsDialog(app.mainWindow, &settings); }
static INT_PTR AboutShot() { return RunAboutDialog(app.mainWindow); }
static INT_PTR SetAlarmsShot()
{
    Alarm edited[ALARM_COUNT];
    for (int i = 0; i < ALARM_COUNT; i++)
        edited[i] = *alarms[i];
    return RunSetAlarmsDialog(app.mainWindow, edited, settings.TwentyFourHourTime != 0);
}
static INT_PTR CountdownShot() { return RunCountdownDialog(app.mainWindow, &settings); }
static INT_PTR ChimeShot() { return RunChimeDialog(app.mainWindow, &settings); }
static INT_PTR SleepShot()
{
    return RunSleepDialog(app.mainWindow, &settings, &sleepPlayer.sleepList);
}

static const Shot shots[] = {
    { L"ringing", RingAlarm },
    { L"countdown-finished", RingCountdown },
    { L"set-alarms", SetAlarmsShot },
    { L"snooze-time", Snooze },
    { L"settings", SettingsShot },
    { L"about", AboutShot },
    { L"countdown", CountdownShot },
    { L"chime", ChimeShot },
    { L"sleep", SleepShot },
    { L"folder-picker", Picker },
};

// The clock while sleep music plays: one of the default sounds, 45 minutes
// left.
static void ShootSleepingClock()
{
    wchar_t path[MAX_PATH];
    StringCchPrintfW(path, MAX_PATH, L"%s\\sounds\\CBell.wav", settings.installDirectory);
    settings.TimedSleep = 1;
    sleepPlayer.sleepEndTime = ClockNowTicks() + 45 * TICKS_PER_MINUTE;
    sleepPlayer.sleepList = BuildMediaList(MEDIA_SOURCE_FILE, path);
    if (sleepPlayer.sleepList == nullptr || !PlayMediaList(sleepPlayer.sleepList))
        return;
    SetDisplayMode(DISPLAY_SLEEP);
    SendMessageW(app.mainWindow, WM_TIMER, CLOCK_TIMER_ID, 0);
    RedrawWindow(app.mainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    shotName = L"sleeping";
    SaveSettledScreen();
    StopSleep();
}

// A documents folder of a few albums for the picker, the prefix's own
// setting given back afterwards.
static const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

static std::wstring MakeDocuments()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring root = std::wstring(temp) + L"My Documents";
    const wchar_t* const folders[] = { L"", L"\\Music", L"\\Music\\Birdsong", L"\\Music\\Rain",
                                       L"\\Music\\Waves", L"\\Audiobooks" };
    wchar_t sound[MAX_PATH];
    StringCchPrintfW(sound, MAX_PATH, L"%s\\sounds\\CBell.wav", settings.installDirectory);
    for (const wchar_t* folder : folders) {
        std::wstring path = root + folder;
        CreateDirectoryW(path.c_str(), nullptr);
        if (folder[0] != L'\0' && lstrcmpW(folder, L"\\Music") != 0)
            CopyFileW(sound, (path + L"\\track.wav").c_str(), FALSE);
    }
    return root;
}

static void RemoveDocuments(const std::wstring& root)
{
    const wchar_t* const folders[] = { L"\\Music\\Birdsong", L"\\Music\\Rain", L"\\Music\\Waves",
                                       L"\\Audiobooks" };
    for (const wchar_t* folder : folders) {
        DeleteFileW((root + folder + L"\\track.wav").c_str());
        RemoveDirectoryW((root + folder).c_str());
    }
    RemoveDirectoryW((root + L"\\Music").c_str());
    RemoveDirectoryW(root.c_str());
}

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
    LoadStringW(instance, IDS_WINDOW_CLASS, app.windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, app.windowTitle, WINDOW_NAME_UNITS);
    if (!RegisterMainWindowClass(instance) || !InitInstance(instance))
        return 1;
    // The build's default sounds: the folder above the programs.
    GetModuleFileNameW(nullptr, settings.installDirectory, MAX_PATH);
    *wcsrchr(settings.installDirectory, L'\\') = L'\0';
    *wcsrchr(settings.installDirectory, L'\\') = L'\0';
    std::wstring documents = MakeDocuments();
    HKEY folders = nullptr;
    wchar_t savedDocuments[MAX_PATH] = L"";
    DWORD savedType = REG_EXPAND_SZ, savedBytes = sizeof(savedDocuments);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ | KEY_WRITE, &folders) == ERROR_SUCCESS) {
        if (RegQueryValueExW(folders, L"Personal", nullptr, &savedType,
                             reinterpret_cast<BYTE*>(savedDocuments), &savedBytes) != ERROR_SUCCESS)
            savedBytes = 0;
        RegSetValueExW(folders, L"Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(documents.c_str()),
                       static_cast<DWORD>((documents.size() + 1) * sizeof(wchar_t)));
    }
    settings.SleepPathType = MEDIA_SOURCE_FOLDER;
    StringCchCopyW(settings.SleepPath, SETTINGS_TEXT_UNITS, L"\\My Documents\\Music\\Rain");
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
        ShootSleepingClock();
    }
    if (folders != nullptr) {
        if (savedBytes > 0)
            RegSetValueExW(folders, L"Personal", 0, savedType, reinterpret_cast<const BYTE*>(savedDocuments),
                           savedBytes);
        RegCloseKey(folders);
    }
    RemoveDocuments(documents);
    TurnScreen(240, 320);
    DestroyWindow(app.mainWindow);
    return 0;
}
