// The benchmarks' clock: the performance counter, in seconds.
#ifndef WAKELOOM_STOPWATCH_H
#define WAKELOOM_STOPWATCH_H

#include <windows.h>

inline LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

// Seconds since `start`.
inline double Seconds(LARGE_INTEGER start)
{
    LARGE_INTEGER now = Now(), frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

#endif
