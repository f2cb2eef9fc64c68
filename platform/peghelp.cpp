// peghelp.exe: the handheld's help viewer, for the desktop. Opens a help
// file ("wkl.htp", "file:wkl.htp#wkl_help") in the desktop's browser: under
// Wine its winebrowser, elsewhere the shell's handler of the file.
//   peghelp [file:]NAME[#ANCHOR]
#include <windows.h>
#include <shellapi.h>
#include <strsafe.h>

#include "launch.h"

// The file as given when it exists, else in the Windows folder, where the
// device keeps help files: ours are beside this viewer, in the install folder.
static bool FindHelpFile(const wchar_t* name, wchar_t* path)
{
    if (GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES)
        return SUCCEEDED(StringCchCopyW(path, MAX_PATH, name));
    return FindDeviceWindowsFile(name, path, MAX_PATH);
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    wchar_t name[MAX_PATH];
    const wchar_t* given = commandLine;
    if (wcsncmp(given, L"file:", 5) == 0)
        given += 5;
    if (FAILED(StringCchCopyW(name, MAX_PATH, given)) || name[0] == L'\0')
        return 1;
    // The anchor names a place in the page; the page opens at its top.
    wchar_t* anchor = wcschr(name, L'#');
    if (anchor != nullptr)
        *anchor = L'\0';
    wchar_t path[MAX_PATH];
    if (!FindHelpFile(name, path))
        return 1;
    if (LaunchProgram(L"winebrowser", path))
        return 0;
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", path, nullptr, nullptr,
                                                   SW_SHOWNORMAL)) > 32 ? 0 : 1;
}
