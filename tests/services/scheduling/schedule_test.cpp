// The requests the scheduling code hands to the system, read back through
// the notification API from the real store.
#include <gtest/gtest.h>

#include "alarmrequests.h"
#include "alarms.h"
#include "alarmtime.h"
#include "schedule.h"
#include "settings.h"
#include "soundtest.h"
#include "testsupport.h"

#include <strsafe.h>

#include "notifystore.h"

namespace {

// Far enough ahead that nothing fires during the test.
SYSTEMTIME At(int day, int hour, int minute)
{
    return MakeTime(2030, 3, day, hour, minute);
}

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

    static PendingNotification OnlyPending()
    {
        std::vector<PendingNotification> pending = PendingNotifications();
        EXPECT_EQ(1u, pending.size());
        return pending.empty() ? PendingNotification() : pending[0];
    }
};

} // namespace

TEST_F(Scheduling, RequestIsForTheLauncherAtTheAlarmsTimeAndReplacesTheHandleTheRegistryHolds)
{
    // 2 March 2030 is a Saturday.
    alarms[3]->Days = 1 << 1;
    alarms[3]->AlarmOn = 1;
    ASSERT_TRUE(ScheduleAlarmAt(3, NextAlarmTime(*alarms[3], At(2, 8, 0)), false));
    PendingNotification n = OnlyPending();
    EXPECT_EQ(L"/ID:3", n.arguments);
    EXPECT_EQ(Ticks(At(4, 7, 0)), Ticks(n.start));
    EXPECT_EQ(Ticks(At(4, 7, 5)), Ticks(n.end));  // MaxTime 5
    EXPECT_EQ(n.handle, alarms[3]->AlarmHandle);
    EXPECT_EQ(n.handle, StoredDword(AlarmKeyPath(3).c_str(), L"AlarmHandle"));

    // Moved, it keeps its notification.
    settings.MaxTime = 30;
    ASSERT_TRUE(ScheduleAlarmAt(3, At(4, 23, 45), false));
    EXPECT_EQ(n.handle, alarms[3]->AlarmHandle);
    EXPECT_EQ(Ticks(At(4, 23, 45)), Ticks(OnlyPending().start));
    EXPECT_EQ(Ticks(At(5, 0, 15)), Ticks(OnlyPending().end));

    // Another process moved the alarm to a notification of its own and
    // stored that handle; our copy is stale.
    DWORD theirs = SetEventNotification(3, At(4, 6, 10));
    WriteDword(AlarmKeyPath(3).c_str(), L"AlarmHandle", theirs);
    CeClearUserNotification(ULongToHandle(n.handle));
    ASSERT_TRUE(ScheduleAlarmAt(3, At(4, 7, 30), false));
    EXPECT_EQ(theirs, alarms[3]->AlarmHandle);
    EXPECT_EQ(Ticks(At(4, 7, 30)), Ticks(OnlyPending().start));

    // A handle the system forgot is replaced by a new notification.
    CeClearUserNotification(ULongToHandle(theirs));
    ASSERT_TRUE(ScheduleAlarmAt(3, At(4, 8, 0), false));
    EXPECT_NE(theirs, alarms[3]->AlarmHandle);
    EXPECT_EQ(alarms[3]->AlarmHandle, OnlyPending().handle);
}

// Rescheduling all arms the armed alarms and clears the rest. One with no
// day to ring on, or at an hour that does not exist, is not reported as set;
// the user is told once, by name, unless the program is ending.
TEST_F(Scheduling, RescheduleAllArmsTheArmedClearsTheRestAndNamesWhatCanNeverRing)
{
    ASSERT_TRUE(ScheduleAlarmAt(8, At(5, 6, 0), false));
    alarms[8]->AlarmOn = 0;
    alarms[1]->AlarmOn = 1;
    for (int i : { 5, 6 }) {
        alarms[i]->AlarmOn = 1;
        alarms[i]->AlarmHandle = 77;
    }
    alarms[5]->AThour = 25;
    EXPECT_FALSE(ScheduleAlarmAt(5, NextAlarmTime(*alarms[5], At(5, 7, 0)), false));
    alarms[5]->Days = 0;
    alarms[6]->Days = 0;
    StringCchCopyW(alarms[6]->AlarmName, ALARM_NAME_UNITS, L"Gym");
    EXPECT_FALSE(ScheduleAlarmAt(5, At(5, 7, 0), false));
    EXPECT_EQ(77u, alarms[5]->AlarmHandle);

    DialogDriver driver({ AnswerMessageBox(nullptr) });
    RescheduleAllAlarms(nullptr);   // at exit: nothing may hold the program up
    EXPECT_EQ(0, driver.dialogsSeen);
    HWND owner = CreateStandInWindow(L"Owner", L"Owner");
    std::wstring text;
    DialogDriver told({ AnswerMessageBox(&text) });
    RescheduleAllAlarms(owner);
    EXPECT_EQ(1, told.dialogsSeen);
    EXPECT_NE(std::wstring::npos, text.find(L"Alarm 6")) << Narrow(text);
    EXPECT_NE(std::wstring::npos, text.find(L"Gym")) << Narrow(text);
    DestroyWindow(owner);
    EXPECT_EQ(L"/ID:1", OnlyPending().arguments);
    EXPECT_EQ(0u, alarms[8]->AlarmHandle);
    EXPECT_EQ(0u, StoredDword(AlarmKeyPath(8).c_str(), L"AlarmHandle"));
}

// While the store cannot be written nothing is lost: a request or a clear
// that fails keeps the handle it had, and the next reschedule, once the
// store can be written, leaves exactly what is wanted.
TEST_F(Scheduling, FailedRequestOrClearKeepsTheHandleAndIsDoneWhenTheStoreIsBack)
{
    ASSERT_TRUE(ScheduleAlarmAt(4, At(5, 6, 0), false));
    ASSERT_TRUE(ScheduleAlarmAt(7, At(5, 6, 0), false));
    DWORD four = alarms[4]->AlarmHandle, seven = alarms[7]->AlarmHandle;
    {
        BlockedStore blocked;
        EXPECT_FALSE(ScheduleAlarmAt(4, At(5, 6, 30), false));
        EXPECT_FALSE(ScheduleSnooze(4));
        EXPECT_FALSE(ClearAlarm(7));
        // The countdown and the chime say so and keep no handle.
        DialogDriver driver(std::vector<DialogStep>(2, AnswerMessageBox(nullptr)));
        EXPECT_FALSE(ScheduleChime(nullptr));
        EXPECT_FALSE(StartCountdownNotification(nullptr));
        EXPECT_EQ(2, driver.dialogsSeen);
        EXPECT_EQ(0u, settings.ChimeHandle + settings.CountdownHandle);
    }
    EXPECT_EQ(four, alarms[4]->AlarmHandle);
    EXPECT_EQ(four, StoredDword(AlarmKeyPath(4).c_str(), L"AlarmHandle"));
    EXPECT_EQ(seven, alarms[7]->AlarmHandle);
    EXPECT_EQ(2u, PendingNotifications().size());

    alarms[4]->AlarmOn = 1;
    RescheduleAllAlarms(nullptr);
    PendingNotification n = OnlyPending();
    EXPECT_EQ(L"/ID:4", n.arguments);
    EXPECT_EQ(four, n.handle);
    EXPECT_EQ(0u, StoredDword(AlarmKeyPath(7).c_str(), L"AlarmHandle"));

    // With a folder where the store's file goes, every request reads a
    // damaged store and fails to write it back: the log says so once, not
    // at every try.
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(NotificationFilePath(STORE_FILE, path, MAX_PATH));
    ASSERT_TRUE(DeleteFileW(path) && CreateDirectoryW(path, nullptr));
    ClearNotificationLog();
    for (int i = 0; i < 5; i++)
        EXPECT_FALSE(ScheduleAlarmAt(4, At(5, 6, i), false));
    // (The scheduler, reading the same store meanwhile, logs on its own.)
    std::string log = ReadNotificationLog();
    int ours = 0;
    for (size_t at = 0; (at = log.find("scheduling_tests.exe:", at)) != std::string::npos; at++)
        ours++;
    EXPECT_GE(2, ours) << log;
    RemoveDirectoryW(path);
}
