#pragma once

#include <cstdint>

#include "framework/gui/GraphicControl_win.h"

enum TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// A raised or lowered box, frame or line painted on the parent.
class TBevel : public TGraphicControl {
    FW_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const noexcept { return shape_; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const noexcept { return style_; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};
