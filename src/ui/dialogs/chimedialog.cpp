// The Chime dialog: the hourly chime on or off and its sound, which the
// user can hear here.
#include "dialogs.h"

#include <initializer_list>
#include <strsafe.h>

#include "messages.h"
#include "resource.h"
#include "ringing.h"
#include "settings.h"
#include "sound.h"

// The test plays at most this long: 21 looks, 200 ms apart.
#define TEST_LOOKS    21
#define TEST_LOOK_MS  200

static HFONT labelFont;
// The caller's record, which a browse and Done change.
static SettingsRecord* editedSettings;

static BOOL OnInitDialog(HWND dialog)
{
    MakeFullScreen(dialog);
    labelFont = CreateLabelFont();
    for (int id : { IDC_CHIME_TITLE, IDC_SOUND_LABEL, IDC_SOUND_NAME, IDC_CHIME_ON,
                    IDC_CHIME_WARNING })
        SetControlFont(dialog, id, labelFont);
    ShowFileName(dialog, IDC_SOUND_NAME, editedSettings->ChimeSound);
    CheckDlgButton(dialog, IDC_CHIME_ON, editedSettings->Chime ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

static void OnBrowse(HWND dialog)
{
    // Kept even when the dialog is then cancelled.
    BrowseForSound(dialog, GetWindow(dialog, GW_OWNER), editedSettings->ChimeSound,
                   SETTINGS_TEXT_UNITS);
}

static void OnTest(HWND dialog)
{
    wchar_t path[MAX_PATH];
    // It tells the user of a missing sound.
    bool found = FindChimeSound(GetWindow(dialog, GW_OWNER), editedSettings->ChimeSound, path);
    if (found && !PlayOneShot(path)) {
        ShowMessage(dialog, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
    } else if (found) {
        // A longer sound is cut: the dialog waits for it, not for the whole.
        for (int look = 0; look < TEST_LOOKS && !OneShotFinished(); look++)
            Sleep(TEST_LOOK_MS);
        if (!TakeOneShotFinished())
            StopOneShot();
        CloseOneShot();
        ReleaseFMOD();
    }
    BringBackToFront(dialog);
}

static INT_PTR CALLBACK ChimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        // The whole wParam: a notification other than a click is no command.
        switch (wParam) {
        case IDOK:
            editedSettings->Chime = IsDlgButtonChecked(dialog, IDC_CHIME_ON) == BST_CHECKED ? 1 : 0;
            DeleteFontOf(&labelFont);
            EndDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            DeleteFontOf(&labelFont);
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_BROWSE:
            OnBrowse(dialog);
            break;
        case IDC_TEST:
            OnTest(dialog);
            break;
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_CHIME_TITLE, IDC_SOUND_LABEL });
    }
    return FALSE;
}

INT_PTR RunChimeDialog(HWND owner, SettingsRecord* edited)
{
    editedSettings = edited;
    return RunDialogTemplate(IDD_HOURLY_CHIME, ChimeDialogProc, owner);
}
