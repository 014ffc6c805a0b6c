#include "framework/controls/ComboBox_win.h"

#include <algorithm>

#include "framework/gui/Messages.h"

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(std::make_unique<TStringList>()) {
    items_->OnChange = TNotifyEvent(this, &TComboBox::ItemsChanged);
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse);
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { items_->OnChange = nullptr; }

int TComboBox::DroppedHeight() const { return 24 + 16 * std::max(DropDownCount, 1); }

void TComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = "COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    Params.Style |= Style == csDropDownList ? CBS_DROPDOWNLIST : Style == csSimple ? CBS_SIMPLE : CBS_DROPDOWN;
    // The window's height includes the dropped-down list.
    Params.Height = std::max(Params.Height, DroppedHeight());
}

void TComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    FillWindow();
}

void TComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (HandleAllocated()) {
        TWinControl::SetBounds(ALeft, ATop, AWidth, std::max(AHeight, DroppedHeight()));
        return;
    }
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TComboBox::FillWindow() {
    if (!HandleAllocated())
        return;
    HWND h = Handle();
    SendMessageA(h, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < items_->Count(); ++i)
        SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Strings(i).c_str()));
    SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TComboBox::ItemsChanged(TObject*) {
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    FillWindow();
}

void TComboBox::SetItemIndex(int Value) {
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    itemIndex_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TComboBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        itemIndex_ = index < items_->Count() ? index : -1;
        Change();
        return;
    }
    TWinControl::WndProc(Message);
}
