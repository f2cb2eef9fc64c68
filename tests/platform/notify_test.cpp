// The notification service: its API, its store, and its scheduler starting
// real programs at their due times.
#include <gtest/gtest.h>

#include <functional>

#include "notify.h"
#include "notifystore.h"
#include "soundtest.h"
#include "testsupport.h"

namespace {

const wchar_t* const kLauncher = L"\\Windows\\wklmgr.exe";

// Rewrites one of the store's files under its lock, as damage would.
void DamageStoreFile(const wchar_t* name, const std::function<void(std::vector<BYTE>&)>& damage)
{
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(NotificationFilePath(name, path, MAX_PATH));
    HANDLE lock = LockNotificationStore();  // the scheduler may be reading it
    std::vector<BYTE> bytes = ReadBytes(path);
    damage(bytes);
    EXPECT_TRUE(WriteBytes(path, bytes));
    UnlockNotificationStore(lock);
}

std::vector<DWORD> PendingHandles()
{
    std::vector<DWORD> handles;
    for (const PendingNotification& n : PendingNotifications())
        handles.push_back(n.handle);
    return handles;
}

// Where the second record of a store file starts: after the header and the first.
const size_t kSecondRecord = 32 + 1080;

// The scheduler starts the event recorder; its log says when.
class Notifications : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearAllNotifications();
        ClearRecorderLog(recorder);
        ASSERT_TRUE(EnsureNotificationSchedulerRunning());
    }
    void TearDown() override
    {
        ClearRecorderLog(recorder);
        ClearAllNotifications();
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

    std::wstring recorder = ProgramPath(L"eventrecorder.exe");
};

} // namespace

TEST_F(Notifications, BadRequestsAndOnesPastTheLimitFailAndClearedHandlesAreNeverReused)
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

    // A cleared handle is gone for good. (Listing, replacing and reading
    // back are used by every test that looks at the store.)
    HANDLE a = SetNotificationIn(nullptr, kLauncher, L"/ID:1", 600000, 900000);
    ASSERT_NE(nullptr, a);
    EXPECT_TRUE(CeClearUserNotification(a));
    EXPECT_FALSE(CeClearUserNotification(a));
    EXPECT_FALSE(CeClearUserNotification(nullptr));
    DWORD bytes = 0;
    EXPECT_FALSE(CeGetUserNotification(a, 0, &bytes, nullptr));
    EXPECT_GT(HandleToULong(SetNotificationIn(nullptr, kLauncher, L"/ID:2", 600000, 900000)),
              HandleToULong(a));

    // A full store refuses a new request and keeps the rest.
    NotificationStore full = { 1000 + STORE_MAX_NOTIFICATIONS, {} };
    for (DWORD i = 0; i < STORE_MAX_NOTIFICATIONS; i++)
        full.pending.push_back({ 1000 + i, LocalTimeIn(3600000), LocalTimeIn(3900000), L"\\Windows\\wklmgr.exe", L"/ID:1" });
    HANDLE lock = LockNotificationStore();
    ASSERT_TRUE(WriteNotificationStore(full));
    UnlockNotificationStore(lock);

    EXPECT_EQ(nullptr, SetNotificationIn(nullptr, kLauncher, L"/ID:2", 600000, 900000));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA), GetLastError());
    DWORD needed = 0;
    CeGetUserNotificationHandles(nullptr, 0, &needed);
    EXPECT_EQ(static_cast<DWORD>(STORE_MAX_NOTIFICATIONS), needed);
    // A replacement still fits, and room made is room to use.
    EXPECT_NE(nullptr, SetNotificationIn(reinterpret_cast<HANDLE>(1000), kLauncher, L"/ID:3", 600000, 900000));
    EXPECT_TRUE(CeClearUserNotification(reinterpret_cast<HANDLE>(1001)));
    EXPECT_NE(nullptr, SetNotificationIn(nullptr, kLauncher, L"/ID:2", 600000, 900000));
}

TEST_F(Notifications, DamagedStoreIsRecoveredFromItsCopyAndTheDamageLogged)
{
    std::vector<DWORD> set;
    for (const wchar_t* arguments : { L"/ID:1", L"/ID:2", L"/ID:3" })
        set.push_back(HandleToULong(SetNotificationIn(nullptr, kLauncher, arguments, 600000, 900000)));
    wchar_t kept[MAX_PATH];
    NotificationFilePath(STORE_DAMAGED, kept, MAX_PATH);
    // A truncated file: NotificationStore.DamageLosesOnlyTheRecordsItTouches.
    const std::pair<const char*, std::function<void(std::vector<BYTE>&)>> damages[] = {
        { "a byte of unused text", [](std::vector<BYTE>& b) { b[kSecondRecord + 900] ^= 4; } },
        { "empty", [](std::vector<BYTE>& b) { b.clear(); } },
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        ClearNotificationLog();
        DamageStoreFile(STORE_FILE, damage);
        EXPECT_EQ(set, PendingHandles());
        EXPECT_NE(std::string::npos, ReadNotificationLog().find("notification store damaged"));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept));  // the evidence
    }

    // Both copies damaged in the same record: that one alone is lost.
    for (const wchar_t* file : { STORE_FILE, STORE_COPY_FILE })
        DamageStoreFile(file, [](std::vector<BYTE>& b) { b[kSecondRecord + 40] ^= 1; });
    EXPECT_EQ((std::vector<DWORD>{ set[0], set[2] }), PendingHandles());
}


// Past its start by more than a minute and past its end, a notification
// still starts, marked as expired, so no chain of events ends with it. One
// due starts within a second of its time, never before.
TEST_F(Notifications, DueOnesStartOnTimeOnceInDueOrderAndClearedOrMovedOnesAsAsked)
{
    Set(L"expired", -120000, -60000);
    Set(L"late", -10000);
    ASSERT_TRUE(CeClearUserNotification(Set(L"cleared", 1000)));
    HANDLE moved = Set(L"old", 1200);
    ULONGLONG movedDue = LocalNowTicks() + 2500 * 10000;
    ASSERT_EQ(moved, SetNotificationIn(moved, recorder.c_str(), L"moved", 2500, 60000));
    Set(L"b", 1600);
    Set(L"a", 1200);
    Set(L"no ring time", 1400, 1400);
    ASSERT_EQ((std::vector<std::wstring>{ L"/EXPIRED expired", L"late", L"a", L"no ring time",
                                          L"b", L"moved" }),
              StartsUntil(L"moved"));
    EXPECT_LT(ReadRecorderLog(recorder).back().localTicks - movedDue, 10000000u);
    // Each is removed once its program has ended, just after it logged the start.
    EXPECT_TRUE(PumpUntil([] { return PendingNotifications().empty(); }, 5000));
}

TEST_F(Notifications, NotificationIsStartedOnceWhenTheStoreCannotBeRewritten)
{
    Set(L"first", 1000);
    Set(L"second", 2500);
    {
        BlockedStore blocked;
        EXPECT_EQ((std::vector<std::wstring>{ L"first", L"second" }), StartsUntil(L"second"));
    }
    EXPECT_TRUE(PumpUntil([] { return PendingNotifications().empty(); }, 5000));
    EXPECT_NE(std::string::npos, ReadNotificationLog().find("are not started again"));
}

