// The main window: its layout per orientation, the screen turning, the
// menu bar around dialogs and in each mode, requests from other processes,
// memory pressure and closing.
#include "windowfixture.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "alarms.h"
#include "app.h"
#include "clockface.h"
#include "contract.h"
#include "displaymode.h"
#include "layout.h"
#include "mainwnd.h"
#include "menubar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sleepplayer.h"
#include "sound.h"

namespace {

TEST(Layout, NumbersOfEachOrientation)
{
    const struct {
        int orientation;
        RECT client;
        RECT clock;
        LONG prevLeft, stripTop, buttonsTop, digitHeight;
    } cases[] = {
        { 1, { 0, 0, 240, 320 }, { 10, 75, 230, 215 }, 58, 272, 274, 120 },
        { -1, { 0, 0, 320, 206 }, { 50, 30, 270, 132 }, 98, 185, 188, 90 },
        { 0, { 0, 0, 240, 240 }, { 10, 65, 230, 145 }, 58, 197, 201, 70 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        Layout l = LayoutFor(c.orientation, c.client);
        EXPECT_TRUE(EqualRect(&c.clock, &l.clock));
        EXPECT_EQ(c.prevLeft, l.prev.left);
        EXPECT_EQ(c.prevLeft + 31, l.stop.left);
        EXPECT_EQ(c.prevLeft + 62, l.pause.left);
        EXPECT_EQ(c.prevLeft + 119, l.next.right);
        EXPECT_EQ(c.stripTop, l.prev.top);
        EXPECT_EQ(c.stripTop + 26, l.next.bottom);
        EXPECT_EQ(c.buttonsTop, l.buttonsTop);
        EXPECT_EQ(c.digitHeight, l.digitHeight);
    }
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, FillsTheScreenBetweenTaskbarAndMenuBar)
{
    RECT window, bar;
    GetWindowRect(mainWindow, &window);
    EXPECT_EQ((RECT{ 0, 0, 240, 320 - MENUBAR_HEIGHT }), window);
    EXPECT_EQ(0, GetWindowLongW(mainWindow, GWL_STYLE) & WS_CAPTION);
    ASSERT_NE(nullptr, menuBar);
    GetWindowRect(menuBar, &bar);
    EXPECT_EQ((RECT{ 0, 320 - MENUBAR_HEIGHT, 240, 320 }), bar);
    EXPECT_EQ(DeviceTaskbar(), WindowFromPoint(POINT{ 120, TASKBAR_HEIGHT / 2 }));
    // The whole portrait face, player strip included, is on the screen,
    // below the taskbar strip.
    EXPECT_EQ(1, orientation);
    EXPECT_LE(prevButtonRect.bottom, clientHeight - 2);
    EXPECT_GE(clockRect.top - 23, TASKBAR_HEIGHT);
}

TEST_F(MainWindow, OnlyTheShellsScreenNoticeRelaysOut)
{
    HWND before = dateText;
    orientation = -1;   // as if the screen had been landscape at the last layout
    SendMessageW(mainWindow, WM_SETTINGCHANGE, 0, 0);
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_EQ(before, dateText);
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    EXPECT_EQ(1, orientation);
    EXPECT_NE(before, dateText);
}

class ScreenTurn : public MainWindowTest {
protected:
    void TearDown() override
    {
        TurnScreen(240, 320);
        MainWindowTest::TearDown();
    }
};

TEST_F(ScreenTurn, LandscapeAndBackRelayOutButNotWithinOneOrientation)
{
    HWND portraitDate = dateText;
    ASSERT_TRUE(TurnScreen(320, 240));
    EXPECT_EQ(-1, orientation);
    EXPECT_EQ(240 - MENUBAR_HEIGHT, clientHeight);
    EXPECT_LE(prevButtonRect.bottom, clientHeight);   // the strip shows in landscape too
    EXPECT_NE(portraitDate, dateText);
    RECT bar;
    GetWindowRect(menuBar, &bar);
    EXPECT_EQ((RECT{ 0, 240 - MENUBAR_HEIGHT, 320, 240 }), bar);

    // The landscape face: its digits, the AM/PM block at its fixed place.
    SetClock(MakeTime(2026, 12, 6, 13, 47));
    Capture face = Face();
    EXPECT_EQ(0xFFFFFFu, face.At(clockRect.left - 47, 60));   // the white outline
    EXPECT_TRUE(Shows(face, DigitSlotRect(4), IDB_LANDSCAPE_DIGIT_7));
    EXPECT_TRUE(Shows(face, { 5, 37, 53, 85 }, IDB_AMPM_BLOCK_PM));

    // Another landscape size keeps the layout.
    HWND landscapeDate = dateText;
    ASSERT_TRUE(TurnScreen(320, 200));
    EXPECT_EQ(landscapeDate, dateText);
    ASSERT_TRUE(TurnScreen(240, 320));
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

    static std::vector<std::pair<int, bool>> DisabledThenEnabled(bool settings = true)
    {
        return { { IDM_ALARMS_MENU, false }, { IDM_OPTIONS_MENU, false }, { IDM_SETTINGS, false },
                 { IDM_ALARMS_MENU, true }, { IDM_OPTIONS_MENU, true }, { IDM_SETTINGS, settings } };
    }
    static bool BarEnabled(int command)
    {
        return SendMessageW(menuBar, TB_ISBUTTONENABLED, command, 0) != 0;
    }
    static bool ItemGrey(int command)
    {
        return (GetMenuState(MenuBarMenu(), command, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
};

// Each dialog is cancelled as soon as it shows.
DialogStep CancelIt()
{
    return [](HWND dialog) { ClickDialogButton(dialog, IDCANCEL); };
}

TEST_F(MenuBarAroundDialogs, DisabledWhileEachDialogRunsAndTheChimeLeavesItAlone)
{
    for (int command : { IDM_ABOUT, IDM_SETTINGS, IDM_COUNTDOWN, IDM_SNOOZE_TIME, IDM_SLEEP }) {
        barRequests.clear();
        DialogDriver driver({ CancelIt() });
        SendMessageW(mainWindow, WM_COMMAND, command, 0);
        EXPECT_EQ(DisabledThenEnabled(), barRequests) << "command " << command;
    }
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);   // no sleep list: the clock stays
    barRequests.clear();
    DialogDriver driver({ CancelIt() });
    SendMessageW(mainWindow, WM_COMMAND, IDM_HOURLY_CHIME, 0);
    EXPECT_TRUE(barRequests.empty());
}

TEST_F(MenuBarAroundDialogs, ADialogDoesNotBringBackWhatTheModeDisabled)
{
    SetDisplayMode(DISPLAY_COUNTDOWN);
    for (int item : { IDM_SLEEP, IDM_COUNTDOWN, IDM_SETTINGS, IDM_SNOOZE_TIME })
        EXPECT_TRUE(ItemGrey(item)) << item;
    barRequests.clear();
    DialogDriver driver({ CancelIt() });
    SendMessageW(mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_EQ(DisabledThenEnabled(false), barRequests);
    EXPECT_FALSE(BarEnabled(IDM_SETTINGS));

    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(stopCountdownButton));
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_FALSE(ItemGrey(IDM_SLEEP));
    EXPECT_TRUE(BarEnabled(IDM_SETTINGS));
}

TEST_F(MenuBarAroundDialogs, SetAlarmsAndCancelSnoozeEndAnyPendingSnooze)
{
    EnableCancelSnooze(true);
    EXPECT_TRUE(BarEnabled(IDM_CANCEL_SNOOZE));
    barRequests.clear();
    DialogDriver driver({ CancelIt() });
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(setAlarmsButton));
    std::vector<std::pair<int, bool>> expected = DisabledThenEnabled();
    expected.push_back({ IDM_CANCEL_SNOOZE, false });
    EXPECT_EQ(expected, barRequests);
    EXPECT_TRUE(ItemGrey(IDM_CANCEL_SNOOZE));

    EnableCancelSnooze(true);
    EXPECT_FALSE(ItemGrey(IDM_CANCEL_SNOOZE));
    SendMessageW(mainWindow, WM_COMMAND, IDM_CANCEL_SNOOZE, 0);
    EXPECT_FALSE(BarEnabled(IDM_CANCEL_SNOOZE));
}

TEST_F(MainWindow, EachButtonOfTheMenuBarHasItsOwnTooltip)
{
    HWND toolbar = FindWindowExW(menuBar, nullptr, TOOLBARCLASSNAMEW, nullptr);
    const std::pair<int, const wchar_t*> tips[] = { { IDM_CANCEL_SNOOZE, L"Cancel snooze" },
                                                    { IDM_SETTINGS, L"Settings" },
                                                    { IDM_OPTIONS_MENU, L"" } };
    for (const auto& tip : tips) {
        NMTTDISPINFOW info = {};
        info.hdr.hwndFrom = toolbar;
        info.hdr.idFrom = static_cast<UINT_PTR>(tip.first);
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(menuBar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        ASSERT_NE(nullptr, info.lpszText);
        EXPECT_STREQ(tip.second, info.lpszText) << tip.first;
    }
}

TEST_F(MainWindow, ButtonsAreYellowOnBlackAndTheArtistLineIsNotBold)
{
    Capture face = Face();
    RECT button;
    GetWindowRect(setAlarmsButton, &button);
    MapWindowPoints(nullptr, mainWindow, reinterpret_cast<POINT*>(&button), 2);
    std::vector<DWORD> pixels = Pixels(face, button);
    size_t black = 0, yellow = 0;
    for (DWORD p : pixels) {
        black += p == 0x000000;
        yellow += p == 0xFFFF00;
    }
    EXPECT_GT(black, pixels.size() / 2);
    EXPECT_GT(yellow, 20u);

    TimedSleep = 0;
    SetDisplayMode(DISPLAY_SLEEP);
    LOGFONTW detail = {}, title = {};
    GetObjectW(trackDetailFont, sizeof(detail), &detail);
    GetObjectW(trackTitleFont, sizeof(title), &title);
    EXPECT_EQ(FW_NORMAL, detail.lfWeight);
    EXPECT_EQ(FW_BOLD, title.lfWeight);
    SetDisplayMode(DISPLAY_CLOCK);
}

TEST_F(MainWindow, StopSleepAndStopCountdownOutsideTheirModes)
{
    HWND date = dateText;
    StopSleep();
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
        // The player says that it cannot play the file.
        DialogDriver answers({ AnswerMessageBox(nullptr) });
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(sleepButton));
    }
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
    EXPECT_EQ(list, sleepList);
    FreeMediaList(sleepList);
    sleepList = nullptr;
    // A failed start may leave the sound library open; the process could
    // not end while it is.
    while (fmodUseCount > 0)
        ReleaseFMOD();
}

TEST_F(MainWindow, LowMemoryReleasesTheBitmapsOnceWhateverComesBeforeTheReturn)
{
    unsigned loaded = liveFaceBitmaps;
    SendMessageW(mainWindow, WM_HIBERNATE, 0, 0);
    EXPECT_FALSE(faceLoaded);
    EXPECT_EQ(0u, liveFaceBitmaps);
    orientation = -1;   // a turn of the screen meanwhile loads them again
    SendMessageW(mainWindow, WM_SETTINGCHANGE, SETTINGCHANGE_RESET, 0);
    SendMessageW(mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(faceLoaded);
    EXPECT_FALSE(bitmapsReleased);
    EXPECT_EQ(loaded, liveFaceBitmaps);
}

TEST_F(MainWindow, RequestsAreIgnoredOnceClosingBeganAndCloseHappensOnce)
{
    windowClosing = true;
    SendMessageW(mainWindow, WM_APP_EVENT, 2, 0);
    SendMessageW(mainWindow, WM_APP_SILENCE_ON, 0, 0);
    EXPECT_EQ(0u, Silenced);
    SendMessageW(mainWindow, WM_HIBERNATE, 0, 0);
    EXPECT_TRUE(faceLoaded);
    windowClosing = false;
    SendMessageW(mainWindow, WM_APP_SILENCE_ON, 0, 0);
    EXPECT_EQ(1u, Silenced);
    EXPECT_STORED(SETTINGS_PATH, L"Silenced", 1u);
    SendMessageW(mainWindow, WM_APP_SILENCE_OFF, 0, 0);
    EXPECT_EQ(0u, Silenced);

    HWND window = mainWindow;
    SendMessageW(window, WM_CLOSE, 0, 0);
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
    FreeAlarms();
    WriteDword(SETTINGS_PATH, L"Countdown", 1);
    windowClosing = false;
    ASSERT_TRUE(InitInstance(GetModuleHandleW(nullptr)));
    EXPECT_EQ(DISPLAY_COUNTDOWN, displayMode);
    EXPECT_TRUE(IsWindowVisible(stopCountdownButton));
    EXPECT_FALSE(IsWindowVisible(setAlarmsButton));
    EXPECT_NE(nullptr, pendingAlarmText);
}

} // namespace
