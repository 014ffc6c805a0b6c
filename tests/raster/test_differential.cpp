// The processor-specific forms against the forms whose results they must reproduce, on random
// inputs. Every run prints its seed; a failure names its case, and QUORVANE_TEST_SEED with
// QUORVANE_TEST_CASE runs that one case again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#if RASTER_SSE2_FORMS
#include <xmmintrin.h>
#endif
#include <string>
#include <vector>

#include "RasterTestSupport.h"
#include "raster/BlendForms.h"
#include "raster/LowLevel.h"
#include "raster/RasterTypes.h"

using namespace RasterTest;

namespace {

// Rows made of runs, so that groups of four clear, four opaque and mixed pixels all occur.
std::vector<TColor32> RandomRow(CaseRng& rng, int count) {
    std::vector<TColor32> row(count);
    int i = 0;
    while (i < count) {
        const int run = 1 + static_cast<int>(rng() % 9);
        const unsigned kind = rng() % 5;
        for (int k = 0; k < run && i < count; ++k, ++i) {
            const TColor32 c = rng();
            row[i] = kind == 0 ? c & 0x00FFFFFF : kind == 1 ? c | 0xFF000000 : c;
        }
    }
    return row;
}

std::uint32_t RandomWeight(CaseRng& rng) {
    switch (rng() % 8) {
    case 0:
        return 0;
    case 1:
        return 255;
    case 2:
        return 256 + rng() % 1000; // folds to 255
    default:
        return rng() % 256;
    }
}

std::string Dump(const std::vector<TColor32>& row) {
    std::string s;
    char buf[16];
    for (TColor32 c : row) {
        std::snprintf(buf, sizeof buf, " %08X", c);
        s += buf;
    }
    return s;
}

#if RASTER_SSE2_FORMS

struct RowPair {
    const char* name;
    void (*sse2)(const TColor32*, TColor32*, int, std::uint32_t);
    void (*mmx)(const TColor32*, TColor32*, int, std::uint32_t);
};

void Sse2BlendRow(const TColor32* s, TColor32* d, int n, std::uint32_t) {
    Sse2Forms::BlendRow(s, d, n);
}
void MmxBlendRow(const TColor32* s, TColor32* d, int n, std::uint32_t) {
    MmxForms::BlendRow(s, d, n);
}
void Sse2MergeRow(const TColor32* s, TColor32* d, int n, std::uint32_t) {
    Sse2Forms::MergeRow(s, d, n);
}
void MmxMergeRow(const TColor32* s, TColor32* d, int n, std::uint32_t) {
    MmxForms::MergeRow(s, d, n);
}

const RowPair kRowPairs[] = {
    {"BlendRow", &Sse2BlendRow, &MmxBlendRow},
    {"BlendRowMaster", &Sse2Forms::BlendRowMaster, &MmxForms::BlendRowMaster},
    {"MixRow", &Sse2Forms::MixRow, &MmxForms::MixRow},
    {"MergeRow", &Sse2MergeRow, &MmxMergeRow},
    {"MergeRowMaster", &Sse2Forms::MergeRowMaster, &MmxForms::MergeRowMaster},
};

TEST(Sse2Rows, GiveTheMmxResultsOnRandomRows) {
    for (const auto& pair : kRowPairs) {
        for (int index : CasesToRun(3000)) {
            auto rng = CaseRandom(index);
            const int count = static_cast<int>(rng() % 70);
            const int offset = static_cast<int>(rng() % 4); // rows start at any cell
            const std::uint32_t w = RandomWeight(rng);
            const std::vector<TColor32> src = RandomRow(rng, count + offset);
            const std::vector<TColor32> dst = RandomRow(rng, count + offset);
            GuardedRow fast(count + offset), slow(count + offset);
            std::copy(dst.begin(), dst.end(), fast.data());
            std::copy(dst.begin(), dst.end(), slow.data());
            pair.sse2(src.data() + offset, fast.data() + offset, count, w);
            pair.mmx(src.data() + offset, slow.data() + offset, count, w);
            for (int i = 0; i < count + offset; ++i) {
                if (fast.data()[i] != slow.data()[i]) {
                    FAIL() << pair.name << " differs at cell " << i << " (offset " << offset
                           << ", count " << count << ", weight " << w << "): sse2 " << std::hex
                           << fast.data()[i] << ", mmx " << slow.data()[i] << "\nsrc:" << Dump(src)
                           << "\ndst:" << Dump(dst) << "\n"
                           << ReplayHint(index);
                }
            }
            ASSERT_TRUE(fast.GuardsIntact()) << pair.name << " " << ReplayHint(index);
        }
    }
}

// Every pair of translucent alphas once, in blocks of four pixels that all take the vector path,
// with channel values that change from pair to pair: the division and its ties, and the
// products, meet every alpha of F and of the result.
TEST(Sse2Rows, MergeMatchesForEveryPairOfTranslucentAlphas) {
    std::uint32_t mix = 0x9E3779B9;
    for (std::uint32_t fa = 1; fa < 255; ++fa) {
        for (std::uint32_t ba = 1; ba < 255; ++ba) {
            TColor32 src[4], fast[4], slow[4];
            for (int k = 0; k < 4; ++k) {
                mix = mix * 1664525 + 1013904223;
                const std::uint32_t a = k == 0 ? fa : 1 + (mix >> 8) % 254;
                const std::uint32_t c = k == 0 ? ba : 1 + (mix >> 16) % 254;
                src[k] = (a << 24) | (mix & 0xFFFFFF);
                mix = mix * 1664525 + 1013904223;
                fast[k] = slow[k] = (c << 24) | (mix >> 8);
            }
            Sse2Forms::MergeRow(src, fast, 4);
            MmxForms::MergeRow(src, slow, 4);
            for (int k = 0; k < 4; ++k) {
                ASSERT_EQ(fast[k], slow[k]) << std::hex << "merge of 0x" << src[k] << " (pair "
                                            << std::dec << fa << ", " << ba << ")";
            }
        }
    }
}

// The merge rows round their divisions to nearest whatever rounding the caller has set, and give
// the caller's rounding back.
TEST(Sse2Rows, MergeKeepsItsResultsAndTheCallersRoundingUnderEveryRoundingMode) {
    const unsigned saved = _mm_getcsr();
    for (unsigned mode : {0x0000u, 0x2000u, 0x4000u, 0x6000u}) {
        for (int index : CasesToRun(200)) {
            auto rng = CaseRandom(index);
            const int count = 8 + static_cast<int>(rng() % 40);
            const std::uint32_t w = RandomWeight(rng);
            const std::vector<TColor32> src = RandomRow(rng, count);
            const std::vector<TColor32> dst = RandomRow(rng, count);
            std::vector<TColor32> fast = dst, slow = dst, fastMaster = dst, slowMaster = dst;
            MmxForms::MergeRow(src.data(), slow.data(), count);
            MmxForms::MergeRowMaster(src.data(), slowMaster.data(), count, w);
            _mm_setcsr((saved & ~0x6000u) | mode);
            Sse2Forms::MergeRow(src.data(), fast.data(), count);
            Sse2Forms::MergeRowMaster(src.data(), fastMaster.data(), count, w);
            const unsigned after = _mm_getcsr() & 0x6000u;
            _mm_setcsr(saved);
            ASSERT_EQ(after, mode) << ReplayHint(index);
            ASSERT_EQ(fast, slow) << "rounding mode " << std::hex << mode << " "
                                  << ReplayHint(index);
            ASSERT_EQ(fastMaster, slowMaster)
                << "rounding mode " << std::hex << mode << " " << ReplayHint(index);
        }
    }
}

TEST(Sse2Fill, FillsAsThePlainFormOnRandomRuns) {
    for (int index : CasesToRun(500)) {
        auto rng = CaseRandom(index);
        const int count = static_cast<int>(rng() % 1200);
        const int offset = static_cast<int>(rng() % 4);
        const TColor32 value = rng();
        GuardedRow fast(count + offset, 0x5A5A5A5A), slow(count + offset, 0x5A5A5A5A);
        Sse2Forms::Fill32(fast.data() + offset, count, value);
        PlainForms::Fill32(slow.data() + offset, count, value);
        for (int i = 0; i < count + offset; ++i) {
            ASSERT_EQ(fast.data()[i], slow.data()[i]) << "cell " << i << " " << ReplayHint(index);
        }
        ASSERT_TRUE(fast.GuardsIntact()) << ReplayHint(index);
    }
}

#endif // RASTER_SSE2_FORMS

TEST(MmxFill, FillsAsThePlainFormOnRandomRuns) {
    for (int index : CasesToRun(500)) {
        auto rng = CaseRandom(index);
        const int count = static_cast<int>(rng() % 300);
        const TColor32 value = rng();
        GuardedRow fast(count, 0x5A5A5A5A), slow(count, 0x5A5A5A5A);
        MmxForms::Fill32(fast.data(), count, value);
        PlainForms::Fill32(slow.data(), count, value);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(fast.data()[i], slow.data()[i]) << "cell " << i << " " << ReplayHint(index);
        }
        ASSERT_TRUE(fast.GuardsIntact()) << ReplayHint(index);
    }
}

// Four independent random channels per colour against the channel formulas: the packed two-
// channels-per-word arithmetic of both forms must keep every channel to itself.
TEST(PackedChannels, RegisterFormsMatchTheFormulasOnRandomColours) {
    for (int index : CasesToRun(100000)) {
        auto rng = CaseRandom(index);
        const TColor32 x = rng(), y = rng();
        const std::uint32_t w = rng() % 256, m = rng() % 256;
        SCOPED_TRACE(ReplayHint(index));
        const auto plain = [w](std::uint32_t f, std::uint32_t b) { return PlainChannel(f, b, w); };
        const auto mmx = [w](std::uint32_t f, std::uint32_t b) { return MmxChannel(f, b, w); };
        const TColor32 plainMix = w == 0 ? y : w == 255 ? x : EachChannel(x, y, plain);
        ASSERT_EQ(PlainForms::MixColors(x, y, w), plainMix);
        ASSERT_EQ(MmxForms::MixColors(x, y, w), EachChannel(x, y, mmx));
        const std::uint32_t a = AlphaComponent(x);
        const auto plainA = [a](std::uint32_t f, std::uint32_t b) { return PlainChannel(f, b, a); };
        const auto mmxA = [a](std::uint32_t f, std::uint32_t b) { return MmxChannel(f, b, a); };
        ASSERT_EQ(PlainForms::BlendColors(x, y), a == 0     ? y
                                                 : a == 255 ? x
                                                            : EachChannel(x, y, plainA));
        ASSERT_EQ(MmxForms::BlendColors(x, y), EachChannel(x, y, mmxA));
        const std::uint32_t mw = ((m + 1) * a) >> 8;
        const auto plainM = [mw](std::uint32_t f, std::uint32_t b) {
            return PlainChannel(f, b, mw);
        };
        const auto mmxM = [mw](std::uint32_t f, std::uint32_t b) { return MmxChannel(f, b, mw); };
        ASSERT_EQ(PlainForms::BlendColorsMaster(x, y, m),
                  mw == 0 ? y : EachChannel(x, y, plainM) & 0x00FFFFFF);
        ASSERT_EQ(MmxForms::BlendColorsMaster(x, y, m), mw == 0 ? y : EachChannel(x, y, mmxM));
    }
}

// The two forms of the bilinear mix round differently (two rounded terms per mix against one
// truncated sum), by at most one unit per mix, so at most two after the mix of the mixed rows.
// A form that mixed the wrong pixels, swapped a weight or let one channel spill into another
// lands far outside that. Weights are those the bitmap passes: gamma entries, 0 to 255.
TEST(BilinearMix, PlainAndMmxFormsAgreeWithinTheirRoundingOnRandomPixels) {
    int widest = 0;
    for (int index : CasesToRun(200000)) {
        auto rng = CaseRandom(index);
        const TColor32 row0[2] = {rng(), rng()}, row1[2] = {rng(), rng()};
        const std::uint32_t wx = rng() % 8 == 0 ? (rng() % 2) * 255 : rng() % 256;
        const std::uint32_t wy = rng() % 8 == 0 ? (rng() % 2) * 255 : rng() % 256;
        const TColor32 plain = PlainForms::BilinearMix4(wx, wy, row0, row1);
        const TColor32 mmx = MmxForms::BilinearMix4(wx, wy, row0, row1);
        for (int k = 0; k < 4; ++k) {
            const int d = static_cast<int>(Channel(plain, k)) - static_cast<int>(Channel(mmx, k));
            widest = std::max(widest, std::abs(d));
            ASSERT_LE(std::abs(d), 2)
                << "channel " << k << " of " << std::hex << row0[0] << " " << row0[1] << " / "
                << row1[0] << " " << row1[1] << std::dec << ", weights " << wx << ", " << wy
                << ": plain " << std::hex << plain << ", mmx " << mmx << "\n"
                << ReplayHint(index);
        }
        // Weight 0 on both axes selects the lower right pixel exactly in both forms.
        if (wx == 0 && wy == 0) {
            ASSERT_EQ(plain, row1[1]) << ReplayHint(index);
            ASSERT_EQ(mmx, row1[1]) << ReplayHint(index);
        }
    }
    std::printf("bilinear mix: widest difference between the forms %d\n", widest);
}

} // namespace
