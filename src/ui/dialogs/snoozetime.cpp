// The snooze-time dialog: how long SNOOZE postpones a ringing alarm, as
// hours and minutes.
#include "dialogs.h"

#include "messages.h"
#include "resource.h"
#include "timedigits.h"

#define DEFAULT_SNOOZE_MINUTES 5

static HFONT digitFont;
// The caller's snooze time, which OK replaces.
static DWORD* editedSnoozeTime;

static BOOL OnInitDialog(HWND dialog)
{
    digitFont = CreateDigitFont(24);
    PrepareTimeDigits(dialog, digitFont);
    SetTimeDigitsDuration(dialog, *editedSnoozeTime);
    SetFocus(dialog);
    return TRUE;
}

static void OnOk(HWND dialog)
{
    DWORD minutes = static_cast<DWORD>(TimeDigitsDuration(dialog));
    if (minutes == 0) {
        ShowMessage(dialog, IDS_ZERO_SNOOZE, IDS_SNOOZE_CAPTION, MB_ICONEXCLAMATION);
        minutes = DEFAULT_SNOOZE_MINUTES;
    }
    *editedSnoozeTime = minutes;
    DeleteFontOf(&digitFont);
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK SnoozeTimeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            OnOk(dialog);
        } else if (LOWORD(wParam) == IDCANCEL) {
            DeleteFontOf(&digitFont);
            EndDialog(dialog, IDCANCEL);
        } else {
            OnTimeDigitCommand(dialog, wParam, HOURS_OF_A_DAY);
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunSnoozeTimeDialog(HWND owner, DWORD* snoozeTime)
{
    editedSnoozeTime = snoozeTime;
    return RunDialogTemplate(IDD_SNOOZE_TIME, SnoozeTimeDialogProc, owner);
}
