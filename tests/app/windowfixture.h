// The real main window created in the test process, with the program's own
// resources and a clock that reads a time the test sets.
#ifndef WAKELOOM_WINDOWFIXTURE_H
#define WAKELOOM_WINDOWFIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "testsupport.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets every queued message and paint run.
    static void Settle() { PumpPending(); }
    // Turns the virtual desktop; true when Wine accepted the size.
    static bool TurnScreen(int width, int height);
    // The clock shows this local time (and takes it as UTC) from now on.
    static void SetClock(const SYSTEMTIME& time);
    // The window after a full repaint at the clock's time.
    static Capture Face();

    // The pixels of a rectangle of a capture, row by row.
    static std::vector<DWORD> Pixels(const Capture& capture, const RECT& r);
    // The pixels of a bitmap resource of the program, cut to `width` x `height`.
    static std::vector<DWORD> BitmapPixels(int id, int width, int height);
    static bool AllOf(const std::vector<DWORD>& pixels, DWORD colour);
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
