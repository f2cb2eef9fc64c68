// Drawing of the clock face and its once-a-second update.
#ifndef WAKELOOM_CLOCKFACE_H
#define WAKELOOM_CLOCKFACE_H

#include <windows.h>

void LoadClockFace(HINSTANCE instance);
void FreeClockFace();
void PaintMainWindow(HWND window);
void ResetClockCache();
void UpdateClock();

#endif
