#pragma once

#include <string>

#include "framework/gui/CustomControl_win.h"

// What the hint-show notification (CM_HINTSHOW, lParam THintInfo*) lets a
// control change before its hint appears.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos; // screen position of the hint window
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect; // the hint stays while the cursor is inside (control coordinates)
    TPoint CursorPos; // control coordinates
    std::string HintStr;
    int ReshowTimeout = 0;
    int HideTimeout = 0;
};

// The small window that shows a hint: WS_POPUP owned by the application
// window (one of the program's own windows), topmost, never activated.
class THintWindow : public TCustomControl {
    FW_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* AOwner);

    // Shows Text at Rect (screen coordinates) without taking the focus.
    void ActivateHint(const TRect& Rect, const std::string& Text);
    // The size Text needs, wrapped at MaxWidth.
    TRect CalcHintRect(int MaxWidth, const std::string& Text);
    void ReleaseHandle();
    bool Active() const noexcept { return active_; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    bool active_ = false;
};
