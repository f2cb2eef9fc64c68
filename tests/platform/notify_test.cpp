// The notification service: its API, its store, and its scheduler starting
// real programs at their due times.
#include <gtest/gtest.h>

#include "notify.h"
#include "notifystore.h"
#include "testsupport.h"

namespace {

const wchar_t* const kLauncher = L"\\Windows\\wklmgr.exe";

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

    HANDLE Set(const wchar_t* arguments, LONGLONG startMs, LONGLONG endMs = 60000)
    {
        return SetNotificationIn(nullptr, recorder.c_str(), arguments, startMs, endMs);
    }

    // The starts logged once `last` has been started: the scheduler starts
    // in due order, so whatever was to start before it has started by then.
    std::vector<std::wstring> StartsUntil(const wchar_t* last, DWORD timeoutMs = 6000)
    {
        std::vector<std::wstring> arguments;
        PumpUntil([&] {
            arguments.clear();
            for (const RecordedStart& start : ReadRecorderLog(recorder))
                arguments.push_back(start.arguments);
            return !arguments.empty() && arguments.back() == last;
        }, timeoutMs);
        return arguments;
    }

    std::wstring recorder;
};

} // namespace

TEST_F(Notifications, BadRequestsFailAndStoreNothing)
{
    CE_NOTIFICATION_TRIGGER good = MakeTrigger(kLauncher, L"/ID:1", LocalTimeIn(60000),
                                               LocalTimeIn(120000));
    std::wstring tooLong(400, L'a');
    const std::function<void(CE_NOTIFICATION_TRIGGER&)> spoilers[] = {
        [](CE_NOTIFICATION_TRIGGER& t) { t.dwSize = 52; },   // a 32-bit record is short here
        [](CE_NOTIFICATION_TRIGGER& t) { t.dwType = CNT_EVENT; },
        [](CE_NOTIFICATION_TRIGGER& t) { t.lpszApplication = nullptr; },
        [](CE_NOTIFICATION_TRIGGER& t) { t.lpszApplication = const_cast<WCHAR*>(L""); },
        [&](CE_NOTIFICATION_TRIGGER& t) { t.lpszApplication = &tooLong[0]; },
        [](CE_NOTIFICATION_TRIGGER& t) { t.stStartTime.wMonth = 13; },
        [](CE_NOTIFICATION_TRIGGER& t) { t.stStartTime.wMonth = 2; t.stStartTime.wDay = 31; },
        [](CE_NOTIFICATION_TRIGGER& t) { t.stEndTime = LocalTimeIn(30000); },
    };
    for (const auto& spoil : spoilers) {
        CE_NOTIFICATION_TRIGGER t = good;
        spoil(t);
        EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, &t, nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(nullptr, nullptr, nullptr));
    // An unknown handle is not created either.
    EXPECT_EQ(nullptr, CeSetUserNotificationEx(reinterpret_cast<HANDLE>(12345), &good, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Notifications, HandlesAreUniqueNeverReusedAndKeptOnReplace)
{
    HANDLE a = SetNotificationIn(nullptr, kLauncher, L"/ID:1", 600000, 900000);
    HANDLE b = SetNotificationIn(nullptr, kLauncher, L"/ID:2", 600000, 900000);
    ASSERT_NE(nullptr, a);
    EXPECT_NE(a, b);
    EXPECT_TRUE(CeClearUserNotification(b));
    EXPECT_FALSE(CeClearUserNotification(b));
    EXPECT_FALSE(CeClearUserNotification(nullptr));
    HANDLE c = SetNotificationIn(nullptr, kLauncher, L"/ID:3", 600000, 900000);
    EXPECT_GT(Value(c), Value(b));
    EXPECT_EQ(a, SetNotificationIn(a, L"\\Windows\\other.exe", L"/ID:9", 700000, 800000));

    DWORD needed = 0;
    HANDLE handles[2];
    EXPECT_FALSE(CeGetUserNotificationHandles(handles, 1, &needed));
    EXPECT_EQ(2u, needed);
    ASSERT_TRUE(CeGetUserNotificationHandles(handles, 2, &needed));
    EXPECT_EQ(a, handles[0]);
    EXPECT_EQ(c, handles[1]);
    std::vector<PendingNotification> pending = PendingNotifications();
    ASSERT_EQ(2u, pending.size());
    EXPECT_EQ(L"\\Windows\\other.exe", pending[0].application);
    EXPECT_EQ(L"/ID:9", pending[0].arguments);

    DWORD bytes = 0;
    EXPECT_FALSE(CeGetUserNotification(a, 10, &bytes, nullptr));
    EXPECT_GT(bytes, 10u);
    EXPECT_FALSE(CeGetUserNotification(reinterpret_cast<HANDLE>(999), 0, &bytes, nullptr));
}

TEST_F(Notifications, DamagedStoreReadsAsEmptyAndHandlesGoOn)
{
    HANDLE old = SetNotificationIn(nullptr, kLauncher, L"/ID:1", 600000, 900000);
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
    HANDLE fresh = SetNotificationIn(nullptr, kLauncher, L"/ID:2", 600000, 900000);
    EXPECT_EQ(1u, PendingNotifications().size());
    // Handles do not start over: alarm records may still hold the old ones.
    EXPECT_GT(Value(fresh), Value(old));
}

TEST_F(Delivery, DueNotificationStartsItsApplicationOnceAndOnTime)
{
    SYSTEMTIME due = LocalTimeIn(2000);
    CE_NOTIFICATION_TRIGGER trigger = MakeTrigger(recorder.c_str(), L"/ID:3", due,
                                                  LocalTimeIn(62000));
    ASSERT_NE(nullptr, CeSetUserNotificationEx(nullptr, &trigger, nullptr));
    Set(L"after", 3000);
    EXPECT_EQ((std::vector<std::wstring>{ L"/ID:3", L"after" }), StartsUntil(L"after"));
    LONGLONG delayMs = (static_cast<LONGLONG>(ReadRecorderLog(recorder)[0].localTicks)
                        - Ticks(due)) / 10000;
    EXPECT_GE(delayMs, 0);
    EXPECT_LT(delayMs, 1000);
    EXPECT_TRUE(PendingNotifications().empty());
}

TEST_F(Delivery, ClearedNeverFiresAndReplacedFiresOnlyAtItsNewTime)
{
    ASSERT_TRUE(CeClearUserNotification(Set(L"cleared", 1000)));
    HANDLE moved = Set(L"old", 1200);
    ASSERT_EQ(moved, SetNotificationIn(moved, recorder.c_str(), L"new", 2500, 60000));
    Set(L"between", 1800);
    EXPECT_EQ((std::vector<std::wstring>{ L"between", L"new" }), StartsUntil(L"new"));
}

TEST_F(Delivery, OverdueFiresAtOnceWithinItsEndTimeOnlyAndAllDueStartInOrder)
{
    Set(L"expired", -120000, -60000);
    Set(L"late", -10000);
    Set(L"b", 1200);
    Set(L"a", 1000);
    Set(L"c", 1400);
    EXPECT_EQ((std::vector<std::wstring>{ L"late", L"a", L"b", L"c" }), StartsUntil(L"c"));
    EXPECT_TRUE(PendingNotifications().empty());
}
