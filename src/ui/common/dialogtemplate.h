// Running a modal dialog from its template in the program's resources.
#ifndef WAKELOOM_DIALOGTEMPLATE_H
#define WAKELOOM_DIALOGTEMPLATE_H

#include <windows.h>

// Runs dialog template `id` modally for `owner`, with `param` as the lParam
// of its WM_INITDIALOG; a null `proc` closes it on OK or Cancel. Returns the
// dialog's result, or -1 when the program has no such template.
INT_PTR RunDialogTemplate(int id, DLGPROC proc, HWND owner, LPARAM param = 0);

#endif
