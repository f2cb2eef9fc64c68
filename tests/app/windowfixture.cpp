#include "windowfixture.h"

#include <commctrl.h>

#include "alarms.h"
#include "app.h"
#include "clockface.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
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
    menuBar = nullptr;
    mainWindow = nullptr;
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, windowTitle, WINDOW_NAME_UNITS);
    RegisterMainWindowClass(instance);   // fails harmlessly after the first test
    ASSERT_TRUE(InitInstance(instance));
    ResetClockCache();
    Settle();
}

void MainWindowTest::TearDown()
{
    if (mainWindow != nullptr && IsWindow(mainWindow))
        SendMessageW(mainWindow, WM_CLOSE, 0, 0);
    Settle();
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
            && clientWidth == width;
    }, 5000);
    Settle();
    return turned;
}

std::vector<DWORD> MainWindowTest::Pixels(const Capture& capture, const RECT& r)
{
    std::vector<DWORD> pixels;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            pixels.push_back(x < capture.width && y < capture.height ? capture.At(x, y) : 0xFF000000);
    return pixels;
}

std::vector<DWORD> MainWindowTest::BitmapPixels(int id, int width, int height)
{
    std::vector<DWORD> pixels;
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    if (bitmap == nullptr)
        return pixels;
    BITMAP info;
    GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = info.bmWidth;
    bmi.bmiHeader.biHeight = -info.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> all(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, all.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            pixels.push_back(x < info.bmWidth && y < info.bmHeight
                                 ? all[static_cast<size_t>(y) * info.bmWidth + x] & 0x00FFFFFF
                                 : 0xFF000000);
    return pixels;
}

bool MainWindowTest::AllOf(const std::vector<DWORD>& pixels, DWORD colour)
{
    for (DWORD pixel : pixels)
        if (pixel != colour)
            return false;
    return !pixels.empty();
}

bool MainWindowTest::Shows(const Capture& capture, const RECT& r, int bitmapId)
{
    return Pixels(capture, r) == BitmapPixels(bitmapId, r.right - r.left, r.bottom - r.top);
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
