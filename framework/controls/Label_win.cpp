#include "framework/controls/Label_win.h"

#include "framework/graphics/Canvas_win.h"
#include "framework/gui/Messages.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
}

UINT TLabel::DrawFlags() const {
    UINT flags = DT_EXPANDTABS;
    flags |= alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
    if (WordWrap)
        flags |= DT_WORDBREAK;
    if (!ShowAccelChar)
        flags |= DT_NOPREFIX;
    return flags;
}

bool TLabel::CanAutoSize(int& NewWidth, int& NewHeight) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    RECT r{0, 0, WordWrap ? Width() : 0, 0};
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    NewWidth = r.right - r.left;
    NewHeight = r.bottom - r.top;
    return true;
}

void TLabel::AdjustBounds() {
    if (!AutoSize())
        return;
    int w = Width(), h = Height();
    if (CanAutoSize(w, h) && (w != Width() || h != Height())) {
        // Right-aligned labels keep their right edge.
        const int left = alignment_ == taRightJustify ? Left() + Width() - w : Left();
        SetBounds(left, Top(), w, h);
    }
}

void TLabel::SetText(const std::string& Value) {
    if (Value == Caption())
        return;
    TGraphicControl::SetText(Value);
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAlignment(TAlignment Value) {
    if (alignment_ == Value)
        return;
    alignment_ = Value;
    Invalidate();
}

void TLabel::SetTransparent(bool Value) {
    if (transparent_ == Value)
        return;
    transparent_ = Value;
    if (Value)
        ControlStyle.Exclude(csOpaque);
    else
        ControlStyle.Include(csOpaque);
    Invalidate();
}

void TLabel::WndProc(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    if (Message.Msg == CM_FONTCHANGED)
        AdjustBounds();
}

void TLabel::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    if (!transparent_) {
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color())));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    if (!Enabled()) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    } else {
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
    }
    DrawTextA(dc, Caption().c_str(), static_cast<int>(Caption().size()), &r, DrawFlags());
    SelectObject(dc, old);
}

void TLabel::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    ApplyActionToControl(this, Sender, CheckDefaults);
}

void TLabel::Click() {
    if (!actions_.Click())
        TGraphicControl::Click();
}
