// The screen the program is shown on: its orientation and its font sizes.
#ifndef WAKELOOM_SCREEN_H
#define WAKELOOM_SCREEN_H

#include <windows.h>

// The orientation of the screen now: -1 landscape, 0 square, 1 portrait.
int GetOrientation();
// The screen's pixels per inch, vertically.
int ScreenPixelsPerInch();
// A font height (LOGFONT's, negative) for a size in points on this screen.
int PointsToHeight(int points);

#endif
