// The Sleep dialog and the sound-folder picker, driven as a user would, and
// the sleep player they start.
#include "windowfixture.h"

#include <commctrl.h>
#include <strsafe.h>

#include "alarmtime.h"
#include "app.h"
#include "devicepath.h"
#include "dialogs.h"
#include "displaymode.h"
#include "layout.h"
#include "resource.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"
#include "soundtest.h"

namespace {

const wchar_t* const kPersonal =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void Press(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring Text(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

std::wstring Digits(HWND dialog)
{
    return Text(dialog, IDC_HOUR) + L" " + Text(dialog, IDC_MINUTE_TENS) + L" "
         + Text(dialog, IDC_MINUTE_ONES);
}

std::wstring ItemName(HWND tree, HTREEITEM item)
{
    wchar_t text[MAX_PATH] = L"";
    TVITEMW info = {};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    TreeView_GetItem(tree, &info);
    return text;
}

HTREEITEM Find(HWND tree, HTREEITEM first, const std::wstring& name)
{
    for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        if (ItemName(tree, item) == name)
            return item;
    }
    return nullptr;
}

class Sleep : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The documents folder of these tests is a folder of their own.
        DWORD type;
        hadPersonal = ReadRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", &type, &personal);
        std::wstring documents = home / L"Documents";
        CreateDirectoryW(documents.c_str(), nullptr);
        WriteRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", REG_SZ, documents.c_str(),
                      static_cast<DWORD>((documents.size() + 1) * sizeof(wchar_t)));
        SetWaveVolume(0xFFFFFFFF);
    }
    void TearDown() override
    {
        if (displayMode == DISPLAY_SLEEP)
            StopSleep();
        FreeMediaList(sleepList);
        sleepList = nullptr;
        while (fmodUseCount > 0)
            ReleaseFMOD();
        if (hadPersonal)
            WriteRawValue(HKEY_CURRENT_USER, kPersonal, L"Personal", REG_EXPAND_SZ,
                          personal.data(), static_cast<DWORD>(personal.size()));
        MainWindowTest::TearDown();
    }

    std::wstring Folder(const std::wstring& relative)
    {
        std::wstring path = home / L"Documents";
        size_t start = 0;
        while (start < relative.size()) {
            size_t end = relative.find(L'\\', start);
            path += L"\\" + relative.substr(start, end - start);
            CreateDirectoryW(path.c_str(), nullptr);
            start = end == std::wstring::npos ? relative.size() : end + 1;
        }
        return path;
    }

    TempFolder home;
    bool hadPersonal = false;
    std::vector<BYTE> personal;
};

TEST_F(Sleep, DialogShowsItsSettingsWrapsItsDigitsAndChecksTheSourceBeforeTheTime)
{
    SleepPathType = MEDIA_SOURCE_FILE;
    StringCchCopyW(SleepPath, SETTINGS_TEXT_UNITS, L"C:\\gone\\song.mp3");
    SleepTime = 1500;
    std::wstring shown, kind, label, wrapped, firstMessage, secondMessage;
    DialogDriver driver({ [&](HWND dialog) {
        shown = Digits(dialog);
        kind = Text(dialog, IDC_SOURCE_KIND);
        label = Text(dialog, IDC_SLEEP_SOURCE_LABEL);
        Press(dialog, IDC_HOUR_UP);
        Press(dialog, IDC_MINUTE_TENS_DOWN);
        for (int i = 0; i < 10; i++)
            Press(dialog, IDC_MINUTE_ONES_UP);
        wrapped = Digits(dialog);
        Press(dialog, IDC_SLEEP_START);     // no source: said first
        StringCchCopyW(SleepPath, SETTINGS_TEXT_UNITS, BuildSoundPath(L"buzz.wav").c_str());
        Press(dialog, IDC_MINUTE_TENS_UP);
        Press(dialog, IDC_SLEEP_START);     // a source, but 0:00
        Press(dialog, IDCANCEL);
    }, AnswerMessageBox(&firstMessage), AnswerMessageBox(&secondMessage) });
    SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(sleepButton));
    EXPECT_EQ(L"23 0 0", shown);
    EXPECT_EQ(L"Folder", kind);
    EXPECT_EQ(L"File:", label);
    EXPECT_EQ(L"0 5 0", wrapped);
    EXPECT_EQ(L"No supported sound files were found", firstMessage);
    EXPECT_EQ(L"The sleep time must be greater than zero", secondMessage);
    // Refused at its time, the list is not kept for a Cancel to play.
    EXPECT_EQ(nullptr, sleepList);
    EXPECT_EQ(DISPLAY_CLOCK, displayMode);
}

TEST_F(Sleep, PickerShowsTheFoldersWithSoundAndACardFirst)
{
    std::wstring rock = Folder(L"Music\\Rock");
    for (int i = 0; i < 10; i++)
        WriteBytes(rock + L"\\" + std::to_wstring(i) + L".mp3", { 0 });
    WriteBytes(Folder(L"Empty") + L"\\notes.txt", { 0 });
    WriteBytes(L"E:\\root.ogg", { 0 });
    std::wstring picked;
    std::vector<std::wstring> top;
    int collapsed = -1, expanded = -1;
    DialogDriver driver({ [&](HWND dialog) {
        HWND tree = GetDlgItem(dialog, IDC_FOLDER_TREE);
        // Select is live exactly when the tree has a selection.
        EXPECT_EQ(TreeView_GetSelection(tree) != nullptr,
                  IsWindowEnabled(GetDlgItem(dialog, IDC_PICKER_SELECT)) != FALSE);
        for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item)) {
            top.push_back(ItemName(tree, item));
        }
        HTREEITEM documents = Find(tree, TreeView_GetRoot(tree), L"Documents");
        HTREEITEM music = Find(tree, TreeView_GetChild(tree, documents), L"Music");
        HTREEITEM rockItem = Find(tree, TreeView_GetChild(tree, music), L"Rock");
        // Opened and closed from the keyboard, as a user does.
        TreeView_SelectItem(tree, documents);
        TVITEMW image = {};
        image.mask = TVIF_IMAGE;
        image.hItem = documents;
        SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
        TreeView_GetItem(tree, &image);
        expanded = image.iImage;
        SendMessageW(tree, WM_KEYDOWN, VK_SUBTRACT, 0);
        TreeView_GetItem(tree, &image);
        collapsed = image.iImage;
        TreeView_SelectItem(tree, rockItem);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PICKER_SELECT)));
        Press(dialog, IDC_PICKER_SELECT);
    } });
    EXPECT_EQ(1, RunFolderPicker(mainWindow));
    EXPECT_EQ((std::vector<std::wstring>{ L"Storage Card E", L"Documents" }), top);
    EXPECT_EQ(0, expanded);
    EXPECT_EQ(1, collapsed);
    EXPECT_EQ(L"\\Documents\\Music\\Rock", std::wstring(pickedFolderPath));
    wchar_t real[MAX_PATH];
    ResolveDevicePath(pickedFolderPath, real, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(rock.c_str(), real));
    DeleteFileW(L"E:\\root.ogg");
}

} // namespace
