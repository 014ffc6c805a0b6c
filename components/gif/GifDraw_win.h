#pragma once

#include "framework/core/Types.h"

class TBitmap;
class TCanvas;

// Draws the part src of bitmap stretched into (x, y, width, height) of canvas,
// leaving the destination alone where the bitmap has the colour key.
// Width or height below 1 take the bitmap's; a src width or height below 1
// means the whole bitmap. clNone draws the bitmap opaque with the canvas's
// copy mode; clDefault keys on the bitmap's bottom-left pixel.
void DrawBitmapRectTransparentColor(TCanvas* canvas, int x, int y, int width, int height,
                                    TBitmap* bitmap, const TRect& src, TColor color);

inline void DrawBitmapPartTransparent(TCanvas* canvas, int x, int y, int width, int height,
                                      TBitmap* bitmap, const TRect& src, TColor color) {
    DrawBitmapRectTransparentColor(canvas, x, y, width, height, bitmap, src, color);
}
