// The notification service: its API, its store, and its scheduler starting
// real programs at their due times.
#include <gtest/gtest.h>

#include "notify.h"
#include "notifystore.h"
#include "testsupport.h"

namespace {

HANDLE Set(HANDLE handle, const wchar_t* application, const wchar_t* arguments, LONGLONG startMs,
           LONGLONG endMs)
{
    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof(trigger);
    trigger.dwType = CNT_TIME;
    trigger.lpszApplication = const_cast<WCHAR*>(application);
    trigger.lpszArguments = const_cast<WCHAR*>(arguments);
    trigger.stStartTime = LocalTimeIn(startMs);
    trigger.stEndTime = LocalTimeIn(endMs);
    CE_USER_NOTIFICATION user = {};
    return CeSetUserNotificationEx(handle, &trigger, &user);
}

DWORD Value(HANDLE handle)
{
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(handle));
}

class Notifications : public ::testing::Test {
protected:
    void SetUp() override { ClearAllNotifications(); }
    void TearDown() override { ClearAllNotifications(); }
};

// The scheduler starts the event recorder; its log says when.
class Delivery : public Notifications {
protected:
    void SetUp() override
    {
        Notifications::SetUp();
        recorder = ProgramPath(L"eventrecorder.exe");
        ClearRecorderLog(recorder);
        ASSERT_TRUE(EnsureNotificationSchedulerRunning());
    }
    void TearDown() override
    {
        ClearRecorderLog(recorder);
        Notifications::TearDown();
    }

    std::vector<RecordedStart> WaitForStarts(size_t count, DWORD timeoutMs)
    {
        std::vector<RecordedStart> starts;
        PumpUntil([&] { starts = ReadRecorderLog(recorder); return starts.size() >= count; },
                  timeoutMs);
        return starts;
    }

    std::wstring recorder;
};

} // namespace

TEST_F(Notifications, BadRequestsFailAndStoreNothing)
{
    CE_NOTIFICATION_TRIGGER good = {};
    good.dwSize = sizeof(good);
    good.dwType = CNT_TIME;
    good.lpszApplication = const_cast<WCHAR*>(L"\\Windows\\wklmgr.exe");
    good.lpszArguments = const_cast<WCHAR*>(L"/ID:1");
    good.stStartTime = LocalTimeIn(60000);
    good.stEndTime = LocalTimeIn(120000);

    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    CE_NOTIFICATION_TRIGGER t = good;
    t.dwSize = 52;  // a 32-bit record is short here
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t = good;
    t.dwType = CNT_EVENT;
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t = good;
    t.lpszApplication = nullptr;
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t.lpszApplication = const_cast<WCHAR*>(L"");
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    std::wstring tooLong(400, L'a');
    t.lpszApplication = &tooLong[0];
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t = good;
    t.stStartTime.wMonth = 13;
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t = good;
    t.stStartTime.wDay = 31;
    t.stStartTime.wMonth = 2;
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    t = good;
    t.stEndTime = LocalTimeIn(30000);  // ends before it starts
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
    // An unknown handle is not created either.
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(reinterpret_cast<HANDLE>(12345), &good, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    EXPECT_TRUE(PendingNotifications().empty());
    EXPECT_NE(nullptr, CeSetUserNotificationEx(nullptr, &good, nullptr));
}

TEST_F(Notifications, HandlesAreUniqueAndNeverReused)
{
    HANDLE a = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:1", 600000, 900000);
    HANDLE b = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:2", 600000, 900000);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_NE(a, b);
    EXPECT_TRUE(CeClearUserNotification(b));
    HANDLE c = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:3", 600000, 900000);
    EXPECT_GT(Value(c), Value(b));

    EXPECT_FALSE(CeClearUserNotification(b));
    EXPECT_FALSE(CeClearUserNotification(nullptr));

    DWORD needed = 0;
    HANDLE one[1];
    EXPECT_FALSE(CeGetUserNotificationHandles(one, 1, &needed));
    EXPECT_EQ(2u, needed);
    HANDLE two[2];
    ASSERT_TRUE(CeGetUserNotificationHandles(two, 2, &needed));
    EXPECT_EQ(a, two[0]);
    EXPECT_EQ(c, two[1]);
}

TEST_F(Notifications, ReplacingKeepsTheHandleAndTakesTheNewRecord)
{
    HANDLE a = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:1", 600000, 900000);
    HANDLE same = Set(a, L"\\Windows\\other.exe", L"/ID:9", 700000, 800000);
    EXPECT_EQ(a, same);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(1u, pending.size());
    EXPECT_EQ(L"\\Windows\\other.exe", pending[0].application);
    EXPECT_EQ(L"/ID:9", pending[0].arguments);

    DWORD bytes = 0;
    EXPECT_FALSE(CeGetUserNotification(a, 10, &bytes, nullptr));
    EXPECT_GT(bytes, 10u);
    EXPECT_FALSE(CeGetUserNotification(reinterpret_cast<HANDLE>(999), 0, &bytes, nullptr));
}

TEST_F(Notifications, DamagedStoreReadsAsEmptyAndRecovers)
{
    HANDLE old = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:1", 600000, 900000);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(NotificationStorePath(path, MAX_PATH));
    HANDLE lock = LockNotificationStore();  // the scheduler may be reading it
    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 40, nullptr, FILE_BEGIN);
    DWORD written;
    WriteFile(file, "garbage", 7, &written, nullptr);
    CloseHandle(file);
    UnlockNotificationStore(lock);

    EXPECT_TRUE(PendingNotifications().empty());
    HANDLE fresh = Set(nullptr, L"\\Windows\\wklmgr.exe", L"/ID:2", 600000, 900000);
    EXPECT_NE(nullptr, fresh);
    EXPECT_EQ(1u, PendingNotifications().size());
    // Handles do not start over: alarm records may still hold the old ones.
    EXPECT_GT(Value(fresh), Value(old));
}

TEST_F(Delivery, DueNotificationStartsItsApplicationOnceAndOnTime)
{
    SYSTEMTIME due = LocalTimeIn(2000);
    CE_NOTIFICATION_TRIGGER trigger = {};
    trigger.dwSize = sizeof(trigger);
    trigger.dwType = CNT_TIME;
    trigger.lpszApplication = &recorder[0];
    trigger.lpszArguments = const_cast<WCHAR*>(L"/ID:3");
    trigger.stStartTime = due;
    trigger.stEndTime = LocalTimeIn(62000);
    ASSERT_NE(nullptr, CeSetUserNotificationEx(nullptr, &trigger, nullptr));

    std::vector<RecordedStart> starts = WaitForStarts(1, 6000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"/ID:3", starts[0].arguments);
    FILETIME dueFt;
    SystemTimeToFileTime(&due, &dueFt);
    LONGLONG dueTicks = static_cast<LONGLONG>((static_cast<ULONGLONG>(dueFt.dwHighDateTime) << 32)
                                              | dueFt.dwLowDateTime);
    LONGLONG delayMs = (static_cast<LONGLONG>(starts[0].localTicks) - dueTicks) / 10000;
    EXPECT_GE(delayMs, 0);
    EXPECT_LT(delayMs, 1000);
    EXPECT_TRUE(PendingNotifications().empty());

    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(1u, ReadRecorderLog(recorder).size());
}

TEST_F(Delivery, ClearedNotificationNeverFires)
{
    HANDLE h = Set(nullptr, recorder.c_str(), L"cleared", 1000, 60000);
    ASSERT_TRUE(CeClearUserNotification(h));
    PumpUntil([] { return false; }, 2500);
    EXPECT_TRUE(ReadRecorderLog(recorder).empty());
}

TEST_F(Delivery, ReplacedNotificationFiresOnlyAtItsNewTime)
{
    HANDLE h = Set(nullptr, recorder.c_str(), L"old", 1000, 60000);
    ULONGLONG replacedAt = LocalNowTicks();
    ASSERT_EQ(h, Set(h, recorder.c_str(), L"new", 3000, 60000));
    PumpUntil([] { return false; }, 2000);
    EXPECT_TRUE(ReadRecorderLog(recorder).empty());
    std::vector<RecordedStart> starts = WaitForStarts(1, 5000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"new", starts[0].arguments);
    EXPECT_GE(starts[0].localTicks, replacedAt + 3000 * 10000ULL - 10000);
}

TEST_F(Delivery, OverdueNotificationFiresAtOnceWithinItsEndTimeOnly)
{
    Set(nullptr, recorder.c_str(), L"late", -10000, 60000);
    Set(nullptr, recorder.c_str(), L"expired", -120000, -60000);
    std::vector<RecordedStart> starts = WaitForStarts(1, 3000);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ(L"late", starts[0].arguments);
    PumpUntil([] { return false; }, 1000);
    EXPECT_EQ(1u, ReadRecorderLog(recorder).size());
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Delivery, SeveralDueTogetherAllStartInOrder)
{
    Set(nullptr, recorder.c_str(), L"b", 1200, 60000);
    Set(nullptr, recorder.c_str(), L"a", 1000, 60000);
    Set(nullptr, recorder.c_str(), L"c", 1400, 60000);
    std::vector<RecordedStart> starts = WaitForStarts(3, 5000);
    ASSERT_EQ(3u, starts.size());
    EXPECT_EQ(L"a", starts[0].arguments);
    EXPECT_EQ(L"b", starts[1].arguments);
    EXPECT_EQ(L"c", starts[2].arguments);
}
