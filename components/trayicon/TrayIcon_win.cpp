#include "components/trayicon/TrayIcon_win.h"

#include <memory>

#include "components/trayicon/QxUtils_win.h"
#include "components/trayicon/TrayText.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/core/ExceptionReport.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Screen_win.h"
#include "framework/gui/UtilityWindow_win.h"

TShellNotifyIconProc QxShellNotifyIcon = &Shell_NotifyIconA;

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
// The first-version record: the shell reads no further than the tip's 64 bytes.
constexpr DWORD kIconDataSize = NOTIFYICONDATAA_V1_SIZE;
#if !defined(_WIN64)
static_assert(kIconDataSize == 88, "the first-version notification record is 88 bytes");
#endif

// Broadcast by the shell to every top-level window when the taskbar has
// been (re)created: icons added before are gone.
UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

TShiftState KeyboardShift() {
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0)
        shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        shift.Include(ssAlt);
    return shift;
}

} // namespace

TQxTrayIcon::TQxTrayIcon(TComponent* AOwner) : TComponent(AOwner) {
    life_ = std::make_shared<bool>(true);
    icon_ = new TIcon();
    icons_ = new TIconList();
    try {
        window_ = CreateUtilityWindow(TWndMethod(this, &TQxTrayIcon::NotifyWndProc));
    } catch (...) {
        delete icon_;
        delete icons_;
        throw;
    }
    SetWindowTextA(window_, kTrayWindowTitle);
    icon_->OnChange = TNotifyEvent(this, &TQxTrayIcon::IconChanged);
    icons_->OnChange = TNotifyEvent(this, &TQxTrayIcon::IconChanged);
    // NIM_DELETE before the first add must name this window's icon.
    data_.cbSize = kIconDataSize;
    data_.hWnd = window_;
}

TQxTrayIcon::~TQxTrayIcon() {
    *life_ = false;
    Teardown();
}

void TQxTrayIcon::BeforeDestruction() {
    Teardown();
    TComponent::BeforeDestruction();
}

void TQxTrayIcon::Teardown() noexcept {
    if (tornDown_)
        return;
    tornDown_ = true;
    TComponent::Destroying();
    enabled_ = false;
    icons_->OnChange = nullptr;
    icon_->OnChange = nullptr;
    try {
        SetAnimated(false);
        HideIcon();
    } catch (...) {
        ReportException(this);
    }
    DestroyUtilityWindow(window_);
    window_ = nullptr;
    ticking_ = false;
    FreeAndNil(icon_);
    FreeAndNil(icons_);
}

void TQxTrayIcon::Loaded() {
    TComponent::Loaded();
    if (active_ && !Designing())
        ShowIcon();
}

void TQxTrayIcon::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr &&
        AComponent == static_cast<TComponent*>(popupMenu_))
        popupMenu_ = nullptr;
}

BOOL TQxTrayIcon::Send(DWORD message) {
    return QxShellNotifyIcon(message, &data_);
}

TIcon* TQxTrayIcon::CurrentIcon() const {
    if (animated_ && icons_ != nullptr && icons_->Count() > 0)
        return icons_->Get(ClampedFrameIndex(frame_, icons_->Count()));
    return icon_;
}

void TQxTrayIcon::FillIconData() {
    data_.cbSize = kIconDataSize;
    data_.hWnd = window_;
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = kTrayCallbackMessage;
    TIcon* current = CurrentIcon();
    data_.hIcon =
        current != nullptr ? current->Handle() : reinterpret_cast<HICON>(static_cast<intptr_t>(-1));
    FillTrayTip(data_.szTip, hint_);
}

void TQxTrayIcon::ShowIcon() {
    HideIcon();
    TIcon* current = CurrentIcon();
    if (current == nullptr || current->Empty())
        return;
    clickFlags_ = {};
    FillIconData();
    added_ = Send(NIM_ADD) != FALSE;
    // Some shells keep an empty tip from the add; the modify sets it.
    if (added_ && TrayTipText(hint_).empty())
        Send(NIM_MODIFY);
    UpdateTimer();
}

void TQxTrayIcon::HideIcon() {
    Send(NIM_DELETE);
    added_ = false;
    clickFlags_ = {};
    UpdateTimer();
}

void TQxTrayIcon::RefreshIcon() {
    if (IsDestroying())
        return;
    if (icons_ == nullptr || icons_->Count() == 0)
        SetAnimated(false);
    if (added_) {
        TIcon* current = CurrentIcon();
        if (current == nullptr || current->Empty()) {
            HideIcon();
        } else {
            FillIconData();
            Send(NIM_MODIFY);
        }
        return;
    }
    // Nothing is shown before loading has finished: Loaded shows it.
    if (Loading())
        return;
    if (Designing() ? showDesign_ : active_)
        ShowIcon();
}

void TQxTrayIcon::IconChanged(TObject*) {
    RefreshIcon();
}

void TQxTrayIcon::SetActive(bool Value) {
    if (active_ == Value)
        return;
    active_ = Value;
    if (Designing() || Loading() || IsDestroying())
        return;
    if (Value)
        ShowIcon();
    else
        HideIcon();
}

void TQxTrayIcon::SetHint(const std::string& Value) {
    if (hint_ == Value)
        return;
    hint_ = Value;
    RefreshIcon();
}

void TQxTrayIcon::SetIcon(TIcon* Value) {
    icon_->Assign(Value);
}

void TQxTrayIcon::SetIcons(TIconList* Value) {
    icons_->Assign(Value);
}

void TQxTrayIcon::SetAnimated(bool Value) {
    const bool effective = Value && icons_ != nullptr && icons_->Count() > 0;
    if (effective == animated_)
        return;
    animated_ = effective;
    frame_ = 0;
    UpdateTimer();
    RefreshIcon();
}

void TQxTrayIcon::SetInterval(std::uint16_t Value) {
    if (interval_ == Value)
        return;
    interval_ = Value;
    if (ticking_) {
        // The next tick comes a new interval from now.
        KillTimer(window_, kAnimationTimer);
        ticking_ = false;
        UpdateTimer();
    }
}

// The timer runs exactly while the icon is shown and animated, so no tick
// ever reaches a hidden icon or a component that is going.
void TQxTrayIcon::UpdateTimer() {
    const bool want = animated_ && added_ && window_ != nullptr && !IsDestroying();
    if (want == ticking_)
        return;
    if (want)
        ticking_ = SetTimer(window_, kAnimationTimer, interval_ == 0 ? 1 : interval_, nullptr) != 0;
    else {
        KillTimer(window_, kAnimationTimer);
        ticking_ = false;
    }
}

void TQxTrayIcon::NextFrame() {
    if (IsDestroying() || !animated_)
        return;
    frame_ = NextFrameIndex(frame_, icons_ != nullptr ? icons_->Count() : 0);
    RefreshIcon();
}

void TQxTrayIcon::SetPopupMenu(TPopupMenuBase* Value) {
    if (popupMenu_ == Value)
        return;
    if (popupMenu_ != nullptr)
        popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TQxTrayIcon::SetShowDesign(bool Value) {
    if (!Designing())
        return;
    if (Value)
        ShowIcon();
    else
        HideIcon();
    showDesign_ = added_;
}

bool TQxTrayIcon::ShowPopup(int X, int Y) {
    if (Designing() || !active_ || popupMenu_ == nullptr)
        return false;
    if (auto* menu = dynamic_cast<TPopupMenu*>(popupMenu_); menu != nullptr && !menu->AutoPopup)
        return false;
    popupMenu_->PopupComponent = this;
    if (!IsDestroying()) {
        TCustomForm* form = Screen != nullptr ? Screen->ActiveForm() : nullptr;
        if (form == nullptr && Application != nullptr)
            form = Application->MainForm();
        if (form != nullptr)
            form->CancelFormModes();
    }
    // The menu closes on a click elsewhere only when its owner is in front.
    const std::shared_ptr<bool> life = life_;
    BringWindowToFront(window_, false);
    if (Application != nullptr)
        Application->ProcessMessages();
    if (!*life || popupMenu_ == nullptr)
        return false;
    try {
        popupMenu_->Popup(X, Y);
    } catch (...) {
        if (*life)
            BringWindowToFront(window_, false);
        throw;
    }
    if (*life)
        BringWindowToFront(window_, false);
    return true;
}

bool TQxTrayIcon::ClickDefaultItem() {
    if (Designing() || !active_ || popupMenu_ == nullptr)
        return false;
    auto* menu = dynamic_cast<TPopupMenu*>(popupMenu_);
    if (menu == nullptr)
        return false;
    TMenuItem* items = menu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (item->Default() && item->Enabled()) {
            item->Click();
            return true;
        }
    }
    return false;
}

void TQxTrayIcon::Click(TMouseButton Button, TShiftState Shift, int X, int Y) {
    // The popup pumps messages; one of them may free this component.
    const std::shared_ptr<bool> life = life_;
    if (Button == mbRight && ShowPopup(X, Y))
        return;
    if (!*life)
        return;
    if (OnClick)
        OnClick(this, Button, Shift, X, Y);
}

void TQxTrayIcon::DblClick() {
    if (!ClickDefaultItem() && OnDblClick)
        OnDblClick(this);
}

void TQxTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TQxTrayIcon::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TQxTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TQxTrayIcon::HandleCallback(std::uint32_t mouseMessage) {
    POINT p{};
    GetCursorPos(&p);
    const std::vector<TTrayOp> ops = DecodeTrayCallback(mouseMessage, KeyboardShift(), clickFlags_);
    // A handler may free the component (or a nested callback in the menu's
    // loop may): stop as soon as it is gone.
    const std::shared_ptr<bool> life = life_;
    for (const TTrayOp& op : ops) {
        if (!*life)
            return;
        switch (op.Kind) {
        case TTrayOpKind::SetClickFlag:
        case TTrayOpKind::ClearClickFlag:
            ApplyTrayOp(op, clickFlags_);
            break;
        case TTrayOpKind::MouseMove:
            MouseMove(op.Shift, p.x, p.y);
            break;
        case TTrayOpKind::MouseDown:
            MouseDown(op.Button, op.Shift, p.x, p.y);
            break;
        case TTrayOpKind::MouseUp:
            MouseUp(op.Button, op.Shift, p.x, p.y);
            break;
        case TTrayOpKind::Click:
            Click(op.Button, op.Shift, p.x, p.y);
            break;
        case TTrayOpKind::DblClick:
            DblClick();
            break;
        }
    }
}

void TQxTrayIcon::NotifyWndProc(TMessage& Message) {
    // The utility window has no control layer: the callback number arrives
    // here untouched, and nothing here trusts it beyond the decoder's table.
    if (Message.Msg == kTrayCallbackMessage && enabled_) {
        const std::shared_ptr<bool> life = life_;
        try {
            HandleCallback(static_cast<std::uint32_t>(Message.LParam));
        } catch (...) {
            ReportException(*life ? this : nullptr);
        }
        Message.Result = 0;
        return;
    }
    if (Message.Msg == WM_TIMER && Message.WParam == kAnimationTimer) {
        try {
            NextFrame();
        } catch (...) {
            ReportException(this);
        }
        return;
    }
    if (Message.Msg == TaskbarCreatedMessage() && Message.Msg != 0) {
        // The shell restarted and forgot the icon: add it again.
        try {
            if (!Designing() && !Loading() && !IsDestroying() && active_)
                ShowIcon();
        } catch (...) {
            ReportException(this);
        }
    }
    Message.Result = DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
}
