#pragma once

#include <cmath>
#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/Types.h"
#include "raster/Color32.h"
#include "raster/FixedMath.h"
#include "raster/Modes.h"

// Types and global helpers shared by the bitmap, the samplers and the transfer.

// How a transfer combines each source pixel with the destination.
enum TDrawMode : std::uint8_t { dmOpaque, dmBlend, dmCustom, dmTransparent };

// The combiner of dmCustom: F is the source pixel, B the destination (changed in place), M the
// source's master alpha.
using TPixelCombineEvent = TDelegate<void(TColor32 F, TColor32& B, TColor32 M)>;

// Told the area of a change. Info 0x80000000 (kAreaInfoRect) means that Area is a rectangle.
using TAreaChangedEvent =
    TDelegate<void(TObject* Sender, const TRect& Area, std::uint32_t Info)>;
inline constexpr std::uint32_t kAreaInfoRect = 0x80000000u;

// A rectangle in 16.16 fixed point and one in single floats.
struct TFixedRect {
    TFixed Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend constexpr bool operator==(const TFixedRect&, const TFixedRect&) = default;
};
struct TFloatRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend constexpr bool operator==(const TFloatRect&, const TFloatRect&) = default;
};

// A platform colour (0x00BBGGRR; a negative value names a system colour, looked up first) as an
// opaque TColor32. Without a platform, system colours are black.
TColor32 Color32(TColor c);

// Round(F x 65536), ties to even; values beyond the 16.16 range saturate.
TFixed FloatToFixed(float f);

// Round to nearest, halves to even (the processor's default mode), held inside the int range;
// NaN gives the lowest int. Layout and sampling code takes doubles from form data, where an
// unchecked conversion would be undefined.
inline int RoundToInt(double v) noexcept {
    v = std::nearbyint(v);
    if (!(v >= -2147483648.0))
        return INT32_MIN;
    return v > 2147483647.0 ? INT32_MAX : static_cast<int>(v);
}

TRect BuildRect(int l, int t, int r, int b);
TFixedRect BuildFixedRect(TFixed l, TFixed t, TFixed r, TFixed b);
// Each coordinate shifted left by 16 (wrapping beyond the fixed range, as the shift does).
TFixedRect FixedRectOf(const TRect& r);
TFloatRect FloatRectOf(const TRect& r);
// Mode 0: each rounded; 1: left and top down, right and bottom up (the rectangle covering FR);
// 2: all four up, then right and bottom at least left and top.
TRect BuildRectFromFloat(const TFloatRect& fr, int mode);
// The same three modes on 16.16 coordinates.
TRect BuildRectFromFixed(const TFixedRect& fr, int mode);

// Dst := R1 cut by R2. False, with Dst all zero, when they do not meet; a result of zero width
// or height still counts as meeting.
bool RectIntersect(TRect& dst, const TRect& r1, const TRect& r2);
bool RectEqual(const TRect& r1, const TRect& r2);
void RectOffset(TRect& r, int dx, int dy);
// Not (left < right and top < bottom).
bool RectIsEmpty(const TRect& r);

// The gamma table: entry i = Round(255 x (i / 255)^G). Filled by start-up with 0.7.
extern std::uint8_t GammaTable[256];
void SetGamma(double g);

// BilinearMix4(WX, WY, Row0, Row1): the four pixels Row0[0..1] and Row1[0..1] mixed with WX
// weighting the left column and WY the upper row. Bound at start-up.
using TBilinearMix4 = TColor32 (*)(std::uint32_t wx, std::uint32_t wy, const TColor32* row0,
                                   const TColor32* row1);
extern TBilinearMix4 BilinearMix4;
namespace PlainForms {
// Weights above 255 count as 255; three MixColors.
TColor32 BilinearMix4(std::uint32_t wx, std::uint32_t wy, const TColor32* row0,
                      const TColor32* row1);
} // namespace PlainForms
namespace MmxForms {
// Per channel, without rounding: (a x W + b x (256 - W)) shr 8, saturated to 0..255.
TColor32 BilinearMix4(std::uint32_t wx, std::uint32_t wy, const TColor32* row0,
                      const TColor32* row1);
} // namespace MmxForms
// The MMX form on a processor with MMX (or 3DNow!), else the plain form.
void BindBilinearMix4(bool mmx);

// The platform's system colour of index (0x00BBGGRR); 0 without a platform.
std::uint32_t PlatformSysColor(int index);
