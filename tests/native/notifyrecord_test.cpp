// The notification store's codec over given bytes.
#include <gtest/gtest.h>

#include <functional>

#include "notifyrecord.h"

namespace {

const size_t kHeader = 32;
const size_t kRecord = 1080;

StoredNotification Record(DWORD handle)
{
    return { handle, { 2027, 3, 0, 28, 2, 0, 30, 0 }, { 2027, 3, 0, 28, 2, 5, 30, 0 },
             u"\\Windows\\wklmgr.exe", u"/ID:2" };
}

NotificationStore ThreeRecords()
{
    return { 42, { Record(7), Record(9), Record(11) }, 5 };
}

std::vector<DWORD> Handles(const NotificationStore& store)
{
    std::vector<DWORD> handles;
    for (const StoredNotification& n : store.pending)
        handles.push_back(n.handle);
    return handles;
}

} // namespace

// Each damage loses at most the records it touches; the header's handles
// and generation survive unless the header itself is hit.
TEST(NotificationStore, DamageLosesOnlyTheRecordsItTouches)
{
    const std::vector<BYTE> good = EncodeNotificationStore(ThreeRecords());
    struct Case {
        const char* name;
        std::function<void(std::vector<BYTE>&)> damage;
        std::vector<DWORD> kept;
        DWORD damaged;
        bool headerRead;
    };
    const Case cases[] = {
        { "text padding of the second", [](std::vector<BYTE>& b) { b[kHeader + kRecord + 900] ^= 1; },
          { 7, 11 }, 1, true },
        { "handle of the first", [](std::vector<BYTE>& b) { b[kHeader] ^= 0x80; }, { 9, 11 }, 1, true },
        { "checksum of the last", [](std::vector<BYTE>& b) { b[b.size() - 1] ^= 1; }, { 7, 9 }, 1, true },
        { "truncated by one byte", [](std::vector<BYTE>& b) { b.pop_back(); }, { 7, 9 }, 1, true },
        { "truncated to the header", [](std::vector<BYTE>& b) { b.resize(kHeader); }, {}, 3, true },
        { "empty", [](std::vector<BYTE>& b) { b.clear(); }, {}, 0, false },
        { "header's count", [](std::vector<BYTE>& b) { b[16] = 2; }, { 7, 9, 11 }, 0, false },
        { "magic", [](std::vector<BYTE>& b) { b[0] = 'X'; }, { 7, 9, 11 }, 0, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BYTE> bytes = good;
        c.damage(bytes);
        NotificationStore read = { 1, {} };
        StoreDecodeReport report;
        EXPECT_FALSE(DecodeNotificationStore(bytes.data(), bytes.size(), &read, &report));
        EXPECT_EQ(c.kept, Handles(read));
        EXPECT_EQ(c.damaged, report.damaged);
        EXPECT_EQ(c.headerRead, report.headerRead);
        // Handles go on past the header's or every handle read.
        EXPECT_EQ(c.headerRead ? 42u : (c.kept.empty() ? 1u : c.kept.back() + 1), read.nextHandle);
    }
}
