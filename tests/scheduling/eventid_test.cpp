#include <gtest/gtest.h>

#include "schedule.h"

TEST(EventId, ReadsTheNumberAfterTheExactPrefix)
{
    EXPECT_EQ(7, ParseEventId(L"/ID:7"));
    EXPECT_EQ(3, ParseEventId(L"/ID:3"));
    EXPECT_EQ(254, ParseEventId(L"/ID:254"));
    EXPECT_EQ(255, ParseEventId(L"/ID:255 trailing words"));
}

TEST(EventId, PrefixWithoutDigitsGivesZero)
{
    EXPECT_EQ(0, ParseEventId(L"/ID:"));
    EXPECT_EQ(0, ParseEventId(L"/ID:abc"));
}

TEST(EventId, AnythingElseIsNoEvent)
{
    EXPECT_EQ(-1, ParseEventId(nullptr));
    EXPECT_EQ(-1, ParseEventId(L""));
    EXPECT_EQ(-1, ParseEventId(L"/id:7"));
    EXPECT_EQ(-1, ParseEventId(L"-ID:7"));
    EXPECT_EQ(-1, ParseEventId(L" /ID:7"));
    EXPECT_EQ(-1, ParseEventId(L"/ID"));
}
