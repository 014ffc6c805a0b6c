#include <gtest/gtest.h>

#include <cstdint>

#include "RasterTestSupport.h"
#include "raster/BlendForms.h"

using namespace RasterTest;

namespace {

using Op = TColor32 (*)(TColor32, TColor32);
using Rule = std::uint32_t (*)(std::uint32_t, std::uint32_t);

struct ChannelCase {
    const char* name;
    Op op;
    Rule rule;
};

const ChannelCase kOps[] = {
    {"add", &PlainForms::AddColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a + b > 255 ? 255 : a + b; }},
    {"subtract", &PlainForms::SubtractColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : 0; }},
    {"divide", &PlainForms::DivideColorChannels,
     [](std::uint32_t a, std::uint32_t b) {
         return a == 0 ? 255 : (b * 256 / a > 255 ? 255 : b * 256 / a);
     }},
    {"modulate", &PlainForms::ModulateColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return (a * b) >> 8; }},
    {"max", &PlainForms::MaxColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a > b ? a : b; }},
    {"min", &PlainForms::MinColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a < b ? a : b; }},
    {"difference", &PlainForms::DifferenceColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; }},
    {"exclusion", &PlainForms::ExclusionColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return a + b - ((a * b) >> 7); }},
    {"plain average", &PlainForms::AverageColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return (a + b) >> 1; }},
    {"mmx average", &MmxForms::AverageColorChannels,
     [](std::uint32_t a, std::uint32_t b) { return (a + b + 1) >> 1; }},
};

// Each channel position meets every pair of values: channel k of C1 holds a ^ s[k] and of C2
// b ^ s[k] for scrambles s, so a carry or a borrow into a neighbour shows.
TEST(ColorChannels, EveryOperationOnEveryPairOfValues) {
    constexpr std::uint32_t s[4] = {0x00, 0x96, 0x3C, 0xFF};
    for (const auto& c : kOps) {
        for (std::uint32_t a = 0; a < 256; ++a) {
            for (std::uint32_t b = 0; b < 256; ++b) {
                const TColor32 c1 = Color32Of(a ^ s[3], a ^ s[2], a ^ s[1], a ^ s[0]);
                const TColor32 c2 = Color32Of(b ^ s[3], b ^ s[2], b ^ s[1], b ^ s[0]);
                TColor32 want = 0;
                for (int k = 0; k < 4; ++k) {
                    const std::uint32_t v = c.rule(Channel(c1, k), Channel(c2, k));
                    ASSERT_LE(v, 255u) << c.name << " leaves the byte range";
                    want |= v << (8 * k);
                }
                ASSERT_EQ(c.op(c1, c2), want) << c.name << std::hex << " 0x" << c1 << ", 0x" << c2;
            }
        }
    }
}

TEST(ColorChannels, TableOfValues) {
    struct {
        Op op;
        TColor32 c1, c2, want;
    } cases[] = {
        {&PlainForms::AddColorChannels, 0x80FF0102, 0x80010304, 0xFFFF0406},
        {&PlainForms::SubtractColorChannels, 0x80FF0102, 0x81010304, 0x00FE0000},
        {&PlainForms::DivideColorChannels, 0x00800240, 0x10400120, 0xFF808080},
        {&PlainForms::ModulateColorChannels, 0xFFFF8000, 0xFF80FFFF, 0xFE7F7F00},
        {&PlainForms::MaxColorChannels, 0x10F02030, 0x20E01040, 0x20F02040},
        {&PlainForms::MinColorChannels, 0x10F02030, 0x20E01040, 0x10E01030},
        {&PlainForms::DifferenceColorChannels, 0x10F02030, 0x20E01040, 0x10101010},
        {&PlainForms::ExclusionColorChannels, 0xFFFF8000, 0xFF80FF00, 0x02808000},
        {&PlainForms::AverageColorChannels, 0x01030507, 0x00000000, 0x00010203},
        {&MmxForms::AverageColorChannels, 0x01030507, 0x00000000, 0x01020304},
        {&MmxForms::AverageColorChannels, 0xFFFFFFFF, 0xFEFEFEFE, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.op(c.c1, c.c2), c.want) << std::hex << "0x" << c.c1 << ", 0x" << c.c2;
    }
}

TEST(ScaleColorChannels, EveryValueAndWeight) {
    for (std::uint32_t w = 0; w < 256; ++w) {
        for (std::uint32_t v = 0; v < 256; ++v) {
            const TColor32 c = Color32Of(v, v ^ 0x55, v ^ 0xAA, 255 - v);
            TColor32 want = 0;
            for (int k = 0; k < 4; ++k) {
                want |= ((Channel(c, k) * w) >> 8) << (8 * k);
            }
            ASSERT_EQ(PlainForms::ScaleColorChannels(c, w), want) << w << " " << v;
        }
    }
    // A weight above 255 counts as 255.
    EXPECT_EQ(PlainForms::ScaleColorChannels(0xFFFFFFFF, 256), 0xFEFEFEFEu);
    EXPECT_EQ(PlainForms::ScaleColorChannels(0xFFFFFFFF, 0x7FFFFFFF), 0xFEFEFEFEu);
}

} // namespace
