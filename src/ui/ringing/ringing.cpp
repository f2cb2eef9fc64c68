// Arriving events: what rings, what is only rescheduled, and what a missed
// event leaves to do.
#include "ringing.h"

#include <strsafe.h>

#include "alarmname.h"
#include "alarmrequests.h"
#include "alarms.h"
#include "contract.h"
#include "messages.h"
#include "resource.h"
#include "schedule.h"
#include "settings.h"
#include "sound.h"

RingingState ringing;

static bool IsAlarmEvent(int n)
{
    return n >= EVENT_FIRST_ALARM && n <= EVENT_LAST_ALARM;
}

static void RescheduleAlarm(HWND window, int n)
{
    if (alarms[n]->AlarmOn == 1)
        ScheduleAlarm(n, window);
    else
        ClearAlarm(n);
}

bool FindChimeSound(HWND owner, const wchar_t* chimeSound, wchar_t* path)
{
    wchar_t defaultPath[MAX_PATH];
    DefaultSoundPath(DEFAULT_CHIME_SOUND, defaultPath, ARRAYSIZE(defaultPath));
    bool own = chimeSound[0] != L'\0' && wcscmp(chimeSound, DEFAULT_CHIME_SOUND) != 0;
    StringCchCopyW(path, MAX_PATH, own ? chimeSound : defaultPath);
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        StringCchCopyW(path, MAX_PATH, defaultPath);
        if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
            ShowMessage(owner, IDS_CHIME_SOUND_MISSING, IDS_ERROR, MB_ICONHAND, defaultPath);
            return false;
        }
    }
    return true;
}

// A chime file that does not play gives way to the default bell; only
// when that does not play either is the user told, once.
static void SoundChime(HWND window)
{
    wchar_t path[MAX_PATH], defaultPath[MAX_PATH];
    if (!FindChimeSound(window, settings.ChimeSound, path) || PlayOneShot(path))
        return;
    DefaultSoundPath(DEFAULT_CHIME_SOUND, defaultPath, ARRAYSIZE(defaultPath));
    if (wcscmp(path, defaultPath) == 0 || !PlayOneShot(defaultPath))
        ShowMessage(window, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
}

INT_PTR RingAlarm(HWND window, int n)
{
    ringing.alarmRinging = 1;
    ringing.maxTimeReached = 0;
    ringing.currentAlarm = n;
    MessageBeep(0xFFFFFFFF);
    Sleep(1000);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    INT_PTR result = RunAlarmDialog(window, n, alarms[n], false);
    // A snooze is already requested.
    if (result != RING_SNOOZED) {
        if (alarms[n]->AlarmOn == 1)
            alarms[n]->AlarmHandle = 0;
        RescheduleAlarm(window, n);
    }
    ringing.alarmRinging = 0;
    if (ringing.maxTimeReached) {
        ShowMessage(nullptr, IDS_MAX_TIME_REACHED, IDS_WAKELOOM, MB_OK);
        ringing.maxTimeReached = 0;
    }
    return result;
}

static void EndCountdown(HWND window)
{
    MessageBeep(0xFFFFFFFF);
    RunCountdownFinishedDialog(window, settings.CountdownSound, false);
}

// A due alarm takes the place of a test ring or of the countdown's end
// ringing now, and the countdown's end that of a test ring: the dialog open
// is ended and the event handled again once it has gone. So one sound rings
// at a time, and a test never acts on what arrived during it.
static bool GivesWayTo(RingKind open, int n)
{
    if (open == RING_TEST || open == RING_COUNTDOWN_TEST)
        return true;
    return open == RING_COUNTDOWN && IsAlarmEvent(n);
}

EventResult HandleEvent(HWND window, WPARAM event)
{
    // Only the numbers of events: a wider wParam is no event at all.
    if (event > EVENT_CHIME)
        return EVENT_HANDLED;
    int n = static_cast<int>(event);
    bool isAlarm = IsAlarmEvent(n) && alarms[n] != nullptr;
    if (!isAlarm && n != EVENT_COUNTDOWN && n != EVENT_CHIME)
        return EVENT_HANDLED;
    bool mayRing = ringing.alarmRinging == 0 && settings.Silenced == 0;
    // An alarm turned off, or a countdown stopped, whose notification could
    // not be cleared: nothing to ring.
    bool wanted = isAlarm ? alarms[n]->AlarmOn == 1
                : n == EVENT_COUNTDOWN ? settings.Countdown != 0 : true;
    if (mayRing && wanted && n != EVENT_CHIME && GivesWayTo(OpenRingKind(), n)) {
        EndOpenRing();
        PostMessageW(window, WM_APP_EVENT, event, 0);
        return EVENT_HANDLED;
    }
    if (n == EVENT_COUNTDOWN) {
        // The countdown's own dialog open already rings for it.
        if (mayRing && wanted && OpenRingKind() != RING_COUNTDOWN)
            EndCountdown(window);
        return EVENT_ENDS_COUNTDOWN;
    }
    if (n == EVENT_CHIME) {
        if (mayRing)
            SoundChime(window);
        RescheduleChime(window);
    } else if (mayRing && wanted) {
        return EVENT_RINGS_ALARM;
    } else {
        RescheduleAlarm(window, n);
    }
    return EVENT_HANDLED;
}

// Missed events arrive in a burst when the computer wakes. Their report
// waits on a timer, whose message comes only once the queue holds no other,
// so it tells of the whole burst at once.
struct MissedReport {
    UINT_PTR timer;
    HWND owner;
    bool countdown;
    bool alarm[ALARM_COUNT];
};
static MissedReport missed;

static void AppendAlarmName(int n, wchar_t* names, size_t units)
{
    wchar_t name[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(n, name, ARRAYSIZE(name));
    if (names[0] != L'\0')
        StringCchCatW(names, units, L", ");
    StringCchCatW(names, units, name);
}

static void CALLBACK ReportMissedEvents(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    MissedReport report = missed;
    missed = MissedReport();
    wchar_t names[ALARM_COUNT * (ALARM_NAME_UNITS + 18)] = L"";
    int count = 0;
    for (int n = 0; n < ALARM_COUNT; n++) {
        if (report.alarm[n]) {
            AppendAlarmName(n, names, ARRAYSIZE(names));
            count++;
        }
    }
    if (count > 0)
        ShowMessage(report.owner, count == 1 ? IDS_ALARM_MISSED : IDS_ALARMS_MISSED, IDS_WAKELOOM,
                    MB_ICONINFORMATION, names);
    if (report.countdown)
        ShowMessage(report.owner, IDS_COUNTDOWN_MISSED, IDS_WAKELOOM, MB_ICONINFORMATION);
}

static void ReportMissedLater(HWND owner)
{
    missed.owner = owner;
    if (missed.timer == 0)
        missed.timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, ReportMissedEvents);
}

bool MissedEventsToReport()
{
    return missed.timer != 0;
}

EventResult HandleMissedEvent(HWND window, WPARAM event)
{
    if (event > EVENT_CHIME)
        return EVENT_HANDLED;
    int n = static_cast<int>(event);
    if (n == EVENT_COUNTDOWN) {
        // Told only when it was running; stopped either way.
        if (settings.Countdown != 0) {
            missed.countdown = true;
            ReportMissedLater(window);
        }
        return EVENT_ENDS_COUNTDOWN;
    }
    if (n == EVENT_CHIME) {
        RescheduleChime(window);
    } else if (IsAlarmEvent(n) && alarms[n] != nullptr) {
        RescheduleAlarm(window, n);
        if (alarms[n]->AlarmOn == 1 && settings.Silenced == 0) {
            missed.alarm[n] = true;
            ReportMissedLater(window);
        }
    }
    return EVENT_HANDLED;
}
