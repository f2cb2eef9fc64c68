#include "windowfixture.h"

#include <commctrl.h>

#include <vector>

#include "alarms.h"
#include "app.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "sleepplayer.h"

static SYSTEMTIME clockTime;

static void TestClock(SYSTEMTIME* localNow, SYSTEMTIME* utcNow)
{
    *localNow = clockTime;
    *utcNow = clockTime;
}

void MainWindowTest::SetUp()
{
    ResetProgramRegistry();
    SetClock(MakeTime(2026, 12, 6, 9, 5, 10));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    windowClosing = false;
    bitmapsReleased = false;
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, windowTitle, WINDOW_NAME_UNITS);
    RegisterMainWindowClass(instance);   // fails harmlessly after the first test
    ASSERT_TRUE(InitInstance(instance));
    ResetClockCache();
    PumpPending();
}

void MainWindowTest::TearDown()
{
    if (mainWindow != nullptr && IsWindow(mainWindow))
        SendMessageW(mainWindow, WM_CLOSE, 0, 0);
    PumpPending();
    FreeClockFace();
    FreeAlarms();
    mainWindow = nullptr;
    menuBar = nullptr;
    displayMode = DISPLAY_CLOCK;
    sleepPaused = 0;
    pressedButton = 0;
    ResetProgramRegistry();
}

void MainWindowTest::SetClock(const SYSTEMTIME& time)
{
    clockTime = time;
    clockTimeSource = TestClock;
}

Capture MainWindowTest::Face()
{
    InvalidateRect(mainWindow, nullptr, TRUE);
    return CaptureWindow(mainWindow);
}

bool MainWindowTest::TurnScreen(int width, int height)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL)
        return false;
    bool turned = PumpUntil([&] {
        return GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height
            && clientWidth == width && orientation == GetOrientation();
    }, 5000);
    PumpPending();
    return turned;
}

bool MainWindowTest::Filled(const Capture& capture, const RECT& r, DWORD colour)
{
    bool filled = !IsRectEmpty(&r) && r.right <= capture.width && r.bottom <= capture.height;
    for (int y = r.top; filled && y < r.bottom; y++)
        for (int x = r.left; filled && x < r.right; x++)
            filled = capture.At(x, y) == colour;
    return filled;
}

bool MainWindowTest::Shows(const Capture& capture, const RECT& r, int bitmapId)
{
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId));
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;   // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    if (IsRectEmpty(&r) || r.right - r.left > info.bmWidth || r.bottom - r.top > info.bmHeight
        || r.right > capture.width || r.bottom > capture.height)
        return false;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            if (capture.At(x, y) != (bits[(y - r.top) * info.bmWidth + x - r.left] & 0x00FFFFFF))
                return false;
    return true;
}

void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring Text(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

std::wstring Digits(HWND dialog)
{
    return Text(dialog, IDC_HOUR) + L" " + Text(dialog, IDC_MINUTE_TENS) + L" "
         + Text(dialog, IDC_MINUTE_ONES);
}

void SetDigits(HWND dialog, int hour, int tens, int ones)
{
    const int fields[3][3] = { { IDC_HOUR, IDC_HOUR_UP, hour },
                               { IDC_MINUTE_TENS, IDC_MINUTE_TENS_UP, tens },
                               { IDC_MINUTE_ONES, IDC_MINUTE_ONES_UP, ones } };
    for (const auto& f : fields) {
        for (int i = 0; i < 30 && _wtoi(Text(dialog, f[0]).c_str()) != f[2]; i++)
            Press(dialog, f[1]);
    }
}

DialogStep PickFile(const std::wstring& path)
{
    return [path](HWND box) {
        // The file name box is a ComboBoxEx (cmb13) around an edit control.
        HWND name = reinterpret_cast<HWND>(SendDlgItemMessageW(box, 0x47C, CBEM_GETEDITCONTROL, 0, 0));
        SetWindowTextW(name, path.c_str());
        Press(box, IDOK);
    };
}
