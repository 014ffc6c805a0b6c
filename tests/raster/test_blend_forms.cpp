// Every mix, blend and master blend of both forms against the channel formulas, exhaustively: each
// channel of the four meets every pair of channel values at every weight.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "RasterTestSupport.h"
#include "raster/BlendForms.h"

using namespace RasterTest;

namespace {

// Channel scrambles: bijections of 0-255, a different one per channel, so that a carry or a
// mix-up between channels shows as a wrong channel.
constexpr std::uint32_t kScramble[4] = {0x00, 0x5A, 0xC3, 0xFF};
constexpr TColor32 Spread(std::uint32_t v) {
    return Color32Of(v ^ kScramble[3], v ^ kScramble[2], v ^ kScramble[1], v ^ kScramble[0]);
}
// The same with the alpha channel fixed (the weight of a blend).
constexpr TColor32 SpreadWithAlpha(std::uint32_t alpha, std::uint32_t v) {
    return (Spread(v) & 0x00FFFFFF) | (alpha << 24);
}

std::string Hex(TColor32 c) {
    std::ostringstream s;
    s << "0x" << std::hex << c;
    return s.str();
}

std::string Mismatch(const char* what, TColor32 a, TColor32 b, std::uint32_t w, TColor32 got,
                     TColor32 want) {
    return std::string(what) + "(" + Hex(a) + ", " + Hex(b) + ", " + std::to_string(w) +
           ") = " + Hex(got) + ", want " + Hex(want);
}

using Reg3 = TColor32 (*)(TColor32, TColor32, std::uint32_t);
using Reg2 = TColor32 (*)(TColor32, TColor32);

TEST(MixColors, PlainFormOnEveryChannelValueAndWeight) {
    const Reg3 mix = &PlainForms::MixColors;
    for (std::uint32_t w = 0; w < 256; ++w) {
        const auto rule = [w](std::uint32_t x, std::uint32_t y) { return PlainChannel(x, y, w); };
        for (std::uint32_t x = 0; x < 256; ++x) {
            const TColor32 cx = Spread(x);
            for (std::uint32_t y = 0; y < 256; ++y) {
                const TColor32 cy = Spread(y);
                const TColor32 want = w == 0 ? cy : w == 255 ? cx : EachChannel(cx, cy, rule);
                const TColor32 got = mix(cx, cy, w);
                if (got != want) {
                    FAIL() << Mismatch("plain MixColors", cx, cy, w, got, want);
                }
            }
        }
    }
}

TEST(MixColors, MmxFormOnEveryChannelValueAndWeight) {
    const Reg3 mix = &MmxForms::MixColors;
    for (std::uint32_t w = 0; w < 256; ++w) {
        const auto rule = [w](std::uint32_t x, std::uint32_t y) { return MmxChannel(x, y, w); };
        for (std::uint32_t x = 0; x < 256; ++x) {
            const TColor32 cx = Spread(x);
            for (std::uint32_t y = 0; y < 256; ++y) {
                const TColor32 cy = Spread(y);
                const TColor32 want = EachChannel(cx, cy, rule);
                const TColor32 got = mix(cx, cy, w);
                if (got != want) {
                    FAIL() << Mismatch("mmx MixColors", cx, cy, w, got, want);
                }
            }
        }
    }
}

TEST(BlendColors, PlainFormOnEveryAlphaAndChannelValue) {
    const Reg2 blend = &PlainForms::BlendColors;
    for (std::uint32_t a = 0; a < 256; ++a) {
        const auto rule = [a](std::uint32_t f, std::uint32_t b) { return PlainChannel(f, b, a); };
        for (std::uint32_t f = 0; f < 256; ++f) {
            const TColor32 cf = SpreadWithAlpha(a, f);
            for (std::uint32_t b = 0; b < 256; ++b) {
                const TColor32 cb = Spread(b);
                const TColor32 want = a == 0 ? cb : a == 255 ? cf : EachChannel(cf, cb, rule);
                const TColor32 got = blend(cf, cb);
                if (got != want) {
                    FAIL() << Mismatch("plain BlendColors", cf, cb, a, got, want);
                }
            }
        }
    }
}

TEST(BlendColors, MmxFormOnEveryAlphaAndChannelValue) {
    const Reg2 blend = &MmxForms::BlendColors;
    for (std::uint32_t a = 0; a < 256; ++a) {
        const auto rule = [a](std::uint32_t f, std::uint32_t b) { return MmxChannel(f, b, a); };
        for (std::uint32_t f = 0; f < 256; ++f) {
            const TColor32 cf = SpreadWithAlpha(a, f);
            for (std::uint32_t b = 0; b < 256; ++b) {
                const TColor32 cb = Spread(b);
                const TColor32 want = EachChannel(cf, cb, rule);
                const TColor32 got = blend(cf, cb);
                if (got != want) {
                    FAIL() << Mismatch("mmx BlendColors", cf, cb, a, got, want);
                }
            }
        }
    }
}

// What the master blend of each form should give.
TColor32 PlainMasterWant(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = ((m + 1) * AlphaComponent(f)) >> 8;
    if (w == 0) {
        return b;
    }
    const auto rule = [w](std::uint32_t x, std::uint32_t y) { return PlainChannel(x, y, w); };
    return EachChannel(f, b, rule) & 0x00FFFFFF;
}

TColor32 MmxMasterWant(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = ((m + 1) * AlphaComponent(f)) >> 8;
    if (w == 0) {
        return b;
    }
    const auto rule = [w](std::uint32_t x, std::uint32_t y) { return MmxChannel(x, y, w); };
    return EachChannel(f, b, rule);
}

struct MasterForm {
    const char* name;
    Reg3 blend;
    TColor32 (*want)(TColor32, TColor32, std::uint32_t);
};
const MasterForm kMasterForms[] = {
    {"plain BlendColorsMaster", &PlainForms::BlendColorsMaster, &PlainMasterWant},
    {"mmx BlendColorsMaster", &MmxForms::BlendColorsMaster, &MmxMasterWant},
};

// Every master alpha with every alpha, each pair with 256 different channel values.
TEST(BlendColorsMaster, BothFormsOnEveryMasterAndAlpha) {
    for (const auto& form : kMasterForms) {
        for (std::uint32_t m = 0; m < 256; ++m) {
            for (std::uint32_t a = 0; a < 256; ++a) {
                for (std::uint32_t c = 0; c < 256; ++c) {
                    const TColor32 cf = SpreadWithAlpha(a, c);
                    const TColor32 cb = Spread((c * 7 + m + a) & 0xFF);
                    const TColor32 got = form.blend(cf, cb, m);
                    const TColor32 want = form.want(cf, cb, m);
                    if (got != want) {
                        FAIL() << Mismatch(form.name, cf, cb, m, got, want);
                    }
                }
            }
        }
    }
}

// Every alpha with every pair of channel values at M = 255, where the weight is the alpha and so
// takes every value (the test above covers the weights of the other master alphas).
TEST(BlendColorsMaster, BothFormsOnEveryChannelValue) {
    for (const auto& form : kMasterForms) {
        for (std::uint32_t m : {255u}) {
            for (std::uint32_t a = 0; a < 256; ++a) {
                for (std::uint32_t f = 0; f < 256; ++f) {
                    const TColor32 cf = SpreadWithAlpha(a, f);
                    for (std::uint32_t b = 0; b < 256; ++b) {
                        const TColor32 cb = Spread(b);
                        const TColor32 got = form.blend(cf, cb, m);
                        const TColor32 want = form.want(cf, cb, m);
                        if (got != want) {
                            FAIL() << Mismatch(form.name, cf, cb, m, got, want);
                        }
                    }
                }
            }
        }
    }
}

// The results the two forms are known to differ by, kept on purpose.
TEST(BlendQuirks, TheFormsDifferWhereTheyShould) {
    // Weight 0 and 255 of the plain mix are exact; the MMX mix has no special cases.
    EXPECT_EQ(PlainForms::MixColors(0xFF00FF00, 0x00FF00FF, 0), 0x00FF00FFu);
    EXPECT_EQ(PlainForms::MixColors(0xFF00FF00, 0x00FF00FF, 255), 0xFF00FF00u);
    EXPECT_EQ(MmxForms::MixColors(0xFF00FF00, 0x00FF00FF, 0), 0x00FF00FFu);
    EXPECT_EQ(MmxForms::MixColors(0xFF00FF00, 0x00FF00FF, 255), 0xFE01FE01u);
    // The MMX BlendColors at alpha 255: 254 for f = 255 over b = 0.
    EXPECT_EQ(PlainForms::BlendColors(0xFFFFFFFF, 0x00000000), 0xFFFFFFFFu);
    EXPECT_EQ(MmxForms::BlendColors(0xFFFFFFFF, 0x00000000), 0xFEFEFEFEu);
    EXPECT_EQ(MmxForms::BlendColors(0x00123456, 0x89ABCDEF), 0x89ABCDEFu);
    // The plain master blend's result has alpha 0; the MMX one blends alpha as well.
    EXPECT_EQ(PlainForms::BlendColorsMaster(0x80FFFFFF, 0xFF000000, 255), 0x00808080u);
    EXPECT_EQ(MmxForms::BlendColorsMaster(0x80FFFFFF, 0xFF000000, 255), 0xC0808080u);
}

TEST(BlendQuirks, PlainMixOfAColourWithItselfCanLoseOne) {
    int lost = 0;
    for (std::uint32_t w = 0; w < 256; ++w) {
        for (std::uint32_t x = 0; x < 256; ++x) {
            const TColor32 c = Spread(x);
            const TColor32 plain = PlainForms::MixColors(c, c, w);
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t got = Channel(plain, k), own = Channel(c, k);
                ASSERT_TRUE(got == own || got + 1 == own) << "w " << w << " x " << own;
                lost += got != own;
            }
            ASSERT_EQ(MmxForms::MixColors(c, c, w), c) << "w " << w;
        }
    }
    EXPECT_GT(lost, 0);
    // (255 + 128) shr 8 + (255 x 254 + 128) shr 8 = 1 + 253.
    EXPECT_EQ(PlainForms::MixColors(0xFFFFFFFF, 0xFFFFFFFF, 1), 0xFEFEFEFEu);
}

} // namespace
