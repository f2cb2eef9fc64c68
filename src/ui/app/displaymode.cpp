#include "displaymode.h"

#include "app.h"
#include "clockface.h"
#include "layout.h"
#include "menubar.h"
#include "schedule.h"
#include "settings.h"
#include "sleepplayer.h"

void SetDisplayMode(int mode)
{
    if (mode != DISPLAY_CLOCK && mode != DISPLAY_SLEEP && mode != DISPLAY_COUNTDOWN)
        return;
    // A pen pressed in one mode must not act in the next.
    sleepPlayer.pressedButton = 0;
    if (mode == DISPLAY_SLEEP) {
        sleepPlayer.sleepPaused = 0;
        ClearSavedRemainingText();
    } else {
        ResetClockCache();
    }
    InvalidateRect(app.mainWindow, &MainLayout().playerStripRect, FALSE);
    DestroyTextControls();
    app.displayMode = mode;
    ApplyDisplayModeToMenus();
    CreateTextControls(app.mainWindow, mode);
    ShowFaceTexts(MainClockView());
    ShowButtonsForMode(mode);
}

ClockView MainClockView()
{
    return ClockView{ app.mainWindow, app.displayMode, sleepPlayer.sleepPaused != 0,
                      sleepPlayer.sleepEndTime };
}

void InvalidateClockArea(bool wide)
{
    const Layout& layout = MainLayout();
    InvalidateRect(app.mainWindow, wide ? &layout.wideClockAreaRect : &layout.clockAreaRect, TRUE);
}

void StopCountdown()
{
    settings.Countdown = 0;
    if (app.displayMode != DISPLAY_COUNTDOWN)
        return;
    ClearCountdownNotification();
    SaveCountdownSettings();
    SetDisplayMode(DISPLAY_CLOCK);
    InvalidateClockArea(orientation < 0);
}
