// Starting another program, as the device's shell and scheduler do.
#ifndef WAKELOOM_LAUNCH_H
#define WAKELOOM_LAUNCH_H

#include <windows.h>

// Starts `path` with `arguments` (may be null or empty) after its quoted
// name, and does not wait for it. A device path rooted at a backslash is
// resolved; a bare name ("peghelp") is looked for as the system looks for
// programs. False when it could not be started. With `process` the caller
// gets the started process's handle, and closes it.
bool LaunchProgram(const wchar_t* path, const wchar_t* arguments, HANDLE* process = nullptr);

// `name` in `folder`, beside this program, or in the device's "\Windows"
// (for our own files the program's or the install folder): true, with its
// path, when the file is there.
bool FindFileIn(const wchar_t* folder, const wchar_t* name, wchar_t* path, size_t pathCount);
bool FindBesideProgram(const wchar_t* name, wchar_t* path, size_t pathCount);
bool FindDeviceWindowsFile(const wchar_t* name, wchar_t* path, size_t pathCount);

#endif
