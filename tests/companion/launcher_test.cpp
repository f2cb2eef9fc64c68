// The Companion launcher as its own process, and the road from a due
// notification through the launcher to a running Wakeloom.
#include <gtest/gtest.h>

#include "alarmtime.h"
#include "app.h"
#include "schedule.h"
#include "settings.h"
#include "testsupport.h"

namespace {

std::vector<std::pair<WPARAM, ULONGLONG>> received;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1)
        received.push_back({ wParam, LocalNowTicks() });
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateStandInWakeloom()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Wakeloom";
    RegisterClassW(&wc);
    return CreateWindowExW(0, L"Wakeloom", L"Wakeloom", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

int CountLauncherWindows()
{
    int count = 0;
    EnumWindows([](HWND window, LPARAM counter) -> BOOL {
        wchar_t name[16];
        if (GetClassNameW(window, name, 16) && wcscmp(name, L"wklmgr") == 0)
            ++*reinterpret_cast<int*>(counter);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&count));
    return count;
}

std::wstring InstalledLauncher()
{
    wchar_t dir[MAX_PATH];
    GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\wklmgr.exe";
}

// A recorder stands in for Wakeloom.exe in an install folder of its own;
// returns its path, or empty when it could not be put there.
std::wstring InstallRecorderAsWakeloom()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"wklmgr-install";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring fakeProgram = folder + L"\\Wakeloom.exe";
    if (!CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), fakeProgram.c_str(), FALSE))
        return L"";
    ClearRecorderLog(fakeProgram);
    WriteText(HKEY_LOCAL_MACHINE, L"Software\\Apps\\Hazelmere Software Wakeloom", L"InstlDir",
              folder);
    return fakeProgram;
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        received.clear();
        ResetProgramRegistry();
        ClearAllNotifications();
    }
    void TearDown() override
    {
        if (HWND w = FindWindowW(L"wklmgr", L"wklmgr"))
            SendMessageW(w, WM_CLOSE, 0, 0);
        if (standIn != nullptr)
            DestroyWindow(standIn);
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    static DWORD Run(const wchar_t* arguments)
    {
        ChildProcess child = StartProgram(L"wklmgr.exe", arguments);
        DWORD code = WaitForExit(child, 10000);
        KillProgram(child);
        return code;
    }

    HWND standIn = nullptr;
};

} // namespace

TEST_F(Launcher, EventGoesToTheRunningWakeloom)
{
    standIn = CreateStandInWakeloom();
    ASSERT_NE(nullptr, standIn);
    EXPECT_EQ(0u, Run(L"/ID:6"));
    PumpUntil([] { return !received.empty(); }, 2000);
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(6u, received[0].first);
}

TEST_F(Launcher, StartsWakeloomForTheEventWhenNoneRuns)
{
    std::wstring fakeProgram = InstallRecorderAsWakeloom();
    ASSERT_FALSE(fakeProgram.empty());

    EXPECT_EQ(0u, Run(L"/ID:7"));
    std::vector<RecordedStart> starts;
    PumpUntil([&] { starts = ReadRecorderLog(fakeProgram); return !starts.empty(); }, 5000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"/ID:7", starts[0].arguments);

    // With nowhere to start it from, the launcher says it failed.
    ResetProgramRegistry();
    EXPECT_EQ(1u, Run(L"/ID:7"));
    ClearRecorderLog(fakeProgram);
}

TEST_F(Launcher, WithoutArgumentsItStaysAsOneIconWindowUntilClosed)
{
    ChildProcess first = StartProgram(L"wklmgr.exe", L"");
    HWND window = WaitForWindow(L"wklmgr", L"wklmgr", 10000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, Run(L""));
    EXPECT_EQ(1, CountLauncherWindows());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(first, 10000));
    KillProgram(first);
    EXPECT_EQ(0, CountLauncherWindows());
}

TEST_F(Launcher, ClickingTheIconOpensWakeloom)
{
    std::wstring fakeProgram = InstallRecorderAsWakeloom();
    ASSERT_FALSE(fakeProgram.empty());

    ChildProcess launcher = StartProgram(L"wklmgr.exe", L"");
    HWND window = WaitForWindow(L"wklmgr", L"wklmgr", 10000);
    ASSERT_NE(nullptr, window);
    // What the shell sends when the icon is tapped.
    PostMessageW(window, WM_APP + 100, 1, WM_LBUTTONUP);
    std::vector<RecordedStart> starts;
    PumpUntil([&] { starts = ReadRecorderLog(fakeProgram); return !starts.empty(); }, 5000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"", starts[0].arguments);  // opened by the user, not for an event

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(launcher, 10000));
    KillProgram(launcher);
    ClearRecorderLog(fakeProgram);
}

TEST_F(Launcher, UnknownArgumentsAreRefused)
{
    EXPECT_EQ(1u, Run(L"/id:3"));
    EXPECT_EQ(1u, Run(L"--help"));
    EXPECT_EQ(0, CountLauncherWindows());
}

TEST_F(Launcher, TaskbarIconFollowsShowIcon)
{
    ASSERT_TRUE(CopyFileW(ProgramPath(L"wklmgr.exe").c_str(), InstalledLauncher().c_str(), FALSE));
    ShowIcon = 1;
    UpdateTaskbarIcon();
    ASSERT_NE(nullptr, WaitForWindow(L"wklmgr", L"wklmgr", 10000));
    UpdateTaskbarIcon();  // already there: no second copy
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(1, CountLauncherWindows());

    ShowIcon = 0;
    UpdateTaskbarIcon();
    EXPECT_TRUE(PumpUntil([] { return CountLauncherWindows() == 0; }, 5000));
}

TEST_F(Launcher, DueNotificationReachesWakeloomThroughTheLauncher)
{
    ASSERT_TRUE(CopyFileW(ProgramPath(L"wklmgr.exe").c_str(), InstalledLauncher().c_str(), FALSE));
    standIn = CreateStandInWakeloom();
    LoadSettings();
    SYSTEMTIME due = LocalTimeIn(2000);
    ASSERT_NE(0u, SetEventNotification(5, due));

    PumpUntil([] { return !received.empty(); }, 8000);
    PumpUntil([] { return false; }, 1000);  // a second delivery would show now
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(5u, received[0].first);
    LONGLONG delayMs = (static_cast<LONGLONG>(received[0].second) - SystemTimeToTicks(due)) / 10000;
    EXPECT_GE(delayMs, 0);
    EXPECT_LT(delayMs, 1000);
}
