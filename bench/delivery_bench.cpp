// Prints how late the scheduler starts programs: from a notification's due
// time to the moment its program runs, over a burst of notifications.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "notify.h"
#include "testsupport.h"

int main()
{
    const int count = 24;
    const LONGLONG firstMs = 2000, spacingMs = 250;

    ClearAllNotifications();
    std::wstring recorder = ProgramPath(L"eventrecorder.exe");
    ClearRecorderLog(recorder);
    EnsureNotificationSchedulerRunning();

    std::vector<ULONGLONG> due(count);
    for (int k = 0; k < count; k++) {
        wchar_t arguments[16];
        swprintf(arguments, 16, L"%d", k);
        CE_NOTIFICATION_TRIGGER trigger = {};
        trigger.dwSize = sizeof(trigger);
        trigger.dwType = CNT_TIME;
        trigger.lpszApplication = &recorder[0];
        trigger.lpszArguments = arguments;
        trigger.stStartTime = LocalTimeIn(firstMs + k * spacingMs);
        trigger.stEndTime = LocalTimeIn(60000);
        FILETIME ft;
        SystemTimeToFileTime(&trigger.stStartTime, &ft);
        due[k] = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        if (CeSetUserNotificationEx(nullptr, &trigger, nullptr) == nullptr) {
            printf("could not set notification %d\n", k);
            return 1;
        }
    }

    std::vector<RecordedStart> starts;
    PumpUntil([&] { starts = ReadRecorderLog(recorder); return starts.size() >= count; },
              static_cast<DWORD>(firstMs + count * spacingMs + 10000));
    ClearRecorderLog(recorder);
    ClearAllNotifications();

    std::vector<double> delays;
    for (const RecordedStart& s : starts) {
        int k = _wtoi(s.arguments.c_str());
        if (k >= 0 && k < count)
            delays.push_back((static_cast<double>(s.localTicks) - static_cast<double>(due[k]))
                             / 10000.0);
    }
    if (delays.size() != static_cast<size_t>(count)) {
        printf("only %zu of %d notifications were delivered\n", delays.size(), count);
        return 1;
    }
    std::sort(delays.begin(), delays.end());
    double median = (delays[count / 2 - 1] + delays[count / 2]) / 2;
    printf("notification delivery delay over %d notifications: median %.1f ms, "
           "best %.1f ms, worst %.1f ms (target: median under 200 ms, worst under 1000 ms)\n",
           count, median, delays.front(), delays.back());
    return 0;
}
