// The merge rows, four pixels per step in SSE2 registers, with exactly the results of the
// table-driven merge (MmxForms::MergeRow and MergeRowMaster, over the MMX blend).
//
// Each channel of the four pixels sits in a 32-bit lane. The table reads become arithmetic:
//  - MulTable[J][I] = Round(I x J / 255) is (t + t shr 8) shr 8 with t = I x J + 128 (no
//    product is a tie, 255 being odd; the tables test checks every pair);
//  - DivTable[Ra][X] = Round(X x 255 / Ra) with ties to even, for X <= Ra. The quotient is
//    formed by one correctly rounded single-precision division: a tie k + 0.5 is then exact,
//    and any other quotient lies at least 1 / 510 from a half, far beyond the rounding error of
//    about 3e-5, so truncating q + 0.5 rounds right. A tie shows as (r - 0.5) x Ra = X x 255,
//    exact in single precision, and then an odd r steps down to the even neighbour. Only
//    truncating conversions are used, so the processor's rounding mode does not matter.
// Blocks of four with a clear or opaque pixel on either side take the scalar merge, whose
// special cases they are.
#include <emmintrin.h>

#include "raster/BlendForms.h"
#include "raster/BlendMath.h"
#include "raster/BlendTables.h"

namespace {

// Round(a x b / 255) per 32-bit lane, a and b in 0..255.
inline __m128i MulDiv255(__m128i a, __m128i b) {
    // The 16-bit multiply is exact: the high halves of both lanes are 0 and the product fits.
    const __m128i t = _mm_add_epi32(_mm_mullo_epi16(a, b), _mm_set1_epi32(128));
    return _mm_srli_epi32(_mm_add_epi32(t, _mm_srli_epi32(t, 8)), 8);
}

// One channel (at Shift) of four merges whose alphas are all within 1..254.
inline __m128i MergeChannel(__m128i f, __m128i b, int shift, __m128i fa, __m128i ba,
                            __m128 raFloat) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i fc = _mm_and_si128(_mm_srl_epi32(f, _mm_cvtsi32_si128(shift)), byte);
    const __m128i bc = _mm_and_si128(_mm_srl_epi32(b, _mm_cvtsi32_si128(shift)), byte);
    const __m128i bm = MulDiv255(ba, bc);
    const __m128i diff = _mm_sub_epi32(fc, bm);
    const __m128i sign = _mm_srai_epi32(diff, 31);
    const __m128i step = MulDiv255(fa, _mm_sub_epi32(_mm_xor_si128(diff, sign), sign));
    const __m128i x = _mm_add_epi32(bm, _mm_sub_epi32(_mm_xor_si128(step, sign), sign));
    const __m128 num = _mm_cvtepi32_ps(_mm_mullo_epi16(x, _mm_set1_epi32(255)));
    const __m128 half = _mm_set1_ps(0.5f);
    __m128i r = _mm_cvttps_epi32(_mm_add_ps(_mm_div_ps(num, raFloat), half));
    const __m128 tie = _mm_cmpeq_ps(_mm_mul_ps(_mm_sub_ps(_mm_cvtepi32_ps(r), half), raFloat), num);
    r = _mm_sub_epi32(r, _mm_and_si128(_mm_castps_si128(tie), _mm_and_si128(r, _mm_set1_epi32(1))));
    return _mm_sll_epi32(r, _mm_cvtsi32_si128(shift));
}

// True when any of the four alphas in the lanes is 0 or 255.
inline bool AnyClearOrOpaque(__m128i alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi32(255);
    return _mm_movemask_epi8(
               _mm_or_si128(_mm_cmpeq_epi32(alpha, zero), _mm_cmpeq_epi32(alpha, full))) != 0;
}

// Merges four pixels of F (whose alphas are given) over four of B at Dst; false, with nothing
// written, when the block needs the scalar merge.
inline bool MergeFour(__m128i f, __m128i fa, TColor32* dst) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    const __m128i ba = _mm_srli_epi32(b, 24);
    if (AnyClearOrOpaque(fa) || AnyClearOrOpaque(ba)) {
        return false;
    }
    const __m128i ra = _mm_sub_epi32(_mm_add_epi32(fa, ba), MulDiv255(ba, fa));
    const __m128 raFloat = _mm_cvtepi32_ps(ra);
    __m128i result = _mm_slli_epi32(ra, 24);
    result = _mm_or_si128(result, MergeChannel(f, b, 0, fa, ba, raFloat));
    result = _mm_or_si128(result, MergeChannel(f, b, 8, fa, ba, raFloat));
    result = _mm_or_si128(result, MergeChannel(f, b, 16, fa, ba, raFloat));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), result);
    return true;
}

} // namespace

namespace Sse2Forms {

void MergeRow(const TColor32* src, TColor32* dst, int count) {
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (!MergeFour(f, _mm_srli_epi32(f, 24), dst + i)) {
            MmxForms::MergeRow(src + i, dst + i, 4);
        }
    }
    if (i < count) {
        MmxForms::MergeRow(src + i, dst + i, count - i);
    }
}

void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    const __m128i master = _mm_set1_epi32(static_cast<int>(BlendMath::Weight(m)));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // F's alpha becomes MulTable[M][alpha] before the merge.
        const __m128i fa = MulDiv255(master, _mm_srli_epi32(f, 24));
        f = _mm_or_si128(_mm_and_si128(f, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(fa, 24));
        if (!MergeFour(f, fa, dst + i)) {
            MmxForms::MergeRowMaster(src + i, dst + i, 4, m);
        }
    }
    if (i < count) {
        MmxForms::MergeRowMaster(src + i, dst + i, count - i, m);
    }
}

} // namespace Sse2Forms
