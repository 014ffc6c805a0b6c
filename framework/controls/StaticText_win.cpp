#include "framework/controls/StaticText_win.h"

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csCaptureMouse);
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TStaticText::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "STATIC";
    Params.Style |= alignment_ == taCenter ? SS_CENTER : alignment_ == taRightJustify ? SS_RIGHT : SS_LEFT;
    if (!showAccelChar_)
        Params.Style |= SS_NOPREFIX;
}

void TStaticText::SetAlignment(TAlignment Value) {
    if (alignment_ == Value)
        return;
    alignment_ = Value;
    RecreateWnd();
}

void TStaticText::SetShowAccelChar(bool Value) {
    if (showAccelChar_ == Value)
        return;
    showAccelChar_ = Value;
    RecreateWnd();
}
