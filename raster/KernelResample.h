#pragma once

// The resampling forms beyond the nearest one: linear magnification, resampling through a
// kernel's weight clusters, and the draft reduction by block averages.

#include <cstdint>
#include <vector>

#include "framework/core/Types.h"
#include "raster/Color32.h"
#include "raster/RasterTypes.h"

class TBitmap32;
class TCustomKernel;

// One source coordinate and its weight in 1/256.
struct TClusterEntry {
    std::int32_t Pos = 0;
    std::int32_t Weight = 0;
};
using TCluster = std::vector<TClusterEntry>;
// One cluster per destination coordinate of the clip range.
using TMappingTable = std::vector<TCluster>;

// The clusters of the kernel for destination [dstLo, dstHi), clip [clipLo, clipHi) and source
// [srcLo, srcHi). Empty for an empty source range. Every cluster's weights add up to 256 and
// every position lies in the source range; a cluster whose rounded weights would all be 0 (at
// large reductions) takes its centre pixel whole, so that no destination pixel goes without a
// source.
TMappingTable BuildWeightClusters(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo,
                                  int srcHi, TCustomKernel& kernel);

// Draws src's srcRect into dst's dstRect inside dstClip (already cut to dst and dstRect)
// through the kernel's clusters, combining by combineOp.
void KernelResample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TCustomKernel& kernel, TDrawMode combineOp,
                    const TPixelCombineEvent& combineCallBack);

// Bilinear magnification; see LinearInterpolator.
void StretchLinear(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack);

// Reduction by block averages (magnification goes to StretchLinear or, for a source less than
// 2 wide or high, to KernelResample with the kernel given).
void DraftResample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TCustomKernel& linearKernel, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack);

// The two-by-two mix of a pixel, its right neighbour and the two below it, the weights as
// w + w x 65536 with w from 0 to 256 (256 selects the first pixel of each pair).
using TLinearInterpolator = TColor32 (*)(std::uint32_t weightX, std::uint32_t weightY,
                                         const TColor32* upper, const TColor32* lower);
// The plain form (through MixColors, weights out of 255) and the vector form (per channel
// floor((a w + b (256 - w)) / 256)); processors with MMX use the vector form.
TColor32 LinearInterpolatorPlain(std::uint32_t weightX, std::uint32_t weightY,
                                 const TColor32* upper, const TColor32* lower);
TColor32 LinearInterpolatorVector(std::uint32_t weightX, std::uint32_t weightY,
                                  const TColor32* upper, const TColor32* lower);
extern TLinearInterpolator LinearInterpolator;

// The average of a block of width x height pixels from first, rows strideBytes apart; every
// form gives the plain form's value.
TColor32 BlockAverage(std::uint32_t width, std::uint32_t height, const TColor32* first,
                      std::intptr_t strideBytes) noexcept;

// Binds LinearInterpolator once at start: the vector form with MMX, else the plain one; the
// magnification's rows through SSE2 when the processor has it too.
void BindTransferFunctions(bool mmx, bool sse2 = false);
