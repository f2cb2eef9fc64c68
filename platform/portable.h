// The few Windows types that pure code (time arithmetic, parsers, codecs)
// uses, so that it also builds natively on Linux for table tests and fuzzing
// with the sanitizers. Texts in such code are UTF-16 code units (WCHAR).
#ifndef WAKELOOM_PORTABLE_H
#define WAKELOOM_PORTABLE_H

#ifdef _WIN32
#include <windows.h>
#else
#include <stddef.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef char16_t WCHAR;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
#endif

static_assert(sizeof(WCHAR) == 2, "texts are UTF-16");

#endif
