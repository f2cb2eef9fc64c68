#include "displaymode.h"

#include "app.h"
#include "clockface.h"
#include "layout.h"
#include "menubar.h"
#include "schedule.h"
#include "settings.h"
#include "sleepplayer.h"

int displayMode;

void SetDisplayMode(int mode)
{
    if (mode != DISPLAY_CLOCK && mode != DISPLAY_SLEEP && mode != DISPLAY_COUNTDOWN)
        return;
    // A pen pressed in one mode must not act in the next.
    pressedButton = 0;
    if (mode == DISPLAY_SLEEP) {
        sleepPaused = 0;
        ClearSavedRemainingText();
    } else {
        ResetClockCache();
    }
    InvalidateRect(mainWindow, &MainLayout().playerStripRect, FALSE);
    DestroyTextControls();
    displayMode = mode;
    ApplyDisplayModeToMenus();
    CreateTextControls();
    ShowFaceTexts();
    ShowButtonsForMode();
}

void InvalidateClockArea(bool wide)
{
    const Layout& layout = MainLayout();
    InvalidateRect(mainWindow, wide ? &layout.wideClockAreaRect : &layout.clockAreaRect, TRUE);
}

void StopCountdown()
{
    settings.Countdown = 0;
    if (displayMode != DISPLAY_COUNTDOWN)
        return;
    ClearCountdownNotification();
    SaveCountdownSettings();
    SetDisplayMode(DISPLAY_CLOCK);
    InvalidateClockArea(orientation < 0);
}
