// The Companion launcher as its own process: where it finds Wakeloom for
// the events it hands on. (A due notification reaching a running Wakeloom through it on
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
        if (!fakeProgram.empty())
            ClearRecorderLog(fakeProgram);
        ResetProgramRegistry();
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

// Without a registered install folder the launcher looks beside itself; with
// no Wakeloom there either the event is not lost silently.
TEST_F(Launcher, WakeloomIsFoundBesideTheLauncherOrTheFailureIsLeftInSight)
{
    TempFolder folder;
    std::wstring launcher = folder / LAUNCHER_FILE;
    InstallRecorderAs(folder.path, WAKELOOM_PROGRAM_FILE);
    ASSERT_TRUE(CopyFileW(ProgramPath(LAUNCHER_FILE).c_str(), launcher.c_str(), FALSE));
    ChildProcess beside = StartProgram(launcher.c_str(), L"/ID:3");
    EXPECT_EQ(0u, WaitForExit(beside, 10000));
    KillProgram(beside);
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
