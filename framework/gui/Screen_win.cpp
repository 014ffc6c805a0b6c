#include "framework/gui/Screen_win.h"

#include <algorithm>

#include "framework/gui/Form_win.h"
#include "framework/gui/WindowPlumbing_win.h"

TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

namespace {

struct TSystemCursor {
    TCursor Id;
    LPCSTR System;        // IDC_* for the built-in ids
    const char* Resource; // cursor resource of the module, or nullptr
};

const TSystemCursor kCursors[] = {
    {crArrow, IDC_ARROW, nullptr},          {crCross, IDC_CROSS, nullptr},
    {crIBeam, IDC_IBEAM, nullptr},          {crSizeNESW, IDC_SIZENESW, nullptr},
    {crSizeNS, IDC_SIZENS, nullptr},        {crSizeNWSE, IDC_SIZENWSE, nullptr},
    {crSizeWE, IDC_SIZEWE, nullptr},        {crUpArrow, IDC_UPARROW, nullptr},
    {crHourGlass, IDC_WAIT, nullptr},       {crDrag, IDC_ARROW, "DRAGCUR"},
    {crNoDrop, IDC_NO, "NODROPCUR"},        {crHSplit, IDC_SIZEWE, "HSPLITCUR"},
    {crVSplit, IDC_SIZENS, "VSPLITCUR"},    {crMultiDrag, IDC_ARROW, "MULTIDRAGCUR"},
    {crSQLWait, IDC_WAIT, "SQLWAITCUR"},    {crNo, IDC_NO, nullptr},
    {crAppStart, IDC_APPSTARTING, nullptr}, {crHelp, IDC_HELP, nullptr},
    {crHandPoint, IDC_HAND, nullptr},       {crSizeAll, IDC_SIZEALL, nullptr},
};

} // namespace

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    LoadDefaultCursors();
}

TScreen::~TScreen() = default;

TMonitor TScreen::MonitorFromWindow(HWND Window) const {
    TMonitor m;
    m.Handle = ::MonitorFromWindow(Window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (m.Handle == nullptr || !GetMonitorInfoA(m.Handle, &info)) {
        // No monitor known: the primary screen's area.
        m.BoundsRect = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        RECT work{};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        m.WorkareaRect = work.right > work.left ? Rect(work.left, work.top, work.right, work.bottom)
                                                : m.BoundsRect;
        m.Primary = true;
        return m;
    }
    m.BoundsRect =
        Rect(info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom);
    m.WorkareaRect = Rect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
    m.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    return m;
}

void TScreen::LoadDefaultCursors() {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    for (const TSystemCursor& c : kCursors) {
        HCURSOR h = nullptr;
        if (c.Resource != nullptr)
            h = LoadCursorA(LibraryInstance(), c.Resource);
        if (h == nullptr)
            h = LoadCursorA(nullptr, c.System);
        cursors_[c.Id] = h != nullptr ? h : arrow;
    }
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == cursor_)
        return;
    cursor_ = Value;
    if (Value != crDefault) {
        ::SetCursor(Cursors(Value));
        return;
    }
    // Back to the controls' cursors: let the window under the mouse decide.
    POINT p{};
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);
}

HCURSOR TScreen::Cursors(TCursor Id) const {
    if (Id == crNone)
        return nullptr;
    auto it = cursors_.find(Id);
    if (it != cursors_.end() && it->second != nullptr)
        return it->second;
    return LoadCursorA(nullptr, IDC_ARROW);
}

void TScreen::SetCursors(TCursor Id, HCURSOR Cursor) {
    if (Cursor == nullptr) {
        cursors_.erase(Id);
        if (Id < 0)
            LoadDefaultCursors();
        return;
    }
    cursors_[Id] = Cursor;
}

void TScreen::AddForm(TCustomForm* Form) {
    if (std::find(forms_.begin(), forms_.end(), Form) == forms_.end())
        forms_.push_back(Form);
}

void TScreen::RemoveForm(TCustomForm* Form) {
    std::erase(forms_, Form);
    if (activeForm_ == Form)
        activeForm_ = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    activeForm_ = Form;
    if (Form != nullptr)
        FormActivated(Form);
}

void TScreen::FormActivated(TCustomForm* Form) {
    auto it = std::find(forms_.begin(), forms_.end(), Form);
    if (it == forms_.end())
        return;
    forms_.erase(it);
    forms_.insert(forms_.begin(), Form);
}

TPoint TMouse::CursorPos() const {
    POINT p{};
    GetCursorPos(&p);
    return Point(p.x, p.y);
}

void TMouse::SetCursorPos(TPoint P) {
    ::SetCursorPos(P.X, P.Y);
}

void TMouse::SetCapture(HWND Window) {
    if (Window != nullptr)
        ::SetCapture(Window);
    else
        ReleaseCapture();
}
