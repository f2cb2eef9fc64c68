// Start-up and shut-down of the real program, run as its own process.
#include <gtest/gtest.h>

#include <vector>

#include "testsupport.h"

namespace {

const wchar_t* const kKey = L"Software\\Hazelmere\\Wakeloom";
const DWORD kStartTimeout = 15000;

std::vector<WPARAM> receivedEvents;

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1)
        receivedEvents.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that looks like a running Wakeloom to a second start.
class RunningInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        receivedEvents.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = StandInProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Wakeloom";
        RegisterClassW(&wc);
        window = CreateWindowExW(0, L"Wakeloom", L"Wakeloom", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                 100, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override { DestroyWindow(window); }

    // Runs a second start and returns its exit code.
    static DWORD SecondStart(const wchar_t* arguments)
    {
        ChildProcess child = StartProgram(L"Wakeloom.exe", arguments);
        EXPECT_NE(nullptr, child.process);
        DWORD code = WaitForExit(child, kStartTimeout);
        KillProgram(child);
        // Let a posted message arrive.
        PumpUntil([] { return false; }, 200);
        return code;
    }

    HWND window = nullptr;
};

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramRegistry();
        ClearAllNotifications();
    }
    void TearDown() override
    {
        KillProgram(program);
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    static bool AlarmTwoIsPending()
    {
        for (const PendingNotification& n : PendingNotifications()) {
            if (n.arguments == L"/ID:2")
                return true;
        }
        return false;
    }

    HWND Start(const wchar_t* arguments)
    {
        program = StartProgram(L"Wakeloom.exe", arguments);
        EXPECT_NE(nullptr, program.process);
        return WaitForWindow(L"Wakeloom", L"Wakeloom", kStartTimeout);
    }

    static DWORD StoredDword(const wchar_t* name)
    {
        DWORD type = 0, value = 0xFFFFFFFF;
        std::vector<BYTE> data;
        if (ReadRawValue(HKEY_LOCAL_MACHINE, kKey, name, &type, &data) && data.size() == 4)
            memcpy(&value, data.data(), 4);
        return value;
    }

    ChildProcess program;
};

} // namespace

TEST_F(RunningInstance, SecondStartWithAnEventHandsItOverAndEnds)
{
    EXPECT_EQ(1u, SecondStart(L"/ID:3"));
    EXPECT_EQ(std::vector<WPARAM>{ 3 }, receivedEvents);

    receivedEvents.clear();
    EXPECT_EQ(1u, SecondStart(L"/ID:255"));
    EXPECT_EQ(std::vector<WPARAM>{ 255 }, receivedEvents);
}

TEST_F(RunningInstance, SecondStartWithoutAnEventSendsNothing)
{
    EXPECT_EQ(1u, SecondStart(L""));
    EXPECT_EQ(1u, SecondStart(L"/id:3"));
    EXPECT_EQ(1u, SecondStart(L"-ID:3"));
    EXPECT_TRUE(receivedEvents.empty());
}

TEST_F(RealProgram, FirstStartCreatesItsKeysAndShutDownSavesEverySetting)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    // The window exists before the records are loaded; the loop follows.
    EXPECT_TRUE(PumpUntil([] {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Hazelmere\\Wakeloom\\Alarms", 0,
                          KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }, kStartTimeout));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
    EXPECT_EQ(20u, ValueNames(HKEY_LOCAL_MACHINE, kKey).size());
    EXPECT_EQ(15u, StoredDword(L"SnoozeTime"));
    EXPECT_EQ(5u, StoredDword(L"MaxTime"));
}

TEST_F(RealProgram, StoredSettingsSurviveARun)
{
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"SnoozeTime", 25);
    WriteDword(HKEY_LOCAL_MACHINE, kKey, L"Chime", 4);
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
    EXPECT_EQ(25u, StoredDword(L"SnoozeTime"));
    EXPECT_EQ(1u, StoredDword(L"Chime"));
}

TEST_F(RealProgram, SecondStartOfTheRealProgramEnds)
{
    ASSERT_NE(nullptr, Start(L""));
    ChildProcess second = StartProgram(L"Wakeloom.exe", L"/ID:4");
    EXPECT_EQ(1u, WaitForExit(second, kStartTimeout));
    KillProgram(second);
    EXPECT_EQ(STILL_ACTIVE, WaitForExit(program, 100));
}

TEST_F(RealProgram, StartedForAnEventRunsAsUsual)
{
    HWND window = Start(L"/ID:3");
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40001, 0), 0);  // Exit
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
}

TEST_F(RealProgram, RequestsFromOtherProcessesAreHandledOrIgnoredSafely)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);

    PostMessageW(window, WM_APP + 4, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(L"Silenced") == 1; }, 5000));
    PostMessageW(window, WM_APP + 5, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(L"Silenced") == 0; }, 5000));

    // Unknown event numbers and the ignored request leave it running.
    PostMessageW(window, WM_APP + 1, 9999, 0);
    PostMessageW(window, WM_APP + 1, static_cast<WPARAM>(-1), 0);
    PostMessageW(window, WM_APP + 8, 1, 2);
    PostMessageW(window, WM_APP + 6, 0, 0);
    PostMessageW(window, WM_APP + 7, 0, 0);
    EXPECT_EQ(STILL_ACTIVE, WaitForExit(program, 1000));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
}

TEST_F(RealProgram, UserStartAndShutDownScheduleTheArmedAlarms)
{
    WriteDword(HKEY_LOCAL_MACHINE, L"Software\\Hazelmere\\Wakeloom\\Alarms\\2", L"AlarmOn", 1);
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(PumpUntil(AlarmTwoIsPending, 5000));
    EXPECT_EQ(1u, PendingNotifications().size());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
    // Still armed once the program has ended, and only once.
    ASSERT_EQ(1u, PendingNotifications().size());
    EXPECT_TRUE(AlarmTwoIsPending());
}

TEST_F(RealProgram, StartForAnEventLeavesSchedulingToShutDown)
{
    WriteDword(HKEY_LOCAL_MACHINE, L"Software\\Hazelmere\\Wakeloom\\Alarms\\2", L"AlarmOn", 1);
    HWND window = Start(L"/ID:3");
    ASSERT_NE(nullptr, window);
    PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(PendingNotifications().empty());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
    EXPECT_TRUE(AlarmTwoIsPending());
}
