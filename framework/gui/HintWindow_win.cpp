#include "framework/gui/HintWindow_win.h"

#include "framework/gui/Application_win.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetColor(clInfoBk);
    Font()->SetColor(clInfoText);
    visible_ = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& Text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    RECT r{0, 0, MaxWidth > 0 ? MaxWidth : 300, 0};
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return Rect(0, 0, r.right + 8, r.bottom + 4);
}

void THintWindow::ActivateHint(const TRect& R, const std::string& Text) {
    SetCaption(Text);
    HandleNeeded();
    SetWindowPos(Handle(), HWND_TOPMOST, R.Left, R.Top, R.Width(), R.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    UpdateBoundsFromWindow();
    Invalidate();
    active_ = true;
}

void THintWindow::ReleaseHandle() {
    active_ = false;
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    RECT r{3, 1, ClientWidth() - 3, ClientHeight() - 1};
    SetBkMode(c->Handle(), TRANSPARENT);
    DrawTextA(c->Handle(), Caption().c_str(), static_cast<int>(Caption().size()), &r,
              DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
