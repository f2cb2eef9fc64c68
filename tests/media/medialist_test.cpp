// Media lists from real folders and ASX playlists on disk.
#include <gtest/gtest.h>

#include "medialist.h"
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

void Touch(const std::wstring& path)
{
    ASSERT_TRUE(WriteBytes(path, { 0 }));
}

std::string Utf8(const std::wstring& text)
{
    char out[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof(out), nullptr, nullptr);
    return std::string(out, n > 0 ? n - 1 : 0);
}

} // namespace

TEST(FileNames, PartAfterTheLastBackslashAndSupportedExtensions)
{
    wchar_t out[MEDIA_PATH_UNITS];
    const wchar_t* parts[][2] = { { L"\\My Music\\Sub\\a.wav", L"a.wav" },
                                  { L"\\song.mp3", L"\\song.mp3" }, { L"plain.ogg", L"plain.ogg" } };
    for (const auto& p : parts) {
        FileNamePart(p[0], out);
        EXPECT_STREQ(p[1], out);
    }
    for (const wchar_t* yes : { L"song.MP3", L"a.ogg", L"C:\\x\\b.Wav" })
        EXPECT_TRUE(IsSupportedSoundFile(yes)) << yes;
    for (const wchar_t* no : { L"song.mp3.txt", L".mp3", L"" })
        EXPECT_FALSE(IsSupportedSoundFile(no)) << no;
}

TEST(FolderScan, NamesNotFoldersDecideAndEqualNamesKeepTheirOrder)
{
    TempFolder root;
    Touch(root / L"b.mp3");
    Touch(root / L"A.ogg");
    Touch(root / L"x.mp3");
    Touch(root / L"notes.txt");
    CreateDirectoryW((root / L"Sub").c_str(), nullptr);
    Touch(root / L"Sub\\a.wav");
    Touch(root / L"Sub\\x.mp3");
    CreateDirectoryW((root / L"dir.mp3").c_str(), nullptr);
    EXPECT_EQ((std::vector<std::wstring>{ root / L"A.ogg", root / L"Sub\\a.wav", root / L"b.mp3",
                                          root / L"x.mp3", root / L"Sub\\x.mp3" }),
              Paths(ScanFolder(root.path.c_str())));
    EXPECT_EQ(nullptr, ScanFolder((root / L"Sub\\none").c_str()));
    EXPECT_EQ(nullptr, ScanFolder((root / L"dir.mp3").c_str()));
}

TEST(FolderScan, LinksBackUpAreNotFollowed)
{
    TempFolder root;
    Touch(root / L"song.mp3");
    CreateDirectoryW((root / L"sub").c_str(), nullptr);
    for (const wchar_t* link : { L"self", L"sub\\up" })
        ASSERT_TRUE(CreateSymbolicLinkW((root / link).c_str(), root.path.c_str(),
                                        SYMBOLIC_LINK_FLAG_DIRECTORY)) << GetLastError();
    EXPECT_EQ(std::vector<std::wstring>{ root / L"song.mp3" }, Paths(ScanFolder(root.path.c_str())));
}

TEST(FolderScan, ManyFoldersAreAllSearched)
{
    TempFolder root;
    for (int i = 0; i < 130; i++) {
        std::wstring sub = root / (L"f" + std::to_wstring(i));
        CreateDirectoryW(sub.c_str(), nullptr);
        Touch(sub + L"\\t" + std::to_wstring(1000 + i) + L".wav");
    }
    std::vector<std::wstring> paths = Paths(ScanFolder(root.path.c_str()));
    ASSERT_EQ(130u, paths.size());
    EXPECT_EQ(root / L"f0\\t1000.wav", paths.front());
    EXPECT_EQ(root / L"f129\\t1129.wav", paths.back());
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
    Touch(deep + L"\\fits.wav");
    std::wstring longName = std::wstring(MEDIA_PATH_UNITS - deep.size() - 2, L'n') + L".wav";
    std::wstring tooLong = L"\\\\?\\" + deep + L"\\" + longName;
    HANDLE file = CreateFileW(tooLong.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    EXPECT_EQ((std::vector<std::wstring>{ deep + L"\\fits.wav" }), Paths(ScanFolder(root.path.c_str())));
    DeleteFileW(tooLong.c_str());
}

TEST(FolderScan, SortedScanEqualsOneInsertAfterAnother)
{
    TempFolder root;
    for (int d = 0; d < 12; d++) {
        std::wstring sub = root / (L"d" + std::to_wstring(d));
        CreateDirectoryW(sub.c_str(), nullptr);
        for (int f = 0; f < 25; f++)
            Touch(sub + L"\\" + std::to_wstring((f * 7 + d) % 19) + (f % 2 ? L"a.mp3" : L"B.ogg"));
    }
    MediaNode* found = ScanFolderInFoundOrder(root.path.c_str());
    MediaNode* inserted = nullptr;
    for (MediaNode* n = found; n != nullptr; n = n->next)
        inserted = InsertByFileName(inserted, NewMediaNode(n->path));
    FreeMediaList(found);
    EXPECT_EQ(Paths(inserted), Paths(ScanFolder(root.path.c_str())));
}

TEST(SingleFile, AnyExistingFileButNoFolderMakesOneNode)
{
    TempFolder root;
    Touch(root / L"speech.txt");
    CreateDirectoryW((root / L"dir.mp3").c_str(), nullptr);
    EXPECT_EQ((std::vector<std::wstring>{ root / L"speech.txt" }),
              Paths(BuildMediaList(MEDIA_SOURCE_FILE, (root / L"speech.txt").c_str())));
    EXPECT_EQ(nullptr, BuildMediaList(MEDIA_SOURCE_FILE, (root / L"gone.mp3").c_str()));
    EXPECT_EQ(nullptr, BuildMediaList(MEDIA_SOURCE_FILE, (root / L"dir.mp3").c_str()));
    EXPECT_EQ(nullptr, BuildMediaList(7, root.path.c_str()));
}

class AsxPlaylist : public ::testing::Test {
protected:
    void SetUp() override
    {
        Touch(folder / L"a.mp3");
        Touch(folder / L"b.mp3");
        Touch(folder / L"doc.txt");
        Touch(folder / L"\x0412\x0435\x0441\x043D\x0430 \x2013 Don\x2019t.mp3");
        CreateDirectoryW((folder / L"dir.mp3").c_str(), nullptr);
    }

    // Reads a playlist of `bytes`, answering and recording the message shown.
    std::vector<std::wstring> Read(const std::string& bytes)
    {
        std::wstring path = folder / L"list.asx";
        EXPECT_TRUE(WriteBytes(path, std::vector<BYTE>(bytes.begin(), bytes.end())));
        message.clear();
        DialogDriver driver({ AnswerMessageBox(&message, &caption) });
        return Paths(ReadAsxPlaylist(path.c_str()));
    }

    static std::string Entry(const std::string& reference)
    {
        return "<ENTRY>\r\n<ref href=\"" + reference + "\"/>\r\n</ENTRY>\r\n";
    }

    TempFolder folder;
    std::wstring message, caption;
};

TEST_F(AsxPlaylist, ExistingSupportedFilesInFileNameOrder)
{
    EXPECT_EQ((std::vector<std::wstring>{ folder / L"a.mp3", folder / L"b.mp3" }),
              Read("<ASX version=\"3.0\">\r\n" + Entry(Utf8(folder / L"b.mp3"))
                   + Entry(Utf8(folder / L"a.mp3"))));
    EXPECT_EQ(L"", message);
}

TEST_F(AsxPlaylist, ReferencesInUtf8OrTheAnsiCodePageAndRelativeToThePlaylist)
{
    std::wstring named = folder / L"\x0412\x0435\x0441\x043D\x0430 \x2013 Don\x2019t.mp3";
    EXPECT_EQ(std::vector<std::wstring>{ named }, Read("\xEF\xBB\xBF<ASX>\n" + Entry(Utf8(named))));
    EXPECT_EQ(std::vector<std::wstring>{ named }, Read("<ASX>\n" + Entry(Utf8(named))));

    std::wstring accented = folder / L"caf\x00E9.mp3";
    Touch(accented);
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, accented.c_str(), -1, ansi, MAX_PATH, nullptr, nullptr);
    EXPECT_EQ(std::vector<std::wstring>{ accented }, Read("<ASX>\n" + Entry(ansi)));

    EXPECT_EQ(std::vector<std::wstring>{ folder / L"b.mp3" }, Read("<ASX>\n" + Entry("b.mp3")));
}

TEST_F(AsxPlaylist, WhatIsLeftOutIsToldOnce)
{
    const struct {
        std::string body;
        size_t found;
        const wchar_t* message;
    } cases[] = {
        { Entry("a.mp3") + Entry("doc.txt") + Entry("gone.mp3"), 1,
          L"Not all music in the playlist could be found" },
        { Entry("a.mp3") + Entry("doc.txt"), 1,
          L"Not all music in the playlist is supported by Wakeloom" },
        { Entry("a.mp3") + Entry("dir.mp3"), 1, L"Not all music in the playlist could be found" },
        { Entry("gone.mp3") + Entry("doc.txt"), 0, L"" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.found, Read("<ASX>\n" + c.body).size());
        EXPECT_EQ(c.message, message);
    }
    EXPECT_TRUE(Read("<asx>\n" + Entry("a.mp3")).empty());
    EXPECT_EQ(L"This does not appear to be a valid playlist file", message);
    EXPECT_EQ(L"Wakeloom", caption);

    DialogDriver driver({ AnswerMessageBox(&message) });
    EXPECT_EQ(nullptr, ReadAsxPlaylist((folder / L"none.asx").c_str()));
    EXPECT_EQ(L"Unable to open playlist", message);
}
