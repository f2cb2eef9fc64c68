// The sleep player of the main window: starting and ending sleep music, the
// four player buttons under the clock, pausing and the end of timed sleep.
#ifndef WAKELOOM_SLEEPPLAYER_H
#define WAKELOOM_SLEEPPLAYER_H

#include <windows.h>

#include "clockface.h"
#include "medialist.h"

struct SleepPlayer {
    // The list built by the Sleep dialog; played, then freed when sleep ends.
    MediaNode* sleepList;
    // The player button under the pen: 0 none, 1 previous, 2 stop,
    // 3 pause/resume, 4 next.
    int pressedButton;
    BYTE sleepPaused;
    // When timed sleep ends, as a local-time FILETIME count.
    ULONGLONG sleepEndTime;
};
extern SleepPlayer sleepPlayer;

// Runs the Sleep dialog and plays what it chose.
void StartSleep();
// Ends sleep playback and returns to the clock; nothing outside sleep mode.
void StopSleep();
// Stops sleep when the music or the sleep time is over; true when it did.
bool SleepEndReached();

// How the player buttons look now.
PlayerLook CurrentPlayerLook();
// The pen on the player buttons (sleep mode only).
void OnPlayerPenDown(POINT point);
void OnPlayerPenUp(POINT point);

#endif
