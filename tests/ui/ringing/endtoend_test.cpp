// The road of one alarm with Wakeloom closed: the scheduler starts the
// launcher, the launcher starts Wakeloom, which rings; snoozed, it rings
// again; stopped, it waits for its next regular time. A countdown takes the
// same road to its own dialog. Both for a standard user, who may only read
// what an earlier version kept for the machine.
#include <gtest/gtest.h>

#include <windows.h>
#include <cstdlib>
#include <memory>

#include "contract.h"
#include "devicestore.h"
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
        // Installed as the run command installs it: the program and its sounds.
        CreateDirectoryW((install / L"sounds").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(ProgramPath(WAKELOOM_PROGRAM_FILE).c_str(),
                              (install / WAKELOOM_PROGRAM_FILE).c_str(), FALSE));
        for (const wchar_t* sound : { L"buzz.wav", L"CBuzzer.wav" })
            ASSERT_TRUE(CopyFileW(BuildSoundPath(sound).c_str(),
                                  (install / L"sounds\\" + sound).c_str(), FALSE));
        WriteText(INSTALL_PATH, L"InstlDir", install.path);
        // An earlier version's alarm 3, kept for the machine, at 23:59 on a
        // day that is not today: a snooze rings on any day all the same.
        SYSTEMTIME now;
        GetLocalTime(&now);
        const std::pair<const wchar_t*, DWORD> alarm[] = { { L"AlarmOn", 1 }, { L"AThour", 23 }, { L"ATmin", 59 },
                                                           { L"Volume", 5 }, { L"Days", 1u << ((now.wDayOfWeek + 3) % 7) } };
        for (const auto& [name, value] : alarm)
            WriteDword(AlarmKeyPath(2).c_str(), name, value, HKEY_LOCAL_MACHINE);
        WriteDword(SETTINGS_PATH, L"ShowIcon", 0, HKEY_LOCAL_MACHINE);
    }
    void TearDown() override
    {
        CloseWakeloom();
        ClearAllNotifications();
        machineKeys.reset();
        ResetProgramRegistry();
    }

    // Upgraded by a standard user: what the earlier version kept for the
    // machine, its keys and its store of pending notifications, may only be
    // read, and becomes the user's once a program of ours starts.
    void UpgradeAsStandardUser()
    {
        wchar_t mine[MAX_PATH], earlier[MAX_PATH];
        ASSERT_TRUE(DeviceDataFolder(mine, MAX_PATH) && EarlierDataFolder(earlier, MAX_PATH));
        CreateDirectoryW(earlier, nullptr);
        for (const std::wstring name : { L"\\notifications.dat", L"\\notifications.dat.copy" })
            ASSERT_TRUE(MoveFileExW((mine + name).c_str(), (earlier + name).c_str(), MOVEFILE_REPLACE_EXISTING));
        machineKeys = std::make_unique<ReadOnlyKeys>(HKEY_LOCAL_MACHINE, std::vector<std::wstring>{
            SETTINGS_PATH, SETTINGS_PATH L"\\Alarms", AlarmKeyPath(2) });
        RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_PATH);
    }

    // Wakeloom was started by the launcher of this test's own prefix.
    static void CloseWakeloom()
    {
        if (HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME)) {
            ChildProcess wakeloom;
            GetWindowThreadProcessId(window, &wakeloom.id);
            wakeloom.process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                                           FALSE, wakeloom.id);
            PostMessageW(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(0u, WaitForExit(wakeloom, 15000));
            KillProgram(wakeloom);
        }
    }

    // Waits for the ringing dialog, checks what it plays, and presses `button`.
    static void RingAndPress(const wchar_t* title, int button)
    {
        HWND dialog = WaitForWindow(L"#32770", title, 20000);
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

    // Alarm 3's snooze, `minutes` after `snoozedAt`. What the ringing
    // dialog's end leaves to do comes just after it has gone.
    static PendingNotification Snooze(LONGLONG snoozedAt, LONGLONG minutes)
    {
        PendingNotification snooze;
        EXPECT_TRUE(PumpUntil([&] {
            return AlarmThree(&snooze)
                && std::abs(Ticks(snooze.start) - snoozedAt - minutes * 60 * 10000000) < 30LL * 10000000;
        }, 5000)) << "the snooze, " << minutes << " minutes on";
        return snooze;
    }

    // Brought forward to ring now, as any notification rings.
    static void RingsNow(const PendingNotification& n)
    {
        ClearSoundCapture();
        ASSERT_EQ(n.handle, Request(ULongToHandle(n.handle), L"/ID:2", 500));
    }

    // A notification for the launcher, `startMs` from now; its handle.
    static DWORD Request(HANDLE handle, const wchar_t* arguments, LONGLONG startMs)
    {
        return HandleToULong(SetNotificationIn(handle, L"\\Windows\\wklmgr.exe", arguments,
                                               startMs, 300000));
    }

    // Opens a dialog of the running Wakeloom by a command (a menu's, or a
    // main-window button's), fills it as the user would, and presses OK.
    static void SetThroughDialog(WPARAM command, const wchar_t* button, const wchar_t* title,
                                 const std::function<void(HWND)>& fill)
    {
        HWND window = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME);
        HWND control = button != nullptr ? FindWindowExW(window, nullptr, L"BUTTON", button) : nullptr;
        PostMessageW(window, WM_COMMAND, command, reinterpret_cast<LPARAM>(control));
        HWND dialog = nullptr;  // shown once filled from the settings
        ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(dialog = FindWindowW(L"#32770", title)); }, 10000))
            << title;
        fill(dialog);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    }

    TempFolder install;
    std::unique_ptr<ReadOnlyKeys> machineKeys;
};

TEST_F(AlarmEndToEnd, EarlierVersionsAlarmRingsAndWhatTheDialogsSetSurvivesARestart)
{
    ClearSoundCapture();
    DWORD handle = Request(nullptr, L"/ID:2", 3000);
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmHandle", handle, HKEY_LOCAL_MACHINE);
    UpgradeAsStandardUser();
    PendingNotification pending;
    EXPECT_TRUE(AlarmThree(&pending) && pending.handle == handle) << "the earlier store is the user's";

    LONGLONG snoozedAt = static_cast<LONGLONG>(LocalNowTicks());
    RingAndPress(L"Alarm 3", IDC_SNOOZE);
    RingsNow(Snooze(snoozedAt, 15));
    RingAndPress(L"Alarm 3", IDC_STOP);
    PendingNotification regular;
    EXPECT_TRUE(PumpUntil([&] {
        return AlarmThree(&regular) && regular.start.wHour == 23 && regular.start.wMinute == 59;
    }, 5000)) << "the regular ring again";

    // Set through the dialogs of the Wakeloom that rang: a snooze time of
    // 0:20 and a name. Started afresh by the regular ring, it rings the
    // alarm by that name and snoozes for that time.
    SetThroughDialog(IDM_SNOOZE_TIME, nullptr, L"Snooze Time", [](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_MINUTE_TENS, L"2");
        SetDlgItemTextW(dialog, IDC_MINUTE_ONES, L"0");
    });
    SetThroughDialog(MAKEWPARAM(0, BN_CLICKED), L"Set Alarms", L"Set Alarms", [](HWND dialog) {
        SendDlgItemMessageW(dialog, IDC_ALARM_SELECTOR, CB_SETCURSEL, 2, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ALARM_SELECTOR, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ALARM_SELECTOR)));
        SetDlgItemTextW(dialog, IDC_ALARM_NAME, L"Gym");
    });
    CloseWakeloom();
    RingsNow(regular);
    snoozedAt = static_cast<LONGLONG>(LocalNowTicks());
    RingAndPress(L"Gym", IDC_SNOOZE);
    Snooze(snoozedAt, 20);
}

// A countdown that ends while Wakeloom is closed opens the countdown's
// dialog, and stopping it there ends the countdown.
TEST_F(AlarmEndToEnd, CountdownEndsInItsDialog)
{
    // Running, as the Countdown dialog leaves it, with a minute left.
    ULONGLONG finish = LocalNowTicks() + 60ULL * 10000000;
    WriteDword(SETTINGS_PATH, L"Countdown", 1, HKEY_LOCAL_MACHINE);
    WriteDword(SETTINGS_PATH, L"CDFTLow", static_cast<DWORD>(finish), HKEY_LOCAL_MACHINE);
    WriteDword(SETTINGS_PATH, L"CDFTHigh", static_cast<DWORD>(finish >> 32), HKEY_LOCAL_MACHINE);
    DWORD handle = Request(nullptr, L"/ID:254", 2000);
    ASSERT_NE(0u, handle);
    WriteDword(SETTINGS_PATH, L"CountdownHandle", handle, HKEY_LOCAL_MACHINE);
    UpgradeAsStandardUser();
    HWND dialog = WaitForWindow(L"#32770", L"Countdown", 20000);
    ASSERT_NE(nullptr, dialog);
    ClickDialogButton(dialog, IDC_STOP);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_TRUE(PumpUntil([] { return StoredDword(SETTINGS_PATH, L"Countdown") == 0; }, 5000));
}

} // namespace
