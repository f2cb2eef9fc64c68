// The real main window created in the test process, with the program's own
// resources and a clock that reads a time the test sets; and the driving of
// the dialogs its commands open. The window tests include the program's
// headers through this one.
#ifndef WAKELOOM_WINDOWFIXTURE_H
#define WAKELOOM_WINDOWFIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <strsafe.h>

#include "alarms.h"
#include "alarmtime.h"
#include "app.h"
#include "clockface.h"
#include "contract.h"
#include "dialogs.h"
#include "displaymode.h"
#include "layout.h"
#include "mainwnd.h"
#include "menubar.h"
#include "resource.h"
#include "settings.h"
#include "shell.h"
#include "sleepplayer.h"
#include "sound.h"
#include "soundtest.h"
#include "testsupport.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// Each test starts with the registry and the notification store empty, the
// sounds of the build as the installed ones, and gives back the sound
// library however it ended.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Turns the virtual desktop; true when Wine accepted the size.
    static bool TurnScreen(int width, int height);
    // The clock shows this local time (and takes it as UTC) from now on.
    static void SetClock(const SYSTEMTIME& time);
    // The window after a full repaint at the clock's time.
    static Capture Face();

    // Whether a rectangle of a capture is all of one colour, or shows the
    // top left of one of the program's bitmaps; whether the whole bitmap
    // shows anywhere (at `fromTop` or below).
    static bool Filled(const Capture& capture, const RECT& r, DWORD colour);
    static bool Shows(const Capture& capture, const RECT& r, int bitmapId);
    static bool ShowsSomewhere(const Capture& capture, int bitmapId, int fromTop = 0);
};

// A click on one of the main window's buttons, and the main window's
// handling of a menu command, each returning once handled.
void Click(HWND button);
std::function<void()> Command(int id);

// Driving the program's dialogs: a button pressed and its command handled
// before the call returns; a control's text; the time editor's digits as
// "h t o", set by pressing their buttons; a path picked in the system's
// file dialog.
void Press(HWND dialog, int id);
std::wstring Text(HWND dialog, int id);
std::wstring Digits(HWND dialog);
void SetDigits(HWND dialog, int hour, int tens, int ones);
DialogStep PickFile(const std::wstring& path);

// Runs `open` with each dialog it opens answered by the next step: every
// step must find its dialog, and no dialog may be left to the watchdog.
void Answering(std::vector<DialogStep> steps, const std::function<void()>& open);
// A step that checks what a message box says (and its caption), and closes it.
DialogStep Says(const std::wstring& text, const std::wstring& caption = L"");

#endif
