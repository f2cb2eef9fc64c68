// The Sleep dialog: where the sleep music comes from (a folder, a file or a
// playlist) and whether it stops when played through or after a time. Start
// leaves the list in the slot it is given, for the main window to play.
#include "dialogs.h"

#include <initializer_list>
#include <strsafe.h>

#include "medialist.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "timedigits.h"

// The kinds offered for the next browse, by their index in the list.
#define BROWSE_FOLDER   0
#define BROWSE_FILE     1
#define BROWSE_PLAYLIST 2

static HFONT labelFont, digitFont;
// The caller's record, which a browse and Start change, and its list slot.
static SettingsRecord* editedSettings;
static MediaNode** sleepListSlot;

static void ShowSourceLabel(HWND dialog)
{
    UINT id = editedSettings->SleepPathType == MEDIA_SOURCE_FOLDER ? IDS_SOURCE_FOLDER_LABEL
        : editedSettings->SleepPathType == MEDIA_SOURCE_PLAYLIST ? IDS_SOURCE_PLAYLIST_LABEL
        : IDS_SOURCE_FILE_LABEL;
    wchar_t label[32];
    LoadResourceText(id, label, ARRAYSIZE(label));
    SetDlgItemTextW(dialog, IDC_SLEEP_SOURCE_LABEL, label);
}

static void ShowSource(HWND dialog)
{
    if (editedSettings->SleepPath[0] == L'\0') {
        wchar_t text[64];
        LoadResourceText(IDS_NO_SOUNDS_SELECTED, text, ARRAYSIZE(text));
        SetDlgItemTextW(dialog, IDC_SLEEP_SOURCE_NAME, text);
        EnableWindow(GetDlgItem(dialog, IDC_SLEEP_START), FALSE);
        return;
    }
    EnableWindow(GetDlgItem(dialog, IDC_SLEEP_START), TRUE);
    ShowFileName(dialog, IDC_SLEEP_SOURCE_NAME, editedSettings->SleepPath);
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
    SetTimeDigitsDuration(dialog, editedSettings->SleepTime);
    // In the order of the BROWSE_ indexes.
    for (UINT id : { IDS_SOURCE_FOLDER, IDS_SOURCE_FILE, IDS_SOURCE_PLAYLIST }) {
        wchar_t kind[32];
        LoadResourceText(id, kind, ARRAYSIZE(kind));
        SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    }
    // The list tells what the next browse looks for; the label what is kept.
    SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_SETCURSEL, BROWSE_FOLDER, 0);
    ShowSourceLabel(dialog);
    ShowSource(dialog);
    CheckDlgButton(dialog, IDC_FOR_THE_TIME, editedSettings->TimedSleep ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_UNTIL_MUSIC_ENDS,
                   editedSettings->TimedSleep ? BST_UNCHECKED : BST_CHECKED);
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
    StringCchCopyW(editedSettings->SleepPath, SETTINGS_TEXT_UNITS, path);
    editedSettings->SleepPathType = type;
    ShowSourceLabel(dialog);
    ShowSource(dialog);
}

static void OnBrowse(HWND dialog)
{
    wchar_t path[MAX_PATH];
    LRESULT kind = SendDlgItemMessageW(dialog, IDC_SOURCE_KIND, CB_GETCURSEL, 0, 0);
    if (kind == BROWSE_FOLDER) {
        // The picker ends with IDOK only with a folder picked.
        wchar_t folder[MAX_PATH];
        if (RunFolderPicker(dialog, folder) == IDOK)
            Choose(dialog, folder, MEDIA_SOURCE_FOLDER);
    } else if (kind == BROWSE_FILE) {
        if (BrowseForFile(GetWindow(dialog, GW_OWNER), false, path))
            Choose(dialog, path, MEDIA_SOURCE_FILE);
    } else if (kind == BROWSE_PLAYLIST && BrowseForFile(GetWindow(dialog, GW_OWNER), true, path)) {
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
    PlaylistResult playlistResult;
    MediaNode* list = BuildMediaList(editedSettings->SleepPathType, editedSettings->SleepPath,
                                     &playlistResult);
    SetCursor(cursor);
    ShowPlaylistResult(playlistResult);
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
    FreeMediaList(*sleepListSlot);
    *sleepListSlot = list;
    editedSettings->SleepTime = static_cast<DWORD>(minutes);
    editedSettings->TimedSleep = IsDlgButtonChecked(dialog, IDC_FOR_THE_TIME) == BST_CHECKED ? 1 : 0;
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
            EndSleepDialog(dialog, IDOK);
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

INT_PTR RunSleepDialog(HWND owner, SettingsRecord* edited, MediaNode** sleepList)
{
    editedSettings = edited;
    sleepListSlot = sleepList;
    return RunDialogTemplate(IDD_SLEEP, SleepDialogProc, owner);
}
