#include "raster/RasterTypes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/Blend.h"

TColor32 Color32(TColor c) {
    std::uint32_t v = static_cast<std::uint32_t>(c);
    if (c < 0)
        v = PlatformSysColor(static_cast<int>(v & 0xFF));
    return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TFixed FloatToFixed(float f) {
    // The product is exact in double; out-of-range values (and NaN) must not reach the integer
    // conversion, which would be undefined.
    const double v = std::nearbyint(static_cast<double>(f) * 65536.0);
    if (!(v >= -2147483648.0))
        return INT32_MIN;
    if (v > 2147483647.0)
        return INT32_MAX;
    return static_cast<TFixed>(v);
}

TRect BuildRect(int l, int t, int r, int b) {
    return TRect{l, t, r, b};
}

TFixedRect BuildFixedRect(TFixed l, TFixed t, TFixed r, TFixed b) {
    return TFixedRect{l, t, r, b};
}

namespace {
TFixed Shl16(int v) {
    return static_cast<TFixed>(static_cast<std::uint32_t>(v) << 16);
}
int FloorToInt(double v) {
    return RoundToInt(std::floor(v));
}
int CeilToInt(double v) {
    return RoundToInt(std::ceil(v));
}
int Sar16(std::int64_t v) {
    return static_cast<int>(v >> 16);
}
} // namespace

TFixedRect FixedRectOf(const TRect& r) {
    return TFixedRect{Shl16(r.Left), Shl16(r.Top), Shl16(r.Right), Shl16(r.Bottom)};
}

TFloatRect FloatRectOf(const TRect& r) {
    return TFloatRect{static_cast<float>(r.Left), static_cast<float>(r.Top),
                      static_cast<float>(r.Right), static_cast<float>(r.Bottom)};
}

TRect BuildRectFromFloat(const TFloatRect& fr, int mode) {
    TRect r;
    switch (mode) {
    case 0:
        r = {RoundToInt(fr.Left), RoundToInt(fr.Top), RoundToInt(fr.Right), RoundToInt(fr.Bottom)};
        break;
    case 1:
        r = {FloorToInt(fr.Left), FloorToInt(fr.Top), CeilToInt(fr.Right), CeilToInt(fr.Bottom)};
        break;
    default:
        r = {CeilToInt(fr.Left), CeilToInt(fr.Top), CeilToInt(fr.Right), CeilToInt(fr.Bottom)};
        r.Right = std::max(r.Right, r.Left);
        r.Bottom = std::max(r.Bottom, r.Top);
        break;
    }
    return r;
}

TRect BuildRectFromFixed(const TFixedRect& fr, int mode) {
    const std::int64_t l = fr.Left, t = fr.Top, r = fr.Right, b = fr.Bottom;
    TRect out;
    switch (mode) {
    case 0:
        out = {Sar16(l + 0x7FFF), Sar16(t + 0x7FFF), Sar16(r + 0x7FFF), Sar16(b + 0x7FFF)};
        break;
    case 1:
        out = {Sar16(l), Sar16(t), Sar16(r + 0xFFFF), Sar16(b + 0xFFFF)};
        break;
    default:
        out = {Sar16(l + 0xFFFF), Sar16(t + 0xFFFF), Sar16(r), Sar16(b)};
        out.Right = std::max(out.Right, out.Left);
        out.Bottom = std::max(out.Bottom, out.Top);
        break;
    }
    return out;
}

bool RectIntersect(TRect& dst, const TRect& r1, const TRect& r2) {
    TRect r{std::max(r1.Left, r2.Left), std::max(r1.Top, r2.Top), std::min(r1.Right, r2.Right),
            std::min(r1.Bottom, r2.Bottom)};
    if (r.Right < r.Left || r.Bottom < r.Top) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}

bool RectEqual(const TRect& r1, const TRect& r2) {
    return r1 == r2;
}

void RectOffset(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

bool RectIsEmpty(const TRect& r) {
    return !(r.Left < r.Right && r.Top < r.Bottom);
}

std::uint8_t GammaTable[256];

void SetGamma(double g) {
    for (int i = 0; i < 256; ++i)
        GammaTable[i] = static_cast<std::uint8_t>(
            std::nearbyint(255.0 * std::pow(static_cast<double>(i) / 255.0, g)));
}

namespace PlainForms {
TColor32 BilinearMix4(std::uint32_t wx, std::uint32_t wy, const TColor32* row0,
                      const TColor32* row1) {
    wx = std::min<std::uint32_t>(wx, 255);
    wy = std::min<std::uint32_t>(wy, 255);
    const TColor32 a = MixColors(row0[0], row0[1], wx);
    const TColor32 b = MixColors(row1[0], row1[1], wx);
    return MixColors(a, b, wy);
}
} // namespace PlainForms

namespace MmxForms {
namespace {
// One lane: (a x W + b x (256 - W)) shr 8 with an arithmetic shift, saturated to a byte. The
// weights the bitmap passes are gamma entries (0-255), where no saturation ever happens.
std::int32_t Lerp(std::int32_t a, std::int32_t b, std::int32_t w) {
    const std::int32_t v = (a * w + b * (256 - w)) >> 8;
    return std::clamp(v, 0, 255);
}
} // namespace

TColor32 BilinearMix4(std::uint32_t wx, std::uint32_t wy, const TColor32* row0,
                      const TColor32* row1) {
    // Weights far out of range would overflow the products; the lanes of the original have 16
    // bits, so anything above 0xFFFF is meaningless there as well.
    const std::int32_t x = static_cast<std::int32_t>(std::min<std::uint32_t>(wx, 0xFFFF));
    const std::int32_t y = static_cast<std::int32_t>(std::min<std::uint32_t>(wy, 0xFFFF));
    TColor32 result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const auto ch = [shift](TColor32 c) { return static_cast<std::int32_t>((c >> shift) & 0xFF); };
        // The sums are taken in 32 bits and then saturated, so they cannot overflow for 16-bit
        // weights.
        const std::int64_t a0 = ch(row0[0]), a1 = ch(row0[1]), b0 = ch(row1[0]), b1 = ch(row1[1]);
        const std::int32_t a = std::clamp<std::int64_t>((a0 * x + a1 * (256 - x)) >> 8, 0, 255);
        const std::int32_t b = std::clamp<std::int64_t>((b0 * x + b1 * (256 - x)) >> 8, 0, 255);
        result |= static_cast<TColor32>(Lerp(a, b, y)) << shift;
    }
    return result;
}
} // namespace MmxForms

TBilinearMix4 BilinearMix4 = &PlainForms::BilinearMix4;

void BindBilinearMix4(bool mmx) {
    BilinearMix4 = mmx ? &MmxForms::BilinearMix4 : &PlainForms::BilinearMix4;
}

#ifndef _WIN32
std::uint32_t PlatformSysColor(int) {
    return 0;
}
#endif
