#pragma once

#include "raster/RasterTypes.h"

class TBitmap32;
class TCustomResampler;

// The transfer of a rectangle of one bitmap into a rectangle of another, unscaled or stretched,
// each pixel combined with the destination by combineOp (dmBlend by the source's combine mode
// and master alpha, dmTransparent skipping the source's outer colour, dmCustom through the
// callback with the source's master alpha).

// The one entry. Raises EBitmapException "Destination bitmap is nil" / "Source bitmap is nil"
// and ESrcInvalidException "Source rectangle is invalid" for a source rectangle leaving the
// source. Empty bitmaps and rectangles, an empty clip and dmBlend at master alpha 0 end it
// silently; otherwise it ends with dst->AreaChanged(dstRect). While dst records areas no pixel
// changes, only that notification is sent. Src may be dst: the source is then read before any
// pixel is written.
void StretchTransfer(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                     const TRect& srcRect, TCustomResampler* resampler, TDrawMode combineOp,
                     const TPixelCombineEvent& combineCallBack);

// The clip (on entry the caller's scratch) set to dstClip cut to dst's bounds and to dstRect;
// false when nothing is left. Every transfer form starts from it.
bool CutTransferClip(TRect& clip, const TRect& dstClip, const TBitmap32* dst, const TRect& dstRect);

// Same-size copy of the dstClip part of dstRect from the matching part of srcRect. Anything
// outside either bitmap is left out. No notification.
void BlockTransfer(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack);

// Nearest-neighbour stretch: column i of the clip takes source column
// Trunc((i + clip left - dstRect left) x sx + srcRect left), sx the single float srcRect width /
// dstRect width (the product taken exactly); a destination less than 2 wide takes the middle
// column; rows alike. Raises Exception "Invalid SrcRect" for a source rectangle leaving the
// source. No notification.
void StretchNearest(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TDrawMode combineOp,
                    const TPixelCombineEvent& combineCallBack);

// The source coordinate of each destination coordinate of clip [clipStart, clipEnd) for a
// nearest stretch of [srcStart, srcEnd) onto [dstStart, dstEnd). Exposed for the tests.
void NearestMap(int srcStart, int srcEnd, long long dstStart, long long dstEnd, int clipStart,
                int clipEnd, int* out);
