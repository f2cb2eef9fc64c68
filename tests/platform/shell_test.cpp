// The device's menu bar: its drop-down menus, and its picture buttons with
// their commands. Full-screen dialogs with a Done button are
// checked through the program's own (Settings, Sleep).
#include "windowfixture.h"

using MenuBar = MainWindowTest;

static HMENU openedMenu;
static DWORD menuWaitStart;

// Closes the menu the toolbar tracks as soon as it shows, noting which it is.
static void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD)
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

TEST_F(MenuBar, DropDownsOpenTheirMenusAndPictureButtonsPassCommands)
{
    HWND toolbar = FindWindowExW(app.menuBar, nullptr, TOOLBARCLASSNAMEW, nullptr);
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

    // A picture button's command reaches the window that owns the bar.
    EnableCancelSnooze(true);
    SendMessageW(app.menuBar, WM_COMMAND, IDM_CANCEL_SNOOZE, reinterpret_cast<LPARAM>(toolbar));
    EXPECT_FALSE(SendMessageW(app.menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));
}
