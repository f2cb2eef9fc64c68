// The Settings dialog (clock format, taskbar icon, Internet time, maximum
// ring time) and the About dialog.
#include "dialogs.h"

#include <stdlib.h>

#include "resource.h"
#include "settings.h"

#define DEFAULT_MAX_TIME 5

// The maximum ring times offered, in minutes.
static const wchar_t* const maxTimes[] = { L"1", L"2", L"5", L"10", L"15", L"20", L"30" };

struct SettingBox {
    int id;
    DWORD SettingsRecord::*setting;
};
static const SettingBox settingBoxes[] = {
    { IDC_TWENTY_FOUR_HOUR, &SettingsRecord::TwentyFourHourTime },
    { IDC_SHOW_ICON, &SettingsRecord::ShowIcon },
    { IDC_SHOW_ITIME, &SettingsRecord::ShowITime },
};

static HFONT titleFont;
// The caller's record, which Done changes.
static SettingsRecord* editedSettings;
// Kept for the program's life: the static does not free the bitmap it shows.
static HBITMAP logo;

static BOOL OnSettingsInit(HWND dialog)
{
    MakeFullScreen(dialog);
    titleFont = CreateLabelFont();
    SetControlFont(dialog, IDC_SETTINGS_TITLE, titleFont);
    for (const SettingBox& box : settingBoxes)
        CheckDlgButton(dialog, box.id,
                       editedSettings->*box.setting != 0 ? BST_CHECKED : BST_UNCHECKED);
    for (const wchar_t* minutes : maxTimes) {
        LRESULT index = SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(minutes));
        // A stored time not on the list selects nothing.
        if (static_cast<DWORD>(_wtol(minutes)) == editedSettings->MaxTime)
            SendDlgItemMessageW(dialog, IDC_MAX_TIME, CB_SETCURSEL, index, 0);
    }
    SetFocus(dialog);
    return TRUE;
}

static void OnSettingsOk(HWND dialog)
{
    for (const SettingBox& box : settingBoxes)
        editedSettings->*box.setting = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED ? 1 : 0;
    wchar_t text[260] = L"";
    GetDlgItemTextW(dialog, IDC_MAX_TIME, text, ARRAYSIZE(text));
    editedSettings->MaxTime = static_cast<DWORD>(_wtol(text));
    if (editedSettings->MaxTime == 0)
        editedSettings->MaxTime = DEFAULT_MAX_TIME;
    DeleteFontOf(&titleFont);
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnSettingsInit(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnSettingsOk(dialog);
        } else if (LOWORD(wParam) == IDCANCEL) {
            DeleteFontOf(&titleFont);
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_SETTINGS_TITLE });
    }
    return FALSE;
}

INT_PTR RunSettingsDialog(HWND owner, SettingsRecord* edited)
{
    editedSettings = edited;
    return RunDialogTemplate(IDD_SETTINGS, SettingsDialogProc, owner);
}

static INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        MakeFullScreen(dialog);
        titleFont = CreateLabelFont();
        SetControlFont(dialog, IDC_ABOUT_TITLE, titleFont);
        SendDlgItemMessageW(dialog, IDC_ABOUT_LOGO, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(ProgramBitmap(&logo, IDB_LOGO)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DeleteFontOf(&titleFont);
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_ABOUT_TITLE });
    }
    return FALSE;
}

INT_PTR RunAboutDialog(HWND owner)
{
    return RunDialogTemplate(IDD_ABOUT, AboutDialogProc, owner);
}
