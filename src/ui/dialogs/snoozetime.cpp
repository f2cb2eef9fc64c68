// The snooze-time dialog: how long SNOOZE postpones a ringing alarm, as
// hours and minutes.
#include "dialogs.h"

#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "timedigits.h"

#define DEFAULT_SNOOZE_MINUTES 5

static HFONT digitFont;

static BOOL OnInitDialog(HWND dialog)
{
    digitFont = CreateDigitFont(24);
    PrepareTimeDigits(dialog, digitFont);
    SetTimeDigitsDuration(dialog, SnoozeTime);
    SetFocus(dialog);
    return TRUE;
}

static void OnOk(HWND dialog)
{
    SnoozeTime = static_cast<DWORD>(TimeDigitsDuration(dialog));
    if (SnoozeTime == 0) {
        ShowMessage(dialog, IDS_ZERO_SNOOZE, IDS_SNOOZE_CAPTION, MB_ICONEXCLAMATION);
        SnoozeTime = DEFAULT_SNOOZE_MINUTES;
    }
    DeleteFontOf(&digitFont);
    EndDialog(dialog, 1);
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
            EndDialog(dialog, 2);
        } else {
            OnTimeDigitCommand(dialog, wParam, HOURS_OF_A_DAY);
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunSnoozeTimeDialog()
{
    return RunDialog(IDD_SNOOZE_TIME, SnoozeTimeDialogProc);
}
