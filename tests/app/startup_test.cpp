// Start-up and shut-down of the real program, run as its own process.
#include <gtest/gtest.h>

#include <vector>

#include "contract.h"
#include "testsupport.h"

namespace {

const DWORD kStartTimeout = 15000;

// A window that looks like a running Wakeloom to a second start.
class RunningInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        receivedEvents.clear();
        window = CreateStandInWindow(WAKELOOM_NAME, WAKELOOM_NAME);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override { DestroyWindow(window); }

    // Runs a second start; returns its exit code and the events it handed over.
    static DWORD SecondStart(const wchar_t* arguments)
    {
        receivedEvents.clear();
        ChildProcess child = StartProgram(WAKELOOM_PROGRAM_FILE, arguments);
        DWORD code = WaitForExit(child, kStartTimeout);
        KillProgram(child);
        PumpPending();   // it posted before it ended
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
        // Events reach it here only to show what start-up does with them.
        WriteDword(SETTINGS_PATH, L"Silenced", 1);
    }
    void TearDown() override
    {
        KillProgram(program);
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    // Starts Wakeloom and returns its window once its start-up has run
    // (it answers messages only from its loop).
    HWND Start(const wchar_t* arguments)
    {
        program = StartProgram(WAKELOOM_PROGRAM_FILE, arguments);
        HWND window = WaitForWindow(WAKELOOM_NAME, WAKELOOM_NAME, kStartTimeout);
        DWORD_PTR answer;
        EXPECT_TRUE(window != nullptr
                    && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kStartTimeout, &answer));
        return window;
    }

    DWORD Close(HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitForExit(program, kStartTimeout);
    }

    static bool AlarmTwoIsPending()
    {
        std::vector<PendingNotification> pending = PendingNotifications();
        return pending.size() == 1 && pending[0].arguments == L"/ID:2";
    }

    ChildProcess program;
};

} // namespace

TEST_F(RunningInstance, SecondStartHandsItsEventOverAndEnds)
{
    const struct {
        const wchar_t* arguments;
        std::vector<WPARAM> events;
    } cases[] = {
        { L"/ID:3", { 3 } }, { L"/ID:255", { 255 } }, { L"", {} }, { L"/id:3", {} },
        { L"-ID:3", {} }, { L" /ID:3", {} },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1u, SecondStart(c.arguments)) << c.arguments;
        std::vector<WPARAM> events;
        for (const ReceivedEvent& e : receivedEvents)
            events.push_back(e.event);
        EXPECT_EQ(c.events, events) << c.arguments;
    }
}

TEST_F(RealProgram, FirstRunCreatesItsKeysAndShutDownSavesEverySetting)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, Close(window));
    EXPECT_EQ(20u, ValueNames(SETTINGS_PATH).size());
    EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", 15u);

    WriteDword(SETTINGS_PATH, L"SnoozeTime", 25);
    WriteDword(SETTINGS_PATH, L"Chime", 4);
    EXPECT_EQ(0u, Close(Start(L"")));
    EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", 25u);
    EXPECT_STORED(SETTINGS_PATH, L"Chime", 1u);
}

TEST_F(RealProgram, SecondStartOfTheRealProgramLeavesTheFirstRunning)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    ChildProcess second = StartProgram(WAKELOOM_PROGRAM_FILE, L"/ID:4");
    EXPECT_EQ(1u, WaitForExit(second, kStartTimeout));
    KillProgram(second);
    EXPECT_EQ(0u, Close(window));
}

TEST_F(RealProgram, OnlyAUserStartReschedulesButEveryShutDownDoes)
{
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmOn", 1);
    const struct {
        const wchar_t* arguments;
        bool scheduledAtStart;
    } cases[] = { { L"", true }, { L"/ID:3", false }, { L" /ID:3", true } };
    for (const auto& c : cases) {
        ClearAllNotifications();
        HWND window = Start(c.arguments);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(c.scheduledAtStart, AlarmTwoIsPending()) << c.arguments;
        EXPECT_EQ(0u, Close(window));
        // Still armed once the program has ended, and only once.
        EXPECT_TRUE(AlarmTwoIsPending()) << c.arguments;
    }
}

TEST_F(RealProgram, RequestsFromOtherProcessesAreHandledOrIgnoredSafely)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_APP_SILENCE_OFF, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Silenced") == 0; }, 5000));
    PostMessageW(window, WM_APP_SILENCE_ON, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Silenced") == 1; }, 5000));

    // Unknown event numbers and the ignored request leave it running.
    PostMessageW(window, WM_APP_EVENT, 9999, 0);
    PostMessageW(window, WM_APP_EVENT, static_cast<WPARAM>(-1), 0);
    PostMessageW(window, WM_APP_NOTHING, 1, 2);
    PostMessageW(window, WM_APP_RELOAD_ALARMS, 0, 0);
    PostMessageW(window, WM_APP_RELOAD_CHIME, 0, 0);
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kStartTimeout, &answer));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40001, 0), 0);   // Exit
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
}
