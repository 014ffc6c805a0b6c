#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Types.h"
#include "framework/graphics/GraphicsObject_win.h"

enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// A font description and its HFONT. Forms are not scaled: Size and Height
// convert at 96 pixels per inch (Height = -Size * 96 / 72).
class TFont : public TGraphicsObject {
    FW_CLASS(TFont, TGraphicsObject)
public:
    static constexpr int kPixelsPerInch = 96;

    // Tahoma, height -11 (8 points), clWindowText, no style, DEFAULT_CHARSET.
    TFont();

    const std::string& Name() const noexcept { return name_; }
    void SetName(const std::string& name);
    // Character height in pixels; negative as the window system takes it.
    int Height() const noexcept { return height_; }
    void SetHeight(int height);
    // Size in points: -Height * 72 / 96, rounded.
    int Size() const noexcept;
    void SetSize(int points);
    // Colour of the text (SetTextColor); changing it keeps the HFONT.
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const noexcept { return style_; }
    void SetStyle(TFontStyles style);
    std::uint8_t CharSet() const noexcept { return charSet_; }
    void SetCharSet(std::uint8_t charSet);
    TFontPitch Pitch() const noexcept { return pitch_; }
    void SetPitch(TFontPitch pitch);

    // The HFONT, made on first request. Owned by the font.
    HFONT Handle();
    // Adopts font (owned from now on) and takes its name, height, style,
    // charset and pitch from it.
    void SetHandle(HFONT font);

    // Another TFont: copies every property (one change); anything else: the
    // default assignment.
    void Assign(TPersistent* Source) override;
    // True when the descriptions match (name compared without case).
    bool SameAs(const TFont& other) const noexcept;

protected:
    HGDIOBJ MakeHandle(bool& owned) override;

private:
    std::string name_ = "Tahoma";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_;
    std::uint8_t charSet_ = 1;  // DEFAULT_CHARSET
    TFontPitch pitch_ = fpDefault;
};
