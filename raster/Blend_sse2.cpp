// The MMX results of the rows, four pixels per step in SSE2 registers.
//
// The channels are split by byte parity rather than by pixel: the blue and red bytes of four
// pixels form one register of 16-bit lanes, the green and alpha bytes another. Each pixel's
// weight then fills both 16-bit lanes of its 32-bit cell, and one weight register serves both
// halves. Per lane the result is (f x W + b x (256 - W) + 128) shr 8, formed as
// (f - b) x W + b x 256 + 128: its true value lies in 0..65408, so the low 16 bits of the
// product suffice. The even half is shifted down into the low byte, the odd half is only masked,
// as its result already sits in the high byte. Loads and stores are unaligned: rows start
// anywhere.
#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "raster/BlendForms.h"
#include "raster/LowLevel.h"

namespace {

// Four pixels of F over four of B with per-lane weights W (each W in 0..256); fOdd is F's odd
// half, F shifted right by 8 in each 16-bit lane, which callers may have formed already.
inline __m128i MixPixels(__m128i f, __m128i fOdd, __m128i b, __m128i w, __m128i bias) {
    const __m128i kEvenBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i kOddBytes = _mm_set1_epi32(static_cast<int>(0xFF00FF00));
    const __m128i fEven = _mm_and_si128(f, kEvenBytes);
    const __m128i bEven = _mm_and_si128(b, kEvenBytes);
    const __m128i bOdd = _mm_srli_epi16(b, 8);
    __m128i even = _mm_mullo_epi16(_mm_sub_epi16(fEven, bEven), w);
    __m128i odd = _mm_mullo_epi16(_mm_sub_epi16(fOdd, bOdd), w);
    even = _mm_add_epi16(_mm_add_epi16(even, _mm_slli_epi16(b, 8)), bias);
    odd = _mm_add_epi16(_mm_add_epi16(odd, _mm_and_si128(b, kOddBytes)), bias);
    return _mm_or_si128(_mm_srli_epi16(even, 8), _mm_and_si128(odd, kOddBytes));
}

// The alpha bytes of two pixels read as one 64-bit word.
constexpr std::uint64_t kAlphas = 0xFF000000FF000000ull;

// Each pixel's alpha in both 16-bit lanes of its cell, from F's odd half (green, alpha lanes).
inline __m128i AlphaLanes(__m128i fOdd) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(fOdd, 0xF5), 0xF5);
}

} // namespace

namespace Sse2Forms {

void MixRow(const TColor32* src, TColor32* dst, int count, std::uint32_t w) {
    w = (w & 0xFFFF) == 0 ? 0 : (w > 255 ? 255 : w);
    if (w == 0) {
        return;
    }
    if (w == 255) {
        Move32(src, dst, count);
        return;
    }
    const __m128i weight = _mm_set1_epi16(static_cast<short>(w));
    const __m128i bias = _mm_set1_epi16(128);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                         MixPixels(s, _mm_srli_epi16(s, 8), d, weight, bias));
    }
    if (i < count) {
        MmxForms::MixRow(src + i, dst + i, count - i, w);
    }
}

void BlendRow(const TColor32* src, TColor32* dst, int count) {
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i opaqueAlpha = _mm_set1_epi16(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        // Runs of clear or opaque pixels are common in pictures: skip them or copy them. The
        // test runs in the integer unit, which the vector work leaves idle.
        std::uint64_t lo, hi;
        std::memcpy(&lo, src + i, 8);
        std::memcpy(&hi, src + i + 2, 8);
        if (((lo | hi) & kAlphas) == 0) [[unlikely]] {
            continue;
        }
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if ((lo & hi & kAlphas) == kAlphas) [[unlikely]] {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i sOdd = _mm_srli_epi16(s, 8);
        const __m128i alpha = AlphaLanes(sOdd);
        const __m128i opaque = _mm_cmpeq_epi16(alpha, opaqueAlpha);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // Alpha 0 needs nothing: weight 0 gives the background exactly. Alpha 255 must store F
        // itself, which weight 256 gives: (256 f + 128) shr 8 = f.
        const __m128i w = _mm_sub_epi16(alpha, opaque);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), MixPixels(s, sOdd, d, w, bias));
    }
    if (i < count) {
        MmxForms::BlendRow(src + i, dst + i, count - i);
    }
}

void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    m = m > 255 ? 255 : m;
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i master = _mm_set1_epi16(static_cast<short>(m));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint64_t lo, hi;
        std::memcpy(&lo, src + i, 8);
        std::memcpy(&hi, src + i + 2, 8);
        if (((lo | hi) & kAlphas) == 0) [[unlikely]] {
            continue; // four clear pixels
        }
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sOdd = _mm_srli_epi16(s, 8);
        const __m128i alpha = AlphaLanes(sOdd);
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        // W = ((alpha + 1) x M) shr 8: at most 256 x 255 before the shift, exact in 16 bits. A
        // weight of 0 gives the background back, as leaving it would.
        const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(alpha, one), master), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), MixPixels(s, sOdd, d, w, bias));
    }
    if (i < count) {
        MmxForms::BlendRowMaster(src + i, dst + i, count - i, m);
    }
}

} // namespace Sse2Forms
