// The modal dialogs of the program, each run from its resource template.
#ifndef WAKELOOM_DIALOGS_H
#define WAKELOOM_DIALOGS_H

#include <windows.h>

// Runs dialog template `id` modally, owned by the main window, with the
// menu bar disabled around it (unless `keepMenuBar`). Returns the dialog's
// result, or -1 when the program has no such template.
INT_PTR RunDialog(int id, DLGPROC proc, bool keepMenuBar = false);
// Runs dialog template `id` modally for `owner`; -1 without such a template.
INT_PTR RunDialogTemplate(int id, DLGPROC proc, HWND owner);

#endif
