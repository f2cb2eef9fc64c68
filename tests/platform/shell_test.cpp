// The device's shell services: the menu bar and its drop-down menus, and
// full-screen dialogs with a Done button.
#include "windowfixture.h"

#include <commctrl.h>

#include "app.h"
#include "menubar.h"
#include "resource.h"
#include "shell.h"

namespace {

using MenuBar = MainWindowTest;

HWND Toolbar()
{
    return FindWindowExW(menuBar, nullptr, TOOLBARCLASSNAMEW, nullptr);
}

TEST_F(MenuBar, HoldsTheTwoMenusThenCancelSnoozeAndSettingsEachWithItsTooltipAndCommand)
{
    const struct {
        int command;
        const wchar_t* tooltip;
    } buttons[] = { { IDM_ALARMS_MENU, L"" }, { IDM_OPTIONS_MENU, L"" }, { 0, nullptr },
                    { IDM_CANCEL_SNOOZE, L"Cancel snooze" }, { IDM_SETTINGS, L"Settings" } };
    HWND toolbar = Toolbar();
    ASSERT_EQ(5, SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < 5; i++) {
        TBBUTTON button = {};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(buttons[i].command, button.idCommand) << "button " << i;
        if (buttons[i].tooltip == nullptr)
            continue;   // the separator
        NMTTDISPINFOW info = {};
        info.hdr = { toolbar, static_cast<UINT_PTR>(button.idCommand), TTN_GETDISPINFOW };
        SendMessageW(menuBar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(buttons[i].tooltip, info.lpszText) << "button " << i;
    }
    wchar_t caption[32] = L"";
    SendMessageW(toolbar, TB_GETBUTTONTEXTW, IDM_OPTIONS_MENU, reinterpret_cast<LPARAM>(caption));
    EXPECT_STREQ(L"Options", caption);

    // A picture button's command reaches the window that owns the bar.
    EnableCancelSnooze(true);
    SendMessageW(menuBar, WM_COMMAND, IDM_CANCEL_SNOOZE, reinterpret_cast<LPARAM>(toolbar));
    EXPECT_FALSE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));
}

HMENU openedMenu;
DWORD menuWaitStart;

// Closes the menu the toolbar tracks as soon as it shows, noting which it is.
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND popup = FindWindowW(L"#32768", nullptr);
    bool shown = popup != nullptr && IsWindowVisible(popup);
    if (!shown && GetTickCount() - menuWaitStart < 5000)
        return;
    KillTimer(nullptr, id);
    if (shown)
        openedMenu = reinterpret_cast<HMENU>(SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    EndMenu();
}

TEST_F(MenuBar, DropDownButtonsOpenTheirSubMenus)
{
    HWND toolbar = Toolbar();
    const int dropDowns[2] = { IDM_ALARMS_MENU, IDM_OPTIONS_MENU };
    for (int i = 0; i < 2; i++) {
        openedMenu = nullptr;
        RECT button;
        SendMessageW(toolbar, TB_GETRECT, dropDowns[i], reinterpret_cast<LPARAM>(&button));
        menuWaitStart = GetTickCount();
        SetTimer(nullptr, 0, 10, CloseOpenMenu);
        LPARAM at = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);   // tracks the menu until closed
        SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
        EXPECT_EQ(GetSubMenu(MenuBarMenu(), i), openedMenu) << "drop-down " << i;
    }
}

INT_PTR CALLBACK FullScreenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO info = { SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN };
        SHInitDialog(&info);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

TEST(FullScreenDialog, FillsTheScreenBelowTheTaskbarAndDoneSendsOk)
{
    RECT placed = {}, control = {};
    bool doneShown = false;
    DialogDriver driver({ [&](HWND dialog) {
        GetWindowRect(dialog, &placed);
        GetWindowRect(GetDlgItem(dialog, IDC_STOP), &control);
        HWND done = DeviceDoneButton(dialog);
        doneShown = done != nullptr && IsWindowVisible(done);
        SendMessageW(done, BM_CLICK, 0, 0);
    } });
    // A small template of the program's with one button near its top.
    EXPECT_EQ(IDOK, DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_COUNTDOWN_FINISHED),
                                    nullptr, FullScreenProc, 0));
    EXPECT_EQ(0, driver.dialogsForced);
    EXPECT_EQ((RECT{ 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) }), placed);
    EXPECT_GE(control.top, TASKBAR_HEIGHT);   // below the strip that shows the title
    EXPECT_TRUE(doneShown);
}

} // namespace
