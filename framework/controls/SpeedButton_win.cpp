#include "framework/controls/SpeedButton_win.h"

#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/GdiUtils_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/WinControl_win.h"

namespace {

// Where the mask is 0 (the glyph's own pixels), the brush is laid; elsewhere the destination
// stays (the raster operation D = P where S = 0, D where S = 1).
constexpr DWORD kBrushThroughMask = 0x00B8074A;

} // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    // The click is the button's own, on release over it, not the control's default one.
    ControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csOpaque};
    SetBounds(Left(), Top(), 23, 22);
    glyph_ = new TBitmap();
}

TSpeedButton::~TSpeedButton() {
    delete glyph_;
}

bool TSpeedButton::Inside(int X, int Y) const {
    return X >= 0 && X < Width() && Y >= 0 && Y < Height();
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
    glyph_->Assign(Value);
    glyph_->SetTransparent(true);
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    if (flat_ == Value)
        return;
    flat_ = Value;
    Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
    if (groupIndex_ == 0)
        Value = false;
    if (Value == down_)
        return;
    // The pressed button of a group stays down unless the group allows all up.
    if (down_ && !Value && !allowAllUp_)
        return;
    down_ = Value;
    if (Enabled())
        state_ = Value ? TSpeedButtonState::Exclusive : TSpeedButtonState::Up;
    Invalidate();
    if (Value)
        ReleaseOthersInGroup();
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (groupIndex_ == Value)
        return;
    groupIndex_ = Value;
    if (Value == 0 && down_) {
        down_ = false;
        if (Enabled())
            state_ = TSpeedButtonState::Up;
        Invalidate();
    } else if (down_) {
        ReleaseOthersInGroup();
    }
}

void TSpeedButton::ReleaseOthersInGroup() {
    if (groupIndex_ == 0 || Parent() == nullptr)
        return;
    TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this),
               0};
    Parent()->Broadcast(m);
}

void TSpeedButton::GroupPressed(int Group, TControl* Sender) {
    if (Sender == this || Group != groupIndex_ || !down_)
        return;
    auto* other = dynamic_cast<TSpeedButton*>(Sender);
    if (other == nullptr || !other->Down())
        return;
    down_ = false;
    if (Enabled())
        state_ = TSpeedButtonState::Up;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BUTTONPRESSED:
        GroupPressed(static_cast<int>(Message.WParam), reinterpret_cast<TControl*>(Message.LParam));
        return;
    case CM_ENABLEDCHANGED:
        TGraphicControl::WndProc(Message);
        tracking_ = false;
        state_ = !Enabled() ? TSpeedButtonState::Disabled
                 : down_    ? TSpeedButtonState::Exclusive
                            : TSpeedButtonState::Up;
        Invalidate();
        return;
    case CM_MOUSEENTER:
        TGraphicControl::WndProc(Message);
        mouseInControl_ = true;
        if (flat_ && Enabled())
            Invalidate();
        return;
    case CM_MOUSELEAVE:
        TGraphicControl::WndProc(Message);
        mouseInControl_ = false;
        if (flat_ && Enabled())
            Invalidate();
        return;
    case CM_TEXTCHANGED:
    case CM_SYSCOLORCHANGE:
        TGraphicControl::WndProc(Message);
        Invalidate();
        return;
    default:
        TGraphicControl::WndProc(Message);
    }
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled())
        return;
    tracking_ = true;
    if (!down_) {
        state_ = TSpeedButtonState::Down;
        Invalidate();
    }
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!tracking_)
        return;
    const TSpeedButtonState next = down_          ? TSpeedButtonState::Exclusive
                                   : Inside(X, Y) ? TSpeedButtonState::Down
                                                  : TSpeedButtonState::Up;
    if (next != state_) {
        state_ = next;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !tracking_)
        return;
    tracking_ = false;
    const bool click = Inside(X, Y);
    if (click && groupIndex_ != 0)
        SetDown(!down_);
    state_ = !Enabled() ? TSpeedButtonState::Disabled
             : down_    ? TSpeedButtonState::Exclusive
                        : TSpeedButtonState::Up;
    Invalidate();
    if (click)
        Click();
}

void TSpeedButton::DrawGlyph(TCanvas* Canvas, int X, int Y, bool Enabled) {
    if (Enabled) {
        // The glyph is transparent in its bottom-left pixel's colour.
        Canvas->Draw(X, Y, glyph_);
        return;
    }
    // Embossed: the shape (every pixel but the transparent ones) in the highlight colour one
    // pixel down and right, then in the shadow colour.
    const int w = glyph_->Width();
    const int h = glyph_->Height();
    HDC image = glyph_->Canvas()->Handle();
    TScopedMemoryDC maskDC;
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    {
        TScopedSelect selectMask(maskDC.Get(), mask);
        const COLORREF oldImageBk = SetBkColor(image, GetPixel(image, 0, h - 1));
        BitBlt(maskDC.Get(), 0, 0, w, h, image, 0, 0, SRCCOPY);
        SetBkColor(image, oldImageBk);
        HDC dc = Canvas->Handle();
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        for (auto [dx, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
            HBRUSH brush = CreateSolidBrush(ColorRef(color));
            {
                TScopedSelect selectBrush(dc, brush);
                BitBlt(dc, X + dx, Y + dx, w, h, maskDC.Get(), 0, 0, kBrushThroughMask);
            }
            DeleteObject(brush);
        }
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBk);
    }
    DeleteObject(mask);
}

void TSpeedButton::Paint() {
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    RECT r{0, 0, Width(), Height()};
    const bool pushed = state_ == TSpeedButtonState::Down || state_ == TSpeedButtonState::Exclusive;
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc, &r, face);
    if (!flat_) {
        DrawFrameControl(dc, &r, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    } else if (pushed) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else if (mouseInControl_ && Enabled()) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
    const int offset = pushed ? 1 : 0;
    const bool enabled = Enabled();
    const std::string& caption = Caption();
    int textLeft = r.left;
    if (!glyph_->Empty()) {
        const int x = caption.empty() ? (Width() - glyph_->Width()) / 2 : r.left + 4;
        const int y = (Height() - glyph_->Height()) / 2;
        DrawGlyph(canvas, x + offset, y + offset, enabled);
        textLeft = x + glyph_->Width() + 4;
    }
    if (!caption.empty()) {
        dc = canvas->Handle();
        SetBkMode(dc, TRANSPARENT);
        RECT t{textLeft + offset, r.top + offset, r.right + offset, r.bottom + offset};
        const UINT flags = DT_SINGLELINE | DT_VCENTER | (glyph_->Empty() ? DT_CENTER : DT_LEFT);
        if (!enabled) {
            RECT shadow{t.left + 1, t.top + 1, t.right + 1, t.bottom + 1};
            SetTextColor(dc, ColorRef(clBtnHighlight));
            DrawTextA(dc, caption.c_str(), -1, &shadow, flags);
            SetTextColor(dc, ColorRef(clBtnShadow));
        }
        DrawTextA(dc, caption.c_str(), -1, &t, flags);
    }
}
