// Driving the dialogs a command opens, each answered by its own step.
#ifndef WAKELOOM_ANSWERING_H
#define WAKELOOM_ANSWERING_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "testsupport.h"

// Runs `open` with each dialog it opens answered by the next step: every
// step must find its dialog, and no dialog may be left to the watchdog.
inline void Answering(std::vector<DialogStep> steps, const std::function<void()>& open)
{
    const int count = static_cast<int>(steps.size());
    DialogDriver driver(std::move(steps));
    open();
    EXPECT_EQ(count, driver.dialogsSeen);
    EXPECT_EQ(0, driver.dialogsForced);
}

// A step that checks what a message box says, and closes it.
inline DialogStep Says(const std::wstring& text, const std::wstring& caption = L"")
{
    return [=](HWND box) {
        EXPECT_EQ(text, MessageBoxText(box));
        if (!caption.empty()) {
            EXPECT_EQ(caption, WindowText(box));
        }
        ClickDialogButton(box, IDOK);
    };
}

#endif
