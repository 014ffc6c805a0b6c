#include "framework/controls/ToolBar_win.h"

#include <algorithm>

#include "framework/controls/PopupMenu_win.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Messages.h"

namespace {

// Command numbers of tool buttons, unique in the process (a bar's WM_COMMAND names one).
int gNextButtonId = 0x7000;

} // namespace

// --- TToolButton ---

TToolButton::TToolButton(TComponent* AOwner) : TComponent(AOwner), id_(gNextButtonId++) {
    if (gNextButtonId > 0x7FFF)
        gNextButtonId = 0x7000;
}

TToolButton::~TToolButton() {
    if (bar_ != nullptr)
        bar_->RemoveButton(this);
}

void TToolButton::BeforeDestruction() {
    TComponent::BeforeDestruction();
    SetToolBar(nullptr);
}

void TToolButton::SetToolBar(TToolBar* Value) {
    if (bar_ == Value)
        return;
    if (bar_ != nullptr)
        bar_->RemoveButton(this);
    bar_ = Value;
    if (Value != nullptr)
        Value->AddButton(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == dropdownMenu_)
        dropdownMenu_ = nullptr;
    TComponent::Notification(AComponent, Operation);
}

BYTE TToolButton::NativeState() const {
    BYTE state = 0;
    if (enabled_)
        state |= TBSTATE_ENABLED;
    if (down_)
        state |= TBSTATE_CHECKED;
    if (!visible_)
        state |= TBSTATE_HIDDEN;
    return state;
}

void TToolButton::UpdateState() {
    if (bar_ != nullptr && bar_->HandleAllocated())
        SendMessageA(bar_->Handle(), TB_SETSTATE, static_cast<WPARAM>(id_),
                     MAKELONG(NativeState(), 0));
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
    if (style_ == Value)
        return;
    style_ = Value;
    if (bar_ != nullptr)
        bar_->Rebuild();
}

void TToolButton::SetHint(const std::string& Value) {
    if (hint_ == Value)
        return;
    hint_ = Value;
    if (bar_ != nullptr)
        bar_->Rebuild();
}

void TToolButton::SetImageIndex(int Value) {
    if (imageIndex_ == Value)
        return;
    imageIndex_ = Value;
    if (bar_ != nullptr && bar_->HandleAllocated())
        SendMessageA(bar_->Handle(), TB_CHANGEBITMAP, static_cast<WPARAM>(id_),
                     MAKELPARAM(Value >= 0 ? Value : I_IMAGENONE, 0));
}

bool TToolButton::Down() const {
    // A check button changes state by itself when clicked: the window has the truth.
    if (bar_ != nullptr && bar_->HandleAllocated())
        return (SendMessageA(bar_->Handle(), TB_GETSTATE, static_cast<WPARAM>(id_), 0) &
                TBSTATE_CHECKED) != 0;
    return down_;
}

void TToolButton::SetDown(bool Value) {
    down_ = Value;
    if (bar_ != nullptr && bar_->HandleAllocated())
        SendMessageA(bar_->Handle(), TB_CHECKBUTTON, static_cast<WPARAM>(id_),
                     Value ? TRUE : FALSE);
}

void TToolButton::SetEnabled(bool Value) {
    enabled_ = Value;
    down_ = Down();
    UpdateState();
}

void TToolButton::SetVisible(bool Value) {
    if (visible_ == Value)
        return;
    visible_ = Value;
    down_ = Down();
    UpdateState();
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
    dropdownMenu_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

TActionLink* TToolButton::NewActionLink() {
    return new TToolButtonActionLink(this);
}

void TToolButton::SetAction(TBasicAction* Value) {
    actions_.SetAction(Value);
}

void TToolButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (a == nullptr)
        return;
    if (!CheckDefaults || caption_.empty())
        caption_ = a->Caption();
    if (!CheckDefaults || hint_.empty())
        SetHint(a->Hint());
    if (!CheckDefaults || imageIndex_ == -1)
        SetImageIndex(a->ImageIndex());
    if (!CheckDefaults || enabled_)
        SetEnabled(a->Enabled());
    if (!CheckDefaults || visible_)
        SetVisible(a->Visible());
    if (!CheckDefaults || !Down())
        SetDown(a->Checked());
    if (!CheckDefaults || !OnClick)
        OnClick = a->OnExecute;
}

void TToolButton::Click() {
    down_ = Down();
    if (!actions_.Click() && OnClick)
        OnClick(this);
}

bool TToolButton::CheckMenuDropdown() {
    if (dropdownMenu_ == nullptr || bar_ == nullptr || !bar_->HandleAllocated())
        return false;
    const RECT r = bar_->ButtonRect(this);
    POINT p{r.left, r.bottom};
    ClientToScreen(bar_->Handle(), &p);
    // Shown pressed while its menu is open.
    SendMessageA(bar_->Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(id_), TRUE);
    try {
        dropdownMenu_->Popup(p.x, p.y);
    } catch (...) {
        if (bar_ != nullptr && bar_->HandleAllocated())
            SendMessageA(bar_->Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(id_), FALSE);
        throw;
    }
    if (bar_ != nullptr && bar_->HandleAllocated())
        SendMessageA(bar_->Handle(), TB_PRESSBUTTON, static_cast<WPARAM>(id_), FALSE);
    return true;
}

// --- TToolBar ---

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csSetCaption);
    SetBounds(0, 0, 150, 29);
    imageLink_.OnChange = TNotifyEvent(this, &TToolBar::ImagesChanged);
}

TToolBar::~TToolBar() {
    if (images_ != nullptr)
        images_->UnRegisterChanges(&imageLink_);
    for (TToolButton* b : buttons_)
        b->bar_ = nullptr;
}

TToolButton* TToolBar::Buttons(int Index) const {
    if (Index < 0 || Index >= ButtonCount())
        throw EListError::IndexOutOfBounds(Index);
    return buttons_[static_cast<size_t>(Index)];
}

TToolButton* TToolBar::FindButton(int Id) const {
    for (TToolButton* b : buttons_)
        if (b->id_ == Id)
            return b;
    return nullptr;
}

void TToolBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = TOOLBARCLASSNAMEA;
    // The owner lays the bar out, not the native control.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
    if (flat_)
        Params.Style |= TBSTYLE_FLAT;
    Params.Caption.clear();
}

void TToolBar::CreateWnd() {
    TWinControl::CreateWnd();
    HWND h = Handle();
    SendMessageA(h, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(h, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    // No text rows: the buttons show images, and their strings become the tool tips.
    SendMessageA(h, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageA(h, TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images_ != nullptr ? images_->Handle() : nullptr));
    Rebuild();
}

void TToolBar::Rebuild() {
    if (!HandleAllocated())
        return;
    HWND h = Handle();
    for (TToolButton* b : buttons_)
        b->down_ = b->Down();
    while (SendMessageA(h, TB_BUTTONCOUNT, 0, 0) > 0)
        if (!SendMessageA(h, TB_DELETEBUTTON, 0, 0))
            break;
    for (TToolButton* b : buttons_) {
        TBBUTTON tb{};
        tb.idCommand = b->id_;
        tb.fsState = b->NativeState();
        tb.iBitmap = b->imageIndex_ >= 0 ? b->imageIndex_ : I_IMAGENONE;
        switch (b->style_) {
        case tbsSeparator:
            tb.fsStyle = BTNS_SEP;
            tb.iBitmap = 6; // the separator's width
            break;
        case tbsCheck:
            tb.fsStyle = BTNS_CHECK;
            break;
        case tbsDropDown:
            tb.fsStyle = BTNS_DROPDOWN;
            break;
        default:
            tb.fsStyle = BTNS_BUTTON;
            break;
        }
        if (b->style_ != tbsSeparator && !b->hint_.empty())
            tb.iString = reinterpret_cast<INT_PTR>(b->hint_.c_str());
        else
            tb.iString = -1;
        SendMessageA(h, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&tb));
    }
    SendMessageA(h, TB_SETBUTTONSIZE, 0, MAKELONG(buttonWidth_, buttonHeight_));
}

void TToolBar::AddButton(TToolButton* Button) {
    buttons_.push_back(Button);
    Button->FreeNotification(this);
    Rebuild();
}

void TToolBar::RemoveButton(TToolButton* Button) {
    auto it = std::find(buttons_.begin(), buttons_.end(), Button);
    if (it == buttons_.end())
        return;
    buttons_.erase(it);
    Button->bar_ = nullptr;
    Rebuild();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        if (AComponent == images_) {
            images_ = nullptr;
            if (HandleAllocated())
                SendMessageA(Handle(), TB_SETIMAGELIST, 0, 0);
        }
        if (auto* b = dynamic_cast<TToolButton*>(AComponent))
            RemoveButton(b);
    }
    TWinControl::Notification(AComponent, Operation);
}

void TToolBar::SetFlat(bool Value) {
    if (flat_ == Value)
        return;
    flat_ = Value;
    if (HandleAllocated()) {
        const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
        SetWindowLongA(Handle(), GWL_STYLE,
                       Value ? (style | TBSTYLE_FLAT) : (style & ~TBSTYLE_FLAT));
        Invalidate();
    }
}

void TToolBar::SetButtonSize(int Width, int Height) {
    buttonWidth_ = Width;
    buttonHeight_ = Height;
    if (HandleAllocated()) {
        SendMessageA(Handle(), TB_SETBUTTONSIZE, 0, MAKELONG(Width, Height));
        Invalidate();
    }
}

void TToolBar::SetImages(TCustomImageList* Value) {
    if (images_ == Value)
        return;
    if (images_ != nullptr)
        images_->UnRegisterChanges(&imageLink_);
    images_ = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(&imageLink_);
        Value->FreeNotification(this);
    }
    ImagesChanged(nullptr);
}

void TToolBar::ImagesChanged(TObject*) {
    if (!HandleAllocated())
        return;
    SendMessageA(Handle(), TB_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(images_ != nullptr ? images_->Handle() : nullptr));
    // A new image size changes the buttons' size: they are set again.
    SendMessageA(Handle(), TB_SETBUTTONSIZE, 0, MAKELONG(buttonWidth_, buttonHeight_));
    Invalidate();
}

RECT TToolBar::ButtonRect(const TToolButton* Button) const {
    RECT r{};
    if (Button != nullptr && const_cast<TToolBar*>(this)->HandleAllocated())
        SendMessageA(const_cast<TToolBar*>(this)->Handle(), TB_GETRECT,
                     static_cast<WPARAM>(Button->id_), reinterpret_cast<LPARAM>(&r));
    return r;
}

void TToolBar::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        if (TToolButton* b = FindButton(LOWORD(Message.WParam))) {
            b->Click();
            Message.Result = 0;
            return;
        }
    } else if (Message.Msg == CN_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (hdr->code == TBN_DROPDOWN) {
            // The menu's modal loop runs inside this notification.
            auto* nm = reinterpret_cast<NMTOOLBARA*>(Message.LParam);
            if (TToolButton* b = FindButton(nm->iItem))
                b->CheckMenuDropdown();
            Message.Result = TBDDRET_DEFAULT;
            return;
        }
    }
    TWinControl::WndProc(Message);
}

// --- TToolButtonActionLink ---

bool TToolButtonActionLink::IsCheckedLinked() {
    return TActionLink::IsCheckedLinked() && button_->Down() == CustomAction()->Checked();
}
bool TToolButtonActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && button_->Enabled() == CustomAction()->Enabled();
}
bool TToolButtonActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && button_->Hint() == CustomAction()->Hint();
}
bool TToolButtonActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() &&
           button_->ImageIndex() == CustomAction()->ImageIndex();
}
bool TToolButtonActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && button_->Visible() == CustomAction()->Visible();
}
bool TToolButtonActionLink::IsOnExecuteLinked() {
    return Action() != nullptr && button_->OnClick == Action()->OnExecute;
}
void TToolButtonActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked())
        button_->SetCaption(Value);
}
void TToolButtonActionLink::SetChecked(bool Value) {
    // The button follows the action whatever it shows now: a click on a check button flips it
    // before the action decides.
    button_->SetDown(Value);
}
void TToolButtonActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked())
        button_->SetEnabled(Value);
}
void TToolButtonActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked())
        button_->SetHint(Value);
}
void TToolButtonActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked())
        button_->SetImageIndex(Value);
}
void TToolButtonActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked())
        button_->SetVisible(Value);
}
void TToolButtonActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked())
        button_->OnClick = Value;
}
