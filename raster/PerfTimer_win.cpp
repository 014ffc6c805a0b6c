#include <windows.h>

#include "raster/PerfTimer.h"

namespace {
std::int64_t QueryCounter() {
    LARGE_INTEGER v;
    return QueryPerformanceCounter(&v) ? v.QuadPart : 0;
}
std::int64_t QueryFrequency() {
    LARGE_INTEGER v;
    return QueryPerformanceFrequency(&v) ? v.QuadPart : 0;
}
std::uint32_t QueryTicks() {
    return GetTickCount();
}
} // namespace

TPerfClock PlatformPerfClock() {
    return TPerfClock{&QueryCounter, &QueryFrequency, &QueryTicks};
}
