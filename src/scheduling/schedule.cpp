#include "schedule.h"

#include <stdlib.h>
#include <wchar.h>

int ParseEventId(const wchar_t* commandLine)
{
    // Exactly "/ID:" at the very start: the launcher writes it so.
    if (commandLine == nullptr || wcsncmp(commandLine, L"/ID:", 4) != 0)
        return -1;
    return static_cast<int>(_wtol(commandLine + 4));
}

void RescheduleAllAlarms(HWND owner)
{
    // The notification requests come with the scheduler.
    (void)owner;
}
