// The forms with the MMX results, in ordinary registers: what users see, since every processor
// that runs the program has MMX. The SSE2 rows give the same results faster.
#include "raster/BlendForms.h"
#include "raster/BlendMath.h"
#include "raster/BlendMerge.h"
#include "raster/LowLevel.h"

using namespace BlendMath;

namespace MmxForms {

TColor32 MixColors(TColor32 x, TColor32 y, std::uint32_t w) {
    return MmxMix(x, y, MixWeight(w));
}

void MixColorInto(TColor32 f, TColor32& b, std::uint32_t w) {
    w = MixWeight(w);
    if (w == 0) {
        return;
    }
    b = w == 255 ? f : MmxMix(f, b, w);
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
        dst[i] = MmxMix(src[i], dst[i], w);
    }
}

TColor32 BlendColors(TColor32 f, TColor32 b) {
    return MmxMix(f, b, AlphaComponent(f));
}

void BlendColorInto(TColor32 f, TColor32& b) {
    const std::uint32_t a = AlphaComponent(f);
    if (a == 0) {
        return;
    }
    b = a == 255 ? f : MmxMix(f, b, a);
}

void BlendRow(const TColor32* src, TColor32* dst, int count) {
    for (int i = 0; i < count; ++i) {
        BlendColorInto(src[i], dst[i]);
    }
}

TColor32 BlendColorsMaster(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = ((Weight(m) + 1) * AlphaComponent(f)) >> 8;
    return w == 0 ? b : MmxMix(f, b, w);
}

void BlendColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m) {
    b = BlendColorsMaster(f, b, m);
}

void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m) {
    m = Weight(m);
    for (int i = 0; i < count; ++i) {
        // Alpha 0 gives weight (1 x M) shr 8 = 0, so it needs no test of its own.
        const std::uint32_t w = ((AlphaComponent(src[i]) + 1) * m) >> 8;
        if (w != 0) {
            dst[i] = MmxMix(src[i], dst[i], w);
        }
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

TColor32 AverageColorChannels(TColor32 c1, TColor32 c2) {
    // (a + b + 1) shr 1 per byte without unpacking: a + b = 2(a and b) + (a xor b), so the
    // rounded-up half is (a or b) - ((a xor b) shr 1), with the shift kept inside each byte.
    return (c1 | c2) - (((c1 ^ c2) >> 1) & 0x7F7F7F7F);
}

} // namespace MmxForms
