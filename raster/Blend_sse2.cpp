// The MMX results of the rows, four pixels per step in SSE2 registers. Each pixel is computed as
// (f x W + b x (256 - W) + 128) shr 8 per channel in 16-bit lanes: formed as (f - b) x W +
// b x 256 + 128, whose true value lies in 0..65408, the low 16 bits of the product suffice and
// the logical shift gives the exact result. Loads and stores are unaligned: rows start anywhere.
#include <emmintrin.h>

#include "raster/BlendForms.h"
#include "raster/BlendTables.h"
#include "raster/LowLevel.h"

namespace {

// The weighted channels of two pixels (the low or high half of a register unpacked to 16 bits).
inline __m128i MixLanes(__m128i f, __m128i b, __m128i w, __m128i bias) {
    const __m128i d = _mm_mullo_epi16(_mm_sub_epi16(f, b), w);
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(d, _mm_slli_epi16(b, 8)), bias), 8);
}

// Spreads each pixel's alpha lane (lane 3 of its four) over its four lanes.
inline __m128i SpreadAlpha(__m128i lanes) {
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(lanes, 0xFF), 0xFF);
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
    const __m128i zero = _mm_setzero_si128();
    const __m128i weight =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&AlphaTable[w])),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&AlphaTable[w])));
    const __m128i bias =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(AlphaBias)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(AlphaBias)));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i lo =
            MixLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), weight, bias);
        const __m128i hi =
            MixLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), weight, bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    if (i < count) {
        MmxForms::MixRow(src + i, dst + i, count - i, w);
    }
}

void BlendRow(const TColor32* src, TColor32* dst, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i opaqueAlpha = _mm_set1_epi32(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i alpha = _mm_srli_epi32(s, 24);
        // Runs of clear or opaque pixels are common in pictures: skip them or copy them.
        const __m128i opaque = _mm_cmpeq_epi32(alpha, opaqueAlpha);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) {
            continue;
        }
        if (_mm_movemask_epi8(opaque) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i sLo = _mm_unpacklo_epi8(s, zero);
        const __m128i sHi = _mm_unpackhi_epi8(s, zero);
        const __m128i lo = MixLanes(sLo, _mm_unpacklo_epi8(d, zero), SpreadAlpha(sLo), bias);
        const __m128i hi = MixLanes(sHi, _mm_unpackhi_epi8(d, zero), SpreadAlpha(sHi), bias);
        // Alpha 0 needs nothing (the formula gives the background), alpha 255 stores F itself.
        const __m128i mixed = _mm_packus_epi16(lo, hi);
        const __m128i result = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, mixed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), result);
    }
    if (i < count) {
        MmxForms::BlendRow(src + i, dst + i, count - i);
    }
}

void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    m = m > 255 ? 255 : m;
    const __m128i zero = _mm_setzero_si128();
    const __m128i bias = _mm_set1_epi16(128);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i master = _mm_set1_epi16(static_cast<short>(m));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(s, 24), zero)) == 0xFFFF) {
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i sLo = _mm_unpacklo_epi8(s, zero);
        const __m128i sHi = _mm_unpackhi_epi8(s, zero);
        // W = ((alpha + 1) x M) shr 8, at most 256 x 255 before the shift: exact in 16 bits. A
        // weight of 0 gives the background back, as leaving it would.
        const __m128i wLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(SpreadAlpha(sLo), one), master), 8);
        const __m128i wHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(SpreadAlpha(sHi), one), master), 8);
        const __m128i lo = MixLanes(sLo, _mm_unpacklo_epi8(d, zero), wLo, bias);
        const __m128i hi = MixLanes(sHi, _mm_unpackhi_epi8(d, zero), wHi, bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
    }
    if (i < count) {
        MmxForms::BlendRowMaster(src + i, dst + i, count - i, m);
    }
}

} // namespace Sse2Forms
