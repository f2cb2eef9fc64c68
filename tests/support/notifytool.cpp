// Sets and lists notifications from a shell script:
//   notifytool set <application> <arguments> <start-seconds> <end-seconds>
//       (seconds from now, may be negative); prints the handle
//   notifytool at <application> <arguments> <YYYY-MM-DDTHH:MM:SS> <end-seconds>
//       (a local time, and seconds from it to the end); prints the handle
//   notifytool count      prints how many are pending
//   notifytool list       prints "handle start arguments" per pending one
//   notifytool clear-all  removes every pending notification
//   notifytool scheduler  starts the scheduler if it is not running
//   notifytool close-wakeloom
//       stops Wakeloom's ringing, prints the text of its message box and
//       answers it, then closes its window; exits 1 when Wakeloom has no
//       window
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#include "contract.h"
#include "resource.h"
#include "testsupport.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc == 6 && wcscmp(argv[1], L"set") == 0) {
        HANDLE handle = SetNotificationIn(nullptr, argv[2], argv[3], _wtoi64(argv[4]) * 1000,
                                          _wtoi64(argv[5]) * 1000);
        printf("%lu\n", HandleToULong(handle));
        return handle != nullptr ? 0 : 1;
    }
    if (argc == 6 && wcscmp(argv[1], L"at") == 0) {
        int y, mo, d, h, mi, s;
        if (swscanf(argv[4], L"%d-%d-%dT%d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
            return 2;
        SYSTEMTIME start = MakeTime(y, mo, d, h, mi, s);
        LONGLONG endTicks = Ticks(start) + _wtoi64(argv[5]) * 10000000LL;
        FILETIME ft = { static_cast<DWORD>(endTicks), static_cast<DWORD>(endTicks >> 32) };
        SYSTEMTIME end;
        FileTimeToSystemTime(&ft, &end);
        CE_NOTIFICATION_TRIGGER trigger = MakeTrigger(argv[2], argv[3], start, end);
        HANDLE handle = CeSetUserNotificationEx(nullptr, &trigger, nullptr);
        printf("%lu\n", HandleToULong(handle));
        return handle != nullptr ? 0 : 1;
    }
    if (argc == 2 && wcscmp(argv[1], L"count") == 0) {
        printf("%zu\n", PendingNotifications().size());
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"list") == 0) {
        for (const PendingNotification& n : PendingNotifications()) {
            const SYSTEMTIME& t = n.start;
            printf("%lu %04u-%02u-%02uT%02u:%02u:%02u %ls\n", static_cast<unsigned long>(n.handle),
                   t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, n.arguments.c_str());
        }
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"clear-all") == 0) {
        for (const PendingNotification& n : PendingNotifications())
            CeClearUserNotification(ULongToHandle(n.handle));
        return 0;
    }
    if (argc == 2 && wcscmp(argv[1], L"scheduler") == 0)
        return EnsureNotificationSchedulerRunning() ? 0 : 1;
    if (argc == 2 && wcscmp(argv[1], L"close-wakeloom") == 0) {
        HWND main = FindWindowW(WAKELOOM_NAME, WAKELOOM_NAME);
        if (main == nullptr)
            return 1;
        HWND ringing = nullptr;
        while ((ringing = FindWindowExW(nullptr, ringing, L"#32770", nullptr)) != nullptr) {
            if (GetWindow(ringing, GW_OWNER) == main && GetDlgItem(ringing, IDC_STOP) != nullptr) {
                ClickDialogButton(ringing, IDC_STOP);
                break;
            }
        }
        // The box may follow the ringing dialog.
        HWND box = nullptr;
        PumpUntil([&] { return (box = FindWindowW(L"#32770", WAKELOOM_NAME)) != nullptr; },
                  ringing != nullptr ? 2000 : 0);
        if (box != nullptr) {
            printf("%ls\n", MessageBoxText(box).c_str());
            ClickDialogButton(box, IDOK);
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    fprintf(stderr, "usage: notifytool set|at|count|list|clear-all|scheduler|close-wakeloom ...\n");
    return 2;
}
