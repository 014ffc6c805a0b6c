#pragma once

#include <cstdint>

#include "framework/core/Types.h"
#include "framework/graphics/GraphicsObject_win.h"

class TBitmap;

enum TBrushStyle : std::uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// A brush description and its HBRUSH: clWhite, bsSolid. With a Bitmap the
// brush paints that bitmap as a pattern whatever the style.
class TBrush : public TGraphicsObject {
    FW_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;

    TColor Color() const noexcept { return color_; }
    // A colour other than clNone also turns bsClear back into bsSolid.
    void SetColor(TColor color);
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle style);
    // The pattern bitmap; not owned: it must outlive the brush's use of it.
    TBitmap* Bitmap() const noexcept { return bitmap_; }
    void SetBitmap(TBitmap* bitmap);

    HBRUSH Handle();
    void Assign(TPersistent* Source) override;

protected:
    HGDIOBJ MakeHandle(bool& owned) override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};
