#include "framework/controls/Edit_win.h"

#include <vector>

#include "framework/gui/Messages.h"

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse).Exclude(csSetCaption);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "EDIT";
    Params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    if (readOnly_)
        Params.Style |= ES_READONLY;
    if (BorderStyle == ebsSingle)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
    settingText_ = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        settingText_ = false;
        throw;
    }
    settingText_ = false;
    HWND h = Handle();
    SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(h, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
    SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selStart_ + selLength_));
}

void TCustomEdit::SetText(const std::string& Value) {
    if (Value == Text())
        return;
    settingText_ = true;
    try {
        TWinControl::SetText(Value);
    } catch (...) {
        settingText_ = false;
        throw;
    }
    settingText_ = false;
    TextMayHaveChanged();
}

void TCustomEdit::TextMayHaveChanged() {
    if (Text() == reported_)
        return;
    reported_ = Text();
    Change();
}

void TCustomEdit::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::SetReadOnly(bool Value) {
    readOnly_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

bool TCustomEdit::Modified() const {
    if (auto* self = const_cast<TCustomEdit*>(this); self->HandleAllocated())
        return SendMessageA(self->Handle(), EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool Value) {
    modified_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETMODIFY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SelectAll() {
    selStart_ = 0;
    selLength_ = static_cast<int>(Text().size());
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() const {
    auto* self = const_cast<TCustomEdit*>(this);
    if (!self->HandleAllocated())
        return selStart_;
    DWORD start = 0, end = 0;
    SendMessageA(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) {
    selStart_ = Value;
    selLength_ = 0;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(Value), static_cast<LPARAM>(Value));
}

int TCustomEdit::SelLength() const {
    auto* self = const_cast<TCustomEdit*>(this);
    if (!self->HandleAllocated())
        return selLength_;
    DWORD start = 0, end = 0;
    SendMessageA(self->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
    selLength_ = Value;
    const int start = SelStart();
    selStart_ = start;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + Value));
}

void TCustomEdit::SetMaxLength(int Value) {
    maxLength_ = Value < 0 ? 0 : Value;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE) {
            if (settingText_)
                return;
            // A user's edit: the window holds the new text.
            const int n = GetWindowTextLengthA(Handle());
            std::vector<char> buffer(static_cast<size_t>(n) + 1);
            GetWindowTextA(Handle(), buffer.data(), n + 1);
            TControl::SetText(std::string(buffer.data()));
            TextMayHaveChanged();
            return;
        }
        break;
    case WM_SETFOCUS:
        TWinControl::WndProc(Message);
        if (AutoSelect && (GetKeyState(VK_LBUTTON) >= 0))
            SendMessageA(Handle(), EM_SETSEL, 0, -1);
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}

void TCustomEdit::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    ApplyActionToControl(this, Sender, CheckDefaults);
}

void TCustomEdit::Click() {
    if (!actions_.Click())
        TWinControl::Click();
}
