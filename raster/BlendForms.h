#pragma once

#include <cstdint>

#include "raster/Color32.h"

// The forms the colour pointers of raster/Blend.h are bound to. Code draws through the pointers;
// these names are for the binder, the tests and the benchmarks. Per channel, f and b are channels
// of F (or X) and B (or Y).
//
// Plain: a weighted channel is ((f x W + 128) shr 8) + ((b x (255 - W) + 128) shr 8), the two
// terms rounded separately, two channels per 32-bit multiply. Mixing X with itself can give
// X - 1.
//
// MMX: a weighted channel is (f x W + b x (256 - W) + 128) shr 8, which the 16-bit lanes of the
// MMX instructions compute exactly. It can differ by one from the plain form; at W = 255 it gives
// (255 x f + b + 128) shr 8, so 254 for f = 255, b = 0.
//
// SSE2: the MMX results, four pixels at a time, for the rows.

namespace PlainForms {
// W = 0: Y. W = 255: X. Else the weighted channel on all four. (Weights above 255 as told in
// raster/Blend.h, in every form.)
TColor32 MixColors(TColor32 x, TColor32 y, std::uint32_t w);
void MixColorInto(TColor32 f, TColor32& b, std::uint32_t w);
void MixRow(const TColor32* src, TColor32* dst, int count, std::uint32_t w);
// Alpha 0: B. Alpha 255: F. Else the weighted channel on all four with W = alpha(F).
TColor32 BlendColors(TColor32 f, TColor32 b);
void BlendColorInto(TColor32 f, TColor32& b);
void BlendRow(const TColor32* src, TColor32* dst, int count);
// Weight W = ((M + 1) x alpha(F)) shr 8; alpha 0 or W = 0: B. Else red, green and blue are the
// weighted channel and the result's alpha is 0.
TColor32 BlendColorsMaster(TColor32 f, TColor32 b, std::uint32_t m);
void BlendColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m);
void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
// Merge over the plain BlendColors (the opaque-background case blends).
TColor32 MergeColors(TColor32 f, TColor32 b);
void MergeColorInto(TColor32 f, TColor32& b);
void MergeRow(const TColor32* src, TColor32* dst, int count);
TColor32 MergeColorsMaster(TColor32 f, TColor32 b, std::uint32_t m);
void MergeColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m);
void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);

TColor32 AddColorChannels(TColor32 c1, TColor32 c2);
TColor32 SubtractColorChannels(TColor32 c1, TColor32 c2);
TColor32 DivideColorChannels(TColor32 c1, TColor32 c2);
TColor32 ModulateColorChannels(TColor32 c1, TColor32 c2);
TColor32 MaxColorChannels(TColor32 c1, TColor32 c2);
TColor32 MinColorChannels(TColor32 c1, TColor32 c2);
TColor32 DifferenceColorChannels(TColor32 c1, TColor32 c2);
TColor32 ExclusionColorChannels(TColor32 c1, TColor32 c2);
// (c1 + c2) shr 1.
TColor32 AverageColorChannels(TColor32 c1, TColor32 c2);
TColor32 ScaleColorChannels(TColor32 c, std::uint32_t w);
} // namespace PlainForms

namespace MmxForms {
// No special cases: the weighted channel on all four (W = 0 gives Y exactly).
TColor32 MixColors(TColor32 x, TColor32 y, std::uint32_t w);
// W = 0: B stays. W = 255: F stored. Else the weighted channel.
void MixColorInto(TColor32 f, TColor32& b, std::uint32_t w);
// W = 0: Dst stays. W = 255: Src copied. Else the weighted channel per pixel.
void MixRow(const TColor32* src, TColor32* dst, int count, std::uint32_t w);
// W = alpha(F) on all four, no special cases (alpha 0 gives B exactly, alpha 255 does not give F).
TColor32 BlendColors(TColor32 f, TColor32 b);
// Alpha 0: B stays. Alpha 255: F stored. Else the weighted channel.
void BlendColorInto(TColor32 f, TColor32& b);
void BlendRow(const TColor32* src, TColor32* dst, int count);
// W = ((M + 1) x alpha(F)) shr 8; W = 0: B. Else the weighted channel on all four, alpha too.
TColor32 BlendColorsMaster(TColor32 f, TColor32 b, std::uint32_t m);
void BlendColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m);
// Per pixel with alpha(F) > 0 the weight is ((alpha(F) + 1) x M) shr 8, which differs from the
// register form's ((M + 1) x alpha(F)) shr 8 (at alpha 254, M = 1: 0 against 1). W = 0 leaves
// Dst[i]; else the weighted channel.
void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
// Merge over the MMX BlendColors.
TColor32 MergeColors(TColor32 f, TColor32 b);
void MergeColorInto(TColor32 f, TColor32& b);
void MergeRow(const TColor32* src, TColor32* dst, int count);
TColor32 MergeColorsMaster(TColor32 f, TColor32 b, std::uint32_t m);
void MergeColorIntoMaster(TColor32 f, TColor32& b, std::uint32_t m);
void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
// (c1 + c2 + 1) shr 1 per byte, as the extended MMX byte average rounds. The other channel
// operations of the MMX set give exactly the plain results and are bound to the plain forms.
TColor32 AverageColorChannels(TColor32 c1, TColor32 c2);
} // namespace MmxForms

#if RASTER_SSE2_FORMS
namespace Sse2Forms {
// The MMX rows, four pixels per step; the results equal MmxForms' pixel for pixel.
void MixRow(const TColor32* src, TColor32* dst, int count, std::uint32_t w);
void BlendRow(const TColor32* src, TColor32* dst, int count);
void BlendRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
// The merge rows over the MMX blend, equal to MmxForms' pixel for pixel.
void MergeRow(const TColor32* src, TColor32* dst, int count);
void MergeRowMaster(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
} // namespace Sse2Forms
#endif
