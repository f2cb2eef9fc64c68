// A stand-in for programs that notifications start: appends its command
// line and the local time it started, in FILETIME units, to "<itself>.log".
#include <windows.h>

#include <stdio.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    FILETIME utc;
    ULARGE_INTEGER local;
    GetSystemTimePreciseAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, reinterpret_cast<FILETIME*>(&local));

    wchar_t log[MAX_PATH + 8];
    DWORD n = GetModuleFileNameW(nullptr, log, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    wcscat(log, L".log");
    // Several recorders may start at once: retry while another has the file.
    for (int attempt = 0; attempt < 200; attempt++) {
        HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char line[600];
            int length = snprintf(line, sizeof(line), "%llu %ls\n", local.QuadPart, commandLine);
            DWORD written;
            if (length > 0)
                WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
            CloseHandle(file);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}
