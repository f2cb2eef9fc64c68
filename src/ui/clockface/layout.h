// The main window's child controls and the pixel layout of the clock and of
// the sleep-player strip for each screen orientation.
#ifndef WAKELOOM_LAYOUT_H
#define WAKELOOM_LAYOUT_H

#include <windows.h>

#include "facestate.h"
#include "screen.h"

// The screen orientation last laid out: -1 landscape, 0 square, 1 portrait.
extern int orientation;

// Where everything goes for one orientation and client size: every
// rectangle the face is drawn in, invalidated in or tapped in.
struct Layout {
    int orientation;
    int clientWidth, clientHeight;
    int digitAreaWidth, digitAreaHeight, digitHeight;
    RECT clockRect;                       // the digit area
    RECT digitSlots[COLON_SLOT + 1];      // by slot number 1-5
    RECT frameRect;                       // the box's outer edge; white one pixel in
    RECT edgeRects[4];                    // portrait and square: the black window edges
    int edgeCount;
    RECT indicatorRect;                   // AM/PM
    RECT labelRect;                       // COUNTDOWN
    RECT bellRect;                        // the silenced indicator
    RECT prevButtonRect, stopButtonRect, pauseButtonRect, nextButtonRect;
    RECT playerStripRect;                 // the four squares and a pixel round them
    RECT clockAreaRect, wideClockAreaRect;   // redrawn after a change of settings or mode
    int buttonsTop;                       // of "Set Alarms", "Sleep", "Stop Countdown"
};

// The layout rule alone, for a client rectangle and an orientation.
Layout LayoutFor(int orientation, const RECT& client);
// The layout of the main window now.
const Layout& MainLayout();

// The main window's buttons and text lines (null when their mode hides them).
struct MainControls {
    HWND setAlarmsButton, sleepButton, stopCountdownButton;
    HWND dateText, pendingAlarmText, internetTimeText;
    HWND trackTitleText, trackDetailText, sleepRemainingText;
    HFONT trackTitleFont, trackDetailFont;
};
extern MainControls mainControls;

// Lays out `window` for the screen now and stores the new orientation.
void ComputeLayout(HWND window);
// The text lines of display mode `mode` in `window`; the others are null.
void CreateTextControls(HWND window, int mode);
void DestroyTextControls();
void CreateButtons(HWND window);
void DestroyButtons();
// Shows the buttons display mode `mode` offers and hides the others.
void ShowButtonsForMode(int mode);

// The controls drawn yellow on black.
bool IsMainButton(HWND control);
bool IsMainText(HWND control);
// Draws one of the three buttons (desktop push buttons ignore the colour
// message that device buttons take their colours from).
void DrawMainButton(const DRAWITEMSTRUCT* item);

#endif
