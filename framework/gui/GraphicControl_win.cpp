#include "framework/gui/GraphicControl_win.h"

#include "framework/gui/PaintScope_win.h"
#include "framework/gui/WinControl_win.h"

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    canvas_ = new TControlCanvas();
    canvas_->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
    delete canvas_;
}

void TGraphicControl::WndProc(TMessage& Message) {
    if (Message.Msg == WM_PAINT && Message.WParam != 0) {
        TPaintScope scope(canvas_, ControlState, reinterpret_cast<HDC>(Message.WParam));
        Paint();
        return;
    }
    TControl::WndProc(Message);
}
