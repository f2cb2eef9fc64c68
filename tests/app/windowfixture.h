// The real main window created in the test process, with the program's own
// resources, driven with real messages.
#ifndef WAKELOOM_WINDOWFIXTURE_H
#define WAKELOOM_WINDOWFIXTURE_H

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "testsupport.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Lets every queued paint run.
    static void Settle();
    // Turns the virtual desktop; true when Wine accepted the size.
    static bool TurnScreen(int width, int height);

    // The pixels of a rectangle of a capture, row by row.
    static std::vector<DWORD> Pixels(const Capture& capture, const RECT& r);
    // The pixels of a bitmap resource of the program, cut to `width` x `height`.
    static std::vector<DWORD> BitmapPixels(int id, int width, int height);
    static bool AllOf(const std::vector<DWORD>& pixels, DWORD colour);
    static SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0);
};

#endif
