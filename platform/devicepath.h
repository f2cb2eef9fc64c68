// Paths as the device writes them, resolved for desktop Windows.
#ifndef WAKELOOM_DEVICEPATH_H
#define WAKELOOM_DEVICEPATH_H

#include <windows.h>

// The device has one file system: a path rooted at a backslash
// ("\Windows\wklmgr.exe") means the system drive. Desktop Windows reads it
// against the current drive, which under Wine is often Z:. Copies `path` into
// `out` with the system drive put in front of such a path; other paths are
// copied unchanged. Two roots stand for folders of their own: the documents
// folder ("\My Documents", or the desktop's own name of it, "\Documents")
// and each storage card ("\Storage Card E" is drive E:). Returns false,
// with `out` empty, when the result does not fit.
bool ResolveDevicePath(const wchar_t* path, wchar_t* out, size_t outCount);
// The other way round: a path in the documents folder or on a card as the
// device writes it; other paths unchanged.
bool DevicePathOf(const wchar_t* path, wchar_t* out, size_t outCount);
// The user's documents folder on the desktop.
bool DocumentsFolder(wchar_t* path, size_t pathCount);

#endif
