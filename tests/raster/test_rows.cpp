// The memory and row forms against the register forms they are defined by, their special cases,
// and rows with no cells to touch.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "RasterTestSupport.h"
#include "raster/BlendForms.h"

using namespace RasterTest;

namespace {

using Line = void (*)(const TColor32*, TColor32*, int);
using LineEx = void (*)(const TColor32*, TColor32*, int, std::uint32_t);

struct LineForm {
    std::string name;
    Line line;
};
struct LineExForm {
    std::string name;
    LineEx line;
};

std::vector<LineForm> Lines() {
    std::vector<LineForm> v = {
        {"plain BlendRow", &PlainForms::BlendRow},
        {"mmx BlendRow", &MmxForms::BlendRow},
        {"plain MergeRow", &PlainForms::MergeRow},
        {"mmx MergeRow", &MmxForms::MergeRow},
    };
#if RASTER_SSE2_FORMS
    v.push_back({"sse2 BlendRow", &Sse2Forms::BlendRow});
    v.push_back({"sse2 MergeRow", &Sse2Forms::MergeRow});
#endif
    return v;
}

std::vector<LineExForm> LinesEx() {
    std::vector<LineExForm> v = {
        {"plain MixRow", &PlainForms::MixRow},
        {"mmx MixRow", &MmxForms::MixRow},
        {"plain BlendRowMaster", &PlainForms::BlendRowMaster},
        {"mmx BlendRowMaster", &MmxForms::BlendRowMaster},
        {"plain MergeRowMaster", &PlainForms::MergeRowMaster},
        {"mmx MergeRowMaster", &MmxForms::MergeRowMaster},
    };
#if RASTER_SSE2_FORMS
    v.push_back({"sse2 MixRow", &Sse2Forms::MixRow});
    v.push_back({"sse2 BlendRowMaster", &Sse2Forms::BlendRowMaster});
    v.push_back({"sse2 MergeRowMaster", &Sse2Forms::MergeRowMaster});
#endif
    return v;
}

TEST(Rows, ZeroOrNegativeCountLeavesEveryCell) {
    GuardedRow src(8, 0x80FF8040);
    for (int count : {0, -1, INT_MIN}) {
        for (const auto& form : Lines()) {
            GuardedRow dst(8, 0x40102030);
            form.line(src.data(), dst.data(), count);
            for (int i = 0; i < 8; ++i) {
                ASSERT_EQ(dst.data()[i], 0x40102030u) << form.name << " count " << count;
            }
            ASSERT_TRUE(dst.GuardsIntact()) << form.name << " count " << count;
        }
        for (const auto& form : LinesEx()) {
            for (std::uint32_t w : {1u, 128u, 255u}) {
                GuardedRow dst(8, 0x40102030);
                form.line(src.data(), dst.data(), count, w);
                for (int i = 0; i < 8; ++i) {
                    ASSERT_EQ(dst.data()[i], 0x40102030u)
                        << form.name << " count " << count << " w " << w;
                }
                ASSERT_TRUE(dst.GuardsIntact()) << form.name << " count " << count;
            }
        }
    }
}

// Random colours whose alphas are often 0 or 255, so that the special cases come up.
TColor32 RandomColour(CaseRng& rng) {
    const TColor32 c = rng();
    switch (rng() % 4) {
    case 0:
        return c & 0x00FFFFFF;
    case 1:
        return c | 0xFF000000;
    default:
        return c;
    }
}

struct Forms {
    const char* name;
    TColor32 (*mix)(TColor32, TColor32, std::uint32_t);
    void (*mixInto)(TColor32, TColor32&, std::uint32_t);
    void (*mixRow)(const TColor32*, TColor32*, int, std::uint32_t);
    TColor32 (*blend)(TColor32, TColor32);
    void (*blendInto)(TColor32, TColor32&);
    void (*blendRow)(const TColor32*, TColor32*, int);
    TColor32 (*master)(TColor32, TColor32, std::uint32_t);
    void (*masterInto)(TColor32, TColor32&, std::uint32_t);
    TColor32 (*merge)(TColor32, TColor32);
    void (*mergeInto)(TColor32, TColor32&);
    void (*mergeRow)(const TColor32*, TColor32*, int);
    TColor32 (*mergeMaster)(TColor32, TColor32, std::uint32_t);
    void (*mergeMasterInto)(TColor32, TColor32&, std::uint32_t);
    void (*mergeMasterRow)(const TColor32*, TColor32*, int, std::uint32_t);
};

#define RASTER_FORMS(ns, label)                                                                    \
    Forms {                                                                                        \
        label, &ns::MixColors, &ns::MixColorInto, &ns::MixRow, &ns::BlendColors,                   \
            &ns::BlendColorInto, &ns::BlendRow, &ns::BlendColorsMaster, &ns::BlendColorIntoMaster, \
            &ns::MergeColors, &ns::MergeColorInto, &ns::MergeRow, &ns::MergeColorsMaster,          \
            &ns::MergeColorIntoMaster, &ns::MergeRowMaster                                         \
    }
const Forms kForms[] = {RASTER_FORMS(PlainForms, "plain"), RASTER_FORMS(MmxForms, "mmx")};
#undef RASTER_FORMS

// What MixColorInto and MixRow must give: the register form, except that weight 0 leaves the
// cell and weight 255 stores F.
TColor32 MixIntoWant(const Forms& forms, TColor32 f, TColor32 b, std::uint32_t w) {
    return w == 0 ? b : w == 255 ? f : forms.mix(f, b, w);
}
TColor32 BlendIntoWant(const Forms& forms, TColor32 f, TColor32 b) {
    const std::uint32_t a = AlphaComponent(f);
    return a == 0 ? b : a == 255 ? f : forms.blend(f, b);
}

TEST(MemoryForms, FollowTheRegisterFormsWithTheirSpecialCases) {
    for (const auto& forms : kForms) {
        for (int index : CasesToRun(20000)) {
            auto rng = CaseRandom(index);
            const TColor32 f = RandomColour(rng), b = RandomColour(rng);
            const std::uint32_t w = rng() % 4 == 0 ? (rng() % 2) * 255 : rng() % 256;
            SCOPED_TRACE(std::string(forms.name) + " " + ReplayHint(index));
            TColor32 cell = b;
            forms.mixInto(f, cell, w);
            ASSERT_EQ(cell, MixIntoWant(forms, f, b, w));
            cell = b;
            forms.blendInto(f, cell);
            ASSERT_EQ(cell, BlendIntoWant(forms, f, b));
            cell = b;
            forms.masterInto(f, cell, w);
            ASSERT_EQ(cell, forms.master(f, b, w));
            cell = b;
            forms.mergeInto(f, cell);
            ASSERT_EQ(cell, forms.merge(f, b));
            cell = b;
            forms.mergeMasterInto(f, cell, w);
            ASSERT_EQ(cell, forms.mergeMaster(f, b, w));
        }
    }
}

TEST(RowForms, FollowTheMemoryFormsPixelByPixel) {
    for (const auto& forms : kForms) {
        for (int index : CasesToRun(2000)) {
            auto rng = CaseRandom(index);
            const int count = static_cast<int>(rng() % 40);
            const std::uint32_t w = rng() % 4 == 0 ? (rng() % 2) * 255 : rng() % 256;
            std::vector<TColor32> src(count), dst(count);
            for (int i = 0; i < count; ++i) {
                src[i] = RandomColour(rng);
                dst[i] = RandomColour(rng);
            }
            SCOPED_TRACE(std::string(forms.name) + " " + ReplayHint(index));
            auto row = dst;
            forms.mixRow(src.data(), row.data(), count, w);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(row[i], MixIntoWant(forms, src[i], dst[i], w)) << "MixRow cell " << i;
            }
            row = dst;
            forms.blendRow(src.data(), row.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(row[i], BlendIntoWant(forms, src[i], dst[i])) << "BlendRow cell " << i;
            }
            row = dst;
            forms.mergeRow(src.data(), row.data(), count);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(row[i], forms.merge(src[i], dst[i])) << "MergeRow cell " << i;
            }
            row = dst;
            forms.mergeMasterRow(src.data(), row.data(), count, w);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(row[i], forms.mergeMaster(src[i], dst[i], w))
                    << "MergeRowMaster cell " << i;
            }
        }
    }
}

TEST(RowForms, PlainMasterRowIsTheMemoryFormPerPixel) {
    for (int index : CasesToRun(2000)) {
        auto rng = CaseRandom(index);
        const int count = static_cast<int>(rng() % 40);
        const std::uint32_t m = rng() % 256;
        std::vector<TColor32> src(count), dst(count);
        for (int i = 0; i < count; ++i) {
            src[i] = RandomColour(rng);
            dst[i] = RandomColour(rng);
        }
        SCOPED_TRACE(ReplayHint(index));
        auto row = dst;
        PlainForms::BlendRowMaster(src.data(), row.data(), count, m);
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(row[i], PlainForms::BlendColorsMaster(src[i], dst[i], m)) << "cell " << i;
        }
    }
}

// The MMX master row weighs by ((alpha + 1) x M) shr 8, the register form by ((M + 1) x alpha)
// shr 8; both rules are kept.
TEST(RowForms, MmxMasterRowWeighsByItsOwnRule) {
    for (std::uint32_t m = 0; m < 256; ++m) {
        for (std::uint32_t a = 0; a < 256; ++a) {
            const TColor32 f = (a << 24) | 0xFF8000, b = 0x4000FF80;
            TColor32 cell = b;
            MmxForms::BlendRowMaster(&f, &cell, 1, m);
            const std::uint32_t w = ((a + 1) * m) >> 8;
            const auto rule = [w](std::uint32_t x, std::uint32_t y) { return MmxChannel(x, y, w); };
            ASSERT_EQ(cell, w == 0 ? b : EachChannel(f, b, rule)) << "alpha " << a << " M " << m;
        }
    }
    // Alpha 254 with M = 1: the row's weight is 0 and leaves the pixel, the register form's is 1.
    const TColor32 f = 0xFEFFFFFF, b = 0x00000000;
    TColor32 cell = b;
    MmxForms::BlendRowMaster(&f, &cell, 1, 1);
    EXPECT_EQ(cell, b);
    EXPECT_EQ(MmxForms::BlendColorsMaster(f, b, 1), 0x01010101u);
}

TEST(RowForms, SpecialCasesOfBothForms) {
    const TColor32 src[] = {0xFF123456, 0x00ABCDEF, 0xFFFFFFFF};
    for (const auto& forms : kForms) {
        TColor32 row[] = {0x80000000, 0x80000000, 0x00000000};
        forms.blendRow(src, row, 3);
        EXPECT_EQ(row[0], 0xFF123456u) << forms.name << ": alpha 255 stores F";
        EXPECT_EQ(row[1], 0x80000000u) << forms.name << ": alpha 0 leaves the cell";
        EXPECT_EQ(row[2], 0xFFFFFFFFu) << forms.name;
        TColor32 mixed[] = {1, 2, 3};
        forms.mixRow(src, mixed, 3, 0);
        EXPECT_EQ(mixed[0], 1u) << forms.name << ": weight 0 leaves the row";
        forms.mixRow(src, mixed, 3, 255);
        EXPECT_EQ(mixed[1], src[1]) << forms.name << ": weight 255 copies";
    }
}

// Weights above 255 fold into the range instead of reading past the alpha table or the
// multiplication table.
TEST(RowForms, WeightsAboveTheRangeFold) {
    const TColor32 src[] = {0x80FF8040, 0xFF112233, 0x01020304, 0x7F7F7F7F, 0xC0C0C0C0};
    const TColor32 dst[] = {0x00000000, 0x80808080, 0xFFFFFFFF, 0x12345678, 0x9ABCDEF0};
    for (const auto& form : LinesEx()) {
        for (std::uint32_t w : {256u, 1000u, 0x10001u, 0xFFFFFFFFu}) {
            TColor32 big[5], top[5];
            std::copy(std::begin(dst), std::end(dst), big);
            std::copy(std::begin(dst), std::end(dst), top);
            form.line(src, big, 5, w);
            form.line(src, top, 5, 255);
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(big[i], top[i]) << form.name << " w " << w << " cell " << i;
            }
        }
    }
    for (const auto& forms : kForms) {
        EXPECT_EQ(forms.mix(src[0], dst[0], 0x10000), dst[0])
            << forms.name << ": low 16 bits 0 count as 0";
        EXPECT_EQ(forms.mix(src[0], dst[0], 300), forms.mix(src[0], dst[0], 255)) << forms.name;
        EXPECT_EQ(forms.master(src[0], dst[1], 300), forms.master(src[0], dst[1], 255))
            << forms.name;
        TColor32 cell = dst[1];
        forms.masterInto(src[0], cell, 0xFFFFFFFF);
        EXPECT_EQ(cell, forms.master(src[0], dst[1], 255)) << forms.name;
    }
}

} // namespace
