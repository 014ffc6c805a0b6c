#include "framework/gui/GraphicControl_win.h"

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
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        canvas_->Lock();
        ControlState.Include(csCustomPaint);
        try {
            canvas_->SetHandle(dc);
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
        return;
    }
    TControl::WndProc(Message);
}
