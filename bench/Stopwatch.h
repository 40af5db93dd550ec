// Wall-clock and CPU time for the benchmark programs.
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

// User plus kernel time of every thread of this process so far, in seconds.
inline double BenchCpuSeconds()
{
    FILETIME creation, exit, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME& ft)
    { return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}
