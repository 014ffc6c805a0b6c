#pragma once

#include <cstdint>
#include <vector>

// A 32-bit colour: alpha in bits 24-31, then red, green and blue. In memory (little-endian) the
// bytes run blue, green, red, alpha, which is the pixel layout of a 32-bit device-independent
// bitmap. Alpha 255 is opaque, 0 fully transparent.
using TColor32 = std::uint32_t;
using TArrayOfColor32 = std::vector<TColor32>;

// The channels of C, each 0-255.
constexpr std::uint32_t AlphaComponent(TColor32 c) {
    return c >> 24;
}
constexpr std::uint32_t RedComponent(TColor32 c) {
    return (c >> 16) & 0xFF;
}
constexpr std::uint32_t GreenComponent(TColor32 c) {
    return (c >> 8) & 0xFF;
}
constexpr std::uint32_t BlueComponent(TColor32 c) {
    return c & 0xFF;
}

// The colour of the given channels; each is taken modulo 256.
constexpr TColor32 Color32Of(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
