// What the program does with an arriving event: the alarm ringing dialog,
// the countdown-finished dialog and the hourly chime, and the next
// notification of each.
#ifndef WAKELOOM_RINGING_H
#define WAKELOOM_RINGING_H

#include <windows.h>

#include "alarms.h"
#include "portable.h"

// What the ringing keeps between the arrival of an event and the end of
// its dialog; one ringing dialog is open at a time.
struct RingingState {
    BYTE alarmRinging;          // 1 while an alarm ringing dialog is open
    int currentAlarm;           // the alarm being rung
    BYTE maxTimeReached;        // the dialog gave up at the maximum ring time
};
extern RingingState ringing;

// What an event leaves to the main window, `window`, which owns what the
// event shows.
enum EventResult {
    EVENT_HANDLED,
    // The event's alarm is to ring: sleep music and a running countdown end
    // first, then RingAlarm rings it.
    EVENT_RINGS_ALARM,
    // The countdown is over (its end has rung, or was missed): it stops.
    EVENT_ENDS_COUNTDOWN,
};
// Handles event n (0..9 an alarm, 254 the countdown's end, 255 the chime),
// the whole wParam of WM_APP_EVENT; any other number is ignored.
EventResult HandleEvent(HWND window, WPARAM n);
// An event that could not be delivered in time: what comes next is
// scheduled without ringing, and the user is told of a missed alarm.
EventResult HandleMissedEvent(HWND window, WPARAM n);
// Whether missed events wait to be told of (in one message, once the
// events queued with them are handled).
bool MissedEventsToReport();

// Puts the chime's sound into `path` (MAX_PATH units): `chimeSound`, or the
// default when that is empty or missing. False, after telling the user in a
// message owned by `owner`, when neither is there.
bool FindChimeSound(HWND owner, const wchar_t* chimeSound, wchar_t* path);

// What a ringing dialog ended with.
#define RING_SNOOZED 1
#define RING_STOPPED 2

// Rings alarm n of the table for its event in front of `window`; once it is
// stopped (or timed out) its next time is requested. RING_SNOOZED or
// RING_STOPPED.
INT_PTR RingAlarm(HWND window, int n);

// Rings alarm `index` from its record `alarm` (the table's, or for a test
// the copy being edited) in its dialog, the wide template in landscape.
// Returns RING_SNOOZED, or RING_STOPPED when stopped or timed out. A test schedules
// nothing.
INT_PTR RunAlarmDialog(HWND owner, int index, const Alarm* alarm, bool test);
// Sounds the countdown's end with `sound` (empty for the default) until STOP
// or the maximum time; returns RING_STOPPED.
INT_PTR RunCountdownFinishedDialog(HWND owner, const wchar_t* sound, bool test);

// What the ringing dialog open now rings, if one is.
enum RingKind { RING_NONE, RING_ALARM, RING_TEST, RING_COUNTDOWN, RING_COUNTDOWN_TEST };
RingKind OpenRingKind();
// Ends the open ringing dialog at once, as STOP would but without a word to
// the user: another ring takes its place.
void EndOpenRing();

#endif
