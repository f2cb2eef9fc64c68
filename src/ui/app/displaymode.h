// The three display modes of the main window and what each shows and
// allows.
#ifndef WAKELOOM_DISPLAYMODE_H
#define WAKELOOM_DISPLAYMODE_H

#include "app.h"   // app.displayMode
#include "clockface.h"

// The face draws each mode by the same numbers.
#define DISPLAY_CLOCK     FACE_MODE_CLOCK
#define DISPLAY_SLEEP     FACE_MODE_SLEEP
#define DISPLAY_COUNTDOWN FACE_MODE_COUNTDOWN

// Rebuilds the text lines, shows the mode's buttons and applies its rule to
// the menu bar; an unknown mode changes nothing.
void SetDisplayMode(int mode);
// Ends a running countdown and returns to the clock; outside countdown mode
// it only clears the Countdown setting.
void StopCountdown();
// Invalidates (with erase) the clock box and what stands above and below
// it; `wide` takes the whole width of the landscape face.
void InvalidateClockArea(bool wide);
// What the face is shown for now: the main window, the display mode and the
// sleep player's pause and end.
ClockView MainClockView();

#endif
