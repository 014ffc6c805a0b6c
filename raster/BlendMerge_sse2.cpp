// The merge rows, four pixels per step in SSE2 registers, with exactly the results of the
// table-driven merge (MmxForms::MergeRow and MergeRowMaster, over the MMX blend).
//
// The products work on 16-bit lanes, two channels per 32-bit pixel lane: blue and red of the four
// pixels in one register, green (beside a lane that is computed and thrown away) in another, each
// pixel's alphas repeated in both halves of its lane. The table reads become arithmetic:
//  - MulTable[J][I] = Round(I x J / 255) is (t x 257) shr 16 with t = I x J + 128, which holds for
//    every sum up to 255 x 255, not only for products (no such sum divided by 255 is a tie, 255
//    being odd);
//  - so Bm + MulTable[Fa][|f - Bm|] with the sign of f - Bm put back is Round((Fa x f +
//    (255 - Fa) x Bm) / 255): Bm is whole and the rounding has no ties, so it moves out;
//  - DivTable[Ra][X] = Round(X x 255 / Ra) with ties to even, for X <= Ra. X x 255 and Ra are
//    exact in single precision, so one correctly rounded division gives a tie k + 0.5 exactly
//    and any other quotient within about 3e-5 of the true one, which lies at least 1 / 510 from
//    a half; converting with round-to-nearest-even then gives the table's entry. The row sets
//    that rounding mode itself and puts the caller's back, so the caller's mode never matters.
// Pixels with a clear or opaque alpha on either side are the scalar merge's special cases: a
// block computes all four lanes and then puts the scalar merge's result in those lanes.
#include <emmintrin.h>

#include <cstring>

#include "raster/BlendForms.h"
#include "raster/BlendMath.h"
#include "raster/BlendTables.h"

namespace {

// Round(a x b / 255) per 16-bit lane (or per 32-bit lane holding 0..255), a and b in 0..255.
inline __m128i MulDiv255(__m128i a, __m128i b) {
    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(a, b), _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Round((a x b + c x d) / 255) per 16-bit lane, the sum of products at most 255 x 255.
inline __m128i MulAddDiv255(__m128i a, __m128i b, __m128i c, __m128i d) {
    const __m128i t = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, b), _mm_mullo_epi16(c, d)),
                                    _mm_set1_epi16(128));
    return _mm_mulhi_epu16(t, _mm_set1_epi16(257));
}

// Round(n / ra) with ties to even per 32-bit lane (the rounding mode is the nearest).
inline __m128i DivideRounded(__m128i n, __m128 ra) {
    return _mm_cvtps_epi32(_mm_div_ps(_mm_cvtepi32_ps(n), ra));
}

// Green (bits 8-15) of four pixels, one per 32-bit lane.
inline __m128i GreenLanes(__m128i c) {
    return _mm_srli_epi32(_mm_slli_epi32(c, 16), 24);
}

// The merge of eight pixels, F (f0, f1) over B (b0, b1), right in the pixels whose alphas on
// both sides are within 1..254; the others are the scalar merge's special cases, and the bits
// of those come back in special (pixel k is bit 2k). fa0 and fa1 are F's alphas, one per 32-bit
// lane. The products of blue and red take two registers of four pixels each, green and the
// alphas one register of eight.
inline void MergeEight(__m128i f0, __m128i f1, __m128i fa0, __m128i fa1, __m128i b0, __m128i b1,
                       __m128i& out0, __m128i& out1, int& special) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_set1_epi32(0x00FF00FF);
    const __m128i fa = _mm_packs_epi32(fa0, fa1);
    const __m128i ba = _mm_packs_epi32(_mm_srli_epi32(b0, 24), _mm_srli_epi32(b1, 24));
    const __m128i full = _mm_set1_epi16(255);
    special = _mm_movemask_epi8(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(fa, zero), _mm_cmpeq_epi16(fa, full)),
                     _mm_or_si128(_mm_cmpeq_epi16(ba, zero), _mm_cmpeq_epi16(ba, full))));

    // Each pixel's alphas in both halves of its 32-bit lane, for blue and red.
    const __m128i fAlpha0 = _mm_unpacklo_epi16(fa, fa);
    const __m128i fAlpha1 = _mm_unpackhi_epi16(fa, fa);
    const __m128i bAlpha0 = _mm_unpacklo_epi16(ba, ba);
    const __m128i bAlpha1 = _mm_unpackhi_epi16(ba, ba);
    const __m128i fGreen = _mm_packs_epi32(GreenLanes(f0), GreenLanes(f1));
    const __m128i bGreen = _mm_packs_epi32(GreenLanes(b0), GreenLanes(b1));

    const __m128i xBR0 = MulAddDiv255(fAlpha0, _mm_and_si128(f0, low), _mm_xor_si128(fAlpha0, low),
                                      MulDiv255(bAlpha0, _mm_and_si128(b0, low)));
    const __m128i xBR1 = MulAddDiv255(fAlpha1, _mm_and_si128(f1, low), _mm_xor_si128(fAlpha1, low),
                                      MulDiv255(bAlpha1, _mm_and_si128(b1, low)));
    const __m128i xG = MulAddDiv255(fa, fGreen, _mm_xor_si128(fa, full), MulDiv255(ba, bGreen));
    const __m128i ra = _mm_sub_epi16(_mm_add_epi16(fa, ba), MulDiv255(fa, ba));

    // A pixel of two clear alphas has Ra 0; its result is replaced, but it must not divide by 0.
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128i ra0 = _mm_unpacklo_epi16(ra, zero);
    const __m128i ra1 = _mm_unpackhi_epi16(ra, zero);
    const __m128 raFloat0 = _mm_max_ps(_mm_cvtepi32_ps(ra0), one);
    const __m128 raFloat1 = _mm_max_ps(_mm_cvtepi32_ps(ra1), one);
    // X x 255 fits 16 bits unsigned.
    const __m128i nBR0 = _mm_mullo_epi16(xBR0, full);
    const __m128i nBR1 = _mm_mullo_epi16(xBR1, full);
    const __m128i nG = _mm_mullo_epi16(xG, full);
    const __m128i word = _mm_set1_epi32(0xFFFF);
    const __m128i blue0 = DivideRounded(_mm_and_si128(nBR0, word), raFloat0);
    const __m128i red0 = DivideRounded(_mm_srli_epi32(nBR0, 16), raFloat0);
    const __m128i green0 = DivideRounded(_mm_unpacklo_epi16(nG, zero), raFloat0);
    const __m128i blue1 = DivideRounded(_mm_and_si128(nBR1, word), raFloat1);
    const __m128i red1 = DivideRounded(_mm_srli_epi32(nBR1, 16), raFloat1);
    const __m128i green1 = DivideRounded(_mm_unpackhi_epi16(nG, zero), raFloat1);
    out0 = _mm_or_si128(_mm_or_si128(blue0, _mm_slli_epi32(red0, 16)),
                        _mm_slli_epi32(_mm_or_si128(green0, _mm_slli_epi32(ra0, 16)), 8));
    out1 = _mm_or_si128(_mm_or_si128(blue1, _mm_slli_epi32(red1, 16)),
                        _mm_slli_epi32(_mm_or_si128(green1, _mm_slli_epi32(ra1, 16)), 8));
    special &= 0x5555;
}

// Sets round-to-nearest for the division's conversions and puts the caller's mode back.
class NearestRounding {
public:
    NearestRounding() : saved_(_mm_getcsr()) {
        if ((saved_ & kRoundingBits) != 0) {
            _mm_setcsr(saved_ & ~kRoundingBits);
        }
    }
    ~NearestRounding() {
        if ((saved_ & kRoundingBits) != 0) {
            _mm_setcsr(saved_);
        }
    }
    NearestRounding(const NearestRounding&) = delete;
    NearestRounding& operator=(const NearestRounding&) = delete;

private:
    static constexpr unsigned kRoundingBits = 0x6000;
    unsigned saved_;
};

// Stores eight merged pixels at dst, the special ones (bit 2k for pixel k) through the scalar
// merge Scalar(f, b) of the source and the destination as they were.
template <typename Scalar>
inline void StoreEight(TColor32* dst, const TColor32* src, __m128i out0, __m128i out1, int special,
                       Scalar scalar) {
    if (special == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4), out1);
        return;
    }
    alignas(16) TColor32 cells[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(cells), out0);
    _mm_store_si128(reinterpret_cast<__m128i*>(cells + 4), out1);
    for (int k = 0; k < 8; ++k) {
        if (special & (1 << (2 * k))) {
            cells[k] = scalar(src[k], dst[k]);
        }
    }
    std::memcpy(dst, cells, sizeof cells);
}

// F's alpha becomes MulTable[M][alpha] before the merge.
inline __m128i ScaledAlphas(__m128i& f, __m128i master) {
    const __m128i fa = MulDiv255(master, _mm_srli_epi32(f, 24));
    f = _mm_or_si128(_mm_and_si128(f, _mm_set1_epi32(0x00FFFFFF)), _mm_slli_epi32(fa, 24));
    return fa;
}

} // namespace

namespace Sse2Forms {

void MergeRow(const TColor32* src, TColor32* dst, int count) {
    int i = 0;
    if (count >= 8) {
        const NearestRounding rounding;
        const auto scalar = [](TColor32 f, TColor32 b) { return MmxForms::MergeColors(f, b); };
        for (; i + 8 <= count; i += 8) {
            const __m128i f0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i f1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i + 4));
            __m128i out0, out1;
            int special;
            MergeEight(f0, f1, _mm_srli_epi32(f0, 24), _mm_srli_epi32(f1, 24), b0, b1, out0, out1,
                       special);
            StoreEight(dst + i, src + i, out0, out1, special, scalar);
        }
    }
    if (i < count) {
        MmxForms::MergeRow(src + i, dst + i, count - i);
    }
}

void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    int i = 0;
    if (count >= 8) {
        const NearestRounding rounding;
        const __m128i master = _mm_set1_epi32(static_cast<int>(BlendMath::Weight(m)));
        const auto scalar = [m](TColor32 f, TColor32 b) {
            return MmxForms::MergeColorsMaster(f, b, m);
        };
        for (; i + 8 <= count; i += 8) {
            __m128i f0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            __m128i f1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i + 4));
            const __m128i fa0 = ScaledAlphas(f0, master);
            const __m128i fa1 = ScaledAlphas(f1, master);
            __m128i out0, out1;
            int special;
            MergeEight(f0, f1, fa0, fa1, b0, b1, out0, out1, special);
            StoreEight(dst + i, src + i, out0, out1, special, scalar);
        }
    }
    if (i < count) {
        MmxForms::MergeRowMaster(src + i, dst + i, count - i, m);
    }
}

} // namespace Sse2Forms
