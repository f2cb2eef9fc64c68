#include "windowfixture.h"

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
    app.windowClosing = false;
    app.bitmapsReleased = false;
    orientation = GetOrientation();
    LoadStringW(instance, IDS_WINDOW_CLASS, app.windowClassName, WINDOW_NAME_UNITS);
    LoadStringW(instance, IDS_WINDOW_TITLE, app.windowTitle, WINDOW_NAME_UNITS);
    RegisterMainWindowClass(instance);   // fails harmlessly after the first test
    ASSERT_TRUE(InitInstance(instance));
    ResetClockCache();
    ClearAllNotifications();
    StringCchCopyW(settings.installDirectory, MAX_PATH, ProgramPath(L"..").c_str());
    settings.ShowIcon = 0;   // Settings would start the launcher's icon otherwise
    PumpPending();
}

void MainWindowTest::TearDown()
{
    while (FmodUseCount() > 0)
        ReleaseFMOD();
    if (app.mainWindow != nullptr && IsWindow(app.mainWindow))
        SendMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    PumpPending();
    FreeClockFace();
    FreeAlarms();
    app.mainWindow = nullptr;
    app.menuBar = nullptr;
    app.displayMode = DISPLAY_CLOCK;
    sleepPlayer.sleepPaused = 0;
    sleepPlayer.pressedButton = 0;
    ClearAllNotifications();
    ResetProgramRegistry();
}

void MainWindowTest::SetClock(const SYSTEMTIME& time)
{
    clockTime = time;
    clockTimeSource = TestClock;
}

Capture MainWindowTest::Face()
{
    InvalidateRect(app.mainWindow, nullptr, TRUE);
    return CaptureWindow(app.mainWindow);
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
            && MainLayout().clientWidth == width && orientation == GetOrientation();
    }, 5000);
    PumpPending();
    return turned;
}

// Whether every pixel of `r` is the colour `expected` gives for its place
// within `r`.
static bool Matches(const Capture& capture, const RECT& r, const std::function<DWORD(int, int)>& expected)
{
    if (IsRectEmpty(&r) || r.right > capture.width || r.bottom > capture.height)
        return false;
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            if (capture.At(x, y) != expected(x - r.left, y - r.top))
                return false;
    return true;
}

bool MainWindowTest::Filled(const Capture& capture, const RECT& r, DWORD colour)
{
    return Matches(capture, r, [=](int, int) { return colour; });
}

// A bitmap of the program as 0x00RRGGBB, row by row from the top.
static std::vector<DWORD> BitmapPixels(int bitmapId, int* width, int* height)
{
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId));
    BITMAP info = {};
    GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFOHEADER format = { sizeof(format), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<DWORD> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&format),
              DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (DWORD& pixel : bits)
        pixel &= 0x00FFFFFF;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return bits;
}

bool MainWindowTest::Shows(const Capture& capture, const RECT& r, int bitmapId)
{
    int width, height;
    std::vector<DWORD> bits = BitmapPixels(bitmapId, &width, &height);
    return r.right - r.left <= width && r.bottom - r.top <= height
        && Matches(capture, r, [&](int x, int y) { return bits[y * width + x]; });
}

bool MainWindowTest::ShowsSomewhere(const Capture& capture, int bitmapId, int fromTop)
{
    int width, height;
    std::vector<DWORD> bits = BitmapPixels(bitmapId, &width, &height);
    for (int top = fromTop; top + height <= capture.height; top++)
        for (int left = 0; left + width <= capture.width; left++)
            if (Matches(capture, { left, top, left + width, top + height },
                        [&](int x, int y) { return bits[y * width + x]; }))
                return true;
    return false;
}

void Click(HWND button)
{
    SendMessageW(app.mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::function<void()> Command(int id)
{
    return [id] { SendMessageW(app.mainWindow, WM_COMMAND, id, 0); };
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

void Answering(std::vector<DialogStep> steps, const std::function<void()>& open)
{
    const int count = static_cast<int>(steps.size());
    DialogDriver driver(std::move(steps));
    open();
    EXPECT_EQ(count, driver.dialogsSeen);
    EXPECT_EQ(0, driver.dialogsForced);
}

DialogStep Says(const std::wstring& text, const std::wstring& caption)
{
    return [=](HWND box) {
        EXPECT_EQ(text, MessageBoxText(box));
        if (!caption.empty()) {
            EXPECT_EQ(caption, WindowText(box));
        }
        ClickDialogButton(box, IDOK);
    };
}
