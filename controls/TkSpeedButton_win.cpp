#include "controls/TkSpeedButton_win.h"

#include <algorithm>

#include "controls/TkButtonGlyph_win.h"
#include "controls/TkThemes_win.h"
#include "controls/TkUtils_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/AliveScope.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/core/SysUtils.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Timer_win.h"

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
    TAliveScope alive(DestroyedSlot());
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
    TAliveScope alive(DestroyedSlot());
    TTkGraphicControl::MouseMove(Shift, X, Y);
    if (alive.Dead())
        return;
    Carry(model_.Move(OnButton(X, Y, ClientWidth(), ClientHeight())));
}

void TTkCustomSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TAliveScope alive(DestroyedSlot());
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
        TAliveScope alive(DestroyedSlot());
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
    TAliveScope alive(DestroyedSlot());
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
    case WM_PAINT:
        // Without a device context nothing is drawn when buffered.
        if (DoubleBuffered) {
            if (Message.WParam != 0)
                PaintBuffered(Message);
            return;
        }
        break;
    default:
        break;
    }
    TAliveScope alive(DestroyedSlot());
    TTkGraphicControl::WndProc(Message);
    if (alive.Dead())
        return;
    if (Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_RBUTTONUP)
        TestHover();
}

namespace {

TColor BevelColour(TBevelColour c, TColor face) {
    switch (c) {
    case bcWindowFrame:
        return clWindowFrame;
    case bcLight:
        return BevelLight(ColorToRGB(face));
    case bcDark:
        return BevelDark(ColorToRGB(face));
    case bcShadow:
        return clBtnShadow;
    default:
        return face;
    }
}

// One frame: the first colour on the top and left edges, the second on the bottom and right;
// the rectangle moves in by one.
void Frame(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight) {
    c->Pen()->SetColor(topLeft);
    c->MoveTo(r.Left, r.Bottom - 1);
    c->LineTo(r.Left, r.Top);
    c->LineTo(r.Right - 1, r.Top);
    c->Pen()->SetColor(bottomRight);
    c->LineTo(r.Right - 1, r.Bottom - 1);
    c->LineTo(r.Left, r.Bottom - 1);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

} // namespace

void TTkCustomSpeedButton::Paint() {
    model_.Enabled = Enabled();
    const TTkButtonState state = model_.PaintState();
    const bool hot = MouseOver(), pressing = model_.Pressing;
    const TTkButtonState drawState =
        flat_ && !hot && !ComponentState().Contains(csDesigning) ? bsInactive : state;
    const bool sunken = state == bsDown || state == bsExclusive;
    TCanvas* canvas = Canvas();
    TRect r = Rect(0, 0, Width(), Height());
    TPoint offset{0, 0};
    TThemeServices* themes = ThemeServices();
    if (themes->ThemesEnabled()) {
        if (transparent_)
            PaintUnderlyingImage(this, canvas);
        else
            EraseWithParent(this, canvas->Handle(), nullptr);
        canvas->Font()->Assign(HotLook() ? hotTrackFont_ : Font());
        const int themeState = !Enabled() ? 4 : sunken ? 3 : (hot || pressing) ? 2 : 1;
        const TThemedElementDetails element{flat_ ? tcToolBar : tcButton, 1, themeState};
        themes->DrawElement(canvas->Handle(), element, r);
        r = themes->ContentRect(canvas->Handle(), element, r);
        if (themeState == 3)
            offset = {1, 0};
    } else {
        if (transparent_) {
            PaintUnderlyingImage(this, canvas);
        } else {
            canvas->Brush()->SetColor(Color());
            canvas->FillRect(r);
        }
        if (!(drawState == bsInactive && state != bsExclusive)) {
            const TButtonBevel bevel = BevelFor(sunken, style_ != bsWin31, flat_);
            for (int i = 0; i < bevel.Count; ++i)
                Frame(canvas, r, BevelColour(bevel.Frames[i].TopLeft, Color()),
                      BevelColour(bevel.Frames[i].BottomRight, Color()));
            if (bevel.ShadowLine) {
                canvas->Pen()->SetColor(clBtnShadow);
                canvas->MoveTo(r.Left, r.Bottom - 1);
                canvas->LineTo(r.Left, r.Top);
                canvas->LineTo(r.Right, r.Top);
            }
            r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        } else if (flat_) {
            r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        }
        if (state == bsExclusive && !transparent_ && (!flat_ || drawState == bsInactive)) {
            TBitmap* dither = MakeCheckerBitmap(clBtnFace, clBtnHighlight);
            canvas->Brush()->SetBitmap(dither);
            canvas->FillRect(Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
            canvas->Brush()->SetBitmap(nullptr);
            dither->Free();
        }
        if (sunken)
            offset = {1, 1};
        if (((hotTrackOptions_->Enabled && model_.Down) || hot || pressing) && HotTrack) {
            canvas->Font()->Assign(hotTrackFont_);
            if (hotTrackOptions_->Enabled) {
                TBitmap* checker = nullptr;
                canvas->Pen()->SetColor(hotTrackOptions_->FrameColor);
                if (model_.Down) {
                    checker = MakeCheckerBitmap(hotTrackOptions_->Color, clWindow);
                    canvas->Brush()->SetBitmap(checker);
                } else {
                    canvas->Brush()->SetColor(hotTrackOptions_->Color);
                }
                canvas->Rectangle(0, 0, Width(), Height());
                canvas->Brush()->SetBitmap(nullptr);
                if (checker != nullptr)
                    checker->Free();
            }
        } else {
            canvas->Font()->Assign(Font());
        }
    }
    PaintGlyphAndCaption(canvas, r, offset, GlyphState(state, drawState, grayedInactive_),
                         markDropDown_ && dropDownMenu_ != nullptr);
}

UINT TTkCustomSpeedButton::TextFlags() const noexcept {
    switch (glyph_->Alignment) {
    case taLeftJustify:
        return DT_LEFT;
    case taRightJustify:
        return DT_RIGHT;
    default:
        return DT_CENTER;
    }
}

void TTkCustomSpeedButton::PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                                TTkButtonState DrawState, bool ShowMark) {
    TRect text{};
    Canvas->Brush()->SetStyle(bsClear);
    glyph_->RenderOwnGlyphAndCaption(Canvas, Client, text, TextFlags(), DrawState, ShowMark,
                                     spacing_, margin_, layout_, Caption(), Offset);
}

void TTkCustomSpeedButton::PaintBuffered(TMessage& Message) {
    HDC target = reinterpret_cast<HDC>(Message.WParam);
    const int w = std::max(Width(), 1), h = std::max(Height(), 1);
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int saved = SaveDC(target);
    try {
        TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(memory), 0, 0};
        TTkGraphicControl::WndProc(m);
        BitBlt(target, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    } catch (...) {
        RestoreDC(target, saved);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        throw;
    }
    RestoreDC(target, saved);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
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
    return ::ShownImageIndex(HotLook(), imageIndex_, hotTrackImageIndex_);
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

void TTkImageSpeedButton::PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                               TTkButtonState DrawState, bool ShowMark) {
    TRect text{};
    Canvas->Brush()->SetStyle(bsClear);
    ButtonGlyph()->RenderGlyphAndCaption(Canvas, Client, text, TextFlags(), DrawState,
                                         ShownImageIndex(), images_, ShowMark, Spacing(), Margin(),
                                         Layout(), Caption(), Offset);
}

TControlActionLink* TTkImageSpeedButton::NewActionLink() {
    return new TTkImageSpeedButtonActionLink(this);
}

TBasicAction* TTkImageSpeedButton::Action() const noexcept {
    return actions_.Action();
}

void TTkImageSpeedButton::SetAction(TBasicAction* Value) {
    actions_.SetAction(Value);
}

void TTkImageSpeedButton::Click() {
    if (TCustomForm* form = GetParentForm())
        form->SetModalResult(ModalResult);
    if (!actions_.Click())
        TTkGraphicControl::Click();
}

void TTkImageSpeedButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    ApplyActionToControl(this, Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr)
        return;
    if (action->ActionList() != nullptr && (!CheckDefaults || images_ == nullptr))
        SetImages(action->ActionList()->Images);
    if (!CheckDefaults || imageIndex_ == -1)
        SetImageIndex(action->ImageIndex());
}

bool TTkImageSpeedButtonActionLink::IsCheckedLinked() {
    return TControlActionLink::IsCheckedLinked() && button_->GroupIndex() != 0 &&
           button_->AllowAllUp() && CustomAction()->Checked() == button_->Down();
}

bool TTkImageSpeedButtonActionLink::IsImageIndexLinked() {
    return TControlActionLink::IsImageIndexLinked() &&
           CustomAction()->ImageIndex() == button_->ImageIndex();
}

void TTkImageSpeedButtonActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked())
        button_->SetDown(Value);
}

void TTkImageSpeedButtonActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked())
        button_->SetImageIndex(Value);
}
