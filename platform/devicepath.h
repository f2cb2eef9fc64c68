// Paths as the device writes them, resolved for desktop Windows.
#ifndef WAKELOOM_DEVICEPATH_H
#define WAKELOOM_DEVICEPATH_H

#include <windows.h>

// The device has one file system: a path rooted at a backslash
// ("\Windows\wklmgr.exe") means the system drive. Desktop Windows reads it
// against the current drive, which under Wine is often Z:. Copies `path` into
// `out` with the system drive put in front of such a path; other paths are
// copied unchanged. Returns false, with `out` empty, when the result does not
// fit.
bool ResolveDevicePath(const wchar_t* path, wchar_t* out, size_t outCount);

#endif
