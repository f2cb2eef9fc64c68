// The Set Alarms dialog: the ten records it is given, edited one at a time;
// its caller saves and reschedules them after Done.
#include "dialogs.h"

#include <initializer_list>
#include <commctrl.h>
#include <strsafe.h>

#include "alarmrecord.h"
#include "screen.h"
#include "medialist.h"
#include "messages.h"
#include "resource.h"
#include "ringing.h"
#include "settings.h"
#include "sound.h"
#include "timedigits.h"

static int selectedAlarm;
// The caller's ten records: a copy of the alarms, so Cancel leaves them as
// they were and an alarm that rings meanwhile is scheduled from what was saved.
static Alarm* editedAlarms;
static bool twentyFourHourClock;
static DWORD savedDeviceVolume;
// The slider position last heard; kept from one opening to the next.
static int lastVolumePosition;
static HFONT digitFont, labelFont;

// The day boxes by their bit in Days: bit 0 Sunday .. bit 6 Saturday.
static const int dayBoxes[7] = { IDC_SUNDAY, IDC_MONDAY, IDC_TUESDAY, IDC_WEDNESDAY,
                                 IDC_THURSDAY, IDC_FRIDAY, IDC_SATURDAY };

static HourRange HoursShown()
{
    return twentyFourHourClock ? HOURS_OF_A_DAY : HOURS_OF_TWELVE;
}

static void Check(HWND dialog, int id, bool checked)
{
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

static bool Checked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static void LoadAlarmIntoDialog(HWND dialog)
{
    const Alarm* r = &editedAlarms[selectedAlarm];
    int hour = static_cast<int>(r->AThour);
    bool twelve = !twentyFourHourClock;
    EnableWindow(GetDlgItem(dialog, IDC_AM), twelve);
    EnableWindow(GetDlgItem(dialog, IDC_PM), twelve);
    if (twelve) {
        bool pm;
        hour = TwelveHourOf(hour, &pm);
        Check(dialog, IDC_AM, !pm);
        Check(dialog, IDC_PM, pm);
    }
    SetTimeDigits(dialog, hour, static_cast<int>(r->ATmin));
    SetDlgItemTextW(dialog, IDC_ALARM_NAME, r->AlarmName);
    Check(dialog, IDC_ALARM_ON, r->AlarmOn != 0);
    for (int day = 0; day < 7; day++)
        Check(dialog, dayBoxes[day], (r->Days & (1u << day)) != 0);
    Check(dialog, IDC_OWN_VOLUME, r->UseSystemVol == 0);
    SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_SETRANGE, TRUE, MAKELPARAM(1, 10));
    SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_SETPOS, TRUE, r->Volume);
    ShowFileName(dialog, IDC_SOUND_NAME,
                 wcscmp(r->AlarmSound, DEFAULT_ALARM_SOUND) == 0 ? L"" : r->AlarmSound);
    EnableWindow(GetDlgItem(dialog, IDC_VOLUME), r->UseSystemVol == 0);
}

static void SaveDialogIntoAlarm(HWND dialog)
{
    Alarm* r = &editedAlarms[selectedAlarm];
    int hour = TimeDigitsHour(dialog);
    if (!twentyFourHourClock)
        hour = HourFromTwelve(hour, Checked(dialog, IDC_PM));
    r->AThour = static_cast<DWORD>(hour);
    r->ATmin = static_cast<DWORD>(TimeDigitsMinutes(dialog));
    r->AlarmOn = Checked(dialog, IDC_ALARM_ON) ? 1 : 0;
    GetDlgItemTextW(dialog, IDC_ALARM_NAME, r->AlarmName, ALARM_NAME_UNITS - 2);
    LRESULT volume = SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_GETPOS, 0, 0);
    r->Volume = volume < 0 ? 8 : static_cast<DWORD>(volume);
    r->UseSystemVol = Checked(dialog, IDC_OWN_VOLUME) ? 0 : 1;
    DWORD days = 0;
    for (int day = 0; day < 7; day++)
        days |= Checked(dialog, dayBoxes[day]) ? 1u << day : 0;
    if (days == 0) {
        // An alarm without a day could never ring.
        days = 0x7F;
        ShowMessage(dialog, IDS_NO_DAYS_SELECTED, IDS_NO_DAYS_CAPTION, MB_ICONEXCLAMATION,
                    selectedAlarm + 1);
    }
    r->Days = days;
}

static BOOL OnInitDialog(HWND dialog)
{
    MakeFullScreen(dialog);
    selectedAlarm = 0;
    savedDeviceVolume = GetWaveVolume();
    digitFont = CreateDigitFont(PointsToHeight(14));
    labelFont = CreateLabelFont();
    PrepareTimeDigits(dialog, digitFont);
    for (int id : { IDC_SELECTOR_LABEL, IDC_ALARM_ON, IDC_SOUND_NAME })
        SetControlFont(dialog, id, labelFont);
    for (int i = 1; i <= ALARM_COUNT; i++) {
        wchar_t number[8];
        StringCchPrintfW(number, ARRAYSIZE(number), L"%d", i);
        SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(number));
    }
    SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, selectedAlarm, 0);
    // No longer than what is saved of it.
    SendDlgItemMessageW(dialog, IDC_ALARM_NAME, EM_LIMITTEXT, ALARM_NAME_UNITS - 3, 0);
    LoadAlarmIntoDialog(dialog);
    SetFocus(dialog);
    return TRUE;
}

static void EndSetAlarms(HWND dialog, INT_PTR result)
{
    StopPreviewSound();
    SetWaveVolume(savedDeviceVolume);
    DeleteFontOf(&digitFont);
    DeleteFontOf(&labelFont);
    EndDialog(dialog, result);
}

static void OnDone(HWND dialog)
{
    SaveDialogIntoAlarm(dialog);
    Sleep(1000);
    EndSetAlarms(dialog, IDOK);
}

static void OnBrowse(HWND dialog)
{
    BrowseForSound(dialog, dialog, editedAlarms[selectedAlarm].AlarmSound, ALARM_SOUND_UNITS);
}

static void OnTest(HWND dialog)
{
    SaveDialogIntoAlarm(dialog);
    RunAlarmDialog(dialog, selectedAlarm, &editedAlarms[selectedAlarm], true);
    BringBackToFront(dialog);
}

static void OnCommand(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_ALARM_SELECTOR:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            SaveDialogIntoAlarm(dialog);
            LRESULT chosen = SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_GETCURSEL, 0, 0);
            selectedAlarm = chosen < 0 || chosen >= ALARM_COUNT ? 0 : static_cast<int>(chosen);
            LoadAlarmIntoDialog(dialog);
        }
        break;
    case IDOK:
        OnDone(dialog);
        break;
    case IDCANCEL:
        EndSetAlarms(dialog, IDCANCEL);
        break;
    case IDC_OWN_VOLUME:
        EnableWindow(GetDlgItem(dialog, IDC_VOLUME), Checked(dialog, IDC_OWN_VOLUME));
        break;
    case IDC_BROWSE:
        OnBrowse(dialog);
        break;
    case IDC_TEST:
        OnTest(dialog);
        break;
    default:
        OnTimeDigitCommand(dialog, wParam, HoursShown());
        break;
    }
}

// The slider at a new position plays the preview sound at that level.
static void OnVolumeScroll(HWND dialog, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case TB_LINEUP: case TB_LINEDOWN: case TB_PAGEUP: case TB_PAGEDOWN:
    case TB_TOP: case TB_BOTTOM: case TB_ENDTRACK:
        break;
    default:
        return;   // not while the thumb is dragged
    }
    int position = static_cast<int>(SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_GETPOS, 0, 0));
    if (position == lastVolumePosition)
        return;
    int level = position < 0 ? 1 : position;
    SetVolumeLevel(static_cast<DWORD>(level));
    wchar_t path[MAX_PATH];
    if (DefaultSoundPath(VOLUME_PREVIEW_SOUND, path, ARRAYSIZE(path)))
        PlayPreviewSound(path);
    lastVolumePosition = level;
}

static INT_PTR CALLBACK SetAlarmsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        OnCommand(dialog, wParam);
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_VOLUME))
            OnVolumeScroll(dialog, wParam);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_SELECTOR_LABEL, IDC_ALARM_ON });
    }
    return FALSE;
}

INT_PTR RunSetAlarmsDialog(HWND owner, Alarm* edited, bool twentyFourHour)
{
    editedAlarms = edited;
    twentyFourHourClock = twentyFourHour;
    return RunDialogTemplate(IDD_SET_ALARMS, SetAlarmsDialogProc, owner);
}
