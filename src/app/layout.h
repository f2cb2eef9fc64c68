// The main window's child controls, the pixel layout of the clock and of the
// sleep-player strip per screen orientation, and the display modes.
#ifndef WAKELOOM_LAYOUT_H
#define WAKELOOM_LAYOUT_H

#include <windows.h>

#include "medialist.h"

// Where everything goes for one orientation and client size.
struct Layout {
    int orientation;
    int digitAreaWidth, digitAreaHeight, digitHeight;
    RECT clock;
    RECT prev, stop, pause, next;   // the four 26 x 26 squares of the strip
    int buttonsTop;                 // of "Set Alarms", "Sleep", "Stop Countdown"
};

// The layout rule alone, for a client rectangle and an orientation.
Layout LayoutFor(int orientation, const RECT& client);

extern RECT clockRect;
extern RECT prevButtonRect, stopButtonRect, pauseButtonRect, nextButtonRect;
extern int clientWidth, clientHeight;
extern int digitAreaWidth, digitAreaHeight, digitHeight;

extern HWND setAlarmsButton, sleepButton, stopCountdownButton;
extern HWND dateText, pendingAlarmText, internetTimeText;
extern HWND trackTitleText, trackDetailText, sleepRemainingText;
extern HFONT trackTitleFont, trackDetailFont;

// The sleep player's list, built by the Sleep dialog; freed when sleep ends.
extern MediaNode* sleepList;

// Pen state of the sleep-player buttons: 0 none, 1 previous, 2 stop,
// 3 pause/resume, 4 next.
extern int pressedButton;
extern BYTE sleepPaused;
extern DWORD sleepRemainingSeconds;

void ComputeLayout();
void CreateTextControls();
void DestroyTextControls();
void CreateButtons();
void DestroyButtons();
void ShowButtonsForMode();
void SetDisplayMode(int mode);
void StartSleep();
void StopCountdown();
void SetSilenced(bool on);
void EnableMenuBar(bool enable);
// The menu of the menu bar, or null without one.
HMENU MenuBarMenu();

// Runs dialog template `id` modally with the menu bar disabled around it
// (unless `keepMenuBar`). Returns the dialog's result, or -1 when the
// program has no such template.
INT_PTR RunDialog(int id, DLGPROC proc, bool keepMenuBar = false);

#endif
