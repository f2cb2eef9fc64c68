// The real main window created in the test process, with the program's own
// resources and a clock that reads a time the test sets.
#ifndef WAKELOOM_WINDOWFIXTURE_H
#define WAKELOOM_WINDOWFIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "testsupport.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

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
    // top left of one of the program's bitmaps.
    static bool Filled(const Capture& capture, const RECT& r, DWORD colour);
    static bool Shows(const Capture& capture, const RECT& r, int bitmapId);
};

// Driving the program's dialogs: a button pressed and its command handled
// before the call returns; a control's text; the time editor's digits as
// "h t o", set by pressing their buttons; a path picked in the system's
// file dialog.
void Press(HWND dialog, int id);
std::wstring Text(HWND dialog, int id);
std::wstring Digits(HWND dialog);
void SetDigits(HWND dialog, int hour, int tens, int ones);
DialogStep PickFile(const std::wstring& path);

#endif
