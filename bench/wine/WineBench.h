// What the Wine benchmark's two programs share: the clock.
#pragma once

#include <windows.h>

namespace treskel::bench {

// Milliseconds of the performance counter.
inline double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace treskel::bench
