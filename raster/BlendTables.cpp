#include "raster/BlendTables.h"

namespace {

// Num / Den rounded to nearest with ties to even, as Round does throughout the library. The
// quotient is exact rational arithmetic, so the ties are found exactly (for example 100 x 255 /
// 200 = 127.5 gives 128).
constexpr std::uint32_t RoundQuotient(std::uint32_t num, std::uint32_t den) {
    const std::uint32_t q = num / den;
    const std::uint32_t twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1) != 0)) {
        return q + 1;
    }
    return q;
}

constexpr TByteTable BuildMulTable() {
    TByteTable t{};
    for (std::uint32_t j = 0; j < 256; ++j) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            t[j][i] = static_cast<std::uint8_t>(RoundQuotient(i * j, 255));
        }
    }
    return t;
}

constexpr TByteTable BuildDivTable() {
    TByteTable t{};
    for (std::uint32_t j = 1; j < 256; ++j) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            t[j][i] = static_cast<std::uint8_t>(RoundQuotient(i * 255, j) & 0xFF);
        }
    }
    return t;
}

constexpr std::array<TAlphaLanes, 256> BuildAlphaTable() {
    std::array<TAlphaLanes, 256> t{};
    for (std::uint16_t w = 0; w < 256; ++w) {
        t[w] = TAlphaLanes{{w, w, w, w}};
    }
    return t;
}

} // namespace

constinit const TByteTable MulTable = BuildMulTable();
constinit const TByteTable DivTable = BuildDivTable();
constinit const std::array<TAlphaLanes, 256> AlphaTable = BuildAlphaTable();
constinit const TAlphaLanes* const AlphaBias = &AlphaTable[128];
