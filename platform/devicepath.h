// Paths as the device writes them, resolved for desktop Windows.
#ifndef WAKELOOM_DEVICEPATH_H
#define WAKELOOM_DEVICEPATH_H

#include <windows.h>

// The device has one file system: a path rooted at a backslash
// ("\Program Files\Wakeloom") means the system drive. Desktop Windows reads
// it against the current drive, which under Wine is often Z:. Copies `path`
// into `out` with the system drive put in front of such a path; other paths
// are copied unchanged. Some roots stand for folders of their own: the
// documents folder ("\My Documents", or the desktop's own name of it,
// "\Documents"), each storage card ("\Storage Card E" is drive E:), and,
// for our own programs and files only, the Windows folder: "\Windows\NAME"
// is NAME beside the running program or in the install folder when it is
// there, and the system's Windows folder's otherwise ("\Windows\ctlpnl.exe").
// Nothing of ours goes into the system's Windows folder. Returns false,
// with `out` empty, when the result does not fit.
bool ResolveDevicePath(const wchar_t* path, wchar_t* out, size_t outCount);
// The other way round: a path in the documents folder or on a card as the
// device writes it; other paths unchanged.
bool DevicePathOf(const wchar_t* path, wchar_t* out, size_t outCount);
// The user's documents folder on the desktop.
bool DocumentsFolder(wchar_t* path, size_t pathCount);

// The installer writes the install folder for the machine; the device names
// the key with a leading backslash, which desktop Windows rejects
// (ERROR_BAD_PATHNAME), and without it the key is the same.
#define INSTALL_DIR_KEY L"Software\\Apps\\Hazelmere Software Wakeloom"
// The folder the program was installed to: the installer's value InstlDir,
// else InstallDir (a device path resolved), else the running program's own
// folder. False only when even that is not known.
bool InstallFolder(wchar_t* path, size_t pathCount);

#endif
