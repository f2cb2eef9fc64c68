// The notification store's codec over given bytes.
#include <gtest/gtest.h>

#include <string.h>

#include "notifyrecord.h"

namespace {

StoredNotification Record(DWORD handle, const char16_t* arguments)
{
    StoredNotification n = {};
    n.handle = handle;
    n.start = { 2027, 3, 0, 28, 2, 0, 30, 0 };
    n.end = { 2027, 3, 0, 28, 2, 5, 30, 0 };
    std::u16string app = u"\\Windows\\wklmgr.exe";
    std::copy(app.begin(), app.end(), n.application);
    std::u16string args = arguments;
    std::copy(args.begin(), args.end(), n.arguments);
    return n;
}

} // namespace

TEST(NotificationStore, RoundTripsAndKeepsTheFileLayout)
{
    NotificationStore store = { 42, { Record(7, u"/ID:2"), Record(9, u"/ID:255") } };
    std::vector<BYTE> bytes = EncodeNotificationStore(store);
    ASSERT_EQ(20u + 2 * 1076u, bytes.size());
    EXPECT_EQ(0, memcmp(bytes.data(), "WKNS", 4));
    NotificationStore read = { 1, {} };
    ASSERT_TRUE(DecodeNotificationStore(bytes.data(), bytes.size(), &read));
    EXPECT_EQ(42u, read.nextHandle);
    ASSERT_EQ(2u, read.pending.size());
    EXPECT_EQ(9u, read.pending[1].handle);
    EXPECT_EQ(std::u16string(u"/ID:255"), std::u16string(read.pending[1].arguments));
    EXPECT_EQ(28, read.pending[0].start.wDay);
    EXPECT_EQ(5, read.pending[0].end.wMinute);
}

TEST(NotificationStore, DamageIsRefusedButTheHandlesGoOn)
{
    NotificationStore store = { 42, { Record(7, u"/ID:2") } };
    std::vector<BYTE> good = EncodeNotificationStore(store);
    const std::function<void(std::vector<BYTE>&)> damages[] = {
        [](std::vector<BYTE>& b) { b[40] ^= 1; },
        [](std::vector<BYTE>& b) { b.resize(b.size() - 1); },
        [](std::vector<BYTE>& b) { b[12] = 2; },   // a count the bytes do not hold
    };
    for (const auto& damage : damages) {
        std::vector<BYTE> bytes = good;
        damage(bytes);
        NotificationStore read = { 1, {} };
        EXPECT_FALSE(DecodeNotificationStore(bytes.data(), bytes.size(), &read));
        EXPECT_TRUE(read.pending.empty());
        EXPECT_EQ(42u, read.nextHandle);
    }
    NotificationStore read = { 1, {} };
    EXPECT_FALSE(DecodeNotificationStore(good.data(), 10, &read));
    EXPECT_EQ(1u, read.nextHandle);
}
