#pragma once

#include "framework/graphics/ControlCanvas_win.h"
#include "framework/gui/WinControl_win.h"

// A windowed control that paints itself: WM_PAINT runs BeginPaint, sets
// csCustomPaint, calls Paint on the canvas (the BeginPaint DC), paints the
// window-less children and ends the paint.
class TCustomControl : public TWinControl {
    FW_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    // The control's DC: the paint DC during WM_PAINT, obtained lazily
    // (GetDC) otherwise.
    TCanvas* Canvas() const noexcept { return canvas_; }

protected:
    // Paints the control; the default does nothing.
    virtual void Paint() {}
    void PaintWindow(HDC DC) override;

private:
    TControlCanvas* canvas_ = nullptr;
};
