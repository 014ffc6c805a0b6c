#include "raster/PerfTimer.h"

#include <chrono>
#include <cmath>

void TPerfTimer::Start() {
    startTicks_ = clock_.Ticks();
    startCount_ = clock_.Counter();
}

std::int64_t TPerfTimer::ReadMicroseconds() {
    stopCount_ = clock_.Counter();
    const std::int64_t frequency = clock_.Frequency();
    if (frequency <= 0)
        return std::int64_t{static_cast<std::uint32_t>(clock_.Ticks() - startTicks_)} * 1000;
    // Whole seconds and the remainder apart, so that the product by 10^6 cannot overflow.
    const std::int64_t elapsed = stopCount_ - startCount_;
    const std::int64_t seconds = elapsed / frequency, rest = elapsed % frequency;
    return seconds * 1000000 +
           static_cast<std::int64_t>(
               std::nearbyint(static_cast<double>(rest) * 1e6 / static_cast<double>(frequency)));
}

#ifndef _WIN32
namespace {
std::int64_t SteadyCounter() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
std::int64_t SteadyFrequency() {
    return 1000000000;
}
std::uint32_t SteadyTicks() {
    return static_cast<std::uint32_t>(SteadyCounter() / 1000000);
}
} // namespace

TPerfClock PlatformPerfClock() {
    return TPerfClock{&SteadyCounter, &SteadyFrequency, &SteadyTicks};
}
#endif
