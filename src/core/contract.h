// What passes between Wakeloom, its Companion launcher and the timed
// notifications that start the launcher: the names each side looks for, the
// event argument and the window messages. Every side includes this header;
// one mismatch and no alarm rings.
#ifndef WAKELOOM_CONTRACT_H
#define WAKELOOM_CONTRACT_H

#include "notifyexpired.h"

// The main window's class and title (string-table entries 1 and 2 hold the
// same text): together they identify a running Wakeloom.
#define WAKELOOM_NAME           L"Wakeloom"
#define WAKELOOM_PROGRAM_FILE   L"Wakeloom.exe"
// Held by the running Wakeloom for its whole life, from before its window
// exists: two starts at the same moment cannot both become the instance.
#define WAKELOOM_INSTANCE_MUTEX L"Hazelmere.Wakeloom.Instance"

// The Companion launcher, in the device's Windows folder. Without arguments
// it shows the taskbar icon from a window of this class and title.
#define LAUNCHER_FILE           L"wklmgr.exe"
#define LAUNCHER_PATH_FORMAT    L"\\Windows\\%s"
#define LAUNCHER_WINDOW_NAME    L"wklmgr"

// An event's command line: the prefix from the very first character, then
// the event number in decimal.
#define EVENT_ARGUMENT_PREFIX   L"/ID:"
#define EVENT_ARGUMENT_FORMAT   L"/ID:%d"
#define EVENT_ARGUMENT_UNITS    16

// A notification that could not be delivered in time (the machine or the
// scheduler was down past its end) is still handed to the launcher, with
// this word before its arguments; the launcher hands the event to Wakeloom
// as missed, which schedules what comes next without ringing late.
#define EXPIRED_ARGUMENT_PREFIX NOTIFICATION_EXPIRED_PREFIX
#define MISSED_ARGUMENT_PREFIX  L"/MISSED:"
#define MISSED_ARGUMENT_FORMAT  L"/MISSED:%d"

// Event numbers: an alarm's index, the countdown's end, the hourly chime.
#define EVENT_FIRST_ALARM       0
#define EVENT_LAST_ALARM        9
#define EVENT_COUNTDOWN         254
#define EVENT_CHIME             255

// Messages the main window accepts from other processes. WM_APP_EVENT
// carries the event number in wParam; the others carry nothing.
#define WM_APP_EVENT            (WM_APP + 1)
#define WM_APP_SILENCE_ON       (WM_APP + 4)
#define WM_APP_SILENCE_OFF      (WM_APP + 5)
#define WM_APP_RELOAD_ALARMS    (WM_APP + 6)
#define WM_APP_RELOAD_CHIME     (WM_APP + 7)
#define WM_APP_NOTHING          (WM_APP + 8)
// A missed event: wParam the event number.
#define WM_APP_MISSED           (WM_APP + 9)

#ifndef RC_INVOKED
// What follows the program name on a raw command line (GetCommandLineW),
// after the one blank that separates them. The runtime's own start-up skips
// every blank there; an argument that begins with a blank is not "/ID:".
const wchar_t* CommandLineArguments(const wchar_t* commandLine);
// The n of a command line that begins with "/ID:" and n, or -1.
int ParseEventId(const wchar_t* commandLine);
// The n of a command line that begins with "/MISSED:" and n, or -1.
int ParseMissedEventId(const wchar_t* commandLine);
#endif

#endif
