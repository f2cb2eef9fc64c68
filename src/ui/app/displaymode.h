// The three display modes of the main window and what each shows and
// allows.
#ifndef WAKELOOM_DISPLAYMODE_H
#define WAKELOOM_DISPLAYMODE_H

#include "app.h"   // app.displayMode

#define DISPLAY_CLOCK     0
#define DISPLAY_SLEEP     1
#define DISPLAY_COUNTDOWN 2

// Rebuilds the text lines, shows the mode's buttons and applies its rule to
// the menu bar; an unknown mode changes nothing.
void SetDisplayMode(int mode);
// Ends a running countdown and returns to the clock; outside countdown mode
// it only clears the Countdown setting.
void StopCountdown();
// Invalidates (with erase) the clock box and what stands above and below
// it; `wide` takes the whole width of the landscape face.
void InvalidateClockArea(bool wide);

#endif
