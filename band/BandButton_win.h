#pragma once

#include "framework/gui/GraphicControl_win.h"

class TBitmap32;

// A desktop button of the band: a window-less control that shows its 16 x 16 bitmap unscaled
// at its top-left corner and repaints whenever the bitmap changes.
class TBandButton : public TGraphicControl {
    FW_CLASS(TBandButton, TGraphicControl)
public:
    explicit TBandButton(TComponent* AOwner);
    ~TBandButton() override;

    // The button's own bitmap; SetActiveBtn copies the list's images into it.
    TBitmap32* Bitmap() const noexcept { return bitmap_; }

protected:
    void Paint() override;

private:
    void BitmapChanged(TObject* Sender);
    TBitmap32* bitmap_;
};
