#include <gtest/gtest.h>

#include <cstdint>

#include "RasterTestSupport.h"
#include "raster/BlendForms.h"
#include "raster/BlendTables.h"

namespace {

using Merge = TColor32 (*)(TColor32, TColor32);
struct MergeForm {
    const char* name;
    Merge merge;
    Merge blend; // the blend the merge uses over an opaque background
};
const MergeForm kForms[] = {
    {"plain", &PlainForms::MergeColors, &PlainForms::BlendColors},
    {"mmx", &MmxForms::MergeColors, &MmxForms::BlendColors},
};

TEST(MergeColors, SpecialCases) {
    struct {
        const char* what;
        TColor32 f, b, want;
    } cases[] = {
        {"clear F leaves B", 0x00FFFFFF, 0x80123456, 0x80123456},
        {"clear F over clear B", 0x00FFFFFF, 0x00123456, 0x00123456},
        {"opaque F over translucent B", 0xFF102030, 0x80123456, 0xFF102030},
        {"translucent F over clear B", 0x40102030, 0x00123456, 0x40102030},
    };
    for (const auto& form : kForms) {
        for (const auto& c : cases) {
            EXPECT_EQ(form.merge(c.f, c.b), c.want) << form.name << ": " << c.what;
        }
    }
}

TEST(MergeColors, OverAnOpaqueBackgroundBlendsAndIsOpaque) {
    const TColor32 pairs[][2] = {{0x80FF0000, 0xFF0000FF},
                                 {0xFFFFFFFF, 0xFF000000},
                                 {0x01FFFFFF, 0xFF000000},
                                 {0xC0123456, 0xFFFEDCBA}};
    for (const auto& form : kForms) {
        for (const auto& p : pairs) {
            EXPECT_EQ(form.merge(p[0], p[1]), form.blend(p[0], p[1]) | 0xFF000000) << form.name;
        }
    }
    // The check for an opaque background comes before the one for an opaque F, so the MMX
    // merge of two opaque colours rounds as the MMX blend does.
    EXPECT_EQ(PlainForms::MergeColors(0xFFFFFFFF, 0xFF000000), 0xFFFFFFFFu);
    EXPECT_EQ(MmxForms::MergeColors(0xFFFFFFFF, 0xFF000000), 0xFFFEFEFEu);
}

TEST(MergeColors, TranslucentOverTranslucent) {
    struct {
        TColor32 f, b, want;
    } cases[] = {
        // Alphas 128 and 128: 128 + 128 - 64 = 192. Red: Bm = 0, X = MulTable[128][255] = 128,
        // DivTable[192][128] = Round(170) = 170; blue: Bm = 128, X = 128 - 64, 85.
        {0x80FF0000, 0x800000FF, 0xC0AA0055},
        // The same colour over itself keeps its channels and gains coverage.
        {0x80404040, 0x80404040, 0xC0404040},
        // Alphas 254 and 254 give 255 (1/255 of the background left rounds away).
        {0xFE000000, 0xFEFFFFFF, 0xFF010101},
        // A faint F over a faint B.
        {0x01FFFFFF, 0x01000000, 0x02808080},
    };
    for (const auto& form : kForms) {
        for (const auto& c : cases) {
            EXPECT_EQ(form.merge(c.f, c.b), c.want)
                << form.name << " " << std::hex << c.f << " over " << c.b;
        }
    }
}

// The merge reads DivTable[Ra][X] and needs X <= Ra there (beyond it the entries wrap). X grows
// with F's channel value f, so checking f = 255 for every alpha pair and background value covers
// every f.
TEST(MergeColors, DivisionTableIsReadOnlyWithinItsRange) {
    for (std::uint32_t fa = 1; fa < 255; ++fa) {
        for (std::uint32_t ba = 1; ba < 255; ++ba) {
            const std::uint32_t ra = (fa + ba - MulTable[ba][fa]) & 0xFF;
            ASSERT_GE(ra, fa > ba ? fa : ba);
            for (std::uint32_t b = 0; b < 256; ++b) {
                const std::uint32_t bm = MulTable[ba][b];
                const std::uint32_t x = bm + MulTable[fa][255 - bm];
                ASSERT_LE(x, ra) << "fa " << fa << " ba " << ba << " b " << b;
            }
            // And the merge of white over anything stays white in colour.
            const TColor32 f = (fa << 24) | 0xFFFFFF;
            const TColor32 b = (ba << 24) | 0xFFFFFF;
            ASSERT_EQ(PlainForms::MergeColors(f, b), (ra << 24) | 0xFFFFFF) << fa << " " << ba;
        }
    }
}

// The merge as its steps read, written out plainly, with the blend it uses over an opaque
// background.
TColor32 ReferenceMerge(TColor32 f, TColor32 b, Merge blend) {
    const std::uint32_t fa = f >> 24, ba = b >> 24;
    if (fa == 0) {
        return b;
    }
    if (ba == 255) {
        return blend(f, b) | 0xFF000000;
    }
    if (fa == 255 || ba == 0) {
        return f;
    }
    const std::uint32_t ra = (fa + ba - MulTable[ba][fa]) & 255;
    TColor32 result = ra << 24;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t fc = (f >> shift) & 255;
        const std::uint32_t bm = MulTable[ba][(b >> shift) & 255];
        std::uint32_t x;
        if (fc >= bm) {
            x = bm + MulTable[fa][fc - bm];
        } else {
            x = bm - MulTable[fa][bm - fc];
        }
        result |= std::uint32_t{DivTable[ra][x]} << shift;
    }
    return result;
}

TEST(MergeColors, FollowsItsStepsOnRandomColours) {
    for (const auto& form : kForms) {
        for (int index : RasterTest::CasesToRun(200000)) {
            auto rng = RasterTest::CaseRandom(index);
            TColor32 f = rng(), b = rng();
            // Now and then a clear or opaque one, for the special cases.
            switch (rng() % 16) {
            case 0:
                f &= 0x00FFFFFF;
                break;
            case 1:
                f |= 0xFF000000;
                break;
            case 2:
                b &= 0x00FFFFFF;
                break;
            case 3:
                b |= 0xFF000000;
                break;
            }
            const TColor32 want = ReferenceMerge(f, b, form.blend);
            if (form.merge(f, b) != want) {
                FAIL() << form.name << std::hex << " merge of 0x" << f << " over 0x" << b
                       << " gives 0x" << form.merge(f, b) << ", want 0x" << want << "; "
                       << RasterTest::ReplayHint(index);
            }
        }
    }
}

TEST(MergeColorsMaster, ScalesFsAlphaFirst) {
    const TColor32 f = 0x80FF0000, b = 0x800000FF;
    struct {
        TColor32 (*master)(TColor32, TColor32, std::uint32_t);
        TColor32 (*merge)(TColor32, TColor32);
    } forms[] = {{&PlainForms::MergeColorsMaster, &PlainForms::MergeColors},
                 {&MmxForms::MergeColorsMaster, &MmxForms::MergeColors}};
    for (const auto& form : forms) {
        for (std::uint32_t m : {0u, 1u, 64u, 128u, 254u, 255u}) {
            const TColor32 scaled = (f & 0x00FFFFFF) | (std::uint32_t{MulTable[m][0x80]} << 24);
            EXPECT_EQ(form.master(f, b, m), form.merge(scaled, b)) << m;
        }
        EXPECT_EQ(form.master(f, b, 0), b); // F's alpha scaled to 0 leaves B
        EXPECT_EQ(form.master(f, b, 255), form.merge(f, b));
        // A master alpha above 255 counts as 255 and reads no row beyond the table.
        EXPECT_EQ(form.master(f, b, 256), form.merge(f, b));
        EXPECT_EQ(form.master(f, b, 0xFFFFFFFF), form.merge(f, b));
    }
}

} // namespace
