// The Companion launcher as its own process, and the road from a due
// notification through the launcher to a running Wakeloom.
#include <gtest/gtest.h>

#include "alarms.h"
#include "alarmtime.h"
#include "contract.h"
#include "launcher.h"
#include "schedule.h"
#include "settings.h"
#include "testsupport.h"

namespace {

std::wstring InWindowsFolder(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetSystemWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\" + name;
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        receivedEvents.clear();
        ResetProgramRegistry();
        ClearAllNotifications();
    }
    void TearDown() override
    {
        if (HWND w = FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME))
            SendMessageW(w, WM_CLOSE, 0, 0);
        if (standIn != nullptr)
            DestroyWindow(standIn);
        if (!fakeProgram.empty())
            ClearRecorderLog(fakeProgram);
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    static DWORD Run(const wchar_t* arguments)
    {
        ChildProcess child = StartProgram(LAUNCHER_FILE, arguments);
        DWORD code = WaitForExit(child, 10000);
        KillProgram(child);
        return code;
    }

    // The event recorder stands in for Wakeloom.exe in an install folder of
    // its own.
    void InstallRecorderAsWakeloom()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        std::wstring folder = std::wstring(temp) + L"wklmgr-install";
        CreateDirectoryW(folder.c_str(), nullptr);
        fakeProgram = folder + L"\\" + WAKELOOM_PROGRAM_FILE;
        ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), fakeProgram.c_str(), FALSE));
        ClearRecorderLog(fakeProgram);
        WriteText(INSTALL_PATH, L"InstlDir", folder);
    }

    std::vector<RecordedStart> WaitForStarts(const std::wstring& program, size_t count)
    {
        std::vector<RecordedStart> starts;
        PumpUntil([&] { starts = ReadRecorderLog(program); return starts.size() >= count; }, 8000);
        return starts;
    }

    HWND standIn = nullptr;
    std::wstring fakeProgram;
};

} // namespace

TEST_F(Launcher, EventGoesToTheRunningWakeloomOrStartsIt)
{
    standIn = CreateStandInWindow(WAKELOOM_NAME, WAKELOOM_NAME);
    EXPECT_EQ(0u, Run(L"/ID:6"));
    EXPECT_TRUE(PumpUntil([] { return !receivedEvents.empty(); }, 2000));
    ASSERT_EQ(1u, receivedEvents.size());
    EXPECT_EQ(6u, receivedEvents[0].event);
    DestroyWindow(standIn);
    standIn = nullptr;

    InstallRecorderAsWakeloom();
    EXPECT_EQ(0u, Run(L"/ID:7"));
    std::vector<RecordedStart> starts = WaitForStarts(fakeProgram, 1);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"/ID:7", starts[0].arguments);
}

TEST_F(Launcher, WithoutArgumentsItStaysAsOneIconWindowThatOpensWakeloom)
{
    InstallRecorderAsWakeloom();
    ChildProcess first = StartProgram(LAUNCHER_FILE, L"");
    HWND window = WaitForWindow(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME, 10000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, Run(L""));   // one icon is enough: the second ends at once

    // What the shell sends when the icon is tapped.
    PostMessageW(window, WM_APP + 100, 1, WM_LBUTTONUP);
    std::vector<RecordedStart> starts = WaitForStarts(fakeProgram, 1);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"", starts[0].arguments);  // opened by the user, not for an event

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(first, 10000));
    KillProgram(first);
}

TEST_F(Launcher, UnknownArgumentsAreRefused)
{
    for (const wchar_t* arguments : { L"/id:3", L"--help", L" /ID:3" })
        EXPECT_EQ(1u, Run(arguments)) << arguments;
    EXPECT_EQ(nullptr, FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME));
}

TEST_F(Launcher, TaskbarIconFollowsShowIcon)
{
    // A recorder in the launcher's place tells whether it was started.
    fakeProgram = InWindowsFolder(LAUNCHER_FILE);
    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), fakeProgram.c_str(), FALSE));
    ClearRecorderLog(fakeProgram);
    standIn = CreateStandInWindow(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME);
    ShowIcon = 1;
    UpdateTaskbarIcon();   // already there: not started again
    ShowIcon = 0;
    UpdateTaskbarIcon();
    EXPECT_FALSE(IsWindow(standIn));   // closed
    standIn = nullptr;
    ShowIcon = 1;
    UpdateTaskbarIcon();
    EXPECT_EQ(1u, WaitForStarts(fakeProgram, 1).size());
    ASSERT_TRUE(InstallInWindowsFolder(LAUNCHER_FILE));
}

TEST_F(Launcher, DueNotificationReachesWakeloomThroughTheLauncher)
{
    ASSERT_TRUE(InstallInWindowsFolder(LAUNCHER_FILE));
    standIn = CreateStandInWindow(WAKELOOM_NAME, WAKELOOM_NAME);
    LoadSettings();
    SYSTEMTIME due = LocalTimeIn(2000);
    ASSERT_NE(0u, SetEventNotification(5, due));
    ASSERT_NE(0u, SetEventNotification(9, LocalTimeIn(2500)));

    // Once the later one arrived, a second delivery of the first would have too.
    PumpUntil([] { return receivedEvents.size() >= 2; }, 8000);
    ASSERT_EQ(2u, receivedEvents.size());
    EXPECT_EQ(5u, receivedEvents[0].event);
    EXPECT_EQ(9u, receivedEvents[1].event);
    LONGLONG delayMs = (static_cast<LONGLONG>(receivedEvents[0].localTicks) - Ticks(due)) / 10000;
    EXPECT_GE(delayMs, 0);
    EXPECT_LT(delayMs, 1000);
}

// Without a registered install folder the launcher looks beside itself; with
// no Wakeloom there either the event is not lost silently.
TEST_F(Launcher, WakeloomIsFoundBesideTheLauncherOrTheFailureIsLeftInSight)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"wklmgr-alone";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring launcher = folder + L"\\" + LAUNCHER_FILE;
    fakeProgram = folder + L"\\" + WAKELOOM_PROGRAM_FILE;
    ASSERT_TRUE(CopyFileW(ProgramPath(LAUNCHER_FILE).c_str(), launcher.c_str(), FALSE));
    DeleteFileW(fakeProgram.c_str());
    ClearNotificationLog();

    ChildProcess alone = StartProgramPath(launcher, L"/EXPIRED /ID:3");
    HWND box = nullptr;  // the box of this launcher, not of another
    PumpUntil([&] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", WAKELOOM_NAME));) {
            DWORD id = 0;
            GetWindowThreadProcessId(w, &id);
            box = id == alone.id ? w : box;
        }
        return box != nullptr;
    }, 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_NE(std::wstring::npos, MessageBoxText(box).find(L"could not be delivered"));
    ClickDialogButton(box, IDOK);
    EXPECT_EQ(1u, WaitForExit(alone, 10000));
    KillProgram(alone);
    EXPECT_NE(std::string::npos, ReadNotificationLog().find("missed event 3 could not be handed"));

    ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), fakeProgram.c_str(), FALSE));
    ClearRecorderLog(fakeProgram);
    ChildProcess beside = StartProgramPath(launcher, L"/ID:3");
    EXPECT_EQ(0u, WaitForExit(beside, 10000));
    KillProgram(beside);
    std::vector<RecordedStart> starts = WaitForStarts(fakeProgram, 1);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"/ID:3", starts[0].arguments);
}

// An hour that does not exist gives no time to ring at: not reported as set.
TEST_F(Launcher, AlarmAtAnHourThatDoesNotExistIsNotReportedAsSet)
{
    LoadSettings();
    ASSERT_TRUE(AllocateAlarms());
    InitAlarmDefaults();
    alarms[0]->AThour = 25;
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_FALSE(ScheduleAlarmAt(0, NextAlarmTime(*alarms[0], now), false));
    EXPECT_TRUE(PendingNotifications().empty());
    FreeAlarms();
}
