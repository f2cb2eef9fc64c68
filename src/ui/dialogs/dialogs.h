// The modal dialogs of the program, each run from its resource template,
// and the parts they share.
#ifndef WAKELOOM_DIALOGS_H
#define WAKELOOM_DIALOGS_H

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>

#include "dialogtemplate.h"

// Each dialog as the main window (and the tests) run it, modal for `owner`
// (the main window, which also owns the file dialogs and the rings a dialog
// opens). A dialog edits what it is given; its caller saves and schedules
// what the result asks for.
// Edits the ALARM_COUNT records of `edited`, the hours shown on the 24-hour
// clock or the 12-hour one; IDOK (Done) or IDCANCEL.
INT_PTR RunSetAlarmsDialog(HWND owner, struct Alarm* edited, bool twentyFourHour);
// Edits `snoozeTime` (minutes); IDOK or IDCANCEL.
INT_PTR RunSnoozeTimeDialog(HWND owner, DWORD* snoozeTime);
// Edits the clock format, the icon, the Internet time and the maximum ring
// time of `edited`; IDOK (Done) or IDCANCEL.
INT_PTR RunSettingsDialog(HWND owner, struct SettingsRecord* edited);
INT_PTR RunAboutDialog(HWND owner);       // IDCANCEL
// Edits the countdown's time, sound and keep-awake of `edited`; a sound
// browsed for is kept through Cancel. IDC_COUNTDOWN_START when started,
// else IDCANCEL.
INT_PTR RunCountdownDialog(HWND owner, struct SettingsRecord* edited);
// Edits the chime's sound (kept through Cancel) and, on Done, its switch;
// IDOK (Done) or IDCANCEL.
INT_PTR RunChimeDialog(HWND owner, struct SettingsRecord* edited);
// Edits the sleep music's source (kept through Cancel), time and kind of
// end; Start leaves the list built in `*sleepList`, freeing the one there.
// IDC_SLEEP_START when started, else IDOK.
INT_PTR RunSleepDialog(HWND owner, struct SettingsRecord* edited, struct MediaNode** sleepList);
// The sound-folder picker: IDOK with a folder in `pickedFolderPath`
// (MAX_PATH units), else IDCANCEL.
INT_PTR RunFolderPicker(HWND owner, wchar_t* pickedFolderPath);
// Its parts: the search of the documents folder and the cards, the tree
// view filled from a tree, and the folder images attached to it.
struct FolderNode* BuildSoundFolderTree(HWND dialog);
void FillTreeView(HWND treeView, HTREEITEM parent, const struct FolderNode* first);
bool CreateFolderImageList(HWND treeView);

// ---- what the dialogs share ----
// Full screen below the title strip, with a Done button that sends IDOK.
void MakeFullScreen(HWND dialog);
// The stock system font, bold, 8 points on the screen.
HFONT CreateLabelFont();
// "Tahoma", bold, `height` as a LOGFONT height.
HFONT CreateDigitFont(int height);
void SetControlFont(HWND dialog, int id, HFONT font);
void DeleteFontOf(HFONT* font);
// The program's bitmap `id`, loaded into `*loaded` at its first use and kept
// for the program's life.
HBITMAP ProgramBitmap(HBITMAP* loaded, int id);
// WM_CTLCOLORSTATIC: the blue of the dialogs' titles for the controls `ids`.
INT_PTR BlueLabels(WPARAM wParam, LPARAM lParam, std::initializer_list<int> ids);
// After another window was in front.
void BringBackToFront(HWND dialog);
// Lets the user pick a sound file (or an ASX playlist) with the system's
// file dialog; true with `path` (MAX_PATH units) when one was chosen.
bool BrowseForFile(HWND owner, bool playlist, wchar_t* path);
// Browse for a sound file into `sound`, shown in the dialog's sound name;
// the dialog comes back to the front either way.
void BrowseForSound(HWND dialog, HWND owner, wchar_t* sound, size_t soundUnits);
// Shows the text after the last backslash of `path`, or "<default>" for an
// empty path, in control `id`, whose style shortens a long one in its middle.
void ShowFileName(HWND dialog, int id, const wchar_t* path);

#endif
