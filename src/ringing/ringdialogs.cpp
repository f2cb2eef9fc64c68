// The two ringing dialogs: the alarm's, with STOP and SNOOZE, and the
// countdown's end, with STOP. Each plays its sound in a loop, keeps the
// device awake and in front, and gives up after the maximum ring time.
#include "ringing.h"

#include <strsafe.h>

#include "alarms.h"
#include "alarmtime.h"
#include "dialogs.h"
#include "layout.h"
#include "messages.h"
#include "resource.h"
#include "schedule.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

HFONT ringFont;
SYSTEMTIME ringStartTime;
wchar_t ringSoundPath[MAX_PATH];

#define MAX_TIME_TIMER   1
#define AWAKE_TIMER      2
#define AWAKE_PERIOD_MS  2000
#define RECHECK_MS       60000
#define START_ATTEMPTS   6

// ---- shared by both dialogs -----------------------------------------------------

static void OpenRingDialog(HWND dialog, const int* buttons, int count)
{
    ringFont = CreateFontW(24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, L"Arial");
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    for (int i = 0; ringFont != nullptr && i < count; i++)
        SendDlgItemMessageW(dialog, buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(ringFont), TRUE);
    GetLocalTime(&ringStartTime);
}

// Whether the dialog's sound is on, and with the alarm's own volume.
static bool soundOn;
static bool soundAtAlarmVolume;

static void StopRingSound()
{
    if (!soundOn)
        return;
    soundOn = false;
    StopAlarmSound();
    CloseAlarmSound(soundAtAlarmVolume);
}

static void StartRingSound(bool useAlarmVolume)
{
    soundOn = true;
    soundAtAlarmVolume = useAlarmVolume;
    if (!useAlarmVolume) {
        PlaySoundViaFMOD(ringSoundPath, false);
        return;
    }
    // The sound library may refuse for a moment: try again a few times,
    // then ring on without sound rather than not at all.
    for (int attempt = 1; !PlaySoundViaFMOD(ringSoundPath, true) && attempt < START_ATTEMPTS;
         attempt++) {
        StopAlarmSound();
        CloseAlarmSound(true);
    }
}

// Every way out ends the timers and the font.
static void EndRingDialog(HWND dialog, INT_PTR result)
{
    StopRingSound();
    KillTimer(dialog, MAX_TIME_TIMER);
    KillTimer(dialog, AWAKE_TIMER);
    if (ringFont != nullptr)
        DeleteObject(ringFont);
    ringFont = nullptr;
    EndDialog(dialog, result);
}

static void KeepAwakeAndInFront(HWND dialog)
{
    SystemIdleTimerReset();
    SetWindowPos(GetWindow(dialog, GW_OWNER), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetForegroundWindow(dialog);
}

static void StartTimers(HWND dialog)
{
    SetTimer(dialog, MAX_TIME_TIMER, MaxTime * 60000, nullptr);
    SetTimer(dialog, AWAKE_TIMER, AWAKE_PERIOD_MS, nullptr);
}

// Puts `preferred` (or, when it is missing, the default sound `fileName`)
// into ringSoundPath. False, after telling the user with `messageId`, when
// neither exists.
static bool ChooseRingSound(HWND dialog, const wchar_t* preferred, const wchar_t* fileName,
                            UINT messageId)
{
    wchar_t defaultPath[MAX_PATH];
    DefaultSoundPath(fileName, defaultPath, ARRAYSIZE(defaultPath));
    StringCchCopyW(ringSoundPath, ARRAYSIZE(ringSoundPath),
                   preferred != nullptr ? preferred : defaultPath);
    if (GetFileAttributesW(ringSoundPath) != INVALID_FILE_ATTRIBUTES)
        return true;
    StringCchCopyW(ringSoundPath, ARRAYSIZE(ringSoundPath), defaultPath);
    if (GetFileAttributesW(ringSoundPath) != INVALID_FILE_ATTRIBUTES)
        return true;
    ShowMessage(dialog, messageId, IDS_ERROR, MB_ICONHAND, defaultPath);
    return false;
}

// ---- the alarm's dialog ---------------------------------------------------------

static bool ChooseAlarmSound(HWND dialog)
{
    const wchar_t* own = alarms[currentAlarm]->AlarmSound;
    return ChooseRingSound(dialog, wcscmp(own, DEFAULT_ALARM_SOUND) != 0 ? own : nullptr,
                           DEFAULT_ALARM_SOUND, IDS_ALARM_SOUND_MISSING);
}

static BOOL OnAlarmDialogInit(HWND dialog)
{
    static const int buttons[2] = { IDC_SNOOZE, IDC_STOP };
    OpenRingDialog(dialog, buttons, 2);
    if (!ChooseAlarmSound(dialog)) {
        EndRingDialog(dialog, 2);
        return TRUE;
    }
    StartRingSound(true);
    StartTimers(dialog);
    wchar_t title[ALARM_NAME_UNITS + 16];
    AlarmDisplayName(currentAlarm, title, ARRAYSIZE(title));
    SetWindowTextW(dialog, title);
    SetFocus(dialog);
    return TRUE;
}

static void OnAlarmDialogSnooze(HWND dialog)
{
    StopRingSound();
    if (!alarmTestMode)
        ScheduleSnooze(currentAlarm);
    Sleep(1000);
    EndRingDialog(dialog, 1);
}

static void OnAlarmDialogTimer(HWND dialog, UINT_PTR timer)
{
    if (timer == AWAKE_TIMER) {
        KeepAwakeAndInFront(dialog);
        // After the device was off the sound starts again from its beginning.
        if (TestForPowerOn()) {
            StopRingSound();
            if (!ChooseAlarmSound(dialog))
                EndRingDialog(dialog, 2);
            else
                StartRingSound(true);
        }
    } else if (timer == MAX_TIME_TIMER) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (MaxRingTimeReached(ringStartTime, now, MaxTime)) {
            StopRingSound();
            maxTimeReached = 1;
            EndRingDialog(dialog, 2);
        } else {
            // Fired at an unexpected moment (the clock was set): look again later.
            KillTimer(dialog, MAX_TIME_TIMER);
            SetTimer(dialog, MAX_TIME_TIMER, RECHECK_MS, nullptr);
        }
    }
}

static INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnAlarmDialogInit(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_STOP:
        case IDCANCEL:
            StopRingSound();
            EndRingDialog(dialog, 2);
            break;
        case IDC_SNOOZE:
        case IDOK:
            OnAlarmDialogSnooze(dialog);
            break;
        }
        return TRUE;
    case WM_TIMER:
        OnAlarmDialogTimer(dialog, wParam);
        return FALSE;
    case WM_DESTROY:
        // Destroyed with its owner (the program closing): the sound ends too.
        StopRingSound();
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunAlarmDialog(HWND owner)
{
    if (currentAlarm < 0 || currentAlarm >= ALARM_COUNT || alarms[currentAlarm] == nullptr)
        return 2;
    int id = GetOrientation() < 0 ? IDD_ALARM_RINGING_WIDE : IDD_ALARM_RINGING;
    return RunDialogTemplate(id, AlarmDialogProc, owner);
}

// ---- the countdown's end ------------------------------------------------------

static BOOL OnCountdownDialogInit(HWND dialog)
{
    static const int buttons[1] = { IDC_STOP };
    OpenRingDialog(dialog, buttons, 1);
    bool own = CountdownSound[0] != L'\0' && wcscmp(CountdownSound, DEFAULT_COUNTDOWN_SOUND) != 0;
    if (!ChooseRingSound(dialog, own ? CountdownSound : nullptr, DEFAULT_COUNTDOWN_SOUND,
                         IDS_COUNTDOWN_SOUND_MISSING)) {
        EndRingDialog(dialog, 2);
        return TRUE;
    }
    // At the device's volume, and once: a failure leaves the dialog silent.
    StartRingSound(false);
    StartTimers(dialog);
    SetFocus(dialog);
    return TRUE;
}

static INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnCountdownDialogInit(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_STOP || LOWORD(wParam) == IDCANCEL) {
            StopRingSound();
            EndRingDialog(dialog, 2);
        }
        return TRUE;
    case WM_TIMER:
        if (wParam == AWAKE_TIMER) {
            KeepAwakeAndInFront(dialog);
        } else if (wParam == MAX_TIME_TIMER) {
            StopRingSound();
            EndRingDialog(dialog, 2);
        }
        return FALSE;
    case WM_DESTROY:
        StopRingSound();
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunCountdownFinishedDialog(HWND owner)
{
    return RunDialogTemplate(IDD_COUNTDOWN_FINISHED, CountdownDialogProc, owner);
}
