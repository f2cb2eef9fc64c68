// The test host itself: the device's screen, the dialog driver, window
// captures and the sound capture must work before any test can trust them.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cmath>

#include "testsupport.h"

TEST(TestHost, ScreenIsTheDevicePortraitScreen)
{
    EXPECT_EQ(240, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(320, GetSystemMetrics(SM_CYSCREEN));
}

TEST(TestHost, DriverAnswersMessageBoxesAndReadsThem)
{
    std::wstring text, caption;
    int result;
    {
        DialogDriver driver({ [&](HWND box) {
            text = MessageBoxText(box);
            caption = WindowText(box);
            ClickDialogButton(box, IDNO);
        } });
        result = MessageBoxW(nullptr, L"Failed to set alarm!", L"Wakeloom",
                             MB_YESNO | MB_ICONHAND);
        EXPECT_EQ(1, driver.dialogsSeen);
        EXPECT_EQ(0, driver.dialogsForced);
    }
    EXPECT_EQ(IDNO, result);
    EXPECT_EQ(L"Failed to set alarm!", text);
    EXPECT_EQ(L"Wakeloom", caption);
}

TEST(TestHost, WatchdogEndsADialogThatNoStepCloses)
{
    DWORD start = GetTickCount();
    DialogDriver driver({ [](HWND) {} }, 300);
    int result = MessageBoxW(nullptr, L"left open", L"Test", MB_OKCANCEL);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(1, driver.dialogsForced);
    EXPECT_LT(GetTickCount() - start, 3000u);

    // A dialog beyond the script is ended at once.
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, L"unexpected", L"Test", MB_OKCANCEL));
    EXPECT_EQ(2, driver.dialogsForced);
}

static LRESULT CALLBACK PaintTwoHalvesProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT left = { 0, 0, 50, 40 }, right = { 50, 0, 100, 40 };
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
        FillRect(dc, &left, red);
        FillRect(dc, &right, yellow);
        DeleteObject(red);
        DeleteObject(yellow);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(TestHost, CaptureReadsTheWindowPixels)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PaintTwoHalvesProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CaptureProbe";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"CaptureProbe", L"", WS_POPUP | WS_VISIBLE,
                                  0, 0, 100, 40, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    PumpUntil([] { return false; }, 200);
    Capture capture = CaptureWindow(window);
    DestroyWindow(window);
    ASSERT_EQ(100, capture.width);
    ASSERT_EQ(40, capture.height);
    EXPECT_EQ(0xFF0000u, capture.At(10, 20));
    EXPECT_EQ(0xFFFF00u, capture.At(90, 20));
}

TEST(TestHost, SoundCaptureHearsWhatWaveOutPlays)
{
    ClearSoundCapture();
    const int rate = 22050;
    std::vector<short> tone(rate / 2);  // half a second of 1 kHz
    for (size_t i = 0; i < tone.size(); i++)
        tone[i] = static_cast<short>(8000 * std::sin(2 * 3.14159265 * 1000 * i / rate));

    WAVEFORMATEX format = { WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0 };
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device;
    ASSERT_EQ(MMSYSERR_NOERROR, waveOutOpen(&device, WAVE_MAPPER, &format,
                                            reinterpret_cast<DWORD_PTR>(done), 0,
                                            CALLBACK_EVENT));
    WaitForSingleObject(done, 1000);  // the open notice
    WAVEHDR header = {};
    header.lpData = reinterpret_cast<LPSTR>(tone.data());
    header.dwBufferLength = static_cast<DWORD>(tone.size() * sizeof(short));
    waveOutPrepareHeader(device, &header, sizeof(header));
    waveOutWrite(device, &header, sizeof(header));
    PumpUntil([&] { return (header.dwFlags & WHDR_DONE) != 0; }, 5000);
    EXPECT_TRUE(header.dwFlags & WHDR_DONE);
    waveOutUnprepareHeader(device, &header, sizeof(header));
    waveOutClose(device);
    CloseHandle(done);

    SoundCapture capture;
    PumpUntil([&] { capture = ReadSoundCapture(); return capture.valid; }, 3000);
    ASSERT_TRUE(capture.valid);
    ASSERT_GT(capture.rate, 0);
    // The tone reached the device: loud samples, about rate/2 frames of them.
    int loud = 0;
    for (short s : capture.samples)
        loud += std::abs(s) > 4000 ? 1 : 0;
    EXPECT_GT(loud, capture.rate / 8);
}
