// What the tests need to drive the real program under Wine: registry
// state, answering modal dialogs, stand-in windows, window and sound
// captures, child processes, times and notifications.
#ifndef WAKELOOM_TESTSUPPORT_H
#define WAKELOOM_TESTSUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "notify.h"

// ---- registry ----
#define SETTINGS_PATH L"Software\\Hazelmere\\Wakeloom"
#define INSTALL_PATH  L"Software\\Apps\\Hazelmere Software Wakeloom"
std::wstring AlarmKeyPath(int i);

// Deletes the program's settings, alarms and install-directory keys, and
// an earlier install's under HKLM.
void ResetProgramRegistry();
// While it lives, the keys at `paths` under `root` grant everyone reading
// only, as the machine's keys are to a standard user; then everything, so
// that the test can delete them.
struct ReadOnlyKeys {
    ReadOnlyKeys(HKEY root, std::vector<std::wstring> paths);
    ~ReadOnlyKeys();
    HKEY root;
    std::vector<std::wstring> paths;
};
// Reads a value's type and bytes; false when it does not exist.
bool ReadRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                  std::vector<BYTE>* data);
void WriteRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type,
                   const void* data, DWORD size);
// The program's values are the user's (HKCU), the install directory the
// machine's.
void WriteDword(const wchar_t* path, const wchar_t* name, DWORD value, HKEY root = HKEY_CURRENT_USER);
// Writes `text` with its terminator, or without it when `terminate` is false.
void WriteText(const wchar_t* path, const wchar_t* name, const std::wstring& text,
               bool terminate = true);
// The names of the values of a key (under HKCU), sorted.
std::vector<std::wstring> ValueNames(const wchar_t* path);
// The number stored under HKCU, or 0xFFFFFFFF when absent or not 4 bytes.
DWORD StoredDword(const wchar_t* path, const wchar_t* name);
// Checks a value under HKCU: its type, and its bytes as a number or as a
// text stored with exactly one terminator. Failures name the caller's line.
void ExpectStored(const char* file, int line, const wchar_t* path, const wchar_t* name,
                  DWORD value);
void ExpectStored(const char* file, int line, const wchar_t* path, const wchar_t* name,
                  const std::wstring& text);
#define EXPECT_STORED(path, name, value) ExpectStored(__FILE__, __LINE__, path, name, value)

// ---- messages, windows and dialogs ----
// Pumps this thread's messages until `done` returns true or `timeoutMs`
// pass. Returns the last answer of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches what is queued for this thread, paints included, until
// nothing is left.
void PumpPending();

// Answers the modal dialogs and message boxes that this thread opens, one
// step per dialog, once the dialog shows inside its modal loop. A dialog
// with no step left, or still open 5 s after its step ran, is ended
// with IDCANCEL and counted in `dialogsForced`, so a broken test fails
// instead of hanging.
using DialogStep = std::function<void(HWND dialog)>;
class DialogDriver {
public:
    explicit DialogDriver(std::vector<DialogStep> steps);
    ~DialogDriver();
    int dialogsSeen = 0;
    int dialogsForced = 0;
};
// A step that leaves a dialog to end by itself within `timeoutMs`.
DialogStep LeaveOpen(DWORD timeoutMs);
// A step that reads a message box into `text` (and `caption`) and closes it.
DialogStep AnswerMessageBox(std::wstring* text);

// A message box's text, a window's text.
std::wstring MessageBoxText(HWND box);
std::wstring WindowText(HWND window);
// Clicks a button of a dialog as the user would.
void ClickDialogButton(HWND dialog, int id);

// A plain top-level window of the given class and title.
HWND CreateStandInWindow(const wchar_t* className, const wchar_t* title);

// ---- captures ----
// The pixels of a window's client area as 0x00RRGGBB, row by row.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureWindow(HWND window);

// What ALSA's file plugin wrote: the format of the last stream opened and
// its interleaved 16-bit samples (other formats are converted); no
// channels and no samples when nothing was captured.
struct SoundCapture {
    int channels = 0;
    int rate = 0;
    std::vector<short> samples;
};
void ClearSoundCapture();
SoundCapture ReadSoundCapture();

// ---- processes ----
struct ChildProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};
// A program of the build folder, and one of it (or at a full path) started
// as the scheduler or the user would.
std::wstring ProgramPath(const wchar_t* fileName);
ChildProcess StartProgram(const wchar_t* fileName, const wchar_t* arguments);
// The exit code, or STILL_ACTIVE when it did not end within `timeoutMs`
// (messages are pumped meanwhile, so windows of this thread stay live).
DWORD WaitForExit(ChildProcess& child, DWORD timeoutMs);
void KillProgram(ChildProcess& child);
// The top-level window of class and title, waited for up to `timeoutMs`.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs);

// ---- times ----
// A calendar time, its day of the week filled in.
SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second = 0);
// The local time `ms` milliseconds from now, and now as a FILETIME count.
SYSTEMTIME LocalTimeIn(LONGLONG ms);
ULONGLONG LocalNowTicks();
LONGLONG Ticks(const SYSTEMTIME& time);

// ---- notifications ----
// A time notification for `application` with `arguments` (both must outlive
// the request) from `start` to `end`.
CE_NOTIFICATION_TRIGGER MakeTrigger(const wchar_t* application, const wchar_t* arguments,
                                    const SYSTEMTIME& start, const SYSTEMTIME& end);
// Sets (handle 0) or replaces one that starts and ends the given
// milliseconds from now.
HANDLE SetNotificationIn(HANDLE handle, const wchar_t* application, const wchar_t* arguments,
                         LONGLONG startMs, LONGLONG endMs);
struct PendingNotification {
    DWORD handle = 0;
    std::wstring arguments;
    SYSTEMTIME start = {};
    SYSTEMTIME end = {};
};
// While it lives, every rewrite of the store fails: a folder stands where
// the store's new copy goes.
struct BlockedStore {
    BlockedStore();
    ~BlockedStore();
    wchar_t path[MAX_PATH] = L"";
};
// What the system holds, read back through the notification API.
std::vector<PendingNotification> PendingNotifications();
// Forgets every pending notification (the store starts afresh), an
// earlier install's too.
void ClearAllNotifications();

// The starts written by the event recorder program at `recorderPath`.
struct RecordedStart {
    ULONGLONG localTicks = 0;
    std::wstring arguments;
};
std::vector<RecordedStart> ReadRecorderLog(const std::wstring& recorderPath);
void ClearRecorderLog(const std::wstring& recorderPath);

// The store's log (what was lost, started late or could not be done).
std::string ReadNotificationLog();
void ClearNotificationLog();

#endif
