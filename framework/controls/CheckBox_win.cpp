#include "framework/controls/CheckBox_win.h"

#include "framework/controls/Button_win.h"
#include "framework/gui/Messages.h"

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.WinClassName = "BUTTON";
    // Not an automatic check box: the object decides the state, so a click
    // is reported once, by SetState.
    Params.Style |= BS_3STATE;
}

void TCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (state_ == Value)
        return;
    state_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
    Click();
}

void TCheckBox::Toggle() {
    switch (state_) {
    case cbUnchecked:
        SetState(cbChecked);
        break;
    case cbChecked:
        SetState(AllowGrayed ? cbGrayed : cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbUnchecked);
        break;
    }
}

void TCheckBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) {
            Toggle();
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(Message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Toggle();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}
