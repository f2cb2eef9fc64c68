// Device paths and starting other programs as the device does.
#include <gtest/gtest.h>

#include <string>

#include "devicepath.h"
#include "launch.h"
#include "testsupport.h"

static std::wstring WindowsFolder()
{
    wchar_t dir[MAX_PATH];
    GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return dir;
}

TEST(DevicePath, RootedPathGoesToTheSystemDriveOthersStayAsTheyAre)
{
    // Test programs start from a Linux folder: the current drive is not C:.
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows\\wklmgr.exe", out, MAX_PATH));
    EXPECT_EQ(WindowsFolder().substr(0, 2) + L"\\Windows\\wklmgr.exe", out);
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
}

TEST(LaunchProgram, StartsDevicePathsAndBareNamesWithTheirArguments)
{
    // The recorder in the Windows folder, as the device keeps its programs.
    std::wstring probe = WindowsFolder() + L"\\wklprobe.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), probe.c_str(), FALSE));
    ClearRecorderLog(probe);
    ASSERT_TRUE(LaunchProgram(L"\\Windows\\wklprobe.exe", L"rooted"));
    ASSERT_TRUE(PumpUntil([&] { return ReadRecorderLog(probe).size() == 1; }, 5000));
    ASSERT_TRUE(LaunchProgram(L"wklprobe", L"file:wkl.htp#wkl_help"));
    ASSERT_TRUE(PumpUntil([&] { return ReadRecorderLog(probe).size() == 2; }, 5000));
    EXPECT_EQ(L"rooted", ReadRecorderLog(probe)[0].arguments);
    EXPECT_EQ(L"file:wkl.htp#wkl_help", ReadRecorderLog(probe)[1].arguments);
    ClearRecorderLog(probe);
    DeleteFileW(probe.c_str());

    EXPECT_FALSE(LaunchProgram(L"\\Windows\\no-such-program.exe", nullptr));
    EXPECT_FALSE(LaunchProgram(L"no-such-program", nullptr));
    std::wstring longPath = L"\\" + std::wstring(300, L'a') + L".exe";
    EXPECT_FALSE(LaunchProgram(longPath.c_str(), L"/ID:1"));
    EXPECT_FALSE(LaunchProgram(L"\\Windows\\notepad.exe", std::wstring(600, L'x').c_str()));
}
