#include "dialogtemplate.h"

// Closes a dialog that has no procedure of its own on OK or Cancel.
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

INT_PTR RunDialogTemplate(int id, DLGPROC proc, HWND owner, LPARAM param)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), RT_DIALOG);
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    auto* dialogTemplate = loaded != nullptr
        ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr)
        return -1;
    return DialogBoxIndirectParamW(instance, dialogTemplate, owner,
                                   proc != nullptr ? proc : PlainDialogProc, param);
}
