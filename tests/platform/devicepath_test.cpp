#include <gtest/gtest.h>

#include <string>

#include "devicepath.h"
#include "launch.h"

static std::wstring SystemDrive()
{
    wchar_t dir[MAX_PATH];
    GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir, 2);
}

TEST(DevicePath, RootedPathGoesToTheSystemDrive)
{
    // Test programs start from a Linux folder: the current drive is not C:.
    wchar_t out[MAX_PATH];
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows\\wklmgr.exe", out, MAX_PATH));
    EXPECT_EQ(SystemDrive() + L"\\Windows\\wklmgr.exe", out);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\Windows"));
    ASSERT_TRUE(ResolveDevicePath(L"\\Windows", out, MAX_PATH));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(out));
}

TEST(DevicePath, OtherPathsAreCopiedUnchanged)
{
    wchar_t out[MAX_PATH];
    for (const wchar_t* path : { L"D:\\Music\\a.mp3", L"\\\\server\\share\\b.wav",
                                 L"relative\\c.ogg", L"" }) {
        ASSERT_TRUE(ResolveDevicePath(path, out, MAX_PATH));
        EXPECT_STREQ(path, out);
    }
}

TEST(DevicePath, ResultThatDoesNotFitIsRefused)
{
    std::wstring longPath = L"\\" + std::wstring(MAX_PATH - 2, L'a');  // fits alone, not with C:
    wchar_t out[MAX_PATH];
    out[0] = L'x';
    EXPECT_FALSE(ResolveDevicePath(longPath.c_str(), out, MAX_PATH));
    EXPECT_STREQ(L"", out);
    EXPECT_FALSE(ResolveDevicePath(nullptr, out, MAX_PATH));
    wchar_t tiny[3];
    EXPECT_FALSE(ResolveDevicePath(L"\\x", tiny, ARRAYSIZE(tiny)));
    EXPECT_STREQ(L"", tiny);
}

TEST(LaunchProgram, RefusesWhatCannotBeStarted)
{
    EXPECT_FALSE(LaunchProgram(L"\\Windows\\no-such-program.exe", nullptr));
    std::wstring longPath = L"\\" + std::wstring(300, L'a') + L".exe";
    EXPECT_FALSE(LaunchProgram(longPath.c_str(), L"/ID:1"));
    std::wstring longArguments(600, L'x');
    EXPECT_FALSE(LaunchProgram(L"\\Windows\\notepad.exe", longArguments.c_str()));
}
