#include "sleepplayer.h"

#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "dialogs.h"
#include "displaymode.h"
#include "layout.h"
#include "menubar.h"
#include "messages.h"
#include "resource.h"
#include "settings.h"
#include "sound.h"

SleepPlayer sleepPlayer;

// The seconds of timed sleep that were left when it was paused.
static DWORD sleepRemainingSeconds;

void StartSleep()
{
    EnableMenuBar(false);
    RunSleepDialog(app.mainWindow, &settings, &sleepPlayer.sleepList);
    EnableMenuBar(true);
    SaveSettings();
    if (settings.TimedSleep) {
        // The extra 59 seconds: sleep ends once less than a whole minute is left.
        sleepPlayer.sleepEndTime = ClockNowTicks()
            + (static_cast<ULONGLONG>(settings.SleepTime) * 60 + 59) * TICKS_PER_SECOND;
    }
    if (sleepPlayer.sleepList == nullptr)
        return;
    if (PlayMediaList(sleepPlayer.sleepList)) {
        SetDisplayMode(DISPLAY_SLEEP);
    } else {
        // Not kept, so the next Cancel does not try it again.
        FreeMediaListAfterCallbacks(sleepPlayer.sleepList);
        sleepPlayer.sleepList = nullptr;
        ShowMessage(app.mainWindow, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
    }
}

void StopSleep()
{
    if (app.displayMode != DISPLAY_SLEEP)
        return;
    StopMediaList();
    CloseMediaStream();
    ReleaseFMOD();
    if (sleepPlayer.sleepList != nullptr) {
        FreeMediaListAfterCallbacks(sleepPlayer.sleepList);
        sleepPlayer.sleepList = nullptr;
    }
    SetDisplayMode(DISPLAY_CLOCK);
}

bool SleepEndReached()
{
    // A pause freezes the time left, so the end cannot come while paused.
    if (!SleepEndDue(MediaListFinished(), settings.TimedSleep != 0 && !sleepPlayer.sleepPaused,
                     static_cast<LONGLONG>(sleepPlayer.sleepEndTime),
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
    look.pressed = sleepPlayer.pressedButton;
    look.paused = sleepPlayer.sleepPaused != 0;
    look.atFirst = track == MediaListHead();
    look.atLast = track != nullptr && track->next == nullptr;
    return look;
}

static bool CanSkipBack()
{
    return !sleepPlayer.sleepPaused && CurrentTrack() != MediaListHead();
}

static bool CanSkipForward()
{
    MediaNode* track = CurrentTrack();
    return !sleepPlayer.sleepPaused && track != nullptr && track->next != nullptr;
}

void OnPlayerPenDown(POINT point)
{
    // The buttons exist only while sleep music plays.
    if (app.displayMode != DISPLAY_SLEEP)
        return;
    int button = PlayerButtonAt(point);
    if ((button == 1 && !CanSkipBack()) || (button == 4 && !CanSkipForward()))
        button = 0;
    if (button != 0) {
        sleepPlayer.pressedButton = button;
        InvalidateRect(app.mainWindow, PlayerButtonRect(button), FALSE);
    }
}

static void TogglePause()
{
    if (!sleepPlayer.sleepPaused) {
        sleepPlayer.sleepPaused = 1;
        ClearSavedRemainingText();
        PauseAllSound(true);
        if (settings.TimedSleep) {
            LONGLONG left = static_cast<LONGLONG>(sleepPlayer.sleepEndTime - ClockNowTicks());
            sleepRemainingSeconds = left > 0 ? static_cast<DWORD>(left / TICKS_PER_SECOND) : 0;
        }
    } else {
        sleepPlayer.sleepPaused = 0;
        PauseAllSound(false);
        if (settings.TimedSleep)
            sleepPlayer.sleepEndTime = ClockNowTicks()
                + static_cast<ULONGLONG>(sleepRemainingSeconds) * TICKS_PER_SECOND;
        BlinkSleepTexts(true);
    }
}

static void SkipOrSay(bool forward)
{
    if (!SkipTrack(forward))
        ShowMessage(app.mainWindow, IDS_CANNOT_PLAY, IDS_ERROR, MB_ICONEXCLAMATION);
}

void OnPlayerPenUp(POINT point)
{
    int pressed = sleepPlayer.pressedButton;
    if (pressed < 1)
        return;
    if (PlayerButtonAt(point) == pressed) {
        switch (pressed) {
        case 1:
            if (CanSkipBack())
                SkipOrSay(false);
            break;
        case 2:
            if (sleepPlayer.sleepPaused) {
                sleepPlayer.sleepPaused = 0;
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
    sleepPlayer.pressedButton = 0;
    if (pressed == 1 || pressed == 4) {
        InvalidateRect(app.mainWindow, PlayerButtonRect(1), FALSE);
        InvalidateRect(app.mainWindow, PlayerButtonRect(4), FALSE);
    } else {
        InvalidateRect(app.mainWindow, PlayerButtonRect(pressed), FALSE);
    }
}
