// Media lists from real folders and ASX playlists on disk.
#include <gtest/gtest.h>

#include "medialist.h"
#include "messages.h"
#include "soundtest.h"
#include "testsupport.h"

namespace {

std::vector<std::wstring> Paths(MediaNode* list)
{
    std::vector<std::wstring> paths;
    for (MediaNode* n = list; n != nullptr; n = n->next)
        paths.push_back(n->path);
    FreeMediaList(list);
    return paths;
}

} // namespace

TEST(MediaLists, FolderByFileNameNotByFolderFollowingNoLinkUpOrOneFileOfAnyKind)
{
    TempFolder root;
    CreateDirectoryW((root / L"Sub").c_str(), nullptr);
    CreateDirectoryW((root / L"dir.mp3").c_str(), nullptr);
    for (const wchar_t* link : { L"self", L"Sub\\up" })
        ASSERT_TRUE(CreateSymbolicLinkW((root / link).c_str(), root.path.c_str(),
                                        SYMBOLIC_LINK_FLAG_DIRECTORY)) << GetLastError();
    // Only the three kinds of sound, known by the end of the name in any case.
    for (const wchar_t* name : { L"b.MP3", L"A.ogg", L"x.mp3", L"notes.txt", L"song.mp3.txt", L".mp3",
                                 L"Sub\\a.Wav", L"Sub\\x.mp3" })
        WriteBytes(root / name, { 0 });
    EXPECT_EQ((std::vector<std::wstring>{ root / L"A.ogg", root / L"Sub\\a.Wav", root / L"b.MP3",
                                          root / L"x.mp3", root / L"Sub\\x.mp3" }),
              Paths(BuildMediaList(MEDIA_SOURCE_FOLDER, root.path.c_str())));
    EXPECT_EQ(nullptr, ScanFolder((root / L"Sub\\none").c_str()));
    EXPECT_EQ(std::vector<std::wstring>{ root / L"notes.txt" },
              Paths(BuildMediaList(MEDIA_SOURCE_FILE, (root / L"notes.txt").c_str())));
    EXPECT_EQ(nullptr, BuildMediaList(MEDIA_SOURCE_FILE, (root / L"gone.mp3").c_str()));
    EXPECT_EQ(nullptr, BuildMediaList(MEDIA_SOURCE_FILE, (root / L"dir.mp3").c_str()));
}

TEST(FolderScan, PathsTooLongForANodeAreLeftOut)
{
    TempFolder root;
    std::wstring deep = root.path;
    // Nest until the next file's path would no longer fit a node.
    while (deep.size() < MEDIA_PATH_UNITS - 40) {
        deep += L"\\" + std::wstring(30, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(WriteBytes(deep + L"\\fits.wav", { 0 }));
    std::wstring tooLong = L"\\\\?\\" + deep + L"\\" + std::wstring(MEDIA_PATH_UNITS - deep.size() - 2, L'n');
    ASSERT_TRUE(WriteBytes(tooLong + L".wav", { 0 }));
    EXPECT_EQ((std::vector<std::wstring>{ deep + L"\\fits.wav" }), Paths(ScanFolder(root.path.c_str())));
    DeleteFileW((tooLong + L".wav").c_str());
}

TEST(AsxPlaylist, ExistingSupportedFilesInFileNameOrderAndWhatIsLeftOutToldOnce)
{
    TempFolder folder;
    std::wstring named = folder / L"\x0412\x0435\x0441\x043D\x0430 \x2013 Don\x2019t.mp3";
    std::wstring accented = folder / L"caf\x00E9.mp3", a = folder / L"a.mp3", b = folder / L"b.mp3";
    for (const std::wstring& path : { named, accented, a, b, folder / L"doc.txt" })
        WriteBytes(path, { 0 });
    CreateDirectoryW((folder / L"dir.mp3").c_str(), nullptr);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, accented.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr);
    auto entries = [](std::initializer_list<std::string> references) {
        std::string body;
        for (const std::string& reference : references)
            body += "<ENTRY>\r\n<ref href=\"" + reference + "\"/>\r\n</ENTRY>\r\n";
        return body;
    };
    const std::wstring missing = L"Not all music in the playlist could be found";
    const struct {
        std::string bytes;
        std::vector<std::wstring> paths;
        std::wstring message;
    } cases[] = {
        // References in UTF-8 with or without a byte-order mark, in the ANSI
        // code page, or relative to the playlist; played in file-name order.
        { "\xEF\xBB\xBF<ASX version=\"3.0\">\n" + entries({ Narrow(named) }), { named }, L"" },
        { "<ASX>\n" + entries({ Narrow(named), ansi, "b.mp3" }), { b, accented, named }, L"" },
        { "<ASX>\n" + entries({ "a.mp3", "doc.txt", "gone.mp3" }), { a }, missing },
        { "<ASX>\n" + entries({ "a.mp3", "doc.txt" }), { a }, L"Not all music in the playlist is supported by Wakeloom" },
        { "<ASX>\n" + entries({ "a.mp3", "dir.mp3" }), { a }, missing },
        { "<ASX>\n" + entries({ "gone.mp3", "doc.txt" }), {}, L"" },
    };
    std::wstring path = folder / L"list.asx";
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteBytes(path, std::vector<BYTE>(c.bytes.begin(), c.bytes.end())));
        std::wstring message;
        DialogDriver driver({ AnswerMessageBox(&message) });
        EXPECT_EQ(c.paths, Paths(ReadAsxPlaylist(path.c_str()))) << c.bytes;
        EXPECT_EQ(c.message, message) << c.bytes;
        EXPECT_EQ(0, driver.dialogsForced) << c.bytes;
    }
    std::wstring message;
    DialogDriver driver({ AnswerMessageBox(&message) });
    EXPECT_EQ(nullptr, ReadAsxPlaylist((folder / L"none.asx").c_str()));
    EXPECT_EQ(L"Unable to open playlist", message);
}
