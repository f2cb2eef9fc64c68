// Timed user notifications, as Windows CE offers them: at the start time the
// system starts an application with arguments. Desktop Windows has no such
// service, so a scheduler process of ours (wklsched.exe) keeps them.
#ifndef WAKELOOM_NOTIFY_H
#define WAKELOOM_NOTIFY_H

#include <windows.h>

#include "notifyexpired.h"

#define CNT_EVENT       1
#define CNT_TIME        2
#define CNT_PERIOD      3
#define CNT_CLASSICTIME 4

typedef struct UserNotificationTrigger {
    DWORD dwSize;
    DWORD dwType;
    DWORD dwEvent;
    WCHAR* lpszApplication;
    WCHAR* lpszArguments;
    SYSTEMTIME stStartTime;  // local time
    SYSTEMTIME stEndTime;    // not delivered once this has passed
} CE_NOTIFICATION_TRIGGER, *PCE_NOTIFICATION_TRIGGER;

typedef struct UserNotificationType {
    DWORD ActionFlags;
    WCHAR* pwszDialogTitle;
    WCHAR* pwszDialogText;
    WCHAR* pwszSound;
    DWORD nMaxSound;
    DWORD dwReserved;
} CE_USER_NOTIFICATION, *PCE_USER_NOTIFICATION;

// What CeGetUserNotification writes at the start of its buffer; the records
// and their texts follow it in the same buffer.
typedef struct UserNotificationInfoHeader {
    HANDLE hNotification;
    DWORD dwStatus;
    CE_NOTIFICATION_TRIGGER* pcent;
    CE_USER_NOTIFICATION* pceun;
} CE_NOTIFICATION_INFO_HEADER, *PCE_NOTIFICATION_INFO_HEADER;

// hNotification 0 creates a notification; a known handle replaces that one
// and keeps its handle. Returns the handle, or 0 (GetLastError tells why)
// for an unknown handle, a bad record, a store or a handle count that could
// not be written, or a store already holding STORE_MAX_NOTIFICATIONS
// (ERROR_NOT_ENOUGH_QUOTA).
HANDLE CeSetUserNotificationEx(HANDLE hNotification, CE_NOTIFICATION_TRIGGER* pcnt,
                               CE_USER_NOTIFICATION* pceun);
BOOL CeClearUserNotification(HANDLE hNotification);
// Copies up to cHandles pending handles; *pcHandlesNeeded gets the count.
BOOL CeGetUserNotificationHandles(HANDLE* rghNotifications, DWORD cHandles,
                                  LPDWORD pcHandlesNeeded);
BOOL CeGetUserNotification(HANDLE hNotification, DWORD cBufferSize, LPDWORD pcBytesNeeded,
                           LPBYTE pBuffer);

// The scheduler program, and the mutex that makes it one for the user's
// session, as the store it delivers from is the user's.
#define NOTIFICATION_SCHEDULER_FILE  L"wklsched.exe"
#define NOTIFICATION_SCHEDULER_MUTEX L"Local\\WakeloomNotificationScheduler"
// Starts the scheduler when it is not running. CeSetUserNotificationEx does
// this itself; the session start does it too.
bool EnsureNotificationSchedulerRunning();

#endif
