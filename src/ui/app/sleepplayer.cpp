#include "sleepplayer.h"

#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "dialogs.h"
#include "displaymode.h"
#include "layout.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "sound.h"

MediaNode* sleepList;
int pressedButton;
BYTE sleepPaused;
ULONGLONG sleepEndTime;
// The seconds of timed sleep that were left when it was paused.
static DWORD sleepRemainingSeconds;

void StartSleep()
{
    RunSleepDialog();
    SaveSettings();
    if (settings.TimedSleep) {
        // The extra 59 seconds: sleep ends once less than a whole minute is left.
        sleepEndTime = ClockNowTicks()
            + (static_cast<ULONGLONG>(settings.SleepTime) * 60 + 59) * TICKS_PER_SECOND;
    }
    if (sleepList == nullptr)
        return;
    if (PlayMediaList(sleepList)) {
        SetDisplayMode(DISPLAY_SLEEP);
    } else {
        // Not kept, so the next Cancel does not try it again.
        FreeMediaListAfterCallbacks(sleepList);
        sleepList = nullptr;
        ShowMessage(mainWindow, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
    }
}

void StopSleep()
{
    if (displayMode != DISPLAY_SLEEP)
        return;
    StopMediaList();
    CloseMediaStream();
    ReleaseFMOD();
    if (sleepList != nullptr) {
        FreeMediaListAfterCallbacks(sleepList);
        sleepList = nullptr;
    }
    SetDisplayMode(DISPLAY_CLOCK);
}

bool SleepEndReached()
{
    // A pause freezes the time left, so the end cannot come while paused.
    if (!SleepEndDue(MediaListFinished(), settings.TimedSleep != 0 && !sleepPaused,
                     static_cast<LONGLONG>(sleepEndTime),
                     static_cast<LONGLONG>(ClockNowTicks())))
        return false;
    StopSleep();
    return true;
}

// ---- the player buttons ---------------------------------------------------------

static const RECT* PlayerButtonRect(int button)
{
    const Layout& layout = MainLayout();
    switch (button) {
    case 1: return &layout.prevButtonRect;
    case 2: return &layout.stopButtonRect;
    case 3: return &layout.pauseButtonRect;
    case 4: return &layout.nextButtonRect;
    }
    return nullptr;
}

// Which button's square holds the point: 1 previous .. 4 next, 0 none.
static int PlayerButtonAt(POINT point)
{
    for (int button = 1; button <= 4; button++) {
        if (PtInRect(PlayerButtonRect(button), point))
            return button;
    }
    return 0;
}

PlayerLook CurrentPlayerLook()
{
    MediaNode* track = CurrentTrack();
    PlayerLook look = {};
    look.pressed = pressedButton;
    look.paused = sleepPaused != 0;
    look.atFirst = track == MediaListHead();
    look.atLast = track != nullptr && track->next == nullptr;
    return look;
}

static bool CanSkipBack()
{
    return !sleepPaused && CurrentTrack() != MediaListHead();
}

static bool CanSkipForward()
{
    MediaNode* track = CurrentTrack();
    return !sleepPaused && track != nullptr && track->next != nullptr;
}

void OnPlayerPenDown(POINT point)
{
    // The buttons exist only while sleep music plays.
    if (displayMode != DISPLAY_SLEEP)
        return;
    int button = PlayerButtonAt(point);
    if ((button == 1 && !CanSkipBack()) || (button == 4 && !CanSkipForward()))
        button = 0;
    if (button != 0) {
        pressedButton = button;
        InvalidateRect(mainWindow, PlayerButtonRect(button), FALSE);
    }
}

static void TogglePause()
{
    if (!sleepPaused) {
        sleepPaused = 1;
        ClearSavedRemainingText();
        PauseAllSound(true);
        if (settings.TimedSleep) {
            LONGLONG left = static_cast<LONGLONG>(sleepEndTime - ClockNowTicks());
            sleepRemainingSeconds = left > 0 ? static_cast<DWORD>(left / TICKS_PER_SECOND) : 0;
        }
    } else {
        sleepPaused = 0;
        PauseAllSound(false);
        if (settings.TimedSleep)
            sleepEndTime = ClockNowTicks()
                + static_cast<ULONGLONG>(sleepRemainingSeconds) * TICKS_PER_SECOND;
        BlinkSleepTexts(true);
    }
}

static void SkipOrSay(bool forward)
{
    if (!SkipTrack(forward))
        ShowMessage(mainWindow, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
}

void OnPlayerPenUp(POINT point)
{
    int pressed = pressedButton;
    if (pressed < 1)
        return;
    if (PlayerButtonAt(point) == pressed) {
        switch (pressed) {
        case 1:
            if (CanSkipBack())
                SkipOrSay(false);
            break;
        case 2:
            if (sleepPaused) {
                sleepPaused = 0;
                PauseAllSound(false);
            }
            StopSleep();
            break;
        case 3:
            TogglePause();
            break;
        case 4:
            if (CanSkipForward())
                SkipOrSay(true);
            break;
        }
    }
    pressedButton = 0;
    if (pressed == 1 || pressed == 4) {
        InvalidateRect(mainWindow, PlayerButtonRect(1), FALSE);
        InvalidateRect(mainWindow, PlayerButtonRect(4), FALSE);
    } else {
        InvalidateRect(mainWindow, PlayerButtonRect(pressed), FALSE);
    }
}
