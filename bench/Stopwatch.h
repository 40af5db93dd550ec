// Wall-clock time for the benchmark programs, from the performance counter.
#pragma once
#include <windows.h>

// Seconds since an arbitrary fixed point.
inline double BenchSeconds()
{
    static const double s_dFrequency = []
    {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / s_dFrequency;
}
