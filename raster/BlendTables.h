#pragma once

#include <array>
#include <cstdint>

// The look-up tables of the colour primitives. All are constants of the program: they exist
// before start-up and are never written.

using TByteTable = std::array<std::array<std::uint8_t, 256>, 256>;

// MulTable[J][I] = Round(I x J / 255).
extern const TByteTable MulTable;

// DivTable[J][I] = the low 8 bits of Round(I x 255 / J), 0 for J = 0. For I <= J the value is
// at most 255; the merge reads no other entries.
extern const TByteTable DivTable;

// AlphaTable[W]: four 16-bit lanes each equal to W, 8-byte aligned, for code that multiplies the
// four channels of a pixel by one weight at a time. AlphaBias is entry 128 (the rounding term).
struct alignas(8) TAlphaLanes {
    std::uint16_t lane[4];
};
extern const std::array<TAlphaLanes, 256> AlphaTable;
extern const TAlphaLanes* const AlphaBias;
