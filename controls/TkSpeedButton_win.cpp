#include "controls/TkSpeedButton_win.h"

#include "controls/TkButtonGlyph_win.h"
#include "controls/TkUtils_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/core/SysUtils.h"
#include "framework/graphics/Font_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Timer_win.h"

// Marks the button's end to the code running a handler that may free it.
class TSpeedButtonAliveScope {
public:
    explicit TSpeedButtonAliveScope(TTkCustomSpeedButton* b) noexcept
        : button_(b), outer_(b->destroyed_) {
        b->destroyed_ = &dead_;
    }
    ~TSpeedButtonAliveScope() {
        if (dead_) {
            if (outer_ != nullptr)
                *outer_ = true;
        } else {
            button_->destroyed_ = outer_;
        }
    }
    TSpeedButtonAliveScope(const TSpeedButtonAliveScope&) = delete;
    TSpeedButtonAliveScope& operator=(const TSpeedButtonAliveScope&) = delete;
    bool Dead() const noexcept { return dead_; }

private:
    TTkCustomSpeedButton* button_;
    bool* outer_;
    bool dead_ = false;
};

TTkCustomSpeedButton::TTkCustomSpeedButton(TComponent* AOwner) : TTkGraphicControl(AOwner) {
    SetParentColor(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 25, 25);
    ControlStyle = TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    glyph_ = new TTkxButtonGlyph();
    glyph_->SetGrayNewStyle(true);
    hotTrackOptions_ = new TTkSpeedButtonHotTrackOptions();
    hotTrackFont_ = new TFont();
    ApplyTrackedFont(hotTrackFont_, Font(), hotTrackFontOptions_);
}

TTkCustomSpeedButton::~TTkCustomSpeedButton() {
    if (destroyed_ != nullptr)
        *destroyed_ = true;
    if (timer_ != nullptr)
        timer_->Free();
    delete hotTrackFont_;
    hotTrackOptions_->Free();
    glyph_->Free();
}

void TTkSpeedButtonHotTrackOptions::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TTkSpeedButtonHotTrackOptions*>(Source)) {
        Enabled = other->Enabled;
        Color = other->Color;
        FrameColor = other->FrameColor;
        return;
    }
    TPersistent::Assign(Source);
}

TAlignment TTkCustomSpeedButton::Alignment() const noexcept {
    return glyph_->Alignment;
}

void TTkCustomSpeedButton::SetAlignment(TAlignment Value) {
    glyph_->Alignment = Value;
    Invalidate();
}

bool TTkCustomSpeedButton::WordWrap() const noexcept {
    return glyph_->WordWrap;
}

void TTkCustomSpeedButton::SetWordWrap(bool Value) {
    glyph_->WordWrap = Value;
    Invalidate();
}

bool TTkCustomSpeedButton::GrayNewStyle() const noexcept {
    return glyph_->GrayNewStyle();
}

void TTkCustomSpeedButton::SetGrayNewStyle(bool Value) {
    glyph_->SetGrayNewStyle(Value);
    Invalidate();
}

void TTkCustomSpeedButton::SetFlat(bool Value) {
    flat_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetGrayedInactive(bool Value) {
    grayedInactive_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetLayout(TButtonLayout Value) {
    layout_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetMargin(int Value) {
    if (Value < -1)
        return;
    margin_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetSpacing(int Value) {
    spacing_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetMarkDropDown(bool Value) {
    markDropDown_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetStyle(TButtonStyle Value) {
    style_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetTransparent(bool Value) {
    transparent_ = Value;
    Invalidate();
}

void TTkCustomSpeedButton::SetHotTrackFont(TFont* Value) {
    hotTrackFont_->Assign(Value);
}

void TTkCustomSpeedButton::SetHotTrackFontOptions(TTkTrackFontOptions Value) {
    hotTrackFontOptions_ = Value;
    ApplyTrackedFont(hotTrackFont_, Font(), hotTrackFontOptions_);
}

bool TTkCustomSpeedButton::HotLook() const noexcept {
    return (MouseOver() || model_.Pressing) && HotTrack;
}

void TTkCustomSpeedButton::FontChanged() {
    TTkGraphicControl::FontChanged();
    ApplyTrackedFont(hotTrackFont_, Font(), hotTrackFontOptions_);
    Invalidate();
}

void TTkCustomSpeedButton::Loaded() {
    TTkGraphicControl::Loaded();
    glyph_->MakeStateImage(model_.State);
}

bool TTkCustomSpeedButton::AcceptsDialogKey(std::uint16_t Key, TShiftState Shift,
                                            const std::string& Text) {
    if (Enabled() && Shift.Contains(ssAlt) && IsAccel(static_cast<char>(Key), Caption())) {
        Click();
        return true;
    }
    return TTkGraphicControl::AcceptsDialogKey(Key, Shift, Text);
}

void TTkCustomSpeedButton::Carry(const TSpeedButtonEffects& e) {
    if (e.Repaint)
        Repaint();
    if (e.Broadcast)
        BroadcastGroup();
    if (e.Invalidate)
        Invalidate();
}

void TTkCustomSpeedButton::SetDown(bool Value) {
    Carry(model_.SetDown(Value));
}

void TTkCustomSpeedButton::SetGroupIndex(int Value) {
    Carry(model_.SetGroupIndex(Value));
}

void TTkCustomSpeedButton::SetAllowAllUp(bool Value) {
    Carry(model_.SetAllowAllUp(Value));
}

void TTkCustomSpeedButton::SetAllowTimer(bool Value) {
    allowTimer_ = Value;
    if (!Value && timer_ != nullptr) {
        timer_->Free();
        timer_ = nullptr;
    }
}

void TTkCustomSpeedButton::SetDropDownMenu(TPopupMenu* Value) {
    if (Value == dropDownMenu_)
        return;
    if (dropDownMenu_ != nullptr)
        dropDownMenu_->RemoveFreeNotification(this);
    dropDownMenu_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    Invalidate();
}

void TTkCustomSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TTkGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == dropDownMenu_)
        dropDownMenu_ = nullptr;
}

void TTkCustomSpeedButton::BroadcastGroup() {
    if (model_.GroupIndex == 0 || Parent() == nullptr)
        return;
    TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(model_.GroupIndex),
               reinterpret_cast<LPARAM>(this), 0};
    Parent()->Broadcast(m);
}

void TTkCustomSpeedButton::GroupNotice(TMessage& Message) {
    auto* sender = reinterpret_cast<TControl*>(Message.LParam);
    if (static_cast<int>(Message.WParam) != model_.GroupIndex || Parent() == nullptr ||
        !Parent()->HandleAllocated() || sender == this)
        return;
    auto* other = dynamic_cast<TTkCustomSpeedButton*>(sender);
    if (other == nullptr)
        return;
    Carry(model_.GroupNotice(static_cast<int>(Message.WParam), other->Down(), other->AllowAllUp()));
}

void TTkCustomSpeedButton::Click() {
    if (TCustomForm* form = GetParentForm())
        form->SetModalResult(ModalResult);
    TTkGraphicControl::Click();
}

bool TTkCustomSpeedButton::OfferMenu() {
    if (ComponentState().Contains(csDesigning) || dropDownMenu_ == nullptr ||
        !dropDownMenu_->AutoPopup)
        return false;
    if (TCustomForm* form = GetParentForm())
        form->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(this));
    dropDownMenu_->PopupComponent = this;
    const TTkMenuAlignment align = dropDownMenu_->Alignment == paRight    ? maRight
                                   : dropDownMenu_->Alignment == paCenter ? maCenter
                                                                          : maLeft;
    const TPoint at = ClientToScreen(DropDownMenuPoint(MenuPosition, align, Width(), Height()));
    dropDownMenu_->Popup(at.X, at.Y);
    return true;
}

void TTkCustomSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (model_.MenuTracking)
        return;
    TSpeedButtonAliveScope alive(this);
    TTkGraphicControl::MouseDown(Button, Shift, X, Y);
    if (alive.Dead())
        return;
    if (!MouseOver() && Enabled())
        Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    if (Button != mbLeft || !Enabled())
        return;
    model_.Enabled = Enabled();
    Carry(model_.Press(true));
    try {
        if (OfferMenu()) {
            // The menu's loop took the real release.
            if (!ReleaseStep(Button, X, Y))
                return;
        }
        if (Parent() != nullptr && Parent()->HandleAllocated()) {
            MSG next{};
            if (PeekMessageA(&next, Parent()->Handle(), WM_LBUTTONDOWN, WM_LBUTTONDBLCLK,
                             PM_NOREMOVE)) {
                POINT at{static_cast<short>(LOWORD(next.lParam)),
                         static_cast<short>(HIWORD(next.lParam))};
                const TPoint local = ScreenToClient(Parent()->ClientToScreen({at.x, at.y}));
                if ((next.message == WM_LBUTTONDOWN || next.message == WM_LBUTTONDBLCLK) &&
                    OnButton(local.X, local.Y, ClientWidth(), ClientHeight()))
                    DiscardPendingMessage(Parent()->Handle(), next.message);
            }
        }
    } catch (...) {
        model_.MenuTracking = false;
        throw;
    }
    model_.MenuTracking = false;
    if (allowTimer_) {
        if (timer_ == nullptr)
            timer_ = Create<TTimer>(nullptr); // freed by the destructor, not with the owned ones
        timer_->SetInterval(InitPause);
        timer_->SetOnTimer(TNotifyEvent(this, &TTkCustomSpeedButton::RepeatTick));
        timer_->SetEnabled(true);
    }
}

void TTkCustomSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TSpeedButtonAliveScope alive(this);
    TTkGraphicControl::MouseMove(Shift, X, Y);
    if (alive.Dead())
        return;
    Carry(model_.Move(OnButton(X, Y, ClientWidth(), ClientHeight())));
}

void TTkCustomSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TSpeedButtonAliveScope alive(this);
    TTkGraphicControl::MouseUp(Button, Shift, X, Y);
    if (alive.Dead())
        return;
    if (!ReleaseStep(Button, X, Y))
        return;
    if (timer_ != nullptr)
        timer_->SetEnabled(false);
}

bool TTkCustomSpeedButton::ReleaseStep(TMouseButton Button, int X, int Y) {
    const TSpeedButtonEffects e =
        model_.Release(Button == mbLeft, OnButton(X, Y, ClientWidth(), ClientHeight()));
    if (e.MouseLeave)
        Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
    Carry(e);
    if (e.Click) {
        TSpeedButtonAliveScope alive(this);
        Click();
        if (alive.Dead())
            return false;
    }
    if (e.Click || e.MouseLeave)
        TestHover();
    return true;
}

void TTkCustomSpeedButton::DblClick() {
    if (model_.Down)
        TTkGraphicControl::DblClick();
}

void TTkCustomSpeedButton::RepeatTick(TObject*) {
    timer_->SetInterval(RepeatInterval);
    const TRepeatStep step = ::RepeatTick(model_.State, MouseCapture(), RepeatInterval);
    if (!step.Click)
        return;
    TSpeedButtonAliveScope alive(this);
    try {
        Click();
    } catch (...) {
        if (!alive.Dead() && timer_ != nullptr)
            timer_->SetEnabled(false);
        throw;
    }
}

void TTkCustomSpeedButton::TestHover() {
    if (Parent() == nullptr || !Parent()->HandleAllocated())
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const TPoint at = Parent()->ScreenToClient({cursor.x, cursor.y});
    const bool hot =
        Enabled() && Parent()->ControlAtPos(at, true, true) == this && ActiveWindowIsOwnThread();
    if (hot != MouseOver())
        Perform(hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TTkCustomSpeedButton::EnabledChanged() {
    TTkGraphicControl::EnabledChanged();
    model_.Enabled = Enabled();
    // The look of the new state, made ahead.
    glyph_->MakeStateImage(!Enabled() ? bsDisabled : flat_ ? bsInactive : bsUp);
    TestHover();
    Repaint();
}

void TTkCustomSpeedButton::VisibleChanged() {
    TTkGraphicControl::VisibleChanged();
    if (Visible())
        TestHover();
}

void TTkCustomSpeedButton::TextChanged() {
    TTkGraphicControl::TextChanged();
    Invalidate();
}

void TTkCustomSpeedButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        GroupNotice(Message);
        return;
    case WM_LBUTTONDBLCLK:
        if (model_.MenuTracking)
            return;
        break;
    case CM_SYSCOLORCHANGE:
        glyph_->DropStateImages();
        Invalidate();
        break;
    default:
        break;
    }
    TSpeedButtonAliveScope alive(this);
    TTkGraphicControl::WndProc(Message);
    if (alive.Dead())
        return;
    if (Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_RBUTTONUP)
        TestHover();
}

void TTkCustomSpeedButton::Paint() {
    model_.Enabled = Enabled();
    const TTkButtonState state = model_.PaintState();
    const TTkButtonState drawState =
        flat_ && !MouseOver() && !ComponentState().Contains(csDesigning) ? bsInactive : state;
    TCanvas* canvas = Canvas();
    const TRect client = Rect(0, 0, Width(), Height());
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    const bool sunken = state == bsDown || state == bsExclusive;
    if (drawState != bsInactive || state == bsExclusive) {
        RECT r{client.Left, client.Top, client.Right, client.Bottom};
        DrawEdge(canvas->Handle(), &r, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const TPoint offset = sunken ? TPoint{1, 1} : TPoint{0, 0};
    PaintGlyphAndCaption(canvas, Rect(2, 2, Width() - 2, Height() - 2), offset, drawState,
                         markDropDown_ && dropDownMenu_ != nullptr);
}

void TTkCustomSpeedButton::PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                                TTkButtonState DrawState, bool) {
    TRect r = Rect(Client.Left + Offset.X, Client.Top + Offset.Y, Client.Right + Offset.X,
                   Client.Bottom + Offset.Y);
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->Assign(Font());
    if (DrawState == bsDisabled)
        Canvas->Font()->SetColor(clGrayText);
    DrawStringOnCanvas(Canvas, Caption(), -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- the image button ---

TTkImageSpeedButton::TTkImageSpeedButton(TComponent* AOwner) : TTkCustomSpeedButton(AOwner) {
    imageLink_ = new TChangeLink();
    imageLink_->OnChange = TNotifyEvent(this, &TTkImageSpeedButton::ImagesChanged);
}

TTkImageSpeedButton::~TTkImageSpeedButton() {
    if (images_ != nullptr)
        images_->UnRegisterChanges(imageLink_);
    imageLink_->Free();
}

void TTkImageSpeedButton::SetImages(TCustomImageList* Value) {
    if (images_ != nullptr) {
        images_->UnRegisterChanges(imageLink_);
        images_->RemoveFreeNotification(this);
    }
    images_ = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(imageLink_);
        Value->FreeNotification(this);
    } else {
        imageIndex_ = -1;
    }
    Invalidate();
}

void TTkImageSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TTkCustomSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        imageIndex_ = -1;
    }
}

int TTkImageSpeedButton::ShownImageIndex() const noexcept {
    return HotLook() && hotTrackImageIndex_ != -1 ? hotTrackImageIndex_ : imageIndex_;
}

void TTkImageSpeedButton::SetImageIndex(int Value) {
    imageIndex_ = Value;
    if (!HotLook())
        Invalidate();
}

void TTkImageSpeedButton::SetHotTrackImageIndex(int Value) {
    hotTrackImageIndex_ = Value;
    if (HotLook())
        Invalidate();
}
