// The Companion launcher as its own process: its icon, and the events it
// hands on. (A due notification reaching a running Wakeloom through it on
// time: clock_test.sh and Notifications.DueOnesStartOnTime...; a closed one:
// AlarmEndToEnd.)
#include <gtest/gtest.h>

#include "contract.h"
#include "soundtest.h"
#include "testsupport.h"

namespace {

class Launcher : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramRegistry(); }
    void TearDown() override
    {
        if (HWND w = FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME))
            SendMessageW(w, WM_CLOSE, 0, 0);
        if (!fakeProgram.empty())
            ClearRecorderLog(fakeProgram);
        ResetProgramRegistry();
    }

    // The launcher (of the build, or at a full path) run to its end.
    static DWORD Run(const wchar_t* arguments, const wchar_t* launcher = LAUNCHER_FILE)
    {
        ChildProcess child = StartProgram(launcher, arguments);
        DWORD code = WaitForExit(child, 10000);
        KillProgram(child);
        return code;
    }

    // The event recorder in `folder`, standing in for `program`.
    void InstallRecorderAs(const std::wstring& folder, const wchar_t* program)
    {
        fakeProgram = folder + L"\\" + program;
        ASSERT_TRUE(CopyFileW(ProgramPath(L"eventrecorder.exe").c_str(), fakeProgram.c_str(), FALSE));
        ClearRecorderLog(fakeProgram);
    }

    std::vector<std::wstring> StartsOfFakeProgram()
    {
        std::vector<RecordedStart> starts;
        PumpUntil([&] { starts = ReadRecorderLog(fakeProgram); return !starts.empty(); }, 8000);
        std::vector<std::wstring> arguments;
        for (const RecordedStart& start : starts)
            arguments.push_back(start.arguments);
        return arguments;
    }

    std::wstring fakeProgram;
};

} // namespace

TEST_F(Launcher, UnknownArgumentsAreRefusedNoneMakeOneIconWindowThatOpensWakeloom)
{
    EXPECT_EQ(1u, Run(L"--help"));   // which ones are unknown: EventId
    EXPECT_EQ(nullptr, FindWindowW(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME));
    TempFolder install;
    InstallRecorderAs(install.path, WAKELOOM_PROGRAM_FILE);
    WriteText(INSTALL_PATH, L"InstlDir", install.path);
    ChildProcess first = StartProgram(LAUNCHER_FILE, L"");
    HWND window = WaitForWindow(LAUNCHER_WINDOW_NAME, LAUNCHER_WINDOW_NAME, 10000);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, Run(L""));   // one icon is enough: the second ends at once

    // What the shell sends when the icon is tapped: opened by the user, not
    // for an event.
    PostMessageW(window, WM_APP + 100, 1, WM_LBUTTONUP);
    EXPECT_EQ(std::vector<std::wstring>{ L"" }, StartsOfFakeProgram());

    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(first, 10000));
    KillProgram(first);
}

// Without a registered install folder the launcher looks beside itself; with
// no Wakeloom there either the event is not lost silently.
TEST_F(Launcher, WakeloomIsFoundBesideTheLauncherOrTheFailureIsLeftInSight)
{
    TempFolder folder;
    std::wstring launcher = folder / LAUNCHER_FILE;
    InstallRecorderAs(folder.path, WAKELOOM_PROGRAM_FILE);
    ASSERT_TRUE(CopyFileW(ProgramPath(LAUNCHER_FILE).c_str(), launcher.c_str(), FALSE));
    EXPECT_EQ(0u, Run(L"/ID:3", launcher.c_str()));
    EXPECT_EQ(std::vector<std::wstring>{ L"/ID:3" }, StartsOfFakeProgram());

    DeleteFileW(fakeProgram.c_str());
    ClearNotificationLog();
    ChildProcess alone = StartProgram(launcher.c_str(), L"/EXPIRED /ID:3");
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
}
