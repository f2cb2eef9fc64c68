// What the tests need to drive the real program under Wine: registry
// resets, answering modal dialogs, window captures, the sound capture and
// child processes.
#ifndef WAKELOOM_TESTSUPPORT_H
#define WAKELOOM_TESTSUPPORT_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Deletes the program's settings, alarms and install-directory keys.
void ResetProgramRegistry();

// Reads a value's type and bytes; false when it does not exist.
bool ReadRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                  std::vector<BYTE>* data);
void WriteRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type,
                   const void* data, DWORD size);
void WriteDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value);
// Writes `text` with its terminator, or without it when `terminate` is false.
void WriteText(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text,
               bool terminate = true);
// The names of the values of a key, in no particular order.
std::vector<std::wstring> ValueNames(HKEY root, const wchar_t* path);

// Pumps this thread's messages until `done` returns true or `timeoutMs`
// pass. Returns the last answer of `done`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Answers the modal dialogs and message boxes that this thread opens, one
// step per dialog, from inside their modal loop. A dialog with no step left,
// or still open `watchdogMs` after its step ran, is ended with IDCANCEL and
// counted in `dialogsForced`, so a broken test fails instead of hanging.
using DialogStep = std::function<void(HWND dialog)>;
class DialogDriver {
public:
    explicit DialogDriver(std::vector<DialogStep> steps, DWORD watchdogMs = 5000);
    ~DialogDriver();
    int dialogsSeen = 0;
    int dialogsForced = 0;
};

// A message box's text and caption.
std::wstring MessageBoxText(HWND box);
std::wstring WindowText(HWND window);
// Clicks a button of a dialog as the user would.
void ClickDialogButton(HWND dialog, int id);

// The pixels of a window's client area as 0x00RRGGBB, row by row.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureWindow(HWND window);

// What ALSA's file plugin wrote: the format of the last stream played and
// its interleaved 16-bit samples (other formats are converted).
struct SoundCapture {
    bool valid = false;
    int channels = 0;
    int rate = 0;
    std::vector<short> samples;
};
std::wstring SoundCapturePath();
void ClearSoundCapture();
SoundCapture ReadSoundCapture();

// A program of the build folder, started as the scheduler or the user would.
struct ChildProcess {
    HANDLE process = nullptr;
    DWORD id = 0;
};
std::wstring ProgramPath(const wchar_t* fileName);
ChildProcess StartProgram(const wchar_t* fileName, const wchar_t* arguments);
// The exit code, or STILL_ACTIVE when it did not end within `timeoutMs`
// (messages are pumped meanwhile, so windows of this thread stay live).
DWORD WaitForExit(ChildProcess& child, DWORD timeoutMs);
void KillProgram(ChildProcess& child);
// The top-level window of class and title, waited for up to `timeoutMs`.
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs);

// ---- notifications ----
struct PendingNotification {
    DWORD handle = 0;
    std::wstring application;
    std::wstring arguments;
    SYSTEMTIME start = {};
    SYSTEMTIME end = {};
};
// What the system holds, read back through the notification API.
std::vector<PendingNotification> PendingNotifications();
// Forgets every pending notification (the store starts afresh).
void ClearAllNotifications();
// The local time `ms` milliseconds from now.
SYSTEMTIME LocalTimeIn(LONGLONG ms);
// A given calendar time, its day of the week filled in.
SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second = 0,
                    int ms = 0);
ULONGLONG LocalNowTicks();

// The starts written by the event recorder program at `recorderPath`.
struct RecordedStart {
    ULONGLONG localTicks = 0;
    std::wstring arguments;
};
std::vector<RecordedStart> ReadRecorderLog(const std::wstring& recorderPath);
void ClearRecorderLog(const std::wstring& recorderPath);

#endif
