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

TEST_F(MenuBar, HoldsTheTwoMenusThenCancelSnoozeAndSettings)
{
    HWND toolbar = Toolbar();
    ASSERT_NE(nullptr, toolbar);
    ASSERT_EQ(5, SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    const int commands[5] = { IDM_ALARMS_MENU, IDM_OPTIONS_MENU, 0, IDM_CANCEL_SNOOZE, IDM_SETTINGS };
    for (int i = 0; i < 5; i++) {
        TBBUTTON button = {};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(commands[i], button.idCommand) << "button " << i;
    }
    wchar_t caption[32] = L"";
    SendMessageW(toolbar, TB_GETBUTTONTEXTW, IDM_OPTIONS_MENU, reinterpret_cast<LPARAM>(caption));
    EXPECT_STREQ(L"Options", caption);

    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETMENU, 0, 0));
    ASSERT_NE(nullptr, menu);
    HMENU first = GetSubMenu(menu, 0), second = GetSubMenu(menu, 1);
    const UINT firstIds[9] = { IDM_CANCEL_SNOOZE, 0, IDM_SILENCE_ALL, 0, IDM_SLEEP,
                               IDM_COUNTDOWN, IDM_HELP, IDM_ABOUT, IDM_EXIT };
    ASSERT_EQ(9, GetMenuItemCount(first));
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(firstIds[i], GetMenuItemID(first, i));
    ASSERT_EQ(3, GetMenuItemCount(second));
    EXPECT_EQ(static_cast<UINT>(IDM_SETTINGS), GetMenuItemID(second, 0));
    EXPECT_EQ(static_cast<UINT>(IDM_SNOOZE_TIME), GetMenuItemID(second, 1));
    EXPECT_EQ(static_cast<UINT>(IDM_HOURLY_CHIME), GetMenuItemID(second, 2));
    DrawMenuBar(mainWindow);
    EXPECT_TRUE(IsWindowVisible(menuBar));
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
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuBar, SHCMBM_GETMENU, 0, 0));
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
        EXPECT_EQ(GetSubMenu(menu, i), openedMenu) << "drop-down " << i;
    }
}

TEST_F(MenuBar, ImageButtonsSendTheirCommandsAndAMissingRecordFails)
{
    EnableCancelSnooze(true);
    SendMessageW(menuBar, WM_COMMAND, IDM_CANCEL_SNOOZE, reinterpret_cast<LPARAM>(Toolbar()));
    EXPECT_FALSE(SendMessageW(menuBar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0));

    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = mainWindow;
    info.nToolBarId = 4711;
    info.hInstRes = GetModuleHandleW(nullptr);
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(nullptr, info.hwndMB);
}

// ---- full-screen dialogs ----

INT_PTR CALLBACK FullScreenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO info = { SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN };
        SHInitDialog(&info);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 77 : 66);
        return TRUE;
    }
    return FALSE;
}

// A dialog with one static control (id 1234) at its top left.
struct alignas(4) SmallTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    wchar_t title[6];
    alignas(4) DLGITEMTEMPLATE item;
    WORD itemClass[2];
    wchar_t itemText[2];
    WORD extra;
};

TEST(FullScreenDialog, FillsTheScreenBelowTheTaskbarAndDoneSendsOk)
{
    SmallTemplate t = {};
    t.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.header.cdit = 1;
    t.header.cx = 80;
    t.header.cy = 40;
    lstrcpyW(t.title, L"Chime");
    t.item.style = WS_CHILD | WS_VISIBLE;
    t.item.cx = 20;
    t.item.cy = 8;
    t.item.id = 1234;
    t.itemClass[0] = 0xFFFF;
    t.itemClass[1] = 0x0082;   // static
    lstrcpyW(t.itemText, L"x");
    RECT placed = {}, control = {};
    bool doneShown = false;
    wchar_t caption[32] = L"";
    DialogDriver driver({ [&](HWND dialog) {
        GetWindowRect(dialog, &placed);
        GetWindowRect(GetDlgItem(dialog, 1234), &control);
        HWND done = DeviceDoneButton(dialog);
        doneShown = done != nullptr && IsWindowVisible(done);
        GetWindowTextW(dialog, caption, 32);
        SendMessageW(done, BM_CLICK, 0, 0);
    } });
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &t.header, nullptr,
                                             FullScreenProc, 0);
    EXPECT_EQ(77, result);
    EXPECT_EQ(0, driver.dialogsForced);
    EXPECT_EQ(0, placed.left);
    EXPECT_EQ(0, placed.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), placed.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), placed.bottom);
    // The template's controls sit below the strip that shows the title.
    EXPECT_GE(control.top, TASKBAR_HEIGHT);
    EXPECT_TRUE(doneShown);
    EXPECT_STREQ(L"Chime", caption);

    SHINITDLGINFO info = { SHIDIM_FLAGS, nullptr, SHIDIF_DONEBUTTON };
    EXPECT_FALSE(SHInitDialog(&info));
    EXPECT_FALSE(SHInitDialog(nullptr));
}

} // namespace
