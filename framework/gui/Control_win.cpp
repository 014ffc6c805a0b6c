#include "framework/gui/Control_win.h"

#include <windowsx.h>

#include "framework/core/AliveScope.h"
#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/MessageRules.h"
#include "framework/gui/Messages.h"
#include "framework/gui/WinControl_win.h"

namespace {

TControl* gMouseControl = nullptr;
TControl* gCaptureControl = nullptr;

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

} // namespace

TControl* MouseControl() noexcept {
    return gMouseControl;
}
TControl* CaptureControl() noexcept {
    return gCaptureControl;
}

void SetMouseControl(TControl* Control) {
    if (Control == gMouseControl)
        return;
    TControl* old = gMouseControl;
    gMouseControl = Control;
    // Each control hears of itself only: lParam is the control, and the
    // notification is not forwarded to parents.
    if (old != nullptr)
        old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (Control != nullptr && gMouseControl == Control)
        Control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = TWndMethod(this, &TControl::CallWndProc);
    ControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    font_ = new TFont();
    font_->OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

void TControl::FontChanged(TObject*) {
    if (!pushingFont_)
        parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

TControl::~TControl() {
    if (destroyedFlag_ != nullptr)
        *destroyedFlag_ = true;
    if (Application != nullptr)
        Application->ControlGone(this);
    delete font_;
    if (gMouseControl == this)
        gMouseControl = nullptr;
    if (gCaptureControl == this)
        gCaptureControl = nullptr;
}

void TControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
    if (gMouseControl == this)
        gMouseControl = nullptr;
    if (gCaptureControl == this) {
        gCaptureControl = nullptr;
        ReleaseCapture();
    }
    if (parent_ != nullptr)
        CallReporting(this, [&] { parent_->RemoveControl(this); });
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage& Message) {
    DefaultNotification(Message);
}

void TControl::DefaultNotification(TMessage& Message) {
    switch (Message.Msg) {
    case CM_HITTEST:
        Message.Result = PtInRect(Bounds(0, 0, width_, height_),
                                  PointFromLParam(static_cast<std::uint32_t>(Message.LParam)));
        break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    case CM_VISIBLECHANGED:
        // Window-less controls: their area on the parent changes.
        InvalidateControl(true, false);
        break;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_ != nullptr)
            SetColorFromParent(parent_->Color());
        break;
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_ != nullptr && !font_->SameAs(*parent_->Font())) {
            pushingFont_ = true;
            try {
                font_->Assign(parent_->Font());
            } catch (...) {
                pushingFont_ = false;
                throw;
            }
            pushingFont_ = false;
        }
        break;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_ != nullptr && parent_->ShowHint() != showHint_) {
            showHint_ = parent_->ShowHint();
            Perform(CM_SHOWHINTCHANGED);
        }
        break;
    case CM_INVALIDATE:
        Invalidate();
        break;
    default:
        break;
    }
}

void TControl::WndProc(TMessage& Message) {
    if (IsMouseMessage(Message.Msg)) {
        HandleMouseMessage(Message);
        return;
    }
    if (Message.Msg == WM_CONTEXTMENU) {
        HandleContextMenu(Message);
        return;
    }
    if (Message.Msg == WM_CANCELMODE || Message.Msg == CM_CANCELMODE) {
        if (gCaptureControl == this)
            SetMouseCapture(false);
        ControlState.Exclude(csClicked).Exclude(csLButtonDown);
    }
    DefaultHandler(Message);
}

void TControl::HandleMouseMessage(TMessage& Message) {
    const TPoint p = PointFromLParam(static_cast<std::uint32_t>(Message.LParam));
    const TShiftState keys =
        KeysToShiftState(static_cast<std::uint32_t>(Message.WParam), GetKeyState(VK_MENU) < 0);
    // A system class runs its own capture (a button pressed by the mouse
    // loses its click if the capture is taken away under it).
    auto* windowed = dynamic_cast<TWinControl*>(this);
    const bool ownCapture = windowed == nullptr || !windowed->IsNativeClass();
    // A handler reached from here (a click, or a control's own mouse operations) may free the
    // control and its form: then nothing of it is touched again.
    {
        TAliveScope alive(destroyedFlag_);
        DispatchMouse(Message, p, keys, ownCapture, alive);
        if (alive.Dead())
            return;
    }
    DefaultHandler(Message);
}

void TControl::DispatchMouse(TMessage& Message, TPoint p, TShiftState keys, bool ownCapture,
                             const TAliveScope& alive) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (ownCapture && ControlStyle.Contains(csCaptureMouse))
            SetMouseCapture(true);
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            if (ControlStyle.Contains(csDoubleClicks))
                DblClick();
            MouseDown(mbLeft, keys | TShiftState{ssDouble}, p.X, p.Y);
        } else {
            if (ControlStyle.Contains(csClickEvents))
                ControlState.Include(csClicked);
            ControlState.Include(csLButtonDown);
            MouseDown(mbLeft, keys, p.X, p.Y);
        }
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, Message.Msg == WM_RBUTTONDBLCLK ? keys | TShiftState{ssDouble} : keys,
                  p.X, p.Y);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, Message.Msg == WM_MBUTTONDBLCLK ? keys | TShiftState{ssDouble} : keys,
                  p.X, p.Y);
        break;
    case WM_LBUTTONUP: {
        const bool clicked = ControlState.Contains(csClicked);
        ControlState.Exclude(csClicked).Exclude(csLButtonDown);
        if (ownCapture && MouseCapture())
            SetMouseCapture(false);
        // A click needs the press and the release on this same control.
        if (clicked && PtInRect(ClientRect(), p)) {
            Click();
            if (alive.Dead())
                return;
        }
        MouseUp(mbLeft, keys, p.X, p.Y);
        break;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, keys, p.X, p.Y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, keys, p.X, p.Y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(keys, p.X, p.Y);
        break;
    default:
        break;
    }
}

void TControl::HandleContextMenu(TMessage& Message) {
    TPoint p = PointFromLParam(static_cast<std::uint32_t>(Message.LParam));
    // A menu asked for from the keyboard carries -1 in its low 32 bits; a 64-bit lParam may arrive
    // as 0xFFFFFFFF rather than sign-extended.
    if (static_cast<std::uint32_t>(Message.LParam) == 0xFFFFFFFFu)
        p = ClientToScreen(Point(width_ / 2, height_ / 2));
    bool handled = false;
    if (OnContextPopup)
        OnContextPopup(this, ScreenToClient(p), handled);
    if (handled) {
        Message.Result = 1;
        return;
    }
    if (popupMenu_ != nullptr) {
        popupMenu_->PopupComponent = this;
        popupMenu_->Popup(p.X, p.Y);
        Message.Result = 1;
        return;
    }
    DefaultHandler(Message);
}

void TControl::SetParent(TWinControl* AParent) {
    if (parent_ == AParent)
        return;
    if (AParent == this)
        throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr)
        parent_->RemoveControl(this);
    if (AParent != nullptr)
        AParent->InsertControl(this);
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize)
        OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

void TControl::ConstrainRequestedSize(int& AWidth, int& AHeight) {
    if (constraints_.MaxWidth > 0 && AWidth > constraints_.MaxWidth)
        AWidth = constraints_.MaxWidth;
    if (constraints_.MinWidth > 0 && AWidth < constraints_.MinWidth)
        AWidth = constraints_.MinWidth;
    if (constraints_.MaxHeight > 0 && AHeight > constraints_.MaxHeight)
        AHeight = constraints_.MaxHeight;
    if (constraints_.MinHeight > 0 && AHeight < constraints_.MinHeight)
        AHeight = constraints_.MinHeight;
    if ((AWidth != width_ || AHeight != height_) && !CanResize(AWidth, AHeight)) {
        AWidth = width_;
        AHeight = height_;
    }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ConstrainRequestedSize(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_)
        return;
    const bool sized = AWidth != width_ || AHeight != height_;
    InvalidateControl(visible_, false);
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    InvalidateControl(visible_, false);
    RequestAlign();
    if (sized)
        Resize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
    left_ = R.Left;
    top_ = R.Top;
    width_ = R.Width();
    height_ = R.Height();
}

TRect TControl::ClientRect() const {
    return Rect(0, 0, width_, height_);
}

void TControl::SetClientSize(int AWidth, int AHeight) {
    const TRect client = ClientRect();
    SetBounds(left_, top_, width_ - client.Width() + AWidth, height_ - client.Height() + AHeight);
}

TPoint TControl::ClientOrigin() const {
    if (parent_ == nullptr)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    const TPoint origin = parent_->ClientOrigin();
    return Point(origin.X + left_, origin.Y + top_);
}

TPoint TControl::ClientToScreen(TPoint P) const {
    const TPoint origin = ClientOrigin();
    return Point(P.X + origin.X, P.Y + origin.Y);
}

TPoint TControl::ScreenToClient(TPoint P) const {
    const TPoint origin = ClientOrigin();
    return Point(P.X - origin.X, P.Y - origin.Y);
}

void TControl::SetAlign(TAlign Value) {
    if (align_ == Value)
        return;
    align_ = Value;
    RequestAlign();
}

void TControl::SetConstraints(const TSizeConstraints& Value) {
    constraints_ = Value;
    SetBounds(left_, top_, width_, height_);
}

void TControl::SetAutoSize(bool Value) {
    if (autoSize_ == Value)
        return;
    autoSize_ = Value;
    int w = width_, h = height_;
    if (autoSize_ && CanAutoSize(w, h))
        SetBounds(left_, top_, w, h);
}

bool TControl::CanAutoSize(int&, int&) {
    return false;
}

void TControl::RequestAlign() {
    if (parent_ != nullptr)
        parent_->Realign();
}

void TControl::SetVisible(bool Value) {
    if (visible_ == Value)
        return;
    VisibleChanging();
    visible_ = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    RequestAlign();
}

void TControl::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::Showing() const {
    return visible_ && parent_ != nullptr && parent_->Showing();
}

void TControl::SetText(const std::string& Value) {
    if (text_ == Value)
        return;
    text_ = Value;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor Value) {
    parentColor_ = false;
    SetColorFromParent(Value);
}

void TControl::SetColorFromParent(TColor Value) {
    if (color_ == Value)
        return;
    color_ = Value;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (parentColor_ == Value)
        return;
    parentColor_ = Value;
    if (Value && parent_ != nullptr)
        Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool Value) {
    if (parentFont_ == Value)
        return;
    parentFont_ = Value;
    if (Value && parent_ != nullptr)
        Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool Value) {
    parentShowHint_ = false;
    if (showHint_ == Value)
        return;
    showHint_ = Value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (parentShowHint_ == Value)
        return;
    parentShowHint_ = Value;
    if (Value && parent_ != nullptr)
        Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenuBase* Value) {
    popupMenu_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        if (AComponent == popupMenu_)
            popupMenu_ = nullptr;
        if (AComponent == action_)
            action_ = nullptr;
    }
    TComponent::Notification(AComponent, Operation);
}

void TControl::SetCursor(TCursor Value) {
    if (cursor_ == Value)
        return;
    cursor_ = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || parent_ == nullptr || !parent_->HandleAllocated())
        return;
    if (dynamic_cast<TWinControl*>(this) != nullptr)
        return;
    RECT r{left_, top_, left_ + width_, top_ + height_};
    InvalidateRect(parent_->Handle(), &r,
                   IsOpaque || ControlStyle.Contains(csOpaque) ? FALSE : TRUE);
}

void TControl::Invalidate() {
    InvalidateControl(visible_, ControlStyle.Contains(csOpaque));
}

void TControl::Repaint() {
    if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated())
        return;
    Invalidate();
    parent_->Update();
}

void TControl::Update() {
    if (parent_ != nullptr)
        parent_->Update();
}

void TControl::BringToFront() {
    if (parent_ == nullptr)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated())
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (parent_ == nullptr)
        return;
    auto& list = parent_->controls_;
    std::erase(list, this);
    list.insert(list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated())
        SetWindowPos(w->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->parent_ != nullptr)
        c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

bool TControl::MouseCapture() const {
    if (auto* w = dynamic_cast<const TWinControl*>(this))
        return w->handle_ != nullptr && GetCapture() == w->handle_;
    return gCaptureControl == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value)
        return;
    if (!Value) {
        if (gCaptureControl == this)
            gCaptureControl = nullptr;
        ReleaseCapture();
        return;
    }
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        SetCapture(w->Handle());
        return;
    }
    if (parent_ == nullptr)
        return;
    // A window-less control captures through its parent's window; the parent
    // then routes every mouse message to it.
    SetCapture(parent_->Handle());
    gCaptureControl = this;
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Resize() {
    if (OnResize)
        OnResize(this);
}
