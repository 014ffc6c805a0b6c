#pragma once

#include <cstdint>

#include "framework/core/Types.h"
#include "framework/graphics/GraphicsObject_win.h"

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Raster operations of the pen (SetROP2).
enum TPenMode : std::uint8_t { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmXor, pmNotXor };

// A pen description and its HPEN: clBlack, width 1, psSolid, pmCopy.
class TPen : public TGraphicsObject {
    FW_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;

    TColor Color() const noexcept { return color_; }
    void SetColor(TColor color);
    int Width() const noexcept { return width_; }
    void SetWidth(int width);  // below 1 counts as 1
    TPenStyle Style() const noexcept { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const noexcept { return mode_; }
    void SetMode(TPenMode mode);  // kept by the canvas in the DC, not in the HPEN
    // The R2_ value of Mode.
    int Rop2() const noexcept;

    HPEN Handle();
    void Assign(TPersistent* Source) override;

protected:
    HGDIOBJ MakeHandle(bool& owned) override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};
