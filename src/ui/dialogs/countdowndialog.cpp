// The Countdown dialog: how long the countdown runs, the sound at its end,
// and whether the device stays awake meanwhile.
#include "dialogs.h"

#include <initializer_list>
#include <strsafe.h>

#include "messages.h"
#include "resource.h"
#include "ringing.h"
#include "settings.h"
#include "timedigits.h"

static HFONT labelFont, digitFont;
// The caller's record, which a browse and Start change.
static SettingsRecord* editedSettings;

static BOOL OnInitDialog(HWND dialog)
{
    MakeFullScreen(dialog);
    labelFont = CreateLabelFont();
    digitFont = CreateDigitFont(24);
    for (int id : { IDC_COUNTDOWN_TITLE, IDC_SOUND_LABEL, IDC_SOUND_NAME, IDC_KEEP_AWAKE })
        SetControlFont(dialog, id, labelFont);
    PrepareTimeDigits(dialog, digitFont);
    // Every opening offers half an hour.
    SetTimeDigits(dialog, 0, 30);
    ShowFileName(dialog, IDC_SOUND_NAME, editedSettings->CountdownSound);
    CheckDlgButton(dialog, IDC_KEEP_AWAKE,
                   editedSettings->CountdownKeepAwake ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

static void EndCountdownDialog(HWND dialog, INT_PTR result)
{
    DeleteFontOf(&labelFont);
    DeleteFontOf(&digitFont);
    EndDialog(dialog, result);
}

static void OnStart(HWND dialog)
{
    int minutes = TimeDigitsDuration(dialog);
    if (minutes < 1) {
        ShowMessage(nullptr, IDS_ZERO_COUNTDOWN, IDS_ERROR, MB_OK);
        return;
    }
    editedSettings->CountdownTime = static_cast<DWORD>(minutes);
    editedSettings->CountdownKeepAwake =
        IsDlgButtonChecked(dialog, IDC_KEEP_AWAKE) == BST_CHECKED ? 1 : 0;
    EndCountdownDialog(dialog, IDC_COUNTDOWN_START);
}

static void OnBrowse(HWND dialog)
{
    // Kept even when the dialog is then cancelled.
    BrowseForSound(dialog, GetWindow(dialog, GW_OWNER), editedSettings->CountdownSound,
                   SETTINGS_TEXT_UNITS);
}

static INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_COUNTDOWN_START:
            OnStart(dialog);
            break;
        case IDOK:
        case IDCANCEL:
            EndCountdownDialog(dialog, IDCANCEL);
            break;
        case IDC_BROWSE:
            OnBrowse(dialog);
            break;
        case IDC_TEST:
            RunCountdownFinishedDialog(GetWindow(dialog, GW_OWNER), editedSettings->CountdownSound,
                                       true);
            BringBackToFront(dialog);
            break;
        default:
            OnTimeDigitCommand(dialog, wParam, HOURS_OF_A_DAY);
            break;
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_COUNTDOWN_TITLE, IDC_SOUND_LABEL });
    }
    return FALSE;
}

INT_PTR RunCountdownDialog(HWND owner, SettingsRecord* edited)
{
    editedSettings = edited;
    return RunDialogTemplate(IDD_COUNTDOWN, CountdownDialogProc, owner);
}
