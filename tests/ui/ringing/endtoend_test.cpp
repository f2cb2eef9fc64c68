// The road of one alarm with Wakeloom closed: the scheduler starts the
// launcher, the launcher starts Wakeloom, which rings; snoozed, it rings
// again; stopped, it waits for its next regular time. A countdown takes the
// same road to its own dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <cstdlib>

#include "contract.h"
#include "resource.h"
#include "soundtest.h"
#include "testsupport.h"

namespace {

class AlarmEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramRegistry();
        ClearAllNotifications();
        ASSERT_TRUE(InstallInWindowsFolder(LAUNCHER_FILE));
        // Installed as the run command installs it: the program and its sounds.
        CreateDirectoryW((install / L"sounds").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(ProgramPath(WAKELOOM_PROGRAM_FILE).c_str(),
                              (install / WAKELOOM_PROGRAM_FILE).c_str(), FALSE));
        for (const wchar_t* sound : { L"buzz.wav", L"CBuzzer.wav" })
            ASSERT_TRUE(CopyFileW(BuildSoundPath(sound).c_str(),
                                  (install / L"sounds\\" + sound).c_str(), FALSE));
        WriteText(INSTALL_PATH, L"InstlDir", install.path);
        // Alarm 3 at 23:59 on a day that is not today: a snooze rings on any
        // day all the same.
        SYSTEMTIME now;
        GetLocalTime(&now);
        const std::pair<const wchar_t*, DWORD> alarm[] = { { L"AlarmOn", 1 }, { L"AThour", 23 }, { L"ATmin", 59 },
                                                           { L"Volume", 5 }, { L"Days", 1u << ((now.wDayOfWeek + 3) % 7) } };
        for (const auto& [name, value] : alarm)
            WriteDword(AlarmKeyPath(2).c_str(), name, value);
        WriteDword(SETTINGS_PATH, L"ShowIcon", 0);
    }
    void TearDown() override
    {
        // Wakeloom was started by the launcher of this test's own prefix.
        if (HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME)) {
            ChildProcess wakeloom;
            GetWindowThreadProcessId(window, &wakeloom.id);
            wakeloom.process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, wakeloom.id);
            PostMessageW(window, WM_CLOSE, 0, 0);
            WaitForExit(wakeloom, 15000);
            KillProgram(wakeloom);
        }
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    // Waits for the ringing dialog, checks what it plays, and presses `button`.
    static void RingAndPress(int button)
    {
        HWND dialog = WaitForWindow(L"#32770", L"Alarm 3", 20000);
        ASSERT_NE(nullptr, dialog);
        std::vector<short> pass = WavFileSamples(BuildSoundPath(L"buzz.wav"));
        EXPECT_TRUE(PumpUntil([&] {
            return CountPasses(ReadSoundCapture().samples, pass, 32767 / 65535.0) >= 2;
        }, 15000)) << "the alarm's samples at its level, repeating";
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    }

    // Alarm 3's one notification, if it has exactly one.
    static bool AlarmThree(PendingNotification* found)
    {
        int count = 0;
        for (const PendingNotification& n : PendingNotifications())
            if (n.arguments == L"/ID:2" && count++ == 0)
                *found = n;
        return count == 1;
    }

    // A notification for the launcher, `startMs` from now; its handle.
    static DWORD Request(HANDLE handle, const wchar_t* arguments, LONGLONG startMs)
    {
        return HandleToULong(SetNotificationIn(handle, L"\\Windows\\wklmgr.exe", arguments,
                                               startMs, 300000));
    }

    TempFolder install;
};

TEST_F(AlarmEndToEnd, RingsSnoozesRingsAgainAndStops)
{
    ClearSoundCapture();
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmHandle", Request(nullptr, L"/ID:2", 1000));

    LONGLONG snoozedAt = static_cast<LONGLONG>(LocalNowTicks());
    RingAndPress(IDC_SNOOZE);
    // What the dialog's end leaves to do comes just after it has gone.
    LONGLONG snoozeDue = snoozedAt + 15LL * 60 * 10000000;
    PendingNotification snooze;
    EXPECT_TRUE(PumpUntil([&] {
        return AlarmThree(&snooze) && std::abs(Ticks(snooze.start) - snoozeDue) < 30LL * 10000000;
    }, 5000)) << "the snooze, 15 minutes on";

    // The snooze rings as any notification does: brought forward to now.
    ClearSoundCapture();
    ASSERT_EQ(snooze.handle, Request(ULongToHandle(snooze.handle), L"/ID:2", 500));
    RingAndPress(IDC_STOP);
    PendingNotification next;
    EXPECT_TRUE(PumpUntil([&] {
        return AlarmThree(&next) && next.start.wHour == 23 && next.start.wMinute == 59;
    }, 5000)) << "the regular ring again";
}

// A countdown that ends while Wakeloom is closed opens the countdown's
// dialog, and stopping it there ends the countdown.
TEST_F(AlarmEndToEnd, CountdownEndsInItsDialog)
{
    // Running, as the Countdown dialog leaves it, with a minute left.
    ULONGLONG finish = LocalNowTicks() + 60ULL * 10000000;
    WriteDword(SETTINGS_PATH, L"Countdown", 1);
    WriteDword(SETTINGS_PATH, L"CDFTLow", static_cast<DWORD>(finish));
    WriteDword(SETTINGS_PATH, L"CDFTHigh", static_cast<DWORD>(finish >> 32));
    DWORD handle = Request(nullptr, L"/ID:254", 1000);
    ASSERT_NE(0u, handle);
    WriteDword(SETTINGS_PATH, L"CountdownHandle", handle);
    HWND dialog = WaitForWindow(L"#32770", L"Countdown", 20000);
    ASSERT_NE(nullptr, dialog);
    ClickDialogButton(dialog, IDC_STOP);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Countdown") == 0; }, 5000));
}

} // namespace
