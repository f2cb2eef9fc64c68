#include "contract.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <wchar.h>
#include <wctype.h>

const wchar_t* CommandLineArguments(const wchar_t* commandLine)
{
    if (commandLine == nullptr)
        return nullptr;
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        for (p++; *p != L'\0' && *p != L'"'; p++) {
        }
        if (*p == L'"')
            p++;
    } else {
        while (*p != L'\0' && *p != L' ' && *p != L'\t')
            p++;
    }
    if (*p == L' ' || *p == L'\t')
        p++;
    return p;
}

static int ParseNumberAfter(const wchar_t* commandLine, const wchar_t* prefix)
{
    // Exactly the prefix at the very start: the launcher writes it so.
    size_t length = wcslen(prefix);
    if (commandLine == nullptr || wcsncmp(commandLine, prefix, length) != 0)
        return -1;
    // Digits, and only digits up to a blank: "/ID:" alone or "/ID:abc" would
    // read as 0 and ring the first alarm.
    const wchar_t* digits = commandLine + length;
    wchar_t* end;
    errno = 0;
    long n = wcstol(digits, &end, 10);
    if (!iswdigit(*digits) || (*end != L'\0' && *end != L' ' && *end != L'\t') || errno == ERANGE
        || n > INT_MAX)
        return -1;
    return static_cast<int>(n);
}

int ParseEventId(const wchar_t* commandLine)
{
    return ParseNumberAfter(commandLine, EVENT_ARGUMENT_PREFIX);
}

int ParseMissedEventId(const wchar_t* commandLine)
{
    return ParseNumberAfter(commandLine, MISSED_ARGUMENT_PREFIX);
}
