#include <gtest/gtest.h>

#include "schedule.h"

TEST(EventId, OnlyTheExactPrefixAtTheStartIsAnEvent)
{
    const std::pair<const wchar_t*, int> cases[] = {
        { L"/ID:7", 7 }, { L"/ID:254", 254 }, { L"/ID:255 trailing words", 255 },
        { L"/ID:", -1 }, { L"/ID:abc", -1 }, { L"/ID:3x", -1 }, { L"/ID:-3", -1 },
        { L"/ID:99999999999", -1 },
        { nullptr, -1 }, { L"", -1 }, { L"/id:7", -1 }, { L"-ID:7", -1 }, { L" /ID:7", -1 },
        { L"/ID", -1 },
    };
    for (const auto& [commandLine, event] : cases)
        EXPECT_EQ(event, ParseEventId(commandLine)) << (commandLine ? commandLine : L"null");
}

TEST(EventId, ArgumentsFollowTheProgramNameAndOneBlank)
{
    // A quoted program name with one blank or two: RealProgram.OnlyAUserStartReschedulesButEveryShutDownDoes.
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        { L"Wakeloom.exe /ID:3", L"/ID:3" },
        { L"Wakeloom.exe\t/ID:3", L"/ID:3" },
        { L"Wakeloom.exe", L"" },
        { L"\"unclosed /ID:3", L"" },
    };
    for (const auto& [raw, arguments] : cases)
        EXPECT_STREQ(arguments, CommandLineArguments(raw)) << raw;
    EXPECT_EQ(nullptr, CommandLineArguments(nullptr));
}
