#include "framework/controls/Button_win.h"

#include <cctype>

#include "framework/gui/Form_win.h"
#include "framework/gui/Messages.h"

bool IsAccel(char Key, const std::string& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&')
            continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(Text[i + 1])) == std::toupper(static_cast<unsigned char>(Key));
    }
    return false;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.WinClassName = "BUTTON";
    Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool Value) {
    if (default_ == Value)
        return;
    default_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (ModalResult != mrNone)
        if (TCustomForm* form = GetParentForm())
            form->SetModalResult(ModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (((Message.WParam == VK_RETURN && (default_ || Focused())) || (Message.WParam == VK_ESCAPE && cancel_)) &&
            CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<char>(Message.WParam), Caption()) && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TButtonControl::WndProc(Message);
}
