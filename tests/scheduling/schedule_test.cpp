// The requests the scheduling code hands to the system, read back through
// the notification API from the real store.
#include <gtest/gtest.h>

#include "alarms.h"
#include "alarmtime.h"
#include "notify.h"
#include "notifystore.h"
#include "schedule.h"
#include "settings.h"
#include "testsupport.h"

namespace {

// Far enough ahead that nothing fires during the test.
SYSTEMTIME At(int day, int hour, int minute, int second = 0)
{
    return MakeTime(2030, 3, day, hour, minute, second);
}

LONGLONG Ticks(const SYSTEMTIME& t)
{
    return SystemTimeToTicks(t);
}

DWORD StoredHandle(int i)
{
    DWORD type;
    std::vector<BYTE> data;
    std::wstring key = L"Software\\Hazelmere\\Wakeloom\\Alarms\\" + std::to_wstring(i);
    if (!ReadRawValue(HKEY_LOCAL_MACHINE, key.c_str(), L"AlarmHandle", &type, &data)
        || data.size() != 4)
        return 0xFFFFFFFF;
    return *reinterpret_cast<DWORD*>(data.data());
}

// Makes every request fail: the store cannot be rewritten while a folder
// stands where its new copy goes.
class BlockedStore {
public:
    BlockedStore()
    {
        NotificationStorePath(path, MAX_PATH);
        wcscat(path, L".new");
        CreateDirectoryW(path, nullptr);
    }
    ~BlockedStore() { RemoveDirectoryW(path); }

private:
    wchar_t path[MAX_PATH + 8] = L"";
};

class Scheduling : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramRegistry();
        ClearAllNotifications();
        LoadSettings();
        ASSERT_TRUE(AllocateAlarms());
        InitAlarmDefaults();
        LoadAlarms();
    }
    void TearDown() override
    {
        FreeAlarms();
        ClearAllNotifications();
        ResetProgramRegistry();
    }
};

} // namespace

TEST_F(Scheduling, MondayAlarmArmedOnSaturdayRequestsTheLauncherOnMonday)
{
    // 2 March 2030 is a Saturday.
    alarms[3]->Days = 1 << 1;
    alarms[3]->AlarmOn = 1;
    SYSTEMTIME sundaySeven = NextAlarmTime(3, At(2, 8, 0));
    ASSERT_TRUE(ScheduleAlarmAt(3, sundaySeven, false));

    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    const PendingNotification& n = pending[0];
    EXPECT_EQ(L"\\Windows\\wklmgr.exe", n.application);
    EXPECT_EQ(L"/ID:3", n.arguments);
    EXPECT_EQ(Ticks(At(4, 7, 0)), Ticks(n.start));
    EXPECT_EQ(1, n.start.wDayOfWeek);
    EXPECT_EQ(Ticks(At(4, 7, 5)), Ticks(n.end));  // MaxTime 5
    EXPECT_EQ(n.handle, alarms[3]->AlarmHandle);
    EXPECT_EQ(n.handle, StoredHandle(3));
}

TEST_F(Scheduling, EndTimeFollowsMaxTime)
{
    MaxTime = 30;
    ASSERT_TRUE(ScheduleAlarmAt(0, At(5, 23, 45), false));
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(Ticks(At(6, 0, 15)), Ticks(pending[0].end));
}

TEST_F(Scheduling, ReschedulingReplacesTheAlarmsOwnNotification)
{
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 0), false));
    DWORD first = alarms[2]->AlarmHandle;
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 30), false));
    EXPECT_EQ(first, alarms[2]->AlarmHandle);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(Ticks(At(5, 6, 30)), Ticks(pending[0].start));
}

TEST_F(Scheduling, ForgottenHandleIsReplacedByANewNotification)
{
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 0), false));
    DWORD first = alarms[2]->AlarmHandle;
    CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(first)));

    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 30), false));
    EXPECT_NE(first, alarms[2]->AlarmHandle);
    EXPECT_EQ(alarms[2]->AlarmHandle, StoredHandle(2));
    EXPECT_EQ(1u, PendingNotifications().size());
}

TEST_F(Scheduling, HandleStoredByAnotherProcessIsTheOneReplaced)
{
    ASSERT_TRUE(ScheduleAlarmAt(1, At(5, 6, 0), false));
    DWORD mine = alarms[1]->AlarmHandle;
    // Another process moved the alarm to a notification of its own and
    // stored that handle; our copy is stale.
    DWORD theirs = SetEventNotification(1, At(5, 6, 10));
    ASSERT_NE(0u, theirs);
    WriteDword(HKEY_LOCAL_MACHINE, L"Software\\Hazelmere\\Wakeloom\\Alarms\\1", L"AlarmHandle",
               theirs);
    CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(mine)));

    ASSERT_TRUE(ScheduleAlarmAt(1, At(5, 7, 0), false));
    EXPECT_EQ(theirs, alarms[1]->AlarmHandle);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(Ticks(At(5, 7, 0)), Ticks(pending[0].start));
}

TEST_F(Scheduling, AlarmWithoutDaysIsRefusedWithAMessage)
{
    alarms[5]->Days = 0;
    alarms[5]->AlarmOn = 1;
    alarms[5]->AlarmHandle = 77;
    EXPECT_FALSE(ScheduleAlarmAt(5, At(5, 7, 0), false));
    EXPECT_TRUE(PendingNotifications().empty());
    EXPECT_EQ(77u, alarms[5]->AlarmHandle);

    std::wstring text, caption;
    DialogDriver driver({ [&](HWND box) {
        text = MessageBoxText(box);
        caption = WindowText(box);
        ClickDialogButton(box, IDOK);
    } });
    ScheduleAlarm(5, nullptr);
    EXPECT_EQ(1, driver.dialogsSeen);
    EXPECT_EQ(0, driver.dialogsForced);
    EXPECT_EQ(L"Failed to set alarm!", text);
    EXPECT_EQ(L"Wakeloom", caption);
}

TEST_F(Scheduling, FailedRequestSavesNoHandleAndSaysSo)
{
    ASSERT_TRUE(ScheduleAlarmAt(4, At(5, 6, 0), false));
    {
        BlockedStore blocked;
        EXPECT_FALSE(ScheduleAlarmAt(4, At(5, 6, 30), false));
        EXPECT_EQ(0u, alarms[4]->AlarmHandle);
        EXPECT_EQ(0u, StoredHandle(4));

        DialogDriver driver({ [](HWND box) { ClickDialogButton(box, IDOK); } });
        alarms[4]->AlarmOn = 1;
        RescheduleAllAlarms(nullptr);
        EXPECT_EQ(1, driver.dialogsSeen);

        // A snooze that cannot be set says nothing.
        DialogDriver quiet({});
        ScheduleSnooze(4);
        EXPECT_EQ(0, quiet.dialogsSeen);
    }
}

TEST_F(Scheduling, ClearingAnAlarmWithoutHandleTouchesNothing)
{
    ASSERT_TRUE(ScheduleAlarmAt(0, At(5, 6, 0), false));
    ClearAlarm(7);
    EXPECT_EQ(1u, PendingNotifications().size());
    EXPECT_TRUE(ValueNames(HKEY_LOCAL_MACHINE, L"Software\\Hazelmere\\Wakeloom\\Alarms\\7").empty());

    ClearAlarm(0);
    EXPECT_TRUE(PendingNotifications().empty());
    EXPECT_EQ(0u, alarms[0]->AlarmHandle);
    EXPECT_EQ(0u, StoredHandle(0));
}

TEST_F(Scheduling, RescheduleAllArmsTheArmedAndClearsTheRest)
{
    ASSERT_TRUE(ScheduleAlarmAt(8, At(5, 6, 0), false));
    alarms[8]->AlarmOn = 0;
    alarms[1]->AlarmOn = 1;
    alarms[6]->AlarmOn = 1;
    RescheduleAllAlarms(nullptr);

    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(2u, pending.size());
    EXPECT_NE(0u, alarms[1]->AlarmHandle);
    EXPECT_NE(0u, alarms[6]->AlarmHandle);
    EXPECT_EQ(0u, alarms[8]->AlarmHandle);
    SYSTEMTIME now;
    GetLocalTime(&now);
    for (const PendingNotification& n : pending) {
        // 07:00, within the next day.
        EXPECT_EQ(7, n.start.wHour);
        EXPECT_EQ(0, n.start.wMinute);
        EXPECT_GT(Ticks(n.start), Ticks(now));
        EXPECT_LE(Ticks(n.start), Ticks(now) + TICKS_PER_DAY);
    }
}

TEST_F(Scheduling, SnoozeRingsAfterSnoozeTimeOnAnyDay)
{
    SnoozeTime = 15;
    SYSTEMTIME now;
    GetLocalTime(&now);
    alarms[3]->Days = 1 << ((now.wDayOfWeek + 3) % 7);  // not today
    ScheduleSnooze(3);

    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:3", pending[0].arguments);
    LONGLONG expected = Ticks(now) + 15 * TICKS_PER_MINUTE;
    EXPECT_NEAR(static_cast<double>(expected), static_cast<double>(Ticks(pending[0].start)),
                5.0 * TICKS_PER_SECOND);
    EXPECT_EQ(pending[0].handle, StoredHandle(3));
}

TEST_F(Scheduling, SnoozeReplacesTheAlarmsRegularNotification)
{
    ASSERT_TRUE(ScheduleAlarmAt(3, At(5, 7, 0), false));
    DWORD regular = alarms[3]->AlarmHandle;
    ScheduleSnooze(3);
    EXPECT_EQ(regular, alarms[3]->AlarmHandle);
    EXPECT_EQ(1u, PendingNotifications().size());
}

TEST_F(Scheduling, ChimeRequestsEventTwoFiftyFiveAndReplacesItself)
{
    ASSERT_TRUE(ScheduleChime(nullptr));
    DWORD first = ChimeHandle;
    ASSERT_TRUE(ScheduleChime(nullptr));
    EXPECT_NE(first, ChimeHandle);

    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:255", pending[0].arguments);
    EXPECT_EQ(0, pending[0].start.wMinute);
    EXPECT_EQ(1, pending[0].start.wSecond);

    ClearChime();
    EXPECT_EQ(0u, ChimeHandle);
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Scheduling, CountdownRequestsEventTwoFiftyFourAndKeepsItsFinishTime)
{
    CountdownTime = 10;
    SYSTEMTIME now;
    GetLocalTime(&now);
    ASSERT_TRUE(StartCountdownNotification(nullptr));

    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"/ID:254", pending[0].arguments);
    EXPECT_EQ(pending[0].handle, CountdownHandle);
    LONGLONG finish = static_cast<LONGLONG>((static_cast<ULONGLONG>(CDFTHigh) << 32) | CDFTLow);
    EXPECT_EQ(Ticks(pending[0].start) + 59 * TICKS_PER_SECOND, finish);
    EXPECT_NEAR(static_cast<double>(Ticks(now) + 10 * TICKS_PER_MINUTE),
                static_cast<double>(Ticks(pending[0].start)), 5.0 * TICKS_PER_SECOND);

    ClearCountdownNotification();
    EXPECT_EQ(0u, CountdownHandle);
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Scheduling, FailedCountdownOrChimeSaysSoAndKeepsNoHandle)
{
    ASSERT_TRUE(ScheduleChime(nullptr));
    BlockedStore blocked;
    std::wstring text;
    DialogDriver driver({ [&](HWND box) { text = MessageBoxText(box); ClickDialogButton(box, IDOK); },
                          [](HWND box) { ClickDialogButton(box, IDOK); } });
    EXPECT_FALSE(ScheduleChime(nullptr));
    EXPECT_EQ(0u, ChimeHandle);
    EXPECT_FALSE(StartCountdownNotification(nullptr));
    EXPECT_EQ(0u, CountdownHandle);
    EXPECT_EQ(2, driver.dialogsSeen);
    EXPECT_EQ(L"Failed to set alarm!", text);
}
