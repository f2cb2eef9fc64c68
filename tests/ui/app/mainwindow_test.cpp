// The main window: its place on the screen in each orientation, the screen
// turning, the menu bar around dialogs and in each mode, closing and
// restarting in countdown mode.
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

    HWND portraitDate = mainControls.dateText;
    EXPECT_TRUE(TurnScreen(320, 240));
    EXPECT_EQ(-1, orientation);
    EXPECT_NE(portraitDate, mainControls.dateText);
    EXPECT_EQ((RECT{ 0, 240 - MENUBAR_HEIGHT, 320, 240 }), ScreenRect(app.menuBar));
    EXPECT_LE(MainLayout().prevButtonRect.bottom, MainLayout().clientHeight);
    // The landscape face: its digits, the AM/PM block.
    SetClock(MakeTime(2026, 12, 6, 13, 47));
    Capture face = Face();
    EXPECT_TRUE(Shows(face, MainLayout().digitSlots[4], IDB_LANDSCAPE_DIGIT_7));
    EXPECT_TRUE(ShowsSomewhere(face, IDB_AMPM_BLOCK_PM));

    // Another size of the same orientation keeps the layout.
    HWND landscapeDate = mainControls.dateText;
    EXPECT_TRUE(TurnScreen(320, 200));
    EXPECT_EQ(landscapeDate, mainControls.dateText);
    // Turned back here, so a failure above leaves no turned screen behind.
    ASSERT_TRUE(TurnScreen(240, 320));
    EXPECT_EQ(1, orientation);
}

// Which of the two menus and the Settings button the menu bar enables, as "111".
static std::string BarState()
{
    std::string state;
    for (int command : { IDM_ALARMS_MENU, IDM_OPTIONS_MENU, IDM_SETTINGS })
        state += SendMessageW(app.menuBar, TB_ISBUTTONENABLED, command, 0) ? '1' : '0';
    return state;
}

// The bar's state while the dialog that a command opens runs (answered at
// once), then after it.
static std::string BarAround(WPARAM command, HWND button = nullptr, int answer = IDCANCEL)
{
    std::string during = "no dialog";
    Answering({ [&](HWND dialog) {
        during = BarState();
        ClickDialogButton(dialog, answer);
    } }, [&] { SendMessageW(app.mainWindow, WM_COMMAND, command, reinterpret_cast<LPARAM>(button)); });
    return during + " " + BarState();
}

static bool ItemGrey(int command)
{
    return (GetMenuState(MenuBarMenu(), command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

TEST_F(MainWindow, MenuBarIsOffWhileADialogRunsAndBackAsTheModeAllows)
{
    for (int command : { IDM_ABOUT, IDM_SETTINGS, IDM_COUNTDOWN, IDM_SNOOZE_TIME, IDM_SLEEP })
        EXPECT_EQ("000 111", BarAround(command)) << "command " << command;
    EXPECT_EQ("111 111", BarAround(IDM_HOURLY_CHIME));

    // Cancel in Set Alarms leaves a pending snooze cancellable; Done ends it.
    EnableCancelSnooze(true);
    for (int answer : { IDCANCEL, IDOK }) {
        EXPECT_EQ("000 111", BarAround(MAKEWPARAM(0, BN_CLICKED), mainControls.setAlarmsButton, answer));
        EXPECT_EQ(answer == IDOK, ItemGrey(IDM_CANCEL_SNOOZE)) << answer;
        EXPECT_EQ(answer == IDCANCEL, SendMessageW(app.menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0) != 0);
    }

    // A dialog does not bring back what the countdown disabled.
    SetDisplayMode(DISPLAY_COUNTDOWN);
    for (int item : { IDM_SLEEP, IDM_COUNTDOWN, IDM_SETTINGS, IDM_SNOOZE_TIME })
        EXPECT_TRUE(ItemGrey(item)) << item;
    EXPECT_EQ("000 110", BarAround(IDM_ABOUT));
    Click(mainControls.stopCountdownButton);
    EXPECT_FALSE(ItemGrey(IDM_SLEEP));
    EXPECT_EQ("111", BarState());
}

TEST_F(MainWindow, StartsInCountdownModeWhenACountdownWasRunning)
{
    SendMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    PumpPending();
    FreeAlarms();
    WriteDword(SETTINGS_PATH, L"Countdown", 1);
    ULONGLONG end = LocalNowTicks() + 10 * TICKS_PER_MINUTE;
    WriteDword(SETTINGS_PATH, L"CDFTLow", static_cast<DWORD>(end));
    WriteDword(SETTINGS_PATH, L"CDFTHigh", static_cast<DWORD>(end >> 32));
    app.windowClosing = false;
    ASSERT_TRUE(InitInstance(GetModuleHandleW(nullptr)));
    EXPECT_EQ(DISPLAY_COUNTDOWN, app.displayMode);
    EXPECT_TRUE(IsWindowVisible(mainControls.stopCountdownButton));
    EXPECT_FALSE(IsWindowVisible(mainControls.setAlarmsButton));
    EXPECT_NE(nullptr, mainControls.pendingAlarmText);
}

