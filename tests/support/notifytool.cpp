// Sets and lists notifications from a shell script:
//   notifytool set <application> <arguments> <start-seconds> <end-seconds>
//       (seconds from now, may be negative); prints the handle
//   notifytool count      prints how many are pending
//   notifytool clear-all  removes every pending notification
//   notifytool scheduler  starts the scheduler if it is not running
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "notify.h"

static SYSTEMTIME LocalTimeIn(long long seconds)
{
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    ULONGLONG t = ((static_cast<ULONGLONG>(local.dwHighDateTime) << 32) | local.dwLowDateTime)
                  + seconds * 10000000LL;
    FILETIME moved = { static_cast<DWORD>(t), static_cast<DWORD>(t >> 32) };
    SYSTEMTIME st;
    FileTimeToSystemTime(&moved, &st);
    return st;
}

static DWORD PendingCount()
{
    DWORD needed = 0;
    CeGetUserNotificationHandles(nullptr, 0, &needed);
    return needed;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc == 6 && wcscmp(argv[1], L"set") == 0) {
        CE_NOTIFICATION_TRIGGER trigger = {};
        trigger.dwSize = sizeof(trigger);
        trigger.dwType = CNT_TIME;
        trigger.lpszApplication = argv[2];
        trigger.lpszArguments = argv[3];
        trigger.stStartTime = LocalTimeIn(_wtoi64(argv[4]));
        trigger.stEndTime = LocalTimeIn(_wtoi64(argv[5]));
        HANDLE handle = CeSetUserNotificationEx(nullptr, &trigger, nullptr);
        printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(handle)));
        return handle != nullptr ? 0 : 1;
    }
    if (argc == 2 && wcscmp(argv[1], L"count") == 0) {
        printf("%lu\n", PendingCount());
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"clear-all") == 0) {
        DWORD count = PendingCount();
        if (count > 0) {
            HANDLE* handles = new HANDLE[count];
            DWORD needed;
            if (CeGetUserNotificationHandles(handles, count, &needed)) {
                for (DWORD i = 0; i < count; i++)
                    CeClearUserNotification(handles[i]);
            }
            delete[] handles;
        }
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"scheduler") == 0)
        return EnsureNotificationSchedulerRunning() ? 0 : 1;
    fprintf(stderr, "usage: notifytool set|count|clear-all|scheduler ...\n");
    return 2;
}
