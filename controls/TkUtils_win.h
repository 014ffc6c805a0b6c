#pragma once

#include <windows.h>

#include <string>

#include "controls/TkTypes.h"
#include "controls/ToolkitText.h"
#include "framework/core/Types.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TFont;
class TGraphicControl;

// Paints the brush where the source is white, keeps the destination where black.
inline constexpr DWORD ROP_DSPDXAX = 0x00E20746;

// The long (or short 8.3) name of the path's last component, empty when the
// file is missing or the last component holds a wildcard (a search would
// answer another file).
std::string ExpandShortPathName(const std::string& Path);
std::string LongToShortFileName(const std::string& Path);

// Text shortened to MaxWidth in the canvas's font, cut at character boundaries.
std::string ShortenTextToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth);

// Drops one pending Msg of Window; a quit request removed so is posted again.
void DiscardPendingMessage(HWND Window, UINT Msg);

void DrawTextOnCanvas(TCanvas* Canvas, const char* Text, int Length, TRect& Rect, UINT Format);
// As DrawTextOnCanvas, never modifying the text.
void DrawStringOnCanvas(TCanvas* Canvas, const std::string& Text, int Length, TRect& Rect,
                        UINT Format);
void DrawStringOnDC(HDC DC, const std::string& Text, int Length, TRect& Rect, UINT Format);
BOOL BlitRect(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SourceX, int SourceY,
              DWORD Rop);

// The source rectangle stretched into the destination, pixels of KeyColor
// left transparent. The source DC's mapping mode is the caller's again afterwards.
void StretchBltMasked(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int SourceX,
                      int SourceY, int SourceWidth, int SourceHeight, TColor KeyColor,
                      HPALETTE Palette);
// Sizes below 1: the bitmap's own. KeyColor clNone: no transparency;
// clDefault: the bitmap's bottom-left pixel.
void StretchBitmapMasked(TCanvas* Canvas, int X, int Y, int Width, int Height, TBitmap* Bitmap,
                         int SourceX, int SourceY, int SourceWidth, int SourceHeight,
                         TColor KeyColor);
void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor KeyColor);

// Disabled looks of a glyph (new bitmaps, owned by the caller): the shape
// in highlight at (1, 1) under shadow at (0, 0), on the key colour (shaded)
// or on the face colour (embossed).
TBitmap* MakeDisabledBitmapShaded(TBitmap* Source, TColor KeyColor);
TBitmap* MakeDisabledBitmapEmbossed(TBitmap* Source, TColor KeyColor, TColor FaceColor,
                                    bool WithHighlight, TColor ShadowColor, TColor HighlightColor);
TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor KeyColor);
// An image of the list drawn disabled at (X, Y) from its mask.
void DrawDisabledImage(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index,
                       bool WithHighlight, TColor ShadowColor, TColor HighlightColor);

// What lies under a transparent window-less control: the parent's
// background and the window-less siblings below it, painted into Canvas
// (whose origin is the control's; the origin is moved relative to where it
// stands, so a parent's DC already moved to the control works as well as a
// buffer of the control's own).
void PaintUnderlyingImage(TGraphicControl* Control, TCanvas* Canvas);

// An 8 x 8 checker: First, with Second where x + y is even.
TBitmap* MakeCheckerBitmap(TColor First, TColor Second);

// True when the active window is a top-level window of the calling thread.
bool ActiveWindowIsOwnThread();

void ApplyTrackedFont(TFont* Target, TFont* Source, TTkTrackFontOptions Options);

// The toolkit's drag cursors in the screen's cursor table, once at start-up
// when the screen exists: slot 100 multi-drag, 101 drag, 102 and 103 multi-drag.
void InitializeToolkitCursors();
