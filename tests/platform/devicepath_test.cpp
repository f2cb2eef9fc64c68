// Device paths and starting other programs as the device does.
#include <gtest/gtest.h>

#include <string>

#include "devicepath.h"
#include "launch.h"
#include "soundtest.h"
#include "testsupport.h"

// Starting programs by rooted paths and bare names with their arguments is
// proved where it is used: the scheduler starting the launcher and the
// launcher starting Wakeloom (AlarmEndToEnd), Help starting the viewer and the
// viewer the browser (Dialogs.HelpStartsTheViewerWhichOpensTheHelpPage).
TEST(DevicePath, RootedPathGoesToTheSystemDriveOurProgramsToTheirFolderOthersStayAndWhatCannotBeStartedIsRefused)
{
    // Test programs start from a Linux folder: the current drive is not C:.
    wchar_t out[MAX_PATH], windowsDir[MAX_PATH];
    GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows\\notepad.exe", out, MAX_PATH));
    EXPECT_EQ(std::wstring(windowsDir, 2) + L"\\Windows\\notepad.exe", out);
    // The device's Windows folder holds our programs: beside the one
    // running, or in the install folder.
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows\\wklmgr.exe", out, MAX_PATH));
    EXPECT_EQ(ProgramPath(L"wklmgr.exe"), out);
    TempFolder install;
    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), (install / L"ours.exe").c_str(), FALSE));
    WriteText(INSTALL_PATH, L"InstlDir", install.path);
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows\\ours.exe", out, MAX_PATH));
    EXPECT_EQ(install / L"ours.exe", out);
    ResetProgramRegistry();
    for (const wchar_t* path : { L"D:\\Music\\a.mp3", L"\\\\server\\share\\b.wav",
                                 L"relative\\c.ogg", L"" }) {
        ASSERT_TRUE(ResolveDevicePath(path, out, MAX_PATH));
        EXPECT_STREQ(path, out);
    }
    // A result that does not fit is refused, never cut.
    std::wstring longPath = L"\\" + std::wstring(MAX_PATH - 2, L'a');  // fits alone, not with C:
    EXPECT_FALSE(ResolveDevicePath(longPath.c_str(), out, MAX_PATH));
    EXPECT_STREQ(L"", out);
    EXPECT_FALSE(ResolveDevicePath(nullptr, out, MAX_PATH));

    EXPECT_FALSE(LaunchProgram(longPath.c_str(), L"/ID:1"));
    EXPECT_FALSE(LaunchProgram(L"\\Windows\\no-such-program.exe", nullptr));
    EXPECT_FALSE(LaunchProgram(L"no-such-program", nullptr));
    EXPECT_FALSE(LaunchProgram(L"\\Windows\\notepad.exe", std::wstring(600, L'x').c_str()));
}
