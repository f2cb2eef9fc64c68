// The Sleep dialog: where the sleep music comes from (a folder, a file or a
// playlist) and whether it stops when played through or after a time. Start
// leaves the list in sleepList for the main window to play.
#include "dialogs.h"

#include <initializer_list>
#include <strsafe.h>

#include "app.h"
#include "medialist.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "sleepplayer.h"
#include "timedigits.h"

// The kinds offered for the next browse, by their index in the list.
#define BROWSE_FOLDER   0
#define BROWSE_FILE     1
#define BROWSE_PLAYLIST 2

static HFONT labelFont, digitFont;

static void ShowSourceLabel(HWND dialog)
{
    const wchar_t* label = SleepPathType == MEDIA_SOURCE_FOLDER ? L"Folder:"
        : SleepPathType == MEDIA_SOURCE_PLAYLIST ? L"Playlist:" : L"File:";
    SetDlgItemTextW(dialog, IDC_SLEEP_SOURCE_LABEL, label);
}

static void ShowSource(HWND dialog)
{
    if (SleepPath[0] == L'\0') {
        SetDlgItemTextW(dialog, IDC_SLEEP_SOURCE_NAME, L"No Sounds Selected");
        EnableWindow(GetDlgItem(dialog, IDC_SLEEP_START), FALSE);
        return;
    }
    EnableWindow(GetDlgItem(dialog, IDC_SLEEP_START), TRUE);
    ShowFileName(dialog, IDC_SLEEP_SOURCE_NAME, SleepPath);
}

static BOOL OnInitDialog(HWND dialog)
{
    MakeFullScreen(dialog);
    labelFont = CreateLabelFont();
    digitFont = CreateDigitFont(24);
    for (int id : { IDC_SLEEP_TITLE, IDC_SLEEP_SOURCE_NAME, IDC_SLEEP_SOURCE_LABEL,
                    IDC_UNTIL_MUSIC_ENDS, IDC_FOR_THE_TIME })
        SetControlFont(dialog, id, labelFont);
    PrepareTimeDigits(dialog, digitFont);
    SetTimeDigitsDuration(dialog, SleepTime);
    for (const wchar_t* kind : { L"Folder", L"File", L"Playlist" })
        SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    // The list tells what the next browse looks for; the label what is kept.
    SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_SETCURSEL, BROWSE_FOLDER, 0);
    ShowSourceLabel(dialog);
    ShowSource(dialog);
    CheckDlgButton(dialog, IDC_FOR_THE_TIME, TimedSleep ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_UNTIL_MUSIC_ENDS, TimedSleep ? BST_UNCHECKED : BST_CHECKED);
    return TRUE;
}

static void EndSleepDialog(HWND dialog, INT_PTR result)
{
    DeleteFontOf(&labelFont);
    DeleteFontOf(&digitFont);
    EndDialog(dialog, result);
}

static void Choose(HWND dialog, const wchar_t* path, DWORD type)
{
    StringCchCopyW(SleepPath, SETTINGS_TEXT_UNITS, path);
    SleepPathType = type;
    ShowSourceLabel(dialog);
    ShowSource(dialog);
}

static void OnBrowse(HWND dialog)
{
    wchar_t path[MAX_PATH];
    LRESULT kind = SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_GETCURSEL, 0, 0);
    if (kind == BROWSE_FOLDER) {
        // The picker ends with 1 only with a folder picked.
        if (RunFolderPicker(dialog) == 1)
            Choose(dialog, pickedFolderPath, MEDIA_SOURCE_FOLDER);
    } else if (kind == BROWSE_FILE) {
        if (BrowseForFile(mainWindow, false, path))
            Choose(dialog, path, MEDIA_SOURCE_FILE);
    } else if (kind == BROWSE_PLAYLIST && BrowseForFile(mainWindow, true, path)) {
        // Read at once, so a playlist without music is never kept.
        MediaNode* list = ReadAsxPlaylist(path);
        if (list != nullptr) {
            FreeMediaList(list);
            Choose(dialog, path, MEDIA_SOURCE_PLAYLIST);
        } else {
            ShowMessage(dialog, IDS_NO_SOUND_FILES, IDS_WAKELOOM, MB_ICONHAND);
        }
    }
    BringBackToFront(dialog);
}

static void OnStart(HWND dialog)
{
    HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    MediaNode* list = BuildMediaList(SleepPathType, SleepPath);
    SetCursor(cursor);
    if (list == nullptr) {
        ShowMessage(dialog, IDS_NO_SOUND_FILES, IDS_WAKELOOM, MB_ICONHAND);
        return;
    }
    int minutes = TimeDigitsDuration(dialog);
    if (minutes <= 0) {
        // Not kept: a Cancel after this must not start the music.
        FreeMediaList(list);
        ShowMessage(nullptr, IDS_ZERO_SLEEP, IDS_ERROR, MB_OK);
        return;
    }
    FreeMediaList(sleepList);
    sleepList = list;
    SleepTime = static_cast<DWORD>(minutes);
    TimedSleep = IsDlgButtonChecked(dialog, IDC_FOR_THE_TIME) == BST_CHECKED ? 1 : 0;
    EndSleepDialog(dialog, IDC_SLEEP_START);
}

static INT_PTR CALLBACK SleepDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SLEEP_START:
            if (HIWORD(wParam) == BN_CLICKED)
                OnStart(dialog);
            break;
        case IDC_SLEEP_BROWSE:
            if (HIWORD(wParam) == BN_CLICKED)
                OnBrowse(dialog);
            break;
        case IDOK:
        case IDCANCEL:
            EndSleepDialog(dialog, 1);
            break;
        default:
            OnTimeDigitCommand(dialog, wParam, HOURS_OF_A_DAY);
            break;
        }
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_SLEEP_TITLE, IDC_SLEEP_SOURCE_LABEL,
                                            IDC_UNTIL_MUSIC_ENDS, IDC_FOR_THE_TIME });
    }
    return FALSE;
}

INT_PTR RunSleepDialog()
{
    return RunDialog(IDD_SLEEP, SleepDialogProc);
}
