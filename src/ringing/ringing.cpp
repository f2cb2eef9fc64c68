// Arriving events: what rings, what is only rescheduled, and what a missed
// event leaves to do.
#include "ringing.h"

#include <strsafe.h>

#include "alarms.h"
#include "app.h"
#include "contract.h"
#include "displaymode.h"
#include "layout.h"
#include "menubar.h"
#include "messages.h"
#include "resource.h"
#include "schedule.h"
#include "settings.h"
#include "sleepplayer.h"
#include "sound.h"

BYTE alarmRinging;
int currentAlarm;
BYTE alarmTestMode;
BYTE maxTimeReached;

static bool IsAlarmEvent(int n)
{
    return n >= EVENT_FIRST_ALARM && n <= EVENT_LAST_ALARM;
}

static void RescheduleAlarm(int n)
{
    if (alarms[n]->AlarmOn == 1)
        ScheduleAlarm(n, mainWindow);
    else
        ClearAlarm(n);
}

bool FindChimeSound(wchar_t* path)
{
    wchar_t defaultPath[MAX_PATH];
    DefaultSoundPath(DEFAULT_CHIME_SOUND, defaultPath, ARRAYSIZE(defaultPath));
    bool own = ChimeSound[0] != L'\0' && wcscmp(ChimeSound, DEFAULT_CHIME_SOUND) != 0;
    StringCchCopyW(path, MAX_PATH, own ? ChimeSound : defaultPath);
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        StringCchCopyW(path, MAX_PATH, defaultPath);
        if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
            ShowMessage(mainWindow, IDS_CHIME_SOUND_MISSING, IDS_ERROR, MB_ICONHAND, defaultPath);
            return false;
        }
    }
    return true;
}

static void SoundChime()
{
    wchar_t path[MAX_PATH];
    if (FindChimeSound(path))
        PlayOneShot(path);
}

static void RingAlarm(int n)
{
    if (displayMode == DISPLAY_SLEEP)
        StopSleep();
    // A ringing alarm cancels a running countdown.
    if (displayMode == DISPLAY_COUNTDOWN)
        StopCountdown();
    alarmRinging = 1;
    maxTimeReached = 0;
    currentAlarm = n;
    MessageBeep(0xFFFFFFFF);
    Sleep(1000);
    SetWindowPos(mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    EnableCancelSnooze(false);
    alarmTestMode = 0;
    if (RunAlarmDialog(mainWindow) == 1) {
        EnableCancelSnooze(true);   // the snooze is already requested
    } else {
        if (alarms[n]->AlarmOn == 1)
            alarms[n]->AlarmHandle = 0;
        RescheduleAlarm(n);
        EnableCancelSnooze(false);
    }
    alarmRinging = 0;
    if (maxTimeReached) {
        ShowMessage(nullptr, IDS_MAX_TIME_REACHED, IDS_WAKELOOM, MB_OK);
        maxTimeReached = 0;
    }
}

void HandleEvent(int n)
{
    bool mayRing = alarmRinging == 0 && Silenced == 0;
    if (n == EVENT_COUNTDOWN) {
        if (mayRing) {
            MessageBeep(0xFFFFFFFF);
            RunCountdownFinishedDialog(mainWindow);
        }
        StopCountdown();
    } else if (n == EVENT_CHIME) {
        if (mayRing)
            SoundChime();
        RescheduleChime(mainWindow);
    } else if (IsAlarmEvent(n) && alarms[n] != nullptr) {
        // A stray or hostile number never indexes the table.
        if (mayRing)
            RingAlarm(n);
        else
            RescheduleAlarm(n);
    }
}

void HandleMissedEvent(int n)
{
    if (n == EVENT_COUNTDOWN) {
        bool wasRunning = Countdown != 0;
        StopCountdown();
        if (wasRunning)
            ShowMessage(mainWindow, IDS_COUNTDOWN_MISSED, IDS_WAKELOOM, MB_ICONINFORMATION);
    } else if (n == EVENT_CHIME) {
        RescheduleChime(mainWindow);
    } else if (IsAlarmEvent(n) && alarms[n] != nullptr) {
        RescheduleAlarm(n);
        if (alarms[n]->AlarmOn == 1 && Silenced == 0) {
            wchar_t name[ALARM_NAME_UNITS + 16];
            AlarmDisplayName(n, name, ARRAYSIZE(name));
            ShowMessage(mainWindow, IDS_ALARM_MISSED, IDS_WAKELOOM, MB_ICONINFORMATION, name);
        }
    }
}
