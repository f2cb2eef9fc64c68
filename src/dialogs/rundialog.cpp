#include "dialogs.h"

#include "app.h"
#include "menubar.h"

// Closes a dialog that has no procedure of its own yet on OK or Cancel.
static INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunDialogTemplate(int id, DLGPROC proc, HWND owner)
{
    HRSRC found = FindResourceW(appInstance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(appInstance, found) : nullptr;
    auto* dialogTemplate = loaded != nullptr
        ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr)
        return -1;
    return DialogBoxIndirectParamW(appInstance, dialogTemplate, owner,
                                   proc != nullptr ? proc : PlainDialogProc, 0);
}

INT_PTR RunDialog(int id, DLGPROC proc, bool keepMenuBar)
{
    if (!keepMenuBar) {
        EnableMenuBar(false);
        DrawMenuBar(mainWindow);
    }
    INT_PTR result = RunDialogTemplate(id, proc, mainWindow);
    if (!keepMenuBar) {
        EnableMenuBar(true);
        DrawMenuBar(mainWindow);
    }
    return result;
}
