#pragma once

#include <windows.h>

#include "framework/graphics/ControlCanvas_win.h"
#include "framework/gui/Control_win.h"

// Lends a paint DC to a control's canvas for one Paint: the canvas is locked and holds the DC, and
// the control is marked csCustomPaint; all of it is undone on every way out, a raising Paint too.
class TPaintScope {
public:
    TPaintScope(TControlCanvas* Canvas, TControlState& State, HDC DC)
        : canvas_(Canvas), state_(State) {
        canvas_->Lock();
        state_.Include(csCustomPaint);
        canvas_->SetHandle(DC);
    }
    ~TPaintScope() {
        canvas_->SetHandle(nullptr);
        state_.Exclude(csCustomPaint);
        canvas_->Unlock();
    }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;

private:
    TControlCanvas* canvas_;
    TControlState& state_;
};
