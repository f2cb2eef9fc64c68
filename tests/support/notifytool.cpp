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

#include "testsupport.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc == 6 && wcscmp(argv[1], L"set") == 0) {
        HANDLE handle = SetNotificationIn(nullptr, argv[2], argv[3], _wtoi64(argv[4]) * 1000,
                                          _wtoi64(argv[5]) * 1000);
        printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(handle)));
        return handle != nullptr ? 0 : 1;
    }
    if (argc == 2 && wcscmp(argv[1], L"count") == 0) {
        printf("%zu\n", PendingNotifications().size());
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"clear-all") == 0) {
        for (const PendingNotification& n : PendingNotifications())
            CeClearUserNotification(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(n.handle)));
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"scheduler") == 0)
        return EnsureNotificationSchedulerRunning() ? 0 : 1;
    fprintf(stderr, "usage: notifytool set|count|clear-all|scheduler ...\n");
    return 2;
}
