// Media lists from real folders and ASX playlists on disk.
#include <gtest/gtest.h>

#include "medialist.h"
#include "soundtest.h"
#include "testsupport.h"

static std::vector<std::wstring> Paths(MediaNode* list)
{
    std::vector<std::wstring> paths;
    for (MediaNode* n = list; n != nullptr; n = n->next)
        paths.push_back(n->path);
    return paths;
}

static void Touch(const std::wstring& path)
{
    ASSERT_TRUE(WriteBytes(path, { 0 })) << Narrow(path);
}

TEST(FileNames, PartAfterTheLastBackslash)
{
    wchar_t out[MEDIA_PATH_UNITS];
    FileNamePart(L"\\My Music\\Sub\\a.wav", out);
    EXPECT_STREQ(L"a.wav", out);
    FileNamePart(L"\\song.mp3", out);
    EXPECT_STREQ(L"\\song.mp3", out);
    FileNamePart(L"plain.ogg", out);
    EXPECT_STREQ(L"plain.ogg", out);
}

TEST(FileNames, SupportedExtensions)
{
    EXPECT_TRUE(IsSupportedSoundFile(L"song.MP3"));
    EXPECT_TRUE(IsSupportedSoundFile(L"a.ogg"));
    EXPECT_TRUE(IsSupportedSoundFile(L"C:\\x\\b.Wav"));
    EXPECT_FALSE(IsSupportedSoundFile(L"song.mp3.txt"));
    EXPECT_FALSE(IsSupportedSoundFile(L".mp3"));
    EXPECT_FALSE(IsSupportedSoundFile(L""));
}

TEST(FolderScan, NamesNotFoldersDecideAndUpperCaseComesFirst)
{
    TempFolder root;
    Touch(root / L"b.mp3");
    Touch(root / L"A.ogg");
    Touch(root / L"notes.txt");
    CreateDirectoryW((root / L"Sub").c_str(), nullptr);
    Touch(root / L"Sub\\a.wav");
    MediaNode* list = ScanFolder(root.path.c_str());
    EXPECT_EQ((std::vector<std::wstring>{ root / L"A.ogg", root / L"Sub\\a.wav", root / L"b.mp3" }),
              Paths(list));
    FreeMediaList(list);
}

TEST(FolderScan, EqualNamesKeepTheFolderBeforeItsSubfolder)
{
    TempFolder root;
    CreateDirectoryW((root / L"deep").c_str(), nullptr);
    Touch(root / L"deep\\x.mp3");
    Touch(root / L"x.mp3");
    MediaNode* list = ScanFolder(root.path.c_str());
    EXPECT_EQ((std::vector<std::wstring>{ root / L"x.mp3", root / L"deep\\x.mp3" }), Paths(list));
    FreeMediaList(list);
}

TEST(FolderScan, NothingToPlayGivesNull)
{
    TempFolder root;
    Touch(root / L"readme.txt");
    EXPECT_EQ(nullptr, ScanFolder(root.path.c_str()));
    EXPECT_EQ(nullptr, ScanFolder((root / L"absent").c_str()));
}

TEST(FolderScan, ManyFoldersAreAllSearched)
{
    TempFolder root;
    for (int i = 0; i < 130; i++) {
        std::wstring sub = root / (L"f" + std::to_wstring(i));
        CreateDirectoryW(sub.c_str(), nullptr);
        Touch(sub + L"\\t" + std::to_wstring(1000 + i) + L".wav");
    }
    MediaNode* list = ScanFolder(root.path.c_str());
    std::vector<std::wstring> paths = Paths(list);
    ASSERT_EQ(130u, paths.size());
    EXPECT_EQ(root / L"f0\\t1000.wav", paths.front());
    EXPECT_EQ(root / L"f129\\t1129.wav", paths.back());
    FreeMediaList(list);
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
    std::wstring tooLong = deep + L"\\" + longName;
    HANDLE file = CreateFileW((L"\\\\?\\" + tooLong).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    MediaNode* list = ScanFolder(root.path.c_str());
    EXPECT_EQ((std::vector<std::wstring>{ deep + L"\\fits.wav" }), Paths(list));
    FreeMediaList(list);
    DeleteFileW((L"\\\\?\\" + tooLong).c_str());
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
    MediaNode* sorted = ScanFolder(root.path.c_str());
    EXPECT_EQ(Paths(inserted), Paths(sorted));
    FreeMediaList(found);
    FreeMediaList(inserted);
    FreeMediaList(sorted);
}

TEST(SingleFile, AnyExistingFileMakesOneNode)
{
    TempFolder root;
    Touch(root / L"speech.txt");
    MediaNode* list = BuildMediaList(MEDIA_SOURCE_FILE, (root / L"speech.txt").c_str());
    EXPECT_EQ((std::vector<std::wstring>{ root / L"speech.txt" }), Paths(list));
    FreeMediaList(list);
    EXPECT_EQ(nullptr, BuildMediaList(MEDIA_SOURCE_FILE, (root / L"gone.mp3").c_str()));
    EXPECT_EQ(nullptr, BuildMediaList(7, root.path.c_str()));
}

class AsxPlaylist : public ::testing::Test {
protected:
    // Reads a playlist of `text`, answering and recording the message shown.
    MediaNode* Read(const std::string& text)
    {
        std::wstring path = folder / L"list.asx";
        EXPECT_TRUE(WriteBytes(path, std::vector<BYTE>(text.begin(), text.end())));
        message.clear();
        DialogDriver driver({ [&](HWND box) {
            message = MessageBoxText(box);
            caption = WindowText(box);
            ClickDialogButton(box, IDOK);
        } });
        return ReadAsxPlaylist(path.c_str());
    }

    std::string Entry(const std::wstring& file)
    {
        return "<ENTRY>\r\n<ref href=\"" + Narrow(file) + "\"/>\r\n</ENTRY>\r\n";
    }

    void SetUp() override
    {
        Touch(folder / L"a.mp3");
        Touch(folder / L"b.mp3");
        Touch(folder / L"doc.txt");
    }

    TempFolder folder;
    std::wstring message, caption;
};

TEST_F(AsxPlaylist, FourLinePlaylistGivesItsFile)
{
    MediaNode* list = Read("<ASX version=\"3.0\">\r\n" + Entry(folder / L"a.mp3"));
    EXPECT_EQ((std::vector<std::wstring>{ folder / L"a.mp3" }), Paths(list));
    EXPECT_EQ(L"", message);
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, OneLinePlaylistGivesNothing)
{
    EXPECT_EQ(nullptr, Read("<ASX><ENTRY><ref href=\"" + Narrow(folder / L"a.mp3") + "\"/></ENTRY></ASX>\n"));
    EXPECT_EQ(L"", message);
}

TEST_F(AsxPlaylist, LowerCaseIsNotAPlaylist)
{
    EXPECT_EQ(nullptr, Read("<asx>\n<entry>\n<ref href=\"" + Narrow(folder / L"a.mp3") + "\"/>\n</entry>\n"));
    EXPECT_EQ(L"This does not appear to be a valid playlist file", message);
    EXPECT_EQ(L"Wakeloom", caption);
    // Only the entry tags differ: no message, no list.
    EXPECT_EQ(nullptr, Read("<ASX>\n<Entry>\n<Ref HREF=\"" + Narrow(folder / L"a.mp3") + "\"/>\n</Entry>\n"));
    EXPECT_EQ(L"", message);
}

TEST_F(AsxPlaylist, OnlyTheFirstReferenceOfAnEntryCounts)
{
    MediaNode* list = Read("<ASX>\n<ENTRY>\n<ref href=\"" + Narrow(folder / L"b.mp3") + "\"/>\n<ref href=\""
                           + Narrow(folder / L"a.mp3") + "\"/>\n</ENTRY>\n");
    EXPECT_EQ((std::vector<std::wstring>{ folder / L"b.mp3" }), Paths(list));
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, UnclosedReferenceRunsToTheEndOfTheLine)
{
    MediaNode* list = Read("<ASX>\n<ENTRY>\n<ref href=\"" + Narrow(folder / L"a.mp3") + "\n");
    EXPECT_EQ((std::vector<std::wstring>{ folder / L"a.mp3" }), Paths(list));
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, MissingWinsOverUnsupported)
{
    MediaNode* list = Read("<ASX>\n" + Entry(folder / L"a.mp3") + Entry(folder / L"doc.txt")
                           + Entry(folder / L"gone.mp3"));
    EXPECT_EQ(1u, Paths(list).size());
    EXPECT_EQ(L"Not all music in the playlist could be found", message);
    FreeMediaList(list);
    list = Read("<ASX>\n" + Entry(folder / L"a.mp3") + Entry(folder / L"doc.txt"));
    EXPECT_EQ(L"Not all music in the playlist is supported by Wakeloom", message);
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, AllMissingGivesNullWithoutMessage)
{
    EXPECT_EQ(nullptr, Read("<ASX>\n" + Entry(folder / L"gone.mp3")));
    EXPECT_EQ(L"", message);
}

TEST_F(AsxPlaylist, ReferenceOnALastLineWithoutLineFeedIsLost)
{
    EXPECT_EQ(nullptr, Read("<ASX>\n<ENTRY>\n<ref href=\"" + Narrow(folder / L"a.mp3") + "\"/>"));
    MediaNode* list = Read("<ASX>\n" + Entry(folder / L"a.mp3") + "</ENTRY>");
    EXPECT_EQ(1u, Paths(list).size());
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, ResultIsInFileNameOrder)
{
    MediaNode* list = Read("<ASX>\n" + Entry(folder / L"b.mp3") + Entry(folder / L"a.mp3"));
    EXPECT_EQ((std::vector<std::wstring>{ folder / L"a.mp3", folder / L"b.mp3" }), Paths(list));
    FreeMediaList(list);
}

TEST_F(AsxPlaylist, UnopenableFileSaysSo)
{
    DialogDriver driver({ [&](HWND box) {
        message = MessageBoxText(box);
        ClickDialogButton(box, IDOK);
    } });
    EXPECT_EQ(nullptr, ReadAsxPlaylist((folder / L"none.asx").c_str()));
    EXPECT_EQ(L"Unable to open playlist", message);
}

TEST_F(AsxPlaylist, LongLinesAreCutNotOverrun)
{
    std::string junk(5000, 'x');
    MediaNode* list = Read("<ASX>\n" + junk + "\n" + Entry(folder / L"a.mp3") + junk + "\n");
    EXPECT_EQ(1u, Paths(list).size());
    FreeMediaList(list);
}
