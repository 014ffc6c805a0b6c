#pragma once

#include <cstdint>

#include "raster/Color32.h"

// Arithmetic shared by the blend forms (not part of the library's interface). Two channels ride
// in one 32-bit word, each in a 16-bit slot: blue and red under the mask 0x00FF00FF, green and
// alpha under 0xFF00FF00.
namespace BlendMath {

inline constexpr std::uint32_t kLowPairs = 0x00FF00FF;
inline constexpr std::uint32_t kHighPairs = 0xFF00FF00;
inline constexpr std::uint32_t kPairRounding = 0x00800080;

// The weights the forms accept; see raster/Blend.h for why larger ones are folded this way.
constexpr std::uint32_t MixWeight(std::uint32_t w) {
    return (w & 0xFFFF) == 0 ? 0 : (w > 255 ? 255 : w);
}
constexpr std::uint32_t Weight(std::uint32_t w) {
    return w > 255 ? 255 : w;
}

// (c x W + 128) shr 8 on all four channels, W <= 255. Each slot holds at most
// 255 x 255 + 128 < 65536, so no slot carries into the next.
constexpr TColor32 ScaleRounded(TColor32 c, std::uint32_t w) {
    const std::uint32_t low = (((c & kLowPairs) * w + kPairRounding) >> 8) & kLowPairs;
    const std::uint32_t high = (((c >> 8) & kLowPairs) * w + kPairRounding) & kHighPairs;
    return low | high;
}

// The plain weighted channel on all four: ((x x W + 128) shr 8) + ((y x (255 - W) + 128) shr 8).
// The two terms of one channel add up to at most (255 x 255 + 256) / 256 < 256, so the packed
// sum never carries between channels.
constexpr TColor32 PlainMix(TColor32 x, TColor32 y, std::uint32_t w) {
    return ScaleRounded(x, w) + ScaleRounded(y, 255 - w);
}

// The MMX weighted channel on all four: (f x W + b x (256 - W) + 128) shr 8, W <= 256. A slot
// holds at most 255 x 256 + 128 < 65536, so this is exact in 16-bit slots, as in the 16-bit lanes
// of the MMX form.
constexpr TColor32 MmxMix(TColor32 f, TColor32 b, std::uint32_t w) {
    const std::uint32_t v = 256 - w;
    const std::uint32_t low =
        (((f & kLowPairs) * w + (b & kLowPairs) * v + kPairRounding) >> 8) & kLowPairs;
    const std::uint32_t high =
        (((f >> 8) & kLowPairs) * w + ((b >> 8) & kLowPairs) * v + kPairRounding) & kHighPairs;
    return low | high;
}

} // namespace BlendMath
