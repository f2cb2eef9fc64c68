// Starting another program, as the device's shell and scheduler do.
#ifndef WAKELOOM_LAUNCH_H
#define WAKELOOM_LAUNCH_H

#include <windows.h>

// Starts `path` (a device path rooted at a backslash is resolved) with
// `arguments` (may be null or empty) after its quoted name, and does not
// wait for it. False when it could not be started.
bool LaunchProgram(const wchar_t* path, const wchar_t* arguments);

#endif
