// Start-up and shut-down of the real program, run as its own process.
#include <gtest/gtest.h>

#include <vector>

#include "contract.h"
#include "testsupport.h"

namespace {

const DWORD kStartTimeout = 15000;

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

    ChildProcess program;
};

TEST_F(RealProgram, FirstRunMakesItsKeysAnswersOtherProcessesAndShutDownSavesEverySetting)
{
    HWND window = Start(L"");
    ASSERT_NE(nullptr, window);
    PostMessageW(window, WM_APP_SILENCE_OFF, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Silenced") == 0; }, 5000));
    PostMessageW(window, WM_APP_SILENCE_ON, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Silenced") == 1; }, 5000));
    // The requests without an answer leave it running (unknown events:
    // Ringing.MissedEventsSaySoAndSilencedOrUnknownOnesNothingButNoneRings).
    for (UINT request : { WM_APP_NOTHING, WM_APP_RELOAD_ALARMS, WM_APP_RELOAD_CHIME })
        PostMessageW(window, request, 1, 2);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40001, 0), 0);   // Exit
    EXPECT_EQ(0u, WaitForExit(program, kStartTimeout));
    EXPECT_EQ(20u, ValueNames(SETTINGS_PATH).size());
    EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", 15u);

    WriteDword(SETTINGS_PATH, L"SnoozeTime", 25);
    EXPECT_EQ(0u, Close(Start(L"")));
    EXPECT_STORED(SETTINGS_PATH, L"SnoozeTime", 25u);
}

TEST_F(RealProgram, OnlyAUserStartReschedulesButEveryShutDownDoes)
{
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmOn", 1);
    auto alarmThreePending = [] {
        std::vector<PendingNotification> pending = PendingNotifications();
        return pending.size() == 1 && pending[0].arguments == L"/ID:2";
    };
    // An event's start (the command line's arguments after one blank) is
    // not a user's.
    const std::pair<const wchar_t*, bool> cases[] = { { L"", true }, { L"/ID:3", false }, { L" /ID:3", true } };
    for (const auto& [arguments, scheduledAtStart] : cases) {
        ClearAllNotifications();
        HWND window = Start(arguments);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(scheduledAtStart, alarmThreePending()) << arguments;
        EXPECT_EQ(0u, Close(window));
        // Still armed once the program has ended, and only once.
        EXPECT_TRUE(alarmThreePending()) << arguments;
    }
}

// Two starts at the same moment: one becomes Wakeloom, the other hands over
// and ends, however they interleave.
TEST_F(RealProgram, TwoStartsAtOnceOpenOneWindow)
{
    for (int round = 0; round < 20; round++) {
        SCOPED_TRACE(round);
        ChildProcess starts[2] = { StartProgram(WAKELOOM_PROGRAM_FILE, L""),
                                   StartProgram(WAKELOOM_PROGRAM_FILE, L"") };
        ASSERT_TRUE(starts[0].process != nullptr && starts[1].process != nullptr) << GetLastError();
        HWND window = WaitForWindow(WAKELOOM_NAME, WAKELOOM_NAME, kStartTimeout);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        int winner = owner == starts[0].id ? 0 : 1;
        EXPECT_EQ(owner, starts[winner].id);
        EXPECT_EQ(1u, WaitForExit(starts[1 - winner], kStartTimeout));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, WaitForExit(starts[winner], kStartTimeout));
        for (ChildProcess& start : starts)
            KillProgram(start);
    }
}

// A countdown saved as running whose end has passed, or whose end is no
// time a countdown can reach, is ended at start-up.
TEST_F(RealProgram, StaleCountdownEndsAtStartUp)
{
    const LONGLONG hour = 3600LL * 10000000;
    for (LONGLONG end : { static_cast<LONGLONG>(LocalNowTicks()) - hour,
                          static_cast<LONGLONG>(LocalNowTicks()) + 400 * hour, 1LL }) {
        WriteDword(SETTINGS_PATH, L"Countdown", 1);
        WriteDword(SETTINGS_PATH, L"CDFTLow", static_cast<DWORD>(end));
        WriteDword(SETTINGS_PATH, L"CDFTHigh", static_cast<DWORD>(end >> 32));
        HWND window = Start(L"");
        EXPECT_STORED(SETTINGS_PATH, L"Countdown", 0u);
        EXPECT_EQ(0u, Close(window));
    }
}

} // namespace
