// The sound-folder picker: the folders of the documents folder and of the
// storage cards that hold sound files, as a tree of their names.
#include "dialogs.h"

#include <commctrl.h>
#include <shlobj.h>
#include <strsafe.h>

#include <string>
#include <vector>

#include "devicepath.h"
#include "foldertree.h"
#include "medialist.h"
#include "resource.h"
#include "storagecards.h"


static FolderNode* folderTree;
static HIMAGELIST folderImages;
static HFONT titleFont;

#define IMAGE_OPEN   0
#define IMAGE_CLOSED 1

// The documents folder as a device path, where the shell can tell it.
static void DocumentsDevicePath(HWND dialog, wchar_t* path)
{
    StringCchCopyW(path, MAX_PATH, L"\\My Documents");
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(dialog, CSIDL_PERSONAL, &list) != S_OK)
        return;
    wchar_t folder[MAX_PATH];
    bool converted = SHGetPathFromIDListW(list, folder) != 0;
    IMalloc* allocator = nullptr;
    if (SHGetMalloc(&allocator) == S_OK) {
        allocator->Free(list);
        allocator->Release();
    }
    if (converted)
        DevicePathOf(folder, path, MAX_PATH);
}

FolderNode* BuildSoundFolderTree(HWND dialog)
{
    std::vector<std::wstring> folders(1);
    wchar_t documents[MAX_PATH];
    DocumentsDevicePath(dialog, documents);
    folders[0] = documents;
    WIN32_FIND_DATAW card;
    HANDLE cards = FindFirstFlashCard(&card);
    if (cards != INVALID_HANDLE_VALUE) {
        do {
            // A card that holds the documents folder is searched once.
            std::wstring root = std::wstring(L"\\") + card.cFileName;
            if (_wcsnicmp(documents, root.c_str(), root.size()) != 0)
                folders.push_back(root);
        } while (FindNextFlashCard(cards, &card));
        FindClose(cards);
    }

    // Each folder by its device path and the real one below it, resolved
    // once at the top: one listing a folder, without the short names.
    struct Folder {
        std::wstring device, real;
    };
    std::vector<Folder> queue;
    for (const std::wstring& top : folders) {
        wchar_t real[MAX_PATH];
        if (ResolveDevicePath(top.c_str(), real, MAX_PATH))
            queue.push_back({ top, real });
    }
    FolderNode* tree = nullptr;
    for (size_t i = 0; i < queue.size(); i++) {
        const Folder folder = queue[i];
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileExW((folder.real + L"\\*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        bool added = false;
        do {
            // A path that would not fit is left out, never cut short.
            wchar_t path[MAX_PATH];
            if (FAILED(StringCchPrintfW(path, MAX_PATH, L"%s\\%s", folder.device.c_str(), found.cFileName)))
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0
                    && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    queue.push_back({ path, folder.real + L"\\" + found.cFileName });
            } else if (!added && IsSupportedSoundFile(found.cFileName)) {
                // A folder goes in once, with its first sound file.
                tree = AddFolderPath(tree, folder.device.c_str());
                added = true;
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return tree;
}

bool CreateFolderImageList(HWND treeView)
{
    folderImages = ImageList_Create(16, 15, ILC_MASK | ILC_COLOR4, 2, 0);
    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FOLDER_IMAGES));
    int added = bitmap != nullptr ? ImageList_AddMasked(folderImages, bitmap, RGB(0, 255, 0)) : -1;
    DeleteObject(bitmap);
    if (added < 0 || ImageList_GetImageCount(folderImages) < 2)
        return false;
    SendMessageW(treeView, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(folderImages));
    return true;
}

void FillTreeView(HWND treeView, HTREEITEM parent, const FolderNode* first)
{
    for (const FolderNode* node = first; node != nullptr; node = node->nextSibling) {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<wchar_t*>(node->name);
        insert.item.iImage = IMAGE_CLOSED;
        insert.item.iSelectedImage = IMAGE_CLOSED;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(
            SendMessageW(treeView, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
        FillTreeView(treeView, item, node->firstChild);
    }
}

static std::wstring ItemText(HWND treeView, HTREEITEM item)
{
    wchar_t text[MAX_PATH] = L"";
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(treeView, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    return text;
}

// The caller's buffer (MAX_PATH units) for the folder picked.
static wchar_t* PickedFolderOf(HWND dialog)
{
    return reinterpret_cast<wchar_t*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The device path of an item: its text and its parents', joined.
static void OnSelectionChanged(HWND dialog, HWND treeView, HTREEITEM item)
{
    wchar_t* pickedFolderPath = PickedFolderOf(dialog);
    if (pickedFolderPath == nullptr)
        return;
    std::wstring path = ItemText(treeView, item);
    for (HTREEITEM parent = TreeView_GetParent(treeView, item); parent != nullptr;
         parent = TreeView_GetParent(treeView, parent))
        path = ItemText(treeView, parent) + L"\\" + path;
    // A path too long to keep is not picked.
    if (FAILED(StringCchPrintfW(pickedFolderPath, MAX_PATH, L"\\%s", path.c_str())))
        pickedFolderPath[0] = L'\0';
    EnableWindow(GetDlgItem(dialog, IDC_PICKER_SELECT), pickedFolderPath[0] != L'\0');
}

static void OnItemExpanded(HWND treeView, const NMTREEVIEWW* note)
{
    TVITEMW item = {};
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = note->itemNew.hItem;
    item.iImage = item.iSelectedImage = note->action == TVE_COLLAPSE ? IMAGE_CLOSED : IMAGE_OPEN;
    SendMessageW(treeView, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

static BOOL OnInitDialog(HWND dialog, wchar_t* pickedFolderPath)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(pickedFolderPath));
    MakeFullScreen(dialog);
    titleFont = CreateLabelFont();
    SetControlFont(dialog, IDC_PICKER_TITLE, titleFont);
    pickedFolderPath[0] = L'\0';
    HWND treeView = GetDlgItem(dialog, IDC_FOLDER_TREE);
    CreateFolderImageList(treeView);
    // The whole search runs here, under the wait cursor.
    HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    folderTree = BuildSoundFolderTree(dialog);
    SetCursor(cursor);
    FillTreeView(treeView, TVI_ROOT, folderTree);
    EnableWindow(GetDlgItem(dialog, IDC_PICKER_SELECT), FALSE);
    return TRUE;
}

static void EndPicker(HWND dialog, INT_PTR result)
{
    FreeFolderTree(folderTree);
    folderTree = nullptr;
    if (folderImages != nullptr)
        ImageList_Destroy(folderImages);
    folderImages = nullptr;
    DeleteFontOf(&titleFont);
    EndDialog(dialog, result);
}

static INT_PTR CALLBACK FolderPickerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<wchar_t*>(lParam));
    case WM_NOTIFY: {
        auto* note = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (note->hdr.idFrom != IDC_FOLDER_TREE)
            return FALSE;
        if (note->hdr.code == TVN_SELCHANGEDW)
            OnSelectionChanged(dialog, note->hdr.hwndFrom, note->itemNew.hItem);
        else if (note->hdr.code == TVN_ITEMEXPANDEDW)
            OnItemExpanded(note->hdr.hwndFrom, note);
        return FALSE;
    }
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDC_PICKER_SELECT || LOWORD(wParam) == IDOK)
            && PickedFolderOf(dialog) != nullptr && PickedFolderOf(dialog)[0] != L'\0')
            EndPicker(dialog, IDOK);
        else if (LOWORD(wParam) == IDC_PICKER_CANCEL || LOWORD(wParam) == IDCANCEL)
            EndPicker(dialog, IDCANCEL);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return BlueLabels(wParam, lParam, { IDC_PICKER_TITLE });
    }
    return FALSE;
}

INT_PTR RunFolderPicker(HWND owner, wchar_t* pickedFolderPath)
{
    pickedFolderPath[0] = L'\0';
    return RunDialogTemplate(IDD_FOLDER_PICKER, FolderPickerProc, owner,
                             reinterpret_cast<LPARAM>(pickedFolderPath));
}
