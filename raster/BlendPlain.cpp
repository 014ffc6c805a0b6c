// The plain forms: what every processor computes when the MMX forms are not bound.
#include <algorithm>

#include "raster/BlendForms.h"
#include "raster/BlendMath.h"
#include "raster/BlendMerge.h"
#include "raster/LowLevel.h"

using namespace BlendMath;

namespace PlainForms {

TColor32 MixColors(TColor32 x, TColor32 y, std::uint32_t w) {
    w = MixWeight(w);
    if (w == 0) {
        return y;
    }
    if (w == 255) {
        return x;
    }
    return PlainMix(x, y, w);
}

void MixColorInto(TColor32 f, TColor32& b, std::uint32_t w) {
    b = MixColors(f, b, w);
}

void MixRow(const TColor32* src, TColor32* dst, int count, std::uint32_t w) {
    w = MixWeight(w);
    if (w == 0) {
        return;
    }
    if (w == 255) {
        Move32(src, dst, count);
        return;
    }
    for (int i = 0; i < count; ++i) {
        dst[i] = PlainMix(src[i], dst[i], w);
    }
}

TColor32 BlendColors(TColor32 f, TColor32 b) {
    const std::uint32_t a = AlphaComponent(f);
    if (a == 0) {
        return b;
    }
    if (a == 255) {
        return f;
    }
    return PlainMix(f, b, a);
}

void BlendColorInto(TColor32 f, TColor32& b) {
    const std::uint32_t a = AlphaComponent(f);
    if (a == 0) {
        return;
    }
    b = a == 255 ? f : PlainMix(f, b, a);
}

void BlendRow(const TColor32* src, TColor32* dst, int count) {
    for (int i = 0; i < count; ++i) {
        BlendColorInto(src[i], dst[i]);
    }
}

// The master weight of the register and memory forms; at most 255 once M is.
static std::uint32_t MasterWeight(TColor32 f, std::uint32_t m) {
    return ((Weight(m) + 1) * AlphaComponent(f)) >> 8;
}

TColor32 BlendColorsMaster(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = MasterWeight(f, m);
    if (w == 0) {
        return b;
    }
    // Only red, green and blue are blended; the result's alpha is 0 in this form.
    return PlainMix(f, b, w) & 0x00FFFFFF;
}

void BlendColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m) {
    b = BlendColorsMaster(f, b, m);
}

void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    for (int i = 0; i < count; ++i) {
        BlendColorIntoMaster(src[i], dst[i], m);
    }
}

using Merge = MergeOver<&BlendColors>;
TColor32 MergeColors(TColor32 f, TColor32 b) {
    return Merge::Colors(f, b);
}
void MergeColorInto(TColor32 f, TColor32& b) {
    b = Merge::Colors(f, b);
}
void MergeRow(const TColor32* src, TColor32* dst, int count) {
    Merge::Row(src, dst, count);
}
TColor32 MergeColorsMaster(TColor32 f, TColor32 b, std::uint32_t m) {
    return Merge::ColorsMaster(f, b, m);
}
void MergeColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m) {
    b = Merge::ColorsMaster(f, b, m);
}
void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    Merge::RowMaster(src, dst, count, m);
}

// The channel operations apply a rule to each of the four bytes.
template <class Rule> static TColor32 PerChannel(TColor32 c1, TColor32 c2, Rule rule) {
    TColor32 r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t v = rule((c1 >> shift) & 0xFF, (c2 >> shift) & 0xFF);
        r |= v << shift;
    }
    return r;
}

TColor32 AddColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2,
                      [](std::uint32_t a, std::uint32_t b) { return std::min(a + b, 255u); });
}

TColor32 SubtractColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : 0u; });
}

TColor32 DivideColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) {
        return a == 0 ? 255u : std::min((b * 256) / a, 255u);
    });
}

TColor32 ModulateColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) { return (a * b) >> 8; });
}

TColor32 MaxColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) { return std::max(a, b); });
}

TColor32 MinColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) { return std::min(a, b); });
}

TColor32 DifferenceColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2,
                      [](std::uint32_t a, std::uint32_t b) { return a > b ? a - b : b - a; });
}

TColor32 ExclusionColorChannels(TColor32 c1, TColor32 c2) {
    // For bytes a + b - ab/128 never leaves 0-255 (it is largest, 255, with one byte 0 and the
    // other 255), so the result needs no clamping.
    return PerChannel(c1, c2,
                      [](std::uint32_t a, std::uint32_t b) { return a + b - ((a * b) >> 7); });
}

TColor32 AverageColorChannels(TColor32 c1, TColor32 c2) {
    return PerChannel(c1, c2, [](std::uint32_t a, std::uint32_t b) { return (a + b) >> 1; });
}

TColor32 ScaleColorChannels(TColor32 c, std::uint32_t w) {
    w = Weight(w);
    return PerChannel(c, 0, [w](std::uint32_t a, std::uint32_t) { return (a * w) >> 8; });
}

} // namespace PlainForms
