#pragma once

// Helpers for the raster tests: the channel formulas written out independently of the library,
// seeded random cases that can be replayed one by one, and guarded buffers.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "raster/Color32.h"

namespace RasterTest {

// One channel of a weighted mix in the plain forms: two separately rounded terms.
constexpr std::uint32_t PlainChannel(std::uint32_t f, std::uint32_t b, std::uint32_t w) {
    return ((f * w + 128) >> 8) + ((b * (255 - w) + 128) >> 8);
}

// One channel in the MMX forms: one rounded sum with weights W and 256 - W.
constexpr std::uint32_t MmxChannel(std::uint32_t f, std::uint32_t b, std::uint32_t w) {
    return (f * w + b * (256 - w) + 128) >> 8;
}

constexpr std::uint32_t Channel(TColor32 c, int index) {
    return (c >> (8 * index)) & 0xFF;
}

// Applies a per-channel rule to all four channels of two colours.
template <class Rule> TColor32 EachChannel(TColor32 x, TColor32 y, Rule rule) {
    TColor32 r = 0;
    for (int k = 0; k < 4; ++k) {
        r |= (rule(Channel(x, k), Channel(y, k)) & 0xFF) << (8 * k);
    }
    return r;
}

// The run's seed: QUORVANE_TEST_SEED when set, else fresh, and printed either way so that a
// failing run can be repeated. QUORVANE_TEST_CASE narrows a run to one case of that seed.
inline std::uint32_t RunSeed() {
    static const std::uint32_t seed = [] {
        std::uint32_t s;
        if (const char* text = std::getenv("QUORVANE_TEST_SEED")) {
            s = static_cast<std::uint32_t>(std::strtoul(text, nullptr, 0));
        } else {
            // The clock as well: some runtimes' random_device repeats itself.
            s = std::random_device{}() ^
                static_cast<std::uint32_t>(
                    std::chrono::steady_clock::now().time_since_epoch().count());
        }
        std::printf("raster tests: seed %u (QUORVANE_TEST_SEED=%u replays this run)\n", s, s);
        std::fflush(stdout);
        return s;
    }();
    return seed;
}

// The cases to run: all of [0, count), or the one named by QUORVANE_TEST_CASE.
inline std::vector<int> CasesToRun(int count) {
    std::vector<int> cases;
    if (const char* text = std::getenv("QUORVANE_TEST_CASE")) {
        cases.push_back(std::atoi(text));
        return cases;
    }
    for (int i = 0; i < count; ++i) {
        cases.push_back(i);
    }
    return cases;
}

// A small generator (SplitMix64) for one case, reproducible from the run's seed and the case
// number alone; cheap to set up, since every case starts its own.
class CaseRng {
public:
    using result_type = std::uint32_t;
    explicit CaseRng(std::uint64_t seed) : state_(seed) {}
    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return 0xFFFFFFFF; }
    result_type operator()() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<result_type>((z ^ (z >> 31)) >> 32);
    }

private:
    std::uint64_t state_;
};

inline CaseRng CaseRandom(int caseIndex) {
    return CaseRng((std::uint64_t{RunSeed()} << 32) ^ static_cast<std::uint32_t>(caseIndex));
}

inline std::string ReplayHint(int caseIndex) {
    return "replay: QUORVANE_TEST_SEED=" + std::to_string(RunSeed()) +
           " QUORVANE_TEST_CASE=" + std::to_string(caseIndex);
}

// A row of cells between two guard zones filled with a canary value.
class GuardedRow {
public:
    static constexpr int kGuard = 8;
    static constexpr TColor32 kCanary = 0xDEADBEEF;

    explicit GuardedRow(int count, TColor32 fill = 0)
        : cells_(static_cast<std::size_t>(count + 2 * kGuard), kCanary) {
        for (int i = 0; i < count; ++i) {
            data()[i] = fill;
        }
    }
    TColor32* data() { return cells_.data() + kGuard; }
    int size() const { return static_cast<int>(cells_.size()) - 2 * kGuard; }
    bool GuardsIntact() const {
        for (int i = 0; i < kGuard; ++i) {
            if (cells_[i] != kCanary || cells_[cells_.size() - 1 - i] != kCanary) {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<TColor32> cells_;
};

} // namespace RasterTest
