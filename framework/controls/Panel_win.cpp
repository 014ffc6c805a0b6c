#include "framework/controls/Panel_win.h"

#include "framework/graphics/Canvas_win.h"
#include "framework/gui/Messages.h"

namespace {

void DrawBevel(HDC dc, RECT& r, TPanelBevel bevel, int width) {
    if (bevel == bvNone)
        return;
    for (int i = 0; i < width; ++i) {
        if (bevel != bvSpace)
            DrawEdge(dc, &r, bevel == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
}

}  // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle.Include(csAcceptsControls).Include(csOpaque);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

int TPanel::BevelSize() const {
    int n = 0;
    if (bevelOuter_ != bvNone)
        n += bevelWidth_;
    if (bevelInner_ != bvNone)
        n += bevelWidth_;
    return n;
}

void TPanel::AlignControls(TControl* AControl, TRect& Rect) {
    const int inset = BevelSize();
    Rect.Left += inset;
    Rect.Top += inset;
    Rect.Right -= inset;
    Rect.Bottom -= inset;
    TCustomControl::AlignControls(AControl, Rect);
}

void TPanel::SetBevelOuter(TPanelBevel Value) {
    bevelOuter_ = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel Value) {
    bevelInner_ = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
    bevelWidth_ = Value < 1 ? 1 : Value;
    Realign();
    Invalidate();
}

void TPanel::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED)
        Invalidate();
}

void TPanel::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color())));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    DrawBevel(dc, r, bevelOuter_, bevelWidth_);
    InflateRect(&r, -BorderWidth(), -BorderWidth());
    DrawBevel(dc, r, bevelInner_, bevelWidth_);
    if (!Caption().empty()) {
        HGDIOBJ old = SelectObject(dc, Font()->Handle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
        const UINT align = Alignment == taLeftJustify ? DT_LEFT : Alignment == taRightJustify ? DT_RIGHT : DT_CENTER;
        DrawTextA(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, align | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
    }
}

void TPanel::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    ApplyActionToControl(this, Sender, CheckDefaults);
}

void TPanel::Click() {
    if (!actions_.Click())
        TCustomControl::Click();
}
