#include "framework/graphics/Brush_win.h"

#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/GdiUtils_win.h"

void TBrush::SetColor(TColor color) {
    if (color == color_ && !(style_ == bsClear && color != clNone)) return;
    color_ = color;
    if (style_ == bsClear && color != clNone) style_ = bsSolid;
    HandleChanged();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    HandleChanged();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
    if (bitmap == bitmap_) return;
    bitmap_ = bitmap;
    HandleChanged();
}

HBRUSH TBrush::Handle() { return static_cast<HBRUSH>(ObjectHandle()); }

HGDIOBJ TBrush::MakeHandle(bool& owned) {
    owned = true;
    if (bitmap_ != nullptr && !bitmap_->Empty()) {
        HBRUSH pattern = CreatePatternBrush(bitmap_->Handle());
        if (pattern != nullptr) return pattern;
    }
    if (style_ == bsClear) {
        owned = false;
        return GetStockObject(NULL_BRUSH);
    }
    if (style_ == bsSolid) return CreateSolidBrush(ColorRef(color_));
    static constexpr int kHatches[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
    return CreateHatchBrush(kHatches[style_ <= bsDiagCross ? style_ : bsCross], ColorRef(color_));
}

void TBrush::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TBrush*>(Source)) {
        if (other == this) return;
        color_ = other->color_;
        style_ = other->style_;
        bitmap_ = other->bitmap_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}
