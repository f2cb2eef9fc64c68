// Prints figures: how long the sound-folder picker searches a documents
// folder of 20,000 sound files in 2,000 folders and fills its tree, beside
// the plain breadth-first walk of the same folders. The picker does this on
// the window thread, so the sum is what the user waits for.
#include <windows.h>

#include <commctrl.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "dialogs.h"
#include "foldertree.h"
#include "medialist.h"
#include "soundtest.h"
#include "stopwatch.h"
#include "testsupport.h"

static const wchar_t* const kShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

static size_t CountNodes(const FolderNode* node)
{
    size_t n = 0;
    for (; node != nullptr; node = node->nextSibling)
        n += 1 + CountNodes(node->firstChild);
    return n;
}

// 40 artists of 50 albums each (2,000 album folders), ten
// tracks in every album and none beside them.
static void MakeLibrary(const std::wstring& root)
{
    for (int artist = 0; artist < 40; artist++) {
        std::wstring artistFolder = root + L"\\Artist " + std::to_wstring(artist);
        CreateDirectoryW(artistFolder.c_str(), nullptr);
        for (int album = 0; album < 50; album++) {
            std::wstring albumFolder = artistFolder + L"\\Album " + std::to_wstring(album);
            CreateDirectoryW(albumFolder.c_str(), nullptr);
            for (int track = 0; track < 10; track++) {
                std::wstring file = albumFolder + L"\\" + std::to_wstring(track) + L" track.mp3";
                CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                        nullptr));
            }
        }
    }
}

int wmain()
{
    TempFolder root;
    MakeLibrary(root.path);
    DWORD type;
    std::vector<BYTE> saved;
    bool hadPersonal = ReadRawValue(HKEY_CURRENT_USER, kShellFolders, L"Personal", &type, &saved);
    WriteRawValue(HKEY_CURRENT_USER, kShellFolders, L"Personal", REG_SZ, root.path.c_str(),
                  static_cast<DWORD>((root.path.size() + 1) * sizeof(wchar_t)));

    INITCOMMONCONTROLSEX controls = { sizeof(controls), ICC_TREEVIEW_CLASSES };
    InitCommonControlsEx(&controls);
    HWND treeView = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP | TVS_HASBUTTONS, 0, 0, 240,
                                    200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int run = 0; run < 3; run++) {
        LARGE_INTEGER start = Now();
        FolderNode* tree = BuildSoundFolderTree(nullptr);
        double search = Seconds(start);
        start = Now();
        FillTreeView(treeView, TVI_ROOT, tree);
        double fill = Seconds(start);
        start = Now();
        MediaNode* files = ScanFolderInFoundOrder(root.path.c_str());
        double walk = Seconds(start);
        size_t count = 0;
        for (MediaNode* n = files; n != nullptr; n = n->next)
            count++;
        printf("picker run %d: search %.2f s + tree view %.2f s = %.2f s (%zu folders shown);"
               " breadth-first walk listing every file %.2f s (%zu files)\n",
               run + 1, search, fill, search + fill, CountNodes(tree), walk, count);
        FreeMediaList(files);
        FreeFolderTree(tree);
        TreeView_DeleteAllItems(treeView);
    }
    DestroyWindow(treeView);
    if (hadPersonal)
        WriteRawValue(HKEY_CURRENT_USER, kShellFolders, L"Personal", type, saved.data(),
                      static_cast<DWORD>(saved.size()));
    return 0;
}
