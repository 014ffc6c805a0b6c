#include "framework/graphics/Font_win.h"

#include <cstring>

TFont::TFont() = default;

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    HandleChanged();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    HandleChanged();
}

int TFont::Size() const noexcept {
    // -Height * 72 / 96, rounded half away from zero.
    const int n = -height_ * 72;
    return n >= 0 ? (n + kPixelsPerInch / 2) / kPixelsPerInch : -((-n + kPixelsPerInch / 2) / kPixelsPerInch);
}

void TFont::SetSize(int points) {
    const int n = points * kPixelsPerInch;
    SetHeight(-(n >= 0 ? (n + 36) / 72 : -((-n + 36) / 72)));
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    HandleChanged();
}

void TFont::SetCharSet(std::uint8_t charSet) {
    if (charSet == charSet_) return;
    charSet_ = charSet;
    HandleChanged();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    HandleChanged();
}

HFONT TFont::Handle() { return static_cast<HFONT>(ObjectHandle()); }

HGDIOBJ TFont::MakeHandle(bool& owned) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = charSet_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    owned = true;
    HFONT font = CreateFontIndirectA(&lf);
    if (font == nullptr) {
        owned = false;
        return GetStockObject(DEFAULT_GUI_FONT);
    }
    return font;
}

void TFont::SetHandle(HFONT font) {
    LOGFONTA lf{};
    if (font != nullptr && GetObjectA(font, sizeof lf, &lf) == sizeof lf) {
        name_.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
        height_ = lf.lfHeight;
        TFontStyles style;
        if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
        if (lf.lfItalic) style.Include(fsItalic);
        if (lf.lfUnderline) style.Include(fsUnderline);
        if (lf.lfStrikeOut) style.Include(fsStrikeOut);
        style_ = style;
        charSet_ = lf.lfCharSet;
        const int pitch = lf.lfPitchAndFamily & 3;
        pitch_ = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
    }
    AdoptHandle(font, true);
}

void TFont::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TFont*>(Source)) {
        if (other == this) return;
        name_ = other->name_;
        height_ = other->height_;
        color_ = other->color_;
        style_ = other->style_;
        charSet_ = other->charSet_;
        pitch_ = other->pitch_;
        HandleChanged();
        return;
    }
    TGraphicsObject::Assign(Source);
}

bool TFont::SameAs(const TFont& other) const noexcept {
    return _stricmp(name_.c_str(), other.name_.c_str()) == 0 && height_ == other.height_ &&
           color_ == other.color_ && style_ == other.style_ && charSet_ == other.charSet_ && pitch_ == other.pitch_;
}
