// The road of one alarm with Wakeloom closed: the scheduler starts the
// launcher, the launcher starts Wakeloom, which rings; snoozed, it rings
// again; stopped, it waits for its next regular time.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

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
        ASSERT_TRUE(CopyFileW(BuildSoundPath(L"buzz.wav").c_str(),
                              (install / L"sounds\\buzz.wav").c_str(), FALSE));
        WriteText(INSTALL_PATH, L"InstlDir", install.path);
        std::wstring key = AlarmKeyPath(2);
        WriteDword(key.c_str(), L"AlarmOn", 1);
        WriteDword(key.c_str(), L"AThour", 23);
        WriteDword(key.c_str(), L"ATmin", 59);
        WriteDword(key.c_str(), L"Volume", 5);
        WriteDword(SETTINGS_PATH, L"ShowIcon", 0);
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME)) {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
            PostMessageW(window, WM_CLOSE, 0, 0);
            if (process != nullptr && WaitForSingleObject(process, 15000) != WAIT_OBJECT_0)
                TerminateProcess(process, 1);
            if (process != nullptr)
                CloseHandle(process);
        }
        ClearAllNotifications();
        ResetProgramRegistry();
    }

    // Waits for the ringing dialog, checks what it plays, and presses `button`.
    void RingAndPress(int button)
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

    static std::vector<PendingNotification> AlarmThree()
    {
        std::vector<PendingNotification> found;
        for (const PendingNotification& n : PendingNotifications())
            if (n.arguments == L"/ID:2")
                found.push_back(n);
        return found;
    }

    static bool CancelSnoozeEnabled()
    {
        HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME);
        HWND bar = FindWindowExW(nullptr, nullptr, L"menu_worker", nullptr);
        while (bar != nullptr && GetWindow(bar, GW_OWNER) != window)
            bar = FindWindowExW(nullptr, bar, L"menu_worker", nullptr);
        return SendMessageW(bar, TB_ISBUTTONENABLED, IDM_CANCEL_SNOOZE, 0) != 0;
    }

    TempFolder install;
};

TEST_F(AlarmEndToEnd, RingsSnoozesRingsAgainAndStops)
{
    ClearSoundCapture();
    HANDLE handle = SetNotificationIn(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:2", 1000, 300000);
    ASSERT_NE(nullptr, handle);
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmHandle",
               static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(handle)));

    LONGLONG snoozedAt = static_cast<LONGLONG>(LocalNowTicks());
    RingAndPress(IDC_SNOOZE);
    // What the dialog's end leaves to do comes just after it has gone.
    EXPECT_TRUE(PumpUntil(CancelSnoozeEnabled, 5000));
    std::vector<PendingNotification> pending = AlarmThree();
    ASSERT_EQ(1u, pending.size());
    EXPECT_NEAR(static_cast<double>(snoozedAt + 15LL * 60 * 10000000),
                static_cast<double>(Ticks(pending[0].start)), 30.0 * 10000000);

    // The snooze rings as any notification does: brought forward to now.
    ClearSoundCapture();
    ASSERT_NE(nullptr, SetNotificationIn(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(pending[0].handle)),
                                         L"\\Windows\\wklmgr.exe", L"/ID:2", 500, 300000));
    RingAndPress(IDC_STOP);
    EXPECT_TRUE(PumpUntil([&] {
        pending = AlarmThree();
        return pending.size() == 1 && pending[0].start.wHour == 23 && pending[0].start.wMinute == 59;
    }, 5000));
    EXPECT_FALSE(CancelSnoozeEnabled());
}

} // namespace
