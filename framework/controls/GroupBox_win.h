#pragma once

#include "framework/gui/CustomControl_win.h"

// A captioned frame around other controls, painted by the object (a native
// group box does not erase its inside). Aligned children stay inside the
// frame, below the caption.
class TCustomGroupBox : public TCustomControl {
    FW_CLASS(TCustomGroupBox, TCustomControl)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
    FW_CLASS(TGroupBox, TCustomGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};
