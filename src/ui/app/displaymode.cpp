#include "displaymode.h"

#include "app.h"
#include "clockface.h"
#include "layout.h"
#include "menubar.h"
#include "schedule.h"
#include "settings.h"
#include "sleepplayer.h"

int displayMode;

static void InvalidateStrip()
{
    RECT strip = { prevButtonRect.left - 1, prevButtonRect.top - 1, nextButtonRect.right + 1,
                   prevButtonRect.bottom + 1 };
    InvalidateRect(mainWindow, &strip, FALSE);
}

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
    InvalidateStrip();
    DestroyTextControls();
    displayMode = mode;
    ApplyDisplayModeToMenus();
    CreateTextControls();
    ShowButtonsForMode();
}

void InvalidateClockArea(bool wide)
{
    RECT area = { clockRect.left, clockRect.top - 20, 220, clockRect.bottom };
    if (wide)
        area = { 5, clockRect.top - 20, clientWidth - 10, clockRect.bottom + 51 };
    InvalidateRect(mainWindow, &area, TRUE);
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
