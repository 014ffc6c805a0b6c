#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/core/Types.h"
#include "framework/graphics/ThemeServices_win.h"

class TControl;
class TCanvas;

// The two theme flags of a control's style: the theme paints its border
// (0x20000) and it paints its parent's background behind itself (0x40000).
inline constexpr std::uint32_t kThemeStyleMask = 0x60000;

void AddThemeStyleFlags(TControl* Control, std::uint32_t Flags);
void RemoveThemeStyleFlags(TControl* Control, std::uint32_t Flags);
std::uint32_t ReadThemeStyleFlags(const TControl* Control);

TThemeServices* CurrentThemeServices();

// Fills Rect plainly in Color, or with the parent's background where themes
// are on and the control shows its parent (see the rules in the .cpp).
void PaintControlBackground(TControl* Control, TCanvas* Canvas, const TRect& Rect,
                            bool OnlyForParentBackground, TColor Color);
// The same in the canvas's brush colour.
void PaintControlBackgroundWithBrush(TControl* Control, TCanvas* Canvas, const TRect& Rect,
                                     bool OnlyForParentBackground);

// The parent's background painted into DC over Rect (control coordinates;
// nullptr: no clip), the parent's point Offset landing on the DC's origin.
void EraseWithParentAt(TControl* Control, HDC DC, TPoint Offset, const TRect* Rect);
// Offset = the control's position in its parent.
void EraseWithParent(TControl* Control, HDC DC, const TRect* Rect);
