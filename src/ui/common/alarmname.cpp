#include "alarmname.h"

#include <strsafe.h>

#include "alarms.h"
#include "messages.h"
#include "resource.h"

void AlarmDisplayName(int i, wchar_t* name, size_t nameCount)
{
    RecordDisplayName(i >= 0 && i < ALARM_COUNT ? alarms[i] : nullptr, i, name, nameCount);
}

void RecordDisplayName(const Alarm* alarm, int i, wchar_t* name, size_t nameCount)
{
    // Only no name or that exact "Untitled" stands for the alarm's number.
    if (alarm != nullptr && alarm->AlarmName[0] != L'\0'
        && wcscmp(alarm->AlarmName, UNTITLED_ALARM_NAME) != 0) {
        StringCchCopyW(name, nameCount, alarm->AlarmName);
        return;
    }
    wchar_t format[32];
    LoadResourceText(IDS_ALARM_NUMBER, format, ARRAYSIZE(format));
    StringCchPrintfW(name, nameCount, format, i + 1);
}
