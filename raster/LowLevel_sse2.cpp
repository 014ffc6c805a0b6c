// The SSE2 fill: 16-byte stores, and the processor's string store for long runs, which fills as
// fast as the C library's memset does on current processors.
#include <emmintrin.h>

#include <cstdint>

#include "raster/LowLevel.h"

namespace {
// From this many cells on, the string store's start-up cost is repaid.
constexpr int kStringStoreCells = 512;
} // namespace

void Sse2Forms::Fill32(TColor32* x, int count, TColor32 value) {
    if (count <= 0) {
        return;
    }
    if (count >= kStringStoreCells) {
        auto n = static_cast<std::size_t>(count);
        asm volatile("rep stosl" : "+D"(x), "+c"(n) : "a"(value) : "memory");
        return;
    }
    while (count > 0 && (reinterpret_cast<std::uintptr_t>(x) & 15) != 0) {
        *x++ = value;
        --count;
    }
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    for (; count >= 16; count -= 16, x += 16) {
        _mm_store_si128(reinterpret_cast<__m128i*>(x), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(x + 4), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(x + 8), v);
        _mm_store_si128(reinterpret_cast<__m128i*>(x + 12), v);
    }
    for (; count >= 4; count -= 4, x += 4) {
        _mm_store_si128(reinterpret_cast<__m128i*>(x), v);
    }
    for (; count > 0; --count) {
        *x++ = value;
    }
}
