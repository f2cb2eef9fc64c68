// The requests the scheduling code hands to the system, read back through
// the notification API from the real store.
#include <gtest/gtest.h>

#include "alarms.h"
#include "alarmtime.h"
#include "schedule.h"
#include "settings.h"
#include "testsupport.h"

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

TEST_F(Scheduling, MondayAlarmArmedOnSaturdayRequestsTheLauncherOnMonday)
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

    MaxTime = 30;
    ASSERT_TRUE(ScheduleAlarmAt(3, At(4, 23, 45), false));
    EXPECT_EQ(Ticks(At(5, 0, 15)), Ticks(OnlyPending().end));
}

TEST_F(Scheduling, RequestsReplaceTheHandleTheRegistryHolds)
{
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 0), false));
    DWORD first = alarms[2]->AlarmHandle;
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 6, 30), false));
    EXPECT_EQ(first, alarms[2]->AlarmHandle);
    EXPECT_EQ(Ticks(At(5, 6, 30)), Ticks(OnlyPending().start));

    // Another process moved the alarm to a notification of its own and
    // stored that handle; our copy is stale.
    DWORD theirs = SetEventNotification(2, At(5, 6, 10));
    WriteDword(AlarmKeyPath(2).c_str(), L"AlarmHandle", theirs);
    CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(first)));
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 7, 0), false));
    EXPECT_EQ(theirs, alarms[2]->AlarmHandle);
    EXPECT_EQ(Ticks(At(5, 7, 0)), Ticks(OnlyPending().start));

    // A handle the system forgot is replaced by a new notification.
    CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(theirs)));
    ASSERT_TRUE(ScheduleAlarmAt(2, At(5, 7, 30), false));
    EXPECT_NE(theirs, alarms[2]->AlarmHandle);
    EXPECT_EQ(alarms[2]->AlarmHandle, OnlyPending().handle);
}

// No day to ring on, or an hour that does not exist: not reported as set.
TEST_F(Scheduling, AlarmThatCanNeverRingIsRefusedWithAMessage)
{
    alarms[5]->AlarmOn = 1;
    alarms[5]->AlarmHandle = 77;
    alarms[5]->AThour = 25;
    EXPECT_FALSE(ScheduleAlarmAt(5, NextAlarmTime(*alarms[5], At(5, 7, 0)), false));
    alarms[5]->Days = 0;
    EXPECT_FALSE(ScheduleAlarmAt(5, At(5, 7, 0), false));
    EXPECT_EQ(77u, alarms[5]->AlarmHandle);
    std::wstring text;
    DialogDriver driver({ AnswerMessageBox(&text) });
    ScheduleAlarm(5, nullptr);
    EXPECT_EQ(1, driver.dialogsSeen);
    EXPECT_EQ(L"Failed to set alarm!", text);
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Scheduling, FailedRequestSavesNoHandleAndSaysSoButASnoozeIsQuiet)
{
    ASSERT_TRUE(ScheduleAlarmAt(4, At(5, 6, 0), false));
    BlockedStore blocked;
    EXPECT_FALSE(ScheduleAlarmAt(4, At(5, 6, 30), false));
    EXPECT_EQ(0u, alarms[4]->AlarmHandle);
    EXPECT_EQ(0u, StoredDword(AlarmKeyPath(4).c_str(), L"AlarmHandle"));

    alarms[4]->AlarmOn = 1;
    DialogDriver driver({ AnswerMessageBox(nullptr), AnswerMessageBox(nullptr),
                          AnswerMessageBox(nullptr) });
    RescheduleAllAlarms(nullptr);
    EXPECT_EQ(1, driver.dialogsSeen);
    ScheduleSnooze(4);
    EXPECT_EQ(1, driver.dialogsSeen);
    // The countdown and the chime say so as well and keep no handle.
    EXPECT_FALSE(ScheduleChime(nullptr));
    EXPECT_FALSE(StartCountdownNotification(nullptr));
    EXPECT_EQ(3, driver.dialogsSeen);
    EXPECT_EQ(0u, ChimeHandle + CountdownHandle);
}

TEST_F(Scheduling, RescheduleAllArmsTheArmedAndClearsTheRest)
{
    ASSERT_TRUE(ScheduleAlarmAt(8, At(5, 6, 0), false));
    alarms[8]->AlarmOn = 0;
    alarms[1]->AlarmOn = 1;
    RescheduleAllAlarms(nullptr);
    EXPECT_EQ(L"/ID:1", OnlyPending().arguments);
    EXPECT_EQ(0u, alarms[8]->AlarmHandle);
    EXPECT_EQ(0u, StoredDword(AlarmKeyPath(8).c_str(), L"AlarmHandle"));
}
