#include <gtest/gtest.h>

#include "schedule.h"

TEST(EventId, OnlyTheExactPrefixAtTheStartIsAnEvent)
{
    const struct {
        const wchar_t* commandLine;
        int event;
    } cases[] = {
        { L"/ID:7", 7 }, { L"/ID:254", 254 }, { L"/ID:255 trailing words", 255 },
        { L"/ID:", -1 }, { L"/ID:abc", -1 }, { L"/ID:3x", -1 }, { L"/ID:-3", -1 },
        { L"/ID:99999999999", -1 },
        { nullptr, -1 }, { L"", -1 }, { L"/id:7", -1 }, { L"-ID:7", -1 }, { L" /ID:7", -1 },
        { L"/ID", -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.event, ParseEventId(c.commandLine)) << (c.commandLine ? c.commandLine : L"null");
}

TEST(EventId, ArgumentsFollowTheProgramNameAndOneBlank)
{
    const struct {
        const wchar_t* raw;
        const wchar_t* arguments;
    } cases[] = {
        { L"\"C:\\Program Files\\Wakeloom\\Wakeloom.exe\" /ID:3", L"/ID:3" },
        { L"\"C:\\Program Files\\Wakeloom\\Wakeloom.exe\"  /ID:3", L" /ID:3" },
        { L"Wakeloom.exe /ID:3", L"/ID:3" },
        { L"Wakeloom.exe\t/ID:3", L"/ID:3" },
        { L"Wakeloom.exe", L"" },
        { L"\"unclosed /ID:3", L"" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.arguments, CommandLineArguments(c.raw)) << c.raw;
    EXPECT_EQ(nullptr, CommandLineArguments(nullptr));
}
