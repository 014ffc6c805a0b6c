#pragma once

#include "framework/graphics/ControlCanvas_win.h"
#include "framework/gui/Control_win.h"

// A window-less control: it paints on its parent's window (Paint, in
// z-order after the parent has painted itself) and gets its mouse messages
// from the parent in its own coordinates.
class TGraphicControl : public TControl {
    FW_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    // Draws on the parent's DC: lent during painting, obtained on demand
    // otherwise (origin and clipping set to the control).
    TCanvas* Canvas() const noexcept { return canvas_; }

    // WM_PAINT with a DC in wParam paints into that DC (client coordinates
    // of this control); Perform may call it for buffers and copies.
    void WndProc(TMessage& Message) override;

protected:
    // Paints the control; the default does nothing.
    virtual void Paint() {}

private:
    TControlCanvas* canvas_ = nullptr;
};
