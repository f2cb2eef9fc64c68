// The two ringing dialogs: the alarm's, with STOP and SNOOZE, and the
// countdown's end, with STOP. Each plays its sound in a loop, keeps the
// device awake and in front, and gives up after the maximum ring time.
//
// They never ring silently: a sound that cannot be played gives way at once
// to the default sound, and that to a tone, and the user is told which file
// did not play when the ringing ends.
#include "ringing.h"

#include <strsafe.h>

#include "alarmname.h"
#include "alarms.h"
#include "alarmtime.h"
#include "dialogtemplate.h"
#include "messages.h"
#include "resource.h"
#include "schedule.h"
#include "screen.h"
#include "settings.h"
#include "shell.h"
#include "sound.h"

#define MAX_TIME_TIMER   1
#define AWAKE_TIMER      2
#define AWAKE_PERIOD_MS  2000
#define RECHECK_MS       60000

// What rings, in the order it is tried.
enum RingSound { SOUND_OWN, SOUND_DEFAULT, SOUND_TONE };

// One ringing dialog's own state, handed in through its lParam.
struct RingDialog {
    RingKind kind;
    int alarmIndex;               // the alarm rung or tested; -1 for the countdown
    const Alarm* alarm;
    const wchar_t* countdownSound;   // the countdown's: empty for the default
    bool soundOn;
    RingSound playing;
    wchar_t unplayable[MAX_PATH]; // the first file that did not play, for the user
    bool endedEarly;              // by another ring: nothing to tell
    wchar_t ringSoundPath[MAX_PATH]; // the file that plays; empty for the tone
    HFONT ringFont;               // the buttons' font
    SYSTEMTIME ringStartTime;
};

// The ringing dialog open now, if any.
static HWND openRingWindow;
static RingDialog* openRing;

// ---- the sound ------------------------------------------------------------------

// The dialog's own sound and the default it falls back to, as full paths.
static void RingSoundPaths(const RingDialog* ring, wchar_t* own, wchar_t* fallback)
{
    const wchar_t* chosen;
    if (ring->kind == RING_COUNTDOWN || ring->kind == RING_COUNTDOWN_TEST) {
        DefaultSoundPath(DEFAULT_COUNTDOWN_SOUND, fallback, MAX_PATH);
        bool isDefault = ring->countdownSound[0] == L'\0'
                      || wcscmp(ring->countdownSound, DEFAULT_COUNTDOWN_SOUND) == 0;
        chosen = isDefault ? fallback : ring->countdownSound;
    } else {
        DefaultSoundPath(DEFAULT_ALARM_SOUND, fallback, MAX_PATH);
        chosen = wcscmp(ring->alarm->AlarmSound, DEFAULT_ALARM_SOUND) == 0
            ? fallback : ring->alarm->AlarmSound;
    }
    StringCchCopyW(own, MAX_PATH, chosen);
}

static bool AtAlarmVolume(const RingDialog* ring)
{
    return ring->kind == RING_ALARM || ring->kind == RING_TEST;
}

// The level the engine sets while this dialog rings: the alarm's own unless
// it keeps the device volume; the countdown always keeps it.
static int RingVolumeLevel(const RingDialog* ring)
{
    if (!AtAlarmVolume(ring) || ring->alarm == nullptr || ring->alarm->UseSystemVol != 0)
        return KEEP_DEVICE_VOLUME;
    return static_cast<int>(ring->alarm->Volume);
}

static void StopRingSound(RingDialog* ring)
{
    if (!ring->soundOn)
        return;
    ring->soundOn = false;
    StopAlarmSound();
    CloseAlarmSound(AtAlarmVolume(ring));
}

static void NoteUnplayable(RingDialog* ring, const wchar_t* path)
{
    if (ring->unplayable[0] == L'\0')
        StringCchCopyW(ring->unplayable, MAX_PATH, path);
}

// Starts the first sound from `from` on that plays; the tone when no file
// does. Deciding takes no longer than opening the files.
static void StartRingSound(RingDialog* ring, RingSound from)
{
    bool alarmVolume = AtAlarmVolume(ring);
    int level = RingVolumeLevel(ring);
    wchar_t paths[2][MAX_PATH];
    RingSoundPaths(ring, paths[SOUND_OWN], paths[SOUND_DEFAULT]);
    ring->soundOn = true;
    for (int which = from; which < SOUND_TONE; which++) {
        // Its own sound is the default one: no need to try it twice.
        if (which == SOUND_DEFAULT && from == SOUND_OWN
            && wcscmp(paths[SOUND_OWN], paths[SOUND_DEFAULT]) == 0)
            continue;
        if (PlaySoundViaFMOD(paths[which], level)) {
            StringCchCopyW(ring->ringSoundPath, MAX_PATH, paths[which]);
            ring->playing = static_cast<RingSound>(which);
            return;
        }
        StopAlarmSound();
        CloseAlarmSound(alarmVolume);
        NoteUnplayable(ring, paths[which]);
    }
    ring->ringSoundPath[0] = L'\0';
    ring->playing = SOUND_TONE;
    PlayAlarmTone(level);
}

// The file that played stopped giving sound (cut short or removed while it
// rang): the next sound in line takes over.
static void ReplaceFailedSound(RingDialog* ring)
{
    RingSound failed = ring->playing;
    if (failed != SOUND_TONE)
        NoteUnplayable(ring, ring->ringSoundPath);
    StopRingSound(ring);
    StartRingSound(ring, failed == SOUND_TONE ? SOUND_TONE
                                              : static_cast<RingSound>(failed + 1));
}

// ---- shared by both dialogs -------------------------------------------------------

static void OpenRingDialog(HWND dialog, RingDialog* ring, const int* buttons, int count)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(ring));
    openRingWindow = dialog;
    openRing = ring;
    ring->ringFont = CreateFontW(24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0,
                                 L"Arial");
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    for (int i = 0; ring->ringFont != nullptr && i < count; i++)
        SendDlgItemMessageW(dialog, buttons[i], WM_SETFONT,
                            reinterpret_cast<WPARAM>(ring->ringFont), TRUE);
    GetLocalTime(&ring->ringStartTime);
}

static RingDialog* RingOf(HWND dialog)
{
    return reinterpret_cast<RingDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// Every way out ends the sound, the timers and the font, and then tells the
// user what did not play.
static void EndRingDialog(HWND dialog, RingDialog* ring, INT_PTR result)
{
    StopRingSound(ring);
    KillTimer(dialog, MAX_TIME_TIMER);
    KillTimer(dialog, AWAKE_TIMER);
    if (ring->ringFont != nullptr)
        DeleteObject(ring->ringFont);
    ring->ringFont = nullptr;
    if (ring->unplayable[0] != L'\0' && !ring->endedEarly)
        ShowMessage(dialog, ring->playing == SOUND_TONE ? IDS_RANG_TONE : IDS_RANG_DEFAULT_SOUND,
                    IDS_ERROR, MB_ICONEXCLAMATION, ring->unplayable);
    if (openRingWindow == dialog) {
        openRingWindow = nullptr;
        openRing = nullptr;
    }
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
    SetTimer(dialog, MAX_TIME_TIMER, settings.MaxTime * 60000, nullptr);
    SetTimer(dialog, AWAKE_TIMER, AWAKE_PERIOD_MS, nullptr);
}

static void OnRingDestroy(HWND dialog)
{
    // Destroyed with its owner (the program closing): the sound ends too.
    RingDialog* ring = RingOf(dialog);
    if (ring != nullptr)
        StopRingSound(ring);
    if (openRingWindow == dialog) {
        openRingWindow = nullptr;
        openRing = nullptr;
    }
}

RingKind OpenRingKind()
{
    return openRing != nullptr ? openRing->kind : RING_NONE;
}

void EndOpenRing()
{
    if (openRing == nullptr)
        return;
    openRing->endedEarly = true;
    EndRingDialog(openRingWindow, openRing, RING_STOPPED);
}

// ---- the alarm's dialog ---------------------------------------------------------

static BOOL OnAlarmDialogInit(HWND dialog, RingDialog* ring)
{
    static const int buttons[2] = { IDC_SNOOZE, IDC_STOP };
    OpenRingDialog(dialog, ring, buttons, 2);
    StartRingSound(ring, SOUND_OWN);
    StartTimers(dialog);
    wchar_t title[ALARM_NAME_UNITS + 16];
    RecordDisplayName(ring->alarm, ring->alarmIndex, title, ARRAYSIZE(title));
    SetWindowTextW(dialog, title);
    SetFocus(dialog);
    return TRUE;
}

static void OnAlarmDialogSnooze(HWND dialog, RingDialog* ring)
{
    StopRingSound(ring);
    if (ring->kind == RING_ALARM && !ScheduleSnooze(ring->alarmIndex)) {
        // Stopped instead: the caller sets the next regular time.
        ShowMessage(dialog, IDS_SNOOZE_FAILED, IDS_WAKELOOM, MB_ICONEXCLAMATION);
        EndRingDialog(dialog, ring, RING_STOPPED);
        return;
    }
    Sleep(1000);
    EndRingDialog(dialog, ring, RING_SNOOZED);
}

static void OnRingAwakeTimer(HWND dialog, RingDialog* ring, bool afterPowerOn)
{
    KeepAwakeAndInFront(dialog);
    // After the device was off the sound starts again from its beginning.
    if (afterPowerOn && TestForPowerOn()) {
        StopRingSound(ring);
        StartRingSound(ring, SOUND_OWN);
    } else if (ring->soundOn && AlarmSoundFailed()) {
        ReplaceFailedSound(ring);
    }
}

static void OnAlarmDialogTimer(HWND dialog, RingDialog* ring, UINT_PTR timer)
{
    if (timer == AWAKE_TIMER) {
        OnRingAwakeTimer(dialog, ring, true);
    } else if (timer == MAX_TIME_TIMER) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (MaxRingTimeReached(ring->ringStartTime, now, settings.MaxTime)) {
            ringing.maxTimeReached = 1;
            EndRingDialog(dialog, ring, RING_STOPPED);
        } else {
            // Fired at an unexpected moment (the clock was set): look again later.
            KillTimer(dialog, MAX_TIME_TIMER);
            SetTimer(dialog, MAX_TIME_TIMER, RECHECK_MS, nullptr);
        }
    }
}

static INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnAlarmDialogInit(dialog, reinterpret_cast<RingDialog*>(lParam));
    RingDialog* ring = RingOf(dialog);
    if (ring == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_STOP:
        case IDCANCEL:
            EndRingDialog(dialog, ring, RING_STOPPED);
            break;
        case IDC_SNOOZE:
        case IDOK:
            OnAlarmDialogSnooze(dialog, ring);
            break;
        }
        return TRUE;
    case WM_TIMER:
        OnAlarmDialogTimer(dialog, ring, wParam);
        return FALSE;
    case WM_DESTROY:
        OnRingDestroy(dialog);
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunAlarmDialog(HWND owner, int index, const Alarm* alarm, bool test)
{
    if (index < 0 || index >= ALARM_COUNT || alarm == nullptr)
        return RING_STOPPED;
    RingDialog ring = {};
    ring.kind = test ? RING_TEST : RING_ALARM;
    ring.alarmIndex = index;
    ring.alarm = alarm;
    int id = GetOrientation() < 0 ? IDD_ALARM_RINGING_WIDE : IDD_ALARM_RINGING;
    return RunDialogTemplate(id, AlarmDialogProc, owner, reinterpret_cast<LPARAM>(&ring));
}

// ---- the countdown's end ------------------------------------------------------

static BOOL OnCountdownDialogInit(HWND dialog, RingDialog* ring)
{
    static const int buttons[1] = { IDC_STOP };
    OpenRingDialog(dialog, ring, buttons, 1);
    // At the device's volume.
    StartRingSound(ring, SOUND_OWN);
    StartTimers(dialog);
    SetFocus(dialog);
    return TRUE;
}

static INT_PTR CALLBACK CountdownDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnCountdownDialogInit(dialog, reinterpret_cast<RingDialog*>(lParam));
    RingDialog* ring = RingOf(dialog);
    if (ring == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_STOP || LOWORD(wParam) == IDCANCEL)
            EndRingDialog(dialog, ring, RING_STOPPED);
        return TRUE;
    case WM_TIMER:
        if (wParam == AWAKE_TIMER)
            OnRingAwakeTimer(dialog, ring, false);
        else if (wParam == MAX_TIME_TIMER)
            EndRingDialog(dialog, ring, RING_STOPPED);
        return FALSE;
    case WM_DESTROY:
        OnRingDestroy(dialog);
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunCountdownFinishedDialog(HWND owner, const wchar_t* sound, bool test)
{
    RingDialog ring = {};
    ring.kind = test ? RING_COUNTDOWN_TEST : RING_COUNTDOWN;
    ring.alarmIndex = -1;
    ring.countdownSound = sound;
    return RunDialogTemplate(IDD_COUNTDOWN_FINISHED, CountdownDialogProc, owner,
                             reinterpret_cast<LPARAM>(&ring));
}
