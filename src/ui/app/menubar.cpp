#include "menubar.h"

#include <commctrl.h>

#include "app.h"
#include "displaymode.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"

// After the two drop-down menus of the menu-bar record: Cancel snooze and
// Settings, with their pictures.
static const TBBUTTON menuBarButtons[] = {
    { -1, 0, 0, TBSTYLE_SEP, {}, 0, 0 },
    { 0, IDM_CANCEL_SNOOZE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0 },
    { 1, IDM_SETTINGS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0 },
};
// One per button, separators not counted, the drop-down menus first; 0 for
// no tooltip.
static const UINT menuBarTooltips[] = { 0, 0, IDS_CANCEL_SNOOZE_TIP, IDS_SETTINGS_TIP };

// Commands that only make sense on the plain clock.
static const int clockOnlyCommands[] = { IDM_SLEEP, IDM_COUNTDOWN, IDM_SETTINGS, IDM_SNOOZE_TIME };

void CreateMainMenuBar(HWND window)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = window;
    info.nToolBarId = IDM_MAIN_MENU;
    info.hInstRes = app.appInstance;
    info.nBmpId = IDB_MENUBAR_IMAGES;
    info.cBmpImages = 2;
    if (!SHCreateMenuBar(&info))
        ShowMessage(window, IDS_MENU_BAR_FAILED, IDS_ERROR, MB_OK);
    app.menuBar = info.hwndMB;
    if (app.menuBar == nullptr)
        return;
    // The bar keeps copies of the texts.
    wchar_t texts[ARRAYSIZE(menuBarTooltips)][64];
    const wchar_t* tooltips[ARRAYSIZE(menuBarTooltips)];
    for (size_t i = 0; i < ARRAYSIZE(menuBarTooltips); i++) {
        texts[i][0] = L'\0';
        if (menuBarTooltips[i] != 0)
            LoadResourceText(menuBarTooltips[i], texts[i], ARRAYSIZE(texts[i]));
        tooltips[i] = texts[i];
    }
    SendMessageW(app.menuBar, TB_SETBUTTONTOOLTIPS, ARRAYSIZE(tooltips),
                 reinterpret_cast<LPARAM>(tooltips));
    SendMessageW(app.menuBar, TB_ADDBUTTONSW, ARRAYSIZE(menuBarButtons),
                 reinterpret_cast<LPARAM>(menuBarButtons));
}

HMENU MenuBarMenu()
{
    if (app.menuBar == nullptr)
        return nullptr;
    return reinterpret_cast<HMENU>(SendMessageW(app.menuBar, SHCMBM_GETMENU, 0, 0));
}

static void EnableBarButton(int command, bool enable)
{
    if (app.menuBar != nullptr)
        SendMessageW(app.menuBar, TB_ENABLEBUTTON, command, MAKELONG(enable ? TRUE : FALSE, 0));
}

void EnableMenuBar(bool enable)
{
    EnableBarButton(IDM_ALARMS_MENU, enable);
    EnableBarButton(IDM_OPTIONS_MENU, enable);
    EnableBarButton(IDM_SETTINGS, enable && app.displayMode == DISPLAY_CLOCK);
    DrawMenuBar(app.mainWindow);
}

void EnableCancelSnooze(bool enable)
{
    EnableBarButton(IDM_CANCEL_SNOOZE, enable);
    EnableMenuItem(MenuBarMenu(), IDM_CANCEL_SNOOZE, enable ? MF_ENABLED : MF_GRAYED);
}

void ApplyDisplayModeToMenus()
{
    bool onClock = app.displayMode == DISPLAY_CLOCK;
    HMENU menu = MenuBarMenu();
    for (int command : clockOnlyCommands)
        EnableMenuItem(menu, command, onClock ? MF_ENABLED : MF_GRAYED);
    EnableBarButton(IDM_SETTINGS, onClock);
}

void CheckSilenceMenuItem()
{
    HMENU menu = MenuBarMenu();
    if (menu != nullptr)
        CheckMenuItem(menu, IDM_SILENCE_ALL, settings.Silenced ? MF_CHECKED : MF_UNCHECKED);
}
