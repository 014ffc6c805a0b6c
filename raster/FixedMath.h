#pragma once

#include <cassert>
#include <cstdint>

// 16.16 fixed point: 65536 is 1.0.
using TFixed = std::int32_t;

inline constexpr TFixed kFixedOne = 0x10000;

// The integer part rounded down: V sar 16.
constexpr int FixedToIntFloor(TFixed v) {
    return v >> 16;
}

// Rounded up: (V + 0xFFFF) sar 16. The sum is formed in 64 bits, so values near the top of the
// range give their true ceiling instead of overflowing.
constexpr int FixedToIntCeil(TFixed v) {
    return static_cast<int>((std::int64_t{v} + 0xFFFF) >> 16);
}

// Rounded to nearest with halves going down: (V + 0x7FFF) sar 16, again without overflow.
constexpr int FixedToIntRound(TFixed v) {
    return static_cast<int>((std::int64_t{v} + 0x7FFF) >> 16);
}

// (A shl 16) div B with a 64-bit intermediate, truncating. B must not be 0 and the quotient must
// fit in 32 bits (callers guarantee both).
constexpr TFixed FixedDivide(TFixed a, TFixed b) {
    assert(b != 0);
    return static_cast<TFixed>((std::int64_t{a} * 65536) / b);
}
