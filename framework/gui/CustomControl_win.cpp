#include "framework/gui/CustomControl_win.h"

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Include(csAcceptsControls);
    canvas_ = new TControlCanvas();
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
    delete canvas_;
}

void TCustomControl::PaintWindow(HDC DC) {
    canvas_->Lock();
    ControlState.Include(csCustomPaint);
    try {
        canvas_->SetHandle(DC);
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        ControlState.Exclude(csCustomPaint);
        canvas_->Unlock();
        throw;
    }
    canvas_->SetHandle(nullptr);
    ControlState.Exclude(csCustomPaint);
    canvas_->Unlock();
}
