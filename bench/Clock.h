// The benchmarks' clock: the performance counter, in milliseconds since an arbitrary start.
#pragma once

#include "platform/WindowsHeaders.h"

inline double NowMilliseconds()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
