// The main window: its layout per orientation, the screen turning, the
// commands around dialogs, the requests from other processes and closing.
#include "windowfixture.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "alarms.h"
#include "app.h"
#include "clockface.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

namespace {

const wchar_t* const kKey = L"Software\\Hazelmere\\Wakeloom";

DWORD StoredDword(const wchar_t* name)
{
    DWORD type = 0, value = 0xFFFFFFFF;
    std::vector<BYTE> data;
    if (ReadRawValue(HKEY_LOCAL_MACHINE, kKey, name, &type, &data) && data.size() == 4)
        memcpy(&value, data.data(), 4);
    return value;
}

TEST(Layout, PortraitNumbers)
{
    Layout l = LayoutFor(1, { 0, 0, 240, 320 });
    EXPECT_EQ(10, l.clock.left);
    EXPECT_EQ(230, l.clock.right);
    EXPECT_EQ(75, l.clock.top);          // k = 90
    EXPECT_EQ(215, l.clock.bottom);
    EXPECT_EQ(58, l.prev.left);
    EXPECT_EQ(272, l.prev.top);
    EXPECT_EQ(298, l.prev.bottom);
    EXPECT_EQ(89, l.stop.left);
    EXPECT_EQ(120, l.pause.left);
    EXPECT_EQ(151, l.next.left);
    EXPECT_EQ(177, l.next.right);
    EXPECT_EQ(274, l.buttonsTop);
    EXPECT_EQ(120, l.digitHeight);
    EXPECT_EQ(140, l.digitAreaHeight);
}

TEST(Layout, LandscapeNumbersAreFixed)
{
    Layout l = LayoutFor(-1, { 0, 0, 320, 206 });
    EXPECT_EQ(50, l.clock.left);
    EXPECT_EQ(30, l.clock.top);
    EXPECT_EQ(132, l.clock.bottom);
    EXPECT_EQ(185, l.prev.top);
    EXPECT_EQ(211, l.prev.bottom);
    EXPECT_EQ(98, l.prev.left);
    EXPECT_EQ(188, l.buttonsTop);
    EXPECT_EQ(90, l.digitHeight);
    EXPECT_EQ(102, l.digitAreaHeight);
}

TEST(Layout, SquareNumbers)
{
    Layout l = LayoutFor(0, { 0, 0, 240, 240 });
    EXPECT_EQ(10, l.clock.left);
    EXPECT_EQ(65, l.clock.top);          // k = 80
    EXPECT_EQ(145, l.clock.bottom);
    EXPECT_EQ(197, l.prev.top);
    EXPECT_EQ(223, l.prev.bottom);
    EXPECT_EQ(201, l.buttonsTop);
    EXPECT_EQ(70, l.digitHeight);
    EXPECT_EQ(80, l.digitAreaHeight);
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, FillsTheScreenBetweenTaskbarAndMenuBar)
{
    RECT window, bar;
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ(0, window.left);
    EXPECT_EQ(0, window.top);   // under the taskbar, whose band the face leaves free
    EXPECT_EQ(240, window.right);
    EXPECT_EQ(320 - MENUBAR_HEIGHT, window.bottom);
    EXPECT_EQ(0, GetWindowLongW(mainWindow, GWL_STYLE) & WS_CAPTION);
    ASSERT_NE(nullptr, menuBar);
    GetWindowRect(menuBar, &bar);
    EXPECT_EQ(320 - MENUBAR_HEIGHT, bar.top);
    EXPECT_EQ(320, bar.bottom);

    POINT top = { 120, TASKBAR_HEIGHT / 2 };
    EXPECT_EQ(DeviceTaskbar(), WindowFromPoint(top));

    // The whole portrait face, player strip included, is on the screen.
    EXPECT_EQ(1, orientation);
    EXPECT_EQ(240, clientWidth);
    EXPECT_EQ(320 - MENUBAR_HEIGHT, clientHeight);
    EXPECT_EQ(10, clockRect.left);
    EXPECT_LE(prevButtonRect.bottom, clientHeight - 2);
    EXPECT_GE(clockRect.top - 23, TASKBAR_HEIGHT);
    EXPECT_LE(TASKBAR_HEIGHT, 25);   // the face's border starts at y 25
    RECT button;
    GetWindowRect(setAlarmsButton, &button);
    EXPECT_LE(button.bottom, window.bottom);
}

TEST_F(MainWindow, OnlyTheShellsScreenNoticeRelaysOut)
{
    HWND before = dateText;
    orientation = -1;   // as if the screen had been landscape at the last layout
    SendMessageW(mainWindow, WM_SETTINGCHANGE, 0, 0);
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(-1, orientation);
    EXPECT_EQ(before, dateText);

    SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    EXPECT_EQ(1, orientation);
    EXPECT_NE(before, dateText);
    EXPECT_NE(nullptr, dateText);
}

class ScreenTurn : public MainWindowTest {
protected:
    void TearDown() override
    {
        TurnScreen(240, 320);
        MainWindowTest::TearDown();
        EXPECT_EQ(240, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(320, GetSystemMetrics(SM_CYSCREEN));
    }
};

TEST_F(ScreenTurn, LandscapeAndBackRelayOutButNotWithinOneOrientation)
{
    HWND portraitDate = dateText;
    ASSERT_TRUE(TurnScreen(320, 240));
    EXPECT_EQ(-1, orientation);
    EXPECT_EQ(320, clientWidth);
    EXPECT_EQ(240 - MENUBAR_HEIGHT, clientHeight);
    EXPECT_LE(prevButtonRect.bottom, clientHeight);   // the strip shows in landscape too
    EXPECT_EQ(50, clockRect.left);
    EXPECT_EQ(30, clockRect.top);
    EXPECT_EQ(185, prevButtonRect.top);
    EXPECT_EQ(98, prevButtonRect.left);
    EXPECT_NE(portraitDate, dateText);
    RECT bar;
    GetWindowRect(menuBar, &bar);
    EXPECT_EQ(240 - MENUBAR_HEIGHT, bar.top);
    EXPECT_EQ(320, bar.right);

    // The landscape face: digits 90 high, AM/PM block at its fixed place.
    RECT slot = DigitSlotRect(4);
    EXPECT_EQ(90, slot.bottom - slot.top);
    Capture face = CaptureWindow(mainWindow);
    EXPECT_EQ(0xFFFFFFu, face.At(clockRect.left - 47, 60));   // the white outline

    SYSTEMTIME t = Time(2026, 12, 6, 13, 47);
    ResetClockCache();
    UpdateClockAt(t, t);
    face = CaptureWindow(mainWindow);
    EXPECT_EQ(Pixels(face, DigitSlotRect(4)), BitmapPixels(IDB_LANDSCAPE_DIGIT_0 + 7, 40, 90));
    EXPECT_EQ(Pixels(face, { 5, 37, 53, 85 }), BitmapPixels(IDB_AMPM_BLOCK_PM, 48, 48));

    // Another landscape size keeps the layout.
    HWND landscapeDate = dateText;
    ASSERT_TRUE(TurnScreen(320, 200));
    EXPECT_EQ(-1, orientation);
    EXPECT_EQ(landscapeDate, dateText);
    RECT window;
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ(200 - MENUBAR_HEIGHT, window.bottom);

    ASSERT_TRUE(TurnScreen(240, 320));
    EXPECT_EQ(1, orientation);
    EXPECT_EQ(10, clockRect.left);
    EXPECT_NE(landscapeDate, dateText);
}

// Records the enable and disable requests the menu bar receives.
std::vector<std::pair<int, bool>> barRequests;

LRESULT CALLBACK RecordBarRequests(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR)
{
    if (message == TB_ENABLEBUTTON)
        barRequests.push_back({ static_cast<int>(wParam), LOWORD(lParam) != 0 });
    return DefSubclassProc(window, message, wParam, lParam);
}

class MenuBarAroundDialogs : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetWindowSubclass(menuBar, RecordBarRequests, 1, 0);
        barRequests.clear();
    }
    void TearDown() override
    {
        RemoveWindowSubclass(menuBar, RecordBarRequests, 1);
        MainWindowTest::TearDown();
    }

    static std::vector<std::pair<int, bool>> DisabledThenEnabled()
    {
        return { { IDM_ALARMS_MENU, false }, { IDM_OPTIONS_MENU, false }, { IDM_SETTINGS, false },
                 { IDM_ALARMS_MENU, true }, { IDM_OPTIONS_MENU, true }, { IDM_SETTINGS, true } };
    }
};

TEST_F(MenuBarAroundDialogs, DisabledWhileEachDialogRuns)
{
    for (int command : { IDM_ABOUT, IDM_SETTINGS, IDM_COUNTDOWN, IDM_SNOOZE_TIME, IDM_SLEEP }) {
        barRequests.clear();
        SendMessageW(mainWindow, WM_COMMAND, command, 0);
        EXPECT_EQ(DisabledThenEnabled(), barRequests) << "command " << command;
    }
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);   // no sleep list: the clock stays
}

TEST_F(MenuBarAroundDialogs, HourlyChimeLeavesTheMenuBarAlone)
{
    SendMessageW(mainWindow, WM_COMMAND, IDM_HOURLY_CHIME, 0);
    EXPECT_TRUE(barRequests.empty());
}

TEST_F(MenuBarAroundDialogs, SetAlarmsButtonEndsAnyPendingSnooze)
{
    EnableCancelSnooze(true);
    EXPECT_TRUE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));
    barRequests.clear();
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(setAlarmsButton));
    std::vector<std::pair<int, bool>> expected = DisabledThenEnabled();
    expected.push_back({ IDM_CANCEL_SNOOZE, false });
    EXPECT_EQ(expected, barRequests);
    EXPECT_FALSE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED),
              GetMenuState(MenuBarMenu(), IDM_CANCEL_SNOOZE, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainWindow, CancelSnoozeDisablesItself)
{
    EnableCancelSnooze(true);
    EXPECT_EQ(0u, GetMenuState(MenuBarMenu(), IDM_CANCEL_SNOOZE, MF_BYCOMMAND) & MF_GRAYED);
    SendMessageW(mainWindow, WM_COMMAND, IDM_CANCEL_SNOOZE, 0);
    EXPECT_FALSE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));
}

TEST_F(MainWindow, SilenceCommandTwiceReturnsAndSavesEachTime)
{
    SendMessageW(mainWindow, WM_COMMAND, IDM_SILENCE_ALL, 0);
    EXPECT_EQ(1u, StoredDword(L"Silenced"));
    SendMessageW(mainWindow, WM_COMMAND, IDM_SILENCE_ALL, 0);
    EXPECT_EQ(0u, Silenced);
    EXPECT_EQ(0u, StoredDword(L"Silenced"));
}

TEST_F(MainWindow, CountdownModeGreysTheClockCommands)
{
    SetDisplayMode(DISPLAY_COUNTDOWN);
    for (int item : { IDM_SLEEP, IDM_COUNTDOWN, IDM_SETTINGS, IDM_SNOOZE_TIME })
        EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(MenuBarMenu(), item, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_SETTINGS, 0));
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(stopCountdownButton));
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(0u, GetMenuState(MenuBarMenu(), IDM_SLEEP, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_SETTINGS, 0));
}

TEST_F(MainWindow, StopSleepAndStopCountdownOutsideTheirModes)
{
    HWND date = dateText;
    StopSleep();
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(date, dateText);
    Countdown = 1;
    StopCountdown();
    EXPECT_EQ(0u, Countdown);
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(date, dateText);
}

TEST_F(MainWindow, SleepWithAListThatCannotPlayKeepsTheClock)
{
    auto* list = static_cast<MediaNode*>(LocalAlloc(LPTR, sizeof(MediaNode)));
    lstrcpyW(list->path, L"C:\\no such folder\\missing.mp3");
    sleepList = list;
    {
        // The player may say that it cannot play the file.
        DialogDriver answers({ [](HWND box) { ClickDialogButton(box, IDOK); } });
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(sleepButton));
    }
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(list, sleepList);
    FreeMediaList(sleepList);
    sleepList = nullptr;
    // A failed start may leave the sound library open; the process could
    // not end while it is.
    for (int i = 0; i < 10 && fmodUseCount > 0; i++)
        ReleaseFMOD();
}

TEST_F(MainWindow, LowMemoryReleasesTheBitmapsUntilReactivated)
{
    SendMessageW(mainWindow, 0x03FF /* WM_HIBERNATE */, 0, 0);
    EXPECT_FALSE(faceLoaded);
    EXPECT_TRUE(bitmapsReleased);
    SendMessageW(mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(faceLoaded);
    EXPECT_FALSE(bitmapsReleased);
}

TEST_F(MainWindow, RequestsAreIgnoredOnceClosingBegan)
{
    windowClosing = true;
    SendMessageW(mainWindow, WM_APP + 1, 2, 0);
    SendMessageW(mainWindow, WM_APP + 4, 0, 0);
    EXPECT_EQ(0u, Silenced);
    SendMessageW(mainWindow, 0x03FF /* WM_HIBERNATE */, 0, 0);
    EXPECT_TRUE(faceLoaded);
    windowClosing = false;
    SendMessageW(mainWindow, WM_APP + 4, 0, 0);
    EXPECT_EQ(1u, Silenced);
    SendMessageW(mainWindow, WM_APP + 5, 0, 0);
    EXPECT_EQ(0u, Silenced);
}

TEST_F(MainWindow, CloseDestroysTheControlsOnce)
{
    HWND window = mainWindow;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(windowClosing);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dateText);
    EXPECT_EQ(nullptr, setAlarmsButton);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindow, StartsInCountdownModeWhenACountdownWasRunning)
{
    SendMessageW(mainWindow, WM_CLOSE, 0, 0);
    Settle();
    FreeClockFace();
    FreeAlarms();
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"Countdown", 1);
    windowClosing = false;
    ASSERT_TRUE(InitInstance(GetModuleHandleW(nullptr)));
    EXPECT_EQ(DISPLAY_COUNTDOWN, displayMode);
    EXPECT_TRUE(IsWindowVisible(stopCountdownButton));
    EXPECT_FALSE(IsWindowVisible(setAlarmsButton));
    EXPECT_NE(nullptr, pendingAlarmText);
}

} // namespace
