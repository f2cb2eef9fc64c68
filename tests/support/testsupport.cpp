#include "testsupport.h"

#include <string.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include <sddl.h>

#include "contract.h"
#include "devicestore.h"
#include "notify.h"
#include "notifystore.h"
#include "soundtest.h"

// ---- registry ---------------------------------------------------------------

std::wstring AlarmKeyPath(int i)
{
    return std::wstring(SETTINGS_PATH) + L"\\Alarms\\" + std::to_wstring(i);
}

void ResetProgramRegistry()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_PATH);
    // An earlier install's, which the next start would copy.
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, SETTINGS_PATH);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, INSTALL_PATH);
}

// Gives the keys at `paths` under `root` the access list `sddl`.
static void SetAccessLists(HKEY root, const std::vector<std::wstring>& paths, const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr));
    for (const std::wstring& path : paths) {
        HKEY key;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key)) << path;
        EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd)) << path;
        RegCloseKey(key);
    }
    LocalFree(sd);
}

ReadOnlyKeys::ReadOnlyKeys(HKEY root, std::vector<std::wstring> paths) : root(root), paths(std::move(paths))
{
    SetAccessLists(root, this->paths, L"D:(A;;KR;;;WD)");
}

ReadOnlyKeys::~ReadOnlyKeys()
{
    SetAccessLists(root, paths, L"D:(A;;KA;;;WD)");
}

bool ReadRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD* type,
                  std::vector<BYTE>* data)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG err = RegQueryValueExW(key, name, nullptr, type, nullptr, &size);
    if (err == ERROR_SUCCESS) {
        data->assign(size, 0);
        err = RegQueryValueExW(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return err == ERROR_SUCCESS;
}

void WriteRawValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type,
                   const void* data, DWORD size)
{
    RegSetKeyValueW(root, path, name, type, data, size);   // the key made as needed
}

void WriteDword(const wchar_t* path, const wchar_t* name, DWORD value, HKEY root)
{
    WriteRawValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

void WriteText(const wchar_t* path, const wchar_t* name, const std::wstring& text, bool terminate)
{
    // The install directory is the machine's, written by the installer.
    HKEY root = wcscmp(path, INSTALL_PATH) == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    DWORD units = static_cast<DWORD>(text.size() + (terminate ? 1 : 0));
    WriteRawValue(root, path, name, REG_SZ, text.c_str(), units * sizeof(wchar_t));
}

std::vector<std::wstring> ValueNames(const wchar_t* path)
{
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; i++) {
        wchar_t name[256];
        DWORD length = ARRAYSIZE(name);
        if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

DWORD StoredDword(const wchar_t* path, const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, path, name, RRF_RT_DWORD, nullptr, &value, &size)
        == ERROR_SUCCESS ? value : 0xFFFFFFFF;
}

// A missing value reads as type 0 with no bytes, which matches nothing stored.
static void ExpectStoredBytes(const char* file, int line, const wchar_t* path,
                              const wchar_t* name, DWORD expectedType, const void* expected,
                              size_t size)
{
    ::testing::ScopedTrace trace(file, line, testing::PrintToString(std::wstring(name)));
    DWORD type = 0;
    std::vector<BYTE> data;
    ReadRawValue(HKEY_CURRENT_USER, path, name, &type, &data);
    EXPECT_EQ(expectedType, type);
    const BYTE* bytes = static_cast<const BYTE*>(expected);
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + size), data);
}

void ExpectStored(const char* file, int line, const wchar_t* path, const wchar_t* name,
                  DWORD value)
{
    ExpectStoredBytes(file, line, path, name, REG_DWORD, &value, sizeof(value));
}

void ExpectStored(const char* file, int line, const wchar_t* path, const wchar_t* name,
                  const std::wstring& text)
{
    ExpectStoredBytes(file, line, path, name, REG_SZ, text.c_str(),
                      (text.size() + 1) * sizeof(wchar_t));
}

// ---- messages and dialogs ---------------------------------------------------

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

namespace {

const UINT_PTR kStepTimer = 0x7E57;
const UINT_PTR kWatchdogTimer = 0x7E58;

struct DriverState {
    DialogDriver* driver = nullptr;
    HHOOK hook = nullptr;
    std::vector<DialogStep> steps;
    size_t nextStep = 0;
    std::set<HWND> seen;
};
DriverState driverState;

// Runs the next step on a dialog, or ends it when its watchdog fired or no
// step is left.
void CALLBACK StepProc(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    if (driverState.driver == nullptr || !IsWindow(dialog))
        return;
    // A dialog is activated before its modal loop shows it: the step waits.
    if (id == kStepTimer && !IsWindowVisible(dialog)) {
        SetTimer(dialog, kStepTimer, 10, StepProc);
        return;
    }
    if (id == kWatchdogTimer || driverState.nextStep >= driverState.steps.size()) {
        driverState.driver->dialogsForced++;
        EndDialog(dialog, IDCANCEL);
        return;
    }
    SetTimer(dialog, kWatchdogTimer, 5000, StepProc);
    DialogStep step = driverState.steps[driverState.nextStep++];
    step(dialog);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && driverState.driver != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(window, className, ARRAYSIZE(className));
        if (wcscmp(className, L"#32770") == 0 && driverState.seen.insert(window).second) {
            driverState.driver->dialogsSeen++;
            // Runs once the dialog's own modal loop is pumping.
            SetTimer(window, kStepTimer, 0, StepProc);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

DialogDriver::DialogDriver(std::vector<DialogStep> steps)
{
    driverState = { this, nullptr, std::move(steps), 0, {} };
    driverState.hook = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver()
{
    if (driverState.hook != nullptr)
        UnhookWindowsHookEx(driverState.hook);
    driverState = DriverState();
}

DialogStep LeaveOpen(DWORD timeoutMs)
{
    // The step's watchdog, moved further off.
    return [timeoutMs](HWND dialog) { SetTimer(dialog, kWatchdogTimer, timeoutMs, StepProc); };
}

DialogStep AnswerMessageBox(std::wstring* text)
{
    return [text](HWND box) {
        if (text != nullptr)
            *text = MessageBoxText(box);
        ClickDialogButton(box, IDOK);
    };
}

HWND CreateStandInWindow(const wchar_t* className, const wchar_t* title)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

std::wstring MessageBoxText(HWND box)
{
    // The text of a message box is the static control with id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowText(text) : std::wstring();
}

void ClickDialogButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// ---- window capture ---------------------------------------------------------

Capture CaptureWindow(HWND window)
{
    Capture capture;
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    capture.width = client.right;
    capture.height = client.bottom;
    if (capture.width <= 0 || capture.height <= 0)
        return capture;

    // 32 bits a pixel, rows from the top down.
    BITMAPINFO bmi = { { sizeof(BITMAPINFOHEADER), capture.width, -capture.height, 1, 32, BI_RGB,
                         0, 0, 0, 0, 0 }, {} };

    HDC windowDc = GetDC(window);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(windowDc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HGDIOBJ old = SelectObject(memoryDc, dib);
    BitBlt(memoryDc, 0, 0, capture.width, capture.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* source = static_cast<const DWORD*>(bits);
    capture.pixels.assign(source, source + static_cast<size_t>(capture.width) * capture.height);
    for (DWORD& pixel : capture.pixels)
        pixel &= 0x00FFFFFF;
    SelectObject(memoryDc, old);
    DeleteDC(memoryDc);
    DeleteObject(dib);
    ReleaseDC(window, windowDc);
    return capture;
}

// ---- sound capture ----------------------------------------------------------

// The capture folder: one file a stream, named by when it opened.
static std::wstring CaptureFolder()
{
    wchar_t unixPath[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"WAKELOOM_CAPTURE", unixPath, MAX_PATH) == 0)
        return L"";
    return std::wstring(L"Z:") + unixPath + L"\\";   // Wine's Z: drive is the Linux root
}

static std::vector<std::wstring> CaptureFiles()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((CaptureFolder() + L"*.wav").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(CaptureFolder() + found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A stream still open writes on into its file, which is gone: only streams
// opened from now on are heard.
void ClearSoundCapture()
{
    for (const std::wstring& name : CaptureFiles())
        DeleteFileW(name.c_str());
}

// ALSA's file plugin writes a plain 44-byte header, its lengths unknown
// through a pipe: everything after the header is samples. Our
// sound library plays 16-bit PCM only, so that is what it writes; anything
// else reads as no capture.
SoundCapture ReadSoundCapture()
{
    SoundCapture capture;
    std::vector<std::wstring> files = CaptureFiles();
    std::vector<BYTE> bytes = files.empty() ? std::vector<BYTE>() : ReadBytes(files.back());
    PCMWAVEFORMAT format = {};
    if (bytes.size() >= 44 && memcmp(bytes.data(), "RIFF", 4) == 0)
        CopyMemory(&format, bytes.data() + 20, sizeof(format));
    if (format.wf.wFormatTag != WAVE_FORMAT_PCM || format.wBitsPerSample != 16)
        return capture;
    capture.channels = format.wf.nChannels;
    capture.rate = static_cast<int>(format.wf.nSamplesPerSec);
    capture.samples = WavSamples(bytes);
    return capture;
}

// ---- processes --------------------------------------------------------------

std::wstring ProgramPath(const wchar_t* fileName)
{
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self, n);
    dir.resize(dir.find_last_of(L'\\') + 1);
    return dir + fileName;
}

ChildProcess StartProgram(const wchar_t* fileName, const wchar_t* arguments)
{
    std::wstring path = wcschr(fileName, L'\\') != nullptr ? fileName : ProgramPath(fileName);
    ChildProcess child;
    std::wstring commandLine = L"\"" + path + L"\"";
    if (arguments != nullptr && arguments[0] != L'\0')
        commandLine += std::wstring(L" ") + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    if (CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        child.process = pi.hProcess;
        child.id = pi.dwProcessId;
    }
    return child;
}

DWORD WaitForExit(ChildProcess& child, DWORD timeoutMs)
{
    if (child.process == nullptr)
        return STILL_ACTIVE;
    PumpUntil([&] { return WaitForSingleObject(child.process, 0) == WAIT_OBJECT_0; },
              timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.process, &code);
    if (code != STILL_ACTIVE) {
        CloseHandle(child.process);
        child.process = nullptr;
    }
    return code;
}

void KillProgram(ChildProcess& child)
{
    if (child.process == nullptr)
        return;
    TerminateProcess(child.process, 99);
    WaitForSingleObject(child.process, 5000);
    CloseHandle(child.process);
    child.process = nullptr;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = FindWindowW(className, title)) != nullptr; }, timeoutMs);
    return found;
}

// ---- notifications ----------------------------------------------------------

CE_NOTIFICATION_TRIGGER MakeTrigger(const wchar_t* application, const wchar_t* arguments,
                                    const SYSTEMTIME& start, const SYSTEMTIME& end)
{
    return { sizeof(CE_NOTIFICATION_TRIGGER), CNT_TIME, 0, const_cast<WCHAR*>(application),
             const_cast<WCHAR*>(arguments), start, end };
}

HANDLE SetNotificationIn(HANDLE handle, const wchar_t* application, const wchar_t* arguments,
                         LONGLONG startMs, LONGLONG endMs)
{
    CE_NOTIFICATION_TRIGGER trigger = MakeTrigger(application, arguments, LocalTimeIn(startMs),
                                                  LocalTimeIn(endMs));
    return CeSetUserNotificationEx(handle, &trigger, nullptr);
}

std::vector<PendingNotification> PendingNotifications()
{
    std::vector<PendingNotification> result;
    DWORD needed = 0;
    CeGetUserNotificationHandles(nullptr, 0, &needed);
    std::vector<HANDLE> handles(needed + 8);
    if (!CeGetUserNotificationHandles(handles.data(), static_cast<DWORD>(handles.size()), &needed))
        return result;
    handles.resize(needed);
    for (HANDLE handle : handles) {
        DWORD bytes = 0;
        CeGetUserNotification(handle, 0, &bytes, nullptr);
        std::vector<BYTE> buffer(bytes);
        if (!CeGetUserNotification(handle, bytes, &bytes, buffer.data()))
            continue;
        auto* info = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer.data());
        const CE_NOTIFICATION_TRIGGER& t = *info->pcent;
        result.push_back({ HandleToULong(info->hNotification), t.lpszArguments, t.stStartTime,
                           t.stEndTime });
    }
    return result;
}

void ClearAllNotifications()
{
    HANDLE lock = LockNotificationStore();
    wchar_t earlier[MAX_PATH];
    EarlierDataFolder(earlier, MAX_PATH);
    for (const wchar_t* name : { STORE_FILE, STORE_COPY_FILE, STORE_DAMAGED, STORE_TEMP_FILE }) {
        wchar_t path[MAX_PATH];
        if (NotificationFilePath(name, path, MAX_PATH)) {
            RemoveDirectoryW(path);
            DeleteFileW(path);
        }
        DeleteFileW((std::wstring(earlier) + L"\\" + name).c_str());   // an earlier install's
    }
    UnlockNotificationStore(lock);
}

BlockedStore::BlockedStore()
{
    NotificationFilePath(STORE_TEMP_FILE, path, MAX_PATH);
    CreateDirectoryW(path, nullptr);
}

BlockedStore::~BlockedStore()
{
    RemoveDirectoryW(path);
}

ULONGLONG LocalNowTicks()
{
    FILETIME utc, local;
    GetSystemTimePreciseAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    return (static_cast<ULONGLONG>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
}

SYSTEMTIME LocalTimeIn(LONGLONG ms)
{
    ULONGLONG t = LocalNowTicks() + ms * 10000;
    FILETIME ft = { static_cast<DWORD>(t), static_cast<DWORD>(t >> 32) };
    SYSTEMTIME st;
    FileTimeToSystemTime(&ft, &st);
    return st;
}

LONGLONG Ticks(const SYSTEMTIME& time)
{
    ULARGE_INTEGER ticks = {};
    SystemTimeToFileTime(&time, reinterpret_cast<FILETIME*>(&ticks));
    return static_cast<LONGLONG>(ticks.QuadPart);
}

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t = { WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0 };
    // A round trip through FILETIME fills in the day of the week.
    FILETIME ft;
    SystemTimeToFileTime(&t, &ft);
    FileTimeToSystemTime(&ft, &t);
    return t;
}

std::vector<RecordedStart> ReadRecorderLog(const std::wstring& recorderPath)
{
    std::vector<BYTE> bytes = ReadBytes(recorderPath + L".log");
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    std::vector<RecordedStart> starts;
    RecordedStart start;
    std::string arguments;
    // "<ticks> <arguments>", the arguments in ASCII.
    while (lines >> start.localTicks && std::getline(lines, arguments)) {
        start.arguments.assign(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());
        starts.push_back(start);
    }
    return starts;
}

void ClearRecorderLog(const std::wstring& recorderPath)
{
    DeleteFileW((recorderPath + L".log").c_str());
}

std::string ReadNotificationLog()
{
    wchar_t path[MAX_PATH] = L"";
    NotificationFilePath(STORE_LOG_FILE, path, MAX_PATH);
    std::vector<BYTE> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void ClearNotificationLog()
{
    wchar_t path[MAX_PATH];
    if (NotificationFilePath(STORE_LOG_FILE, path, MAX_PATH))
        DeleteFileW(path);
}
