#include "framework/graphics/ControlCanvas_win.h"

namespace {
TControlCanvas::TDeviceContextHooks gHooks;
}

void TControlCanvas::SetDeviceContextHooks(const TDeviceContextHooks& hooks) noexcept { gHooks = hooks; }

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TObject* control) {
    if (control == control_) return;
    FreeHandle();
    control_ = control;
    window_ = nullptr;
}

void TControlCanvas::SetWindow(HWND window) {
    if (window == window_ && control_ == nullptr) return;
    FreeHandle();
    control_ = nullptr;
    window_ = window;
}

void TControlCanvas::CreateHandle() {
    HDC dc = nullptr;
    if (control_ != nullptr && gHooks.Acquire != nullptr) {
        dc = gHooks.Acquire(control_);
        fromHook_ = true;
    } else if (window_ != nullptr) {
        dc = GetDC(window_);
        fromHook_ = false;
    }
    if (dc == nullptr) return;
    acquired_ = dc;
    SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
    HDC dc = acquired_;
    SetHandle(nullptr);
    acquired_ = nullptr;
    if (dc == nullptr) return;
    if (fromHook_) {
        if (gHooks.Release != nullptr) gHooks.Release(control_, dc);
    } else {
        ReleaseDC(window_, dc);
    }
}
