// Running a dialog from its template, and the parts the dialogs share:
// fonts, colours, the file picker and the shown file names.
#include "dialogs.h"

#include <commdlg.h>
#include <strsafe.h>

#include <algorithm>

#include "medialist.h"
#include "resource.h"
#include "screen.h"
#include "shell.h"

#define TITLE_BLUE RGB(0, 0, 156)

void MakeFullScreen(HWND dialog)
{
    SHINITDLGINFO info = { SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLG };
    SHInitDialog(&info);
}

HFONT CreateLabelFont()
{
    LOGFONTW font = {};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof(font), &font);
    font.lfHeight = -static_cast<int>(ScreenPixelsPerInch() / 9.0 + 0.5);
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&font);
}

HFONT CreateDigitFont(int height)
{
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    StringCchCopyW(font.lfFaceName, LF_FACESIZE, L"Tahoma");
    return CreateFontIndirectW(&font);
}

void SetControlFont(HWND dialog, int id, HFONT font)
{
    if (font != nullptr)
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void DeleteFontOf(HFONT* font)
{
    if (*font != nullptr)
        DeleteObject(*font);
    *font = nullptr;
}

HBITMAP ProgramBitmap(HBITMAP* loaded, int id)
{
    if (*loaded == nullptr)
        *loaded = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                  IMAGE_BITMAP, 0, 0, 0));
    return *loaded;
}

INT_PTR BlueLabels(WPARAM wParam, LPARAM lParam, std::initializer_list<int> ids)
{
    int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (std::find(ids.begin(), ids.end(), id) == ids.end())
        return FALSE;
    // A dialog procedure answers with the brush of the background; the
    // label keeps the dialog's own.
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, TITLE_BLUE);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void BringBackToFront(HWND dialog)
{
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(dialog);
}

// "Name\0pattern\0\0" for the file dialog.
static void MakeFilter(UINT nameId, const wchar_t* pattern, wchar_t* filter, size_t units)
{
    wchar_t name[64] = L"";
    LoadStringW(GetModuleHandleW(nullptr), nameId, name, ARRAYSIZE(name));
    size_t nameLength = wcslen(name), patternLength = wcslen(pattern);
    filter[0] = L'\0';
    if (nameLength + patternLength + 3 > units)
        return;
    StringCchCopyW(filter, units, name);
    StringCchCopyW(filter + nameLength + 1, units - nameLength - 1, pattern);
    filter[nameLength + patternLength + 2] = L'\0';
}

bool BrowseForFile(HWND owner, bool playlist, wchar_t* path)
{
    wchar_t filter[128], title[64] = L"", chosen[MAX_PATH] = L"";
    MakeFilter(playlist ? IDS_PLAYLISTS : IDS_SOUND_FILES,
               playlist ? L"*.ASX" : L"*.MP3;*.OGG;*.WAV", filter, ARRAYSIZE(filter));
    LoadStringW(GetModuleHandleW(nullptr), playlist ? IDS_SELECT_PLAYLIST : IDS_SELECT_SOUND_FILE,
                title, ARRAYSIZE(title));
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title;
    // The desktop's dialog, and only a file that is there.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn))
        return false;
    return SUCCEEDED(StringCchCopyW(path, MAX_PATH, chosen));
}

void BrowseForSound(HWND dialog, HWND owner, wchar_t* sound, size_t soundUnits)
{
    wchar_t path[MAX_PATH];
    if (BrowseForFile(owner, false, path) && SUCCEEDED(StringCchCopyW(sound, soundUnits, path)))
        ShowFileName(dialog, IDC_SOUND_NAME, path);
    BringBackToFront(dialog);
}

void ShowFileName(HWND dialog, int id, const wchar_t* path)
{
    wchar_t name[MEDIA_PATH_UNITS];
    if (path[0] == L'\0')
        LoadStringW(GetModuleHandleW(nullptr), IDS_DEFAULT_SOUND, name, ARRAYSIZE(name));
    else
        FileNamePart(path, name);
    // The label ends a name too long for it with an ellipsis in its middle.
    SetDlgItemTextW(dialog, id, name);
}
