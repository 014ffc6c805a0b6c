#include "framework/graphics/Pen_win.h"

#include "framework/graphics/GdiUtils_win.h"

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    HandleChanged();
}

void TPen::SetWidth(int width) {
    if (width < 1) width = 1;
    if (width == width_) return;
    width_ = width;
    HandleChanged();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    HandleChanged();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

int TPen::Rop2() const noexcept {
    static constexpr int kRops[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_XORPEN, R2_NOTXORPEN};
    return kRops[mode_ <= pmNotXor ? mode_ : pmCopy];
}

HPEN TPen::Handle() { return static_cast<HPEN>(ObjectHandle()); }

HGDIOBJ TPen::MakeHandle(bool& owned) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    owned = true;
    return CreatePen(kStyles[style_ <= psInsideFrame ? style_ : psSolid], width_, ColorRef(color_));
}

void TPen::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TPen*>(Source)) {
        if (other == this) return;
        color_ = other->color_;
        width_ = other->width_;
        style_ = other->style_;
        mode_ = other->mode_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}
