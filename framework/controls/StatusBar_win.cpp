#include "framework/controls/StatusBar_win.h"

#include <commctrl.h>

#include <vector>

namespace {

// SB_SETTEXT's part number for the simple part.
constexpr WPARAM kSimplePart = 255;

}  // namespace

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csCaptureMouse).Exclude(csClickEvents).Exclude(csSetCaption);
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    SetColor(clBtnFace);
    panels_ = Create<TStatusPanels>(this);
    panels_->OnUpdate = [this](TStatusPanel* Panel) { UpdatePanels(Panel); };
}

TStatusBar::~TStatusBar() {
    panels_->OnUpdate = nullptr;
    FreeAndNil(panels_);
}

// Right edges from the widths; the last part reaches the end (-1).
void TStatusBar::UpdatePanels(TStatusPanel* Panel) {
    if (!HandleAllocated())
        return;
    HWND h = Handle();
    const int count = panels_->Count();
    if (Panel == nullptr) {
        std::vector<int> edges(static_cast<size_t>(count > 0 ? count : 1), -1);
        int right = 0;
        for (int i = 0; i + 1 < count; ++i) {
            right += panels_->Items(i)->Width();
            edges[static_cast<size_t>(i)] = right;
        }
        SendMessageA(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    }
    for (int i = 0; i < count; ++i) {
        TStatusPanel* p = panels_->Items(i);
        if (Panel == nullptr || Panel == p)
            SendMessageA(h, SB_SETTEXTA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(p->Text().c_str()));
    }
}

void TStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = STATUSCLASSNAMEA;
    // The align layout places the bar; the window must not move itself.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    Params.Caption.clear();
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    HWND h = Handle();
    SendMessageA(h, SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
    SendMessageA(h, SB_SETTEXTA, kSimplePart, reinterpret_cast<LPARAM>(simpleText_.c_str()));
    UpdatePanels(nullptr);
}

void TStatusBar::SetSimplePanel(bool Value) {
    simplePanel_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), SB_SIMPLE, Value ? TRUE : FALSE, 0);
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    simpleText_ = Value;
    if (HandleAllocated())
        SendMessageA(Handle(), SB_SETTEXTA, kSimplePart, reinterpret_cast<LPARAM>(Value.c_str()));
}

std::string TStatusBar::WindowSimpleText() {
    if (!HandleAllocated())
        return {};
    const LRESULT info = SendMessageA(Handle(), SB_GETTEXTLENGTHA, 0, 0);
    std::vector<char> buffer(static_cast<size_t>(LOWORD(info)) + 1);
    SendMessageA(Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data());
}
