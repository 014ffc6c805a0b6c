// Two pixels per step in 16-bit lanes: a x w + b x (256 - w) stays below 65536 in each lane
// (255 x 256 at most), so a logical shift by 8 gives the vector form's floor exactly.
#include <emmintrin.h>

#include "raster/LinearRows.h"

namespace Sse2Forms {

void MixRows(const TColor32* upper, const TColor32* lower, std::uint32_t weight, int count,
             TColor32* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
    const __m128i v = _mm_set1_epi16(static_cast<short>(256 - weight));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + i));
        const __m128i lo =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), w),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), v)),
                           8);
        const __m128i hi =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), w),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), v)),
                           8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < count; ++i)
        out[i] = LerpChannels(upper[i], lower[i], weight);
}

void InterpolateRow(const TColor32* line, const TLinearColumn* columns, int count, TColor32* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    int i = 0;
    for (; i + 2 <= count; i += 2) {
        const TLinearColumn& c0 = columns[i];
        const TLinearColumn& c1 = columns[i + 1];
        const __m128i a =
            _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(line[c0.Pos])),
                                                 _mm_cvtsi32_si128(static_cast<int>(line[c1.Pos]))),
                              zero);
        const __m128i b = _mm_unpacklo_epi8(
            _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(line[c0.Pos + 1])),
                               _mm_cvtsi32_si128(static_cast<int>(line[c1.Pos + 1]))),
            zero);
        const short w0 = static_cast<short>(c0.Weight), w1 = static_cast<short>(c1.Weight);
        const __m128i w = _mm_set_epi16(w1, w1, w1, w1, w0, w0, w0, w0);
        const __m128i r = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(a, w), _mm_mullo_epi16(b, _mm_sub_epi16(full, w))), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(r, zero));
    }
    for (; i < count; ++i)
        out[i] = LerpChannels(line[columns[i].Pos], line[columns[i].Pos + 1], columns[i].Weight);
}

} // namespace Sse2Forms
