// The main window: its place on the screen in each orientation, and the
// screen turning.
#include "windowfixture.h"

using MainWindow = MainWindowTest;

static RECT ScreenRect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(MainWindow, FillsTheScreenBetweenTaskbarAndMenuBarLaidOutAnewForEachOrientation)
{
    EXPECT_EQ((RECT{ 0, 0, 240, 320 - MENUBAR_HEIGHT }), ScreenRect(app.mainWindow));
    EXPECT_EQ((RECT{ 0, 320 - MENUBAR_HEIGHT, 240, 320 }), ScreenRect(app.menuBar));
    EXPECT_EQ(0, GetWindowLongW(app.mainWindow, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(DeviceTaskbar(), WindowFromPoint(POINT{ 120, TASKBAR_HEIGHT / 2 }));
    // The whole face, AM/PM strip to player strip, is on the screen below
    // the taskbar strip.
    settings.TwentyFourHourTime = 0;
    EXPECT_TRUE(ShowsSomewhere(Face(), IDB_AMPM_STRIP_AM, TASKBAR_HEIGHT));
    EXPECT_LE(MainLayout().prevButtonRect.bottom, MainLayout().clientHeight);

    EXPECT_TRUE(TurnScreen(320, 240));
    EXPECT_EQ(-1, orientation);
    EXPECT_EQ((RECT{ 0, 240 - MENUBAR_HEIGHT, 320, 240 }), ScreenRect(app.menuBar));
    EXPECT_LE(MainLayout().prevButtonRect.bottom, MainLayout().clientHeight);
    // The landscape face: its digits, the AM/PM block.
    SetClock(MakeTime(2026, 12, 6, 13, 47));
    Capture face = Face();
    EXPECT_TRUE(Shows(face, MainLayout().digitSlots[4], IDB_LANDSCAPE_DIGIT_7));
    EXPECT_TRUE(ShowsSomewhere(face, IDB_AMPM_BLOCK_PM));

    // Turned back here, so a failure above leaves no turned screen behind.
    ASSERT_TRUE(TurnScreen(240, 320));
    EXPECT_EQ(1, orientation);
}

