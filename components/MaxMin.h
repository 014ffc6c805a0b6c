#pragma once

#include <cstdint>

// The larger and the smaller of two signed 32-bit integers. Shared by the GIF
// reader and writer and the notification icon.
constexpr std::int32_t IntMax(std::int32_t a, std::int32_t b) {
    return a > b ? a : b;
}
constexpr std::int32_t IntMin(std::int32_t a, std::int32_t b) {
    return a < b ? a : b;
}
