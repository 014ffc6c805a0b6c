#pragma once

#include <cstdint>

// Elapsed time in microseconds for the adaptive repaint optimiser, from the platform's
// performance counter, and the millisecond tick count.

// Where the timer reads its time: the platform's counter and its frequency (counts per
// second), and the tick count. Tests install their own.
struct TPerfClock {
    std::int64_t (*Counter)() = nullptr;
    std::int64_t (*Frequency)() = nullptr;
    std::uint32_t (*Ticks)() = nullptr;
};

// The platform's clock (the performance counter on Windows, a steady clock elsewhere).
TPerfClock PlatformPerfClock();

class TPerfTimer {
public:
    explicit TPerfTimer(TPerfClock clock = PlatformPerfClock()) : clock_(clock) {}

    void Start();
    // The microseconds since Start, rounded (ties to even). A counter without a frequency (0 or
    // negative) falls back to the tick count: milliseconds x 1000.
    std::int64_t ReadMicroseconds();
    std::uint32_t TickCount() const { return clock_.Ticks(); }

private:
    TPerfClock clock_;
    std::int64_t startCount_ = 0;
    std::int64_t stopCount_ = 0;
    std::uint32_t startTicks_ = 0;
};
