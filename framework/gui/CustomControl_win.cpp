#include "framework/gui/CustomControl_win.h"

#include "framework/gui/PaintScope_win.h"

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Include(csAcceptsControls);
    canvas_ = new TControlCanvas();
    canvas_->SetControl(this);
}

TCustomControl::~TCustomControl() {
    delete canvas_;
}

void TCustomControl::PaintWindow(HDC DC) {
    TPaintScope scope(canvas_, ControlState, DC);
    Paint();
}
