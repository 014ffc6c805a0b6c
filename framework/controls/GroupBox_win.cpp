#include "framework/controls/GroupBox_win.h"

#include "framework/graphics/Canvas_win.h"
#include "framework/gui/Messages.h"

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle.Include(csAcceptsControls).Exclude(csClickEvents);
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

void TCustomGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
    const int top = CaptionHeight();
    Rect.Left += 2;
    Rect.Right -= 2;
    Rect.Top += top;
    Rect.Bottom -= 2;
    TCustomControl::AlignControls(AControl, Rect);
}

void TCustomGroupBox::WndProc(TMessage& Message) {
    TCustomControl::WndProc(Message);
    if (Message.Msg == CM_TEXTCHANGED || Message.Msg == CM_FONTCHANGED)
        Realign();
}

void TCustomGroupBox::Paint() {
    HDC dc = Canvas()->Handle();
    const int h = CaptionHeight();
    RECT frame{0, h / 2, Width(), Height()};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!Caption().empty()) {
        HGDIOBJ old = SelectObject(dc, Font()->Handle());
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, Enabled() ? static_cast<COLORREF>(ColorToRGB(Font()->Color())) : GetSysColor(COLOR_GRAYTEXT));
        RECT text{8, 0, Width() - 8, h};
        const std::string caption = " " + Caption() + " ";
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_LEFT | DT_SINGLELINE);
        SelectObject(dc, old);
    }
}
