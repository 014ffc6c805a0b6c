#include "framework/gui/WinControl_win.h"

#include <algorithm>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/AlignLayout.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/MessageRules.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"
#include "framework/gui/WindowPlumbing_win.h"

HWND CreateFrameworkWindow(TWinControl* Control, const TCreateParams& Params);

namespace {

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

// Restores a device context's saved state at scope end, also on a raise.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), id_(dc != nullptr ? SaveDC(dc) : 0) {}
    ~TSavedDC() {
        if (id_ != 0)
            RestoreDC(dc_, id_);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};

} // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    if (brush_ != nullptr)
        DeleteObject(brush_);
}

void TWinControl::BeforeDestruction() {
    // Owned components first (last created first), then the children that
    // are parented here but owned elsewhere, then the window.
    TControl::BeforeDestruction();
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        CallReporting(this, [&] { RemoveControl(child); });
        if (!controls_.empty() && controls_.back() == child)
            controls_.pop_back();
    }
    if (handle_ != nullptr)
        CallReporting(this, [&] { DestroyWnd(); });
}

HWND TWinControl::Handle() {
    if (handle_ == nullptr && !ComponentState().Contains(csDestroying))
        HandleNeeded();
    return handle_;
}

void TWinControl::HandleNeeded() {
    if (handle_ != nullptr || ComponentState().Contains(csDestroying))
        return;
    if (Parent() != nullptr)
        Parent()->HandleNeeded();
    if (handle_ == nullptr)
        CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
    if (parentWindow_ == Value)
        return;
    parentWindow_ = Value;
    if (handle_ != nullptr && Parent() == nullptr)
        ::SetParent(handle_, Value);
}

void TWinControl::CreateHandle() {
    ControlState.Include(csCreating);
    try {
        CreateWnd();
    } catch (...) {
        ControlState.Exclude(csCreating);
        throw;
    }
    ControlState.Exclude(csCreating);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams{};
    Params.Caption = Text();
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (ControlStyle.Contains(csAcceptsControls))
        Params.Style |= WS_CLIPCHILDREN;
    if (Visible())
        Params.Style |= WS_VISIBLE;
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    if (tabStop_)
        Params.Style |= WS_TABSTOP;
    Params.X = Left();
    Params.Y = Top();
    Params.Width = Width();
    Params.Height = Height();
    if (Parent() != nullptr)
        Params.WndParent = Parent()->Handle();
    else
        Params.WndParent = parentWindow_;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) != 0 && params.WndParent == nullptr)
        throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    WNDCLASSA wc{};
    if (GetClassInfoA(LibraryInstance(), params.WinClassName.c_str(), &wc)) {
        native_ = wc.lpfnWndProc != &FrameworkWndProc;
    } else {
        native_ = false;
        RegisterFrameworkClass(params.WinClassName, params.ClassStyle);
    }
    CreateWindowHandle(params);
    if (handle_ == nullptr)
        throw EInvalidOperation("Error creating window for " + ClassName());
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    // Children after the parent, in z-order; the first size follows.
    for (TControl* child : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(child); w != nullptr && w->handle_ == nullptr)
            w->CreateHandle();
    lastClientWidth_ = -1;
    HandleSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    CreateFrameworkWindow(this, Params);
}

void TWinControl::DestroyWnd() {
    if (handle_ != nullptr)
        DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    ControlState.Include(csDestroyingHandle);
    HWND window = handle_;
    DestroyWindow(window);
    // A window of another thread or a failed destroy: drop the link anyway.
    if (handle_ == window && !IsWindow(window))
        DetachHandle();
    ControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DetachHandle() {
    handle_ = nullptr;
    for (TControl* child : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(child);
            w != nullptr && w->handle_ != nullptr && !IsWindow(w->handle_))
            w->DetachHandle();
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr)
        return;
    DestroyWnd();
    HandleNeeded();
}

void TWinControl::InsertControl(TControl* AControl) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
    AControl->parent_ = this;
    controls_.push_back(AControl);
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (w != nullptr)
        tabList_.push_back(w);
    if (AControl->ParentColor())
        AControl->Perform(CM_PARENTCOLORCHANGED);
    if (AControl->ParentShowHint())
        AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    if (AControl->ParentFont())
        AControl->Perform(CM_PARENTFONTCHANGED);
    if (w != nullptr && handle_ != nullptr && !ComponentState().Contains(csDestroying)) {
        if (w->handle_ == nullptr)
            w->CreateHandle();
        else
            ::SetParent(w->handle_, handle_);
    }
    AControl->InvalidateControl(AControl->Visible(), false);
    Realign();
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (AControl->parent_ != this)
        return;
    Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    AControl->InvalidateControl(AControl->Visible(), false);
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (w != nullptr) {
        std::erase(tabList_, w);
        if (TCustomForm* form = GetParentForm())
            form->ControlRemoved(w);
        if (w->handle_ != nullptr && !ComponentState().Contains(csDestroying))
            w->DestroyWnd();
    }
    std::erase(controls_, AControl);
    AControl->parent_ = nullptr;
    if (!ComponentState().Contains(csDestroying))
        Realign();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c != nullptr; c = c->Parent())
        if (c == this)
            return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !AllowWinControls)
            continue;
        if (!c->Visible() || (!c->Enabled() && !AllowDisabled))
            continue;
        const TPoint local = Point(P.X - c->Left(), P.Y - c->Top());
        if (!PtInRect(Bounds(0, 0, c->Width(), c->Height()), local))
            continue;
        if (c->Perform(CM_HITTEST, 0, static_cast<LPARAM>(PointToLParam(local))) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WindowProc(Message);
        if (Message.Result != 0)
            return;
    }
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0 || aligning_ || ComponentState().Contains(csDestroying)) {
        ControlState.Include(csAlignmentNeeded);
        return;
    }
    ControlState.Exclude(csAlignmentNeeded);
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::EnableAlign() {
    if (--alignDisabled_ == 0 && ControlState.Contains(csAlignmentNeeded))
        Realign();
}

void TWinControl::CustomAlignPosition(TControl*, int&, int&, int&, int&, const TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    std::vector<TControl*> aligned;
    std::vector<TAlignEntry> entries;
    std::vector<TControl*> custom;
    for (TControl* c : controls_) {
        if (c->Align() == alCustom && c->Visible())
            custom.push_back(c);
        if (c->Align() == alNone || c->Align() == alCustom)
            continue;
        TAlignEntry e;
        e.Align = c->Align();
        e.Bounds = c->BoundsRect();
        e.Visible = c->Visible();
        e.MinWidth = c->Constraints().MinWidth;
        e.MinHeight = c->Constraints().MinHeight;
        e.MaxWidth = c->Constraints().MaxWidth;
        e.MaxHeight = c->Constraints().MaxHeight;
        aligned.push_back(c);
        entries.push_back(e);
    }
    if (aligned.empty() && custom.empty())
        return;
    const std::vector<TRect> result = AlignLayout(Rect, borderWidth_, entries);
    aligning_ = true;
    try {
        for (size_t i = 0; i < aligned.size(); ++i)
            if (entries[i].Visible)
                aligned[i]->SetBoundsRect(result[i]);
        for (TControl* c : custom) {
            int left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
            CustomAlignPosition(c, left, top, width, height, Rect);
            c->SetBounds(left, top, width, height);
        }
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::SetBorderWidth(int Value) {
    if (borderWidth_ == Value)
        return;
    borderWidth_ = Value;
    Realign();
    Invalidate();
}

void TWinControl::SetTabStop(bool Value) {
    if (tabStop_ == Value)
        return;
    tabStop_ = Value;
    if (handle_ != nullptr) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr)
        return -1;
    const auto& list = Parent()->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (Parent() == nullptr)
        return;
    auto& list = Parent()->tabList_;
    std::erase(list, this);
    const int pos = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + pos, this);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return GetParentForm() != nullptr || parentWindow_ != nullptr;
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    if (!CanFocus())
        return;
    if (TCustomForm* form = GetParentForm(); form != nullptr && form != this) {
        form->SetActiveControl(this);
        if (!form->HandleAllocated() || !IsWindowVisible(form->handle_))
            return;
    }
    ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : tabList_) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward,
                                          bool CheckTabStop, bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty())
        return nullptr;
    const int n = static_cast<int>(list.size());
    auto it = std::find(list.begin(), list.end(), CurControl);
    int start = it == list.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - list.begin());
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i + n - 1) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == CurControl)
            break;
        if ((!CheckTabStop || c->tabStop_) && (!CheckParent || c->Parent() == this) &&
            c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, false))
        next->SetFocus();
}

bool TWinControl::Showing() const {
    if (!Visible())
        return false;
    if (handle_ != nullptr)
        return IsWindowVisible(handle_) != FALSE;
    return Parent() != nullptr && Parent()->Showing();
}

TRect TWinControl::ClientRect() const {
    if (handle_ == nullptr)
        return TControl::ClientRect();
    RECT r{};
    GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

TPoint TWinControl::ClientOrigin() const {
    if (handle_ == nullptr)
        return TControl::ClientOrigin();
    POINT p{0, 0};
    ::ClientToScreen(handle_, &p);
    return Point(p.x, p.y);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (handle_ == nullptr) {
        TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    ConstrainRequestedSize(AWidth, AHeight);
    if (ALeft == Left() && ATop == Top() && AWidth == Width() && AHeight == Height())
        return;
    // WM_SIZE follows synchronously and updates the stored bounds, realigns
    // and calls Resize (HandleSize).
    SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    HandleSize();
}

void TWinControl::UpdateBoundsFromWindow() {
    RECT r{};
    GetWindowRect(handle_, &r);
    HWND parent =
        (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) != 0 ? GetParent(handle_) : nullptr;
    if (parent != nullptr)
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    UpdateBoundsRect(Rect(r.left, r.top, r.right, r.bottom));
}

void TWinControl::HandleSize() {
    if (handle_ == nullptr)
        return;
    const int oldWidth = Width(), oldHeight = Height();
    UpdateBoundsFromWindow();
    const bool first = lastClientWidth_ < 0;
    const TRect client = ClientRect();
    if (first || client.Width() != lastClientWidth_ || client.Height() != lastClientHeight_) {
        lastClientWidth_ = client.Width();
        lastClientHeight_ = client.Height();
        Realign();
        Resize();
    } else if (oldWidth != Width() || oldHeight != Height()) {
        Resize();
    }
    RequestAlign();
}

void TWinControl::SetText(const std::string& Value) {
    if (Value == Text())
        return;
    if (handle_ != nullptr)
        SetWindowTextA(handle_, Value.c_str());
    TControl::SetText(Value);
}

void TWinControl::Invalidate() {
    Perform(CM_INVALIDATE);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::Update() {
    if (handle_ != nullptr)
        UpdateWindow(handle_);
}

HBRUSH TWinControl::BrushHandle() {
    if (brush_ == nullptr || brushColor_ != Color()) {
        if (brush_ != nullptr)
            DeleteObject(brush_);
        brush_ = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(Color())));
        brushColor_ = Color();
    }
    return brush_;
}

void TWinControl::UpdateShowing() {
    if (handle_ == nullptr)
        return;
    if ((GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) == 0)
        return; // top-level windows: the form shows itself
    ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
    Perform(CM_SHOWINGCHANGED);
}

void TWinControl::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(std::uint16_t& Key, TShiftState Shift) {
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

static TShiftState CurrentKeyShift(LPARAM keyData) {
    return KeyDataToShiftState(static_cast<std::uint32_t>(keyData), GetKeyState(VK_SHIFT) < 0,
                               GetKeyState(VK_CONTROL) < 0);
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    std::uint16_t key = static_cast<std::uint16_t>(Message.WParam);
    KeyDown(key, CurrentKeyShift(Message.LParam));
    Message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    std::uint16_t key = static_cast<std::uint16_t>(Message.WParam);
    KeyUp(key, CurrentKeyShift(Message.LParam));
    Message.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    char key = static_cast<char>(Message.WParam);
    KeyPress(key);
    Message.WParam = static_cast<unsigned char>(key);
    return key == 0;
}

void TWinControl::SetFocusedHere() {
    if (TCustomForm* form = GetParentForm(); form != nullptr && form != this)
        form->FocusedControlChanged(this);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    auto it = controls_.begin();
    if (First != nullptr)
        it = std::find(controls_.begin(), controls_.end(), First);
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible())
            continue;
        const RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        if (!RectVisible(DC, &bounds))
            continue;
        TSavedDC saved(DC);
        OffsetViewportOrgEx(DC, c->Left(), c->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::PaintHandler(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc != nullptr) {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    PAINTSTRUCT ps{};
    dc = BeginPaint(handle_, &ps);
    try {
        if (DoubleBuffered) {
            const TRect client = ClientRect();
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, std::max(client.Width(), 1),
                                                 std::max(client.Height(), 1));
            HGDIOBJ old = SelectObject(mem, bmp);
            try {
                Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem),
                        reinterpret_cast<LPARAM>(mem));
                PaintWindow(mem);
                PaintControls(mem, nullptr);
            } catch (...) {
                SelectObject(mem, old);
                DeleteObject(bmp);
                DeleteDC(mem);
                throw;
            }
            BitBlt(dc, 0, 0, client.Width(), client.Height(), mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        } else {
            PaintWindow(dc);
            PaintControls(dc, nullptr);
        }
    } catch (...) {
        EndPaint(handle_, &ps);
        throw;
    }
    EndPaint(handle_, &ps);
}

bool TWinControl::EraseBackground(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc == nullptr)
        return false;
    RECT r{};
    GetClientRect(handle_, &r);
    FillRect(dc, &r, BrushHandle());
    Message.Result = 1;
    return true;
}

void TWinControl::PaintThemedBorder(const TMessage& Message) {
    if (Message.Msg == WM_PRINT) {
        if ((Message.LParam & PRF_NONCLIENT) != 0)
            ThemeServices()->PaintBorder(handle_, reinterpret_cast<HDC>(Message.WParam), Enabled());
        return;
    }
    HDC dc = GetWindowDC(handle_);
    ThemeServices()->PaintBorder(handle_, dc, Enabled());
    ReleaseDC(handle_, dc);
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg >= CM_BASE && Message.Msg <= CM_PRIVATE_LAST) {
        switch (Message.Msg) {
        case CM_ENABLEDCHANGED:
            if (handle_ != nullptr) {
                EnableWindow(handle_, Enabled());
                // A themed border has a disabled look of its own.
                if (ControlStyle.Contains(csNeedsBorderPaint))
                    RedrawWindow(handle_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            }
            Invalidate();
            return;
        case CM_VISIBLECHANGED:
            UpdateShowing();
            return;
        case CM_COLORCHANGED: {
            Invalidate();
            TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
            for (TControl* c : std::vector<TControl*>(controls_))
                c->WindowProc(m);
            return;
        }
        case CM_FONTCHANGED: {
            if (handle_ != nullptr)
                SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
            Invalidate();
            TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
            for (TControl* c : std::vector<TControl*>(controls_))
                c->WindowProc(m);
            return;
        }
        case CM_SHOWHINTCHANGED: {
            TMessage m{CM_PARENTSHOWHINTCHANGED, 0, 0, 0};
            for (TControl* c : std::vector<TControl*>(controls_))
                c->WindowProc(m);
            return;
        }
        case CM_SYSCOLORCHANGE:
        case CM_FOCUSCHANGED:
            for (TControl* c : std::vector<TControl*>(controls_))
                c->Perform(Message.Msg, Message.WParam, Message.LParam);
            return;
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            Broadcast(Message);
            return;
        case CM_ENTER:
            if (OnEnter)
                OnEnter(this);
            return;
        case CM_EXIT:
            if (OnExit)
                OnExit(this);
            return;
        case CM_INVALIDATE:
            if (handle_ != nullptr)
                InvalidateRect(handle_, nullptr, !ControlStyle.Contains(csOpaque));
            return;
        case CM_PARENTCOLORCHANGED:
        case CM_PARENTFONTCHANGED:
        case CM_PARENTSHOWHINTCHANGED:
        case CM_HITTEST:
            DefaultNotification(Message);
            return;
        default:
            return;
        }
    }
    if (Message.Msg >= CN_BASE && Message.Msg <= CM_PRIVATE_LAST) {
        // A reflected notification nobody handled.
        const UINT original = Message.Msg - CN_BASE;
        if (original >= WM_CTLCOLORMSGBOX && original <= WM_CTLCOLORSTATIC) {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
            Message.Result = reinterpret_cast<LRESULT>(BrushHandle());
        }
        return;
    }
    if (handle_ != nullptr && defWndProc_ != nullptr)
        Message.Result =
            CallWindowProcA(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_MOVE:
        DefaultHandler(Message);
        HandleSize();
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HWND child = nullptr;
        if (Message.Msg == WM_NOTIFY)
            child =
                Message.LParam != 0 ? reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom : nullptr;
        else if (Message.Msg == WM_DRAWITEM)
            child = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU
                        ? reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->hwndItem
                        : nullptr;
        else if (Message.Msg == WM_MEASUREITEM)
            child =
                reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)->CtlType != ODT_MENU
                    ? GetDlgItem(handle_,
                                 static_cast<int>(
                                     reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)->CtlID))
                    : nullptr;
        else
            child = reinterpret_cast<HWND>(Message.LParam);
        TWinControl* target = child != handle_ ? FindControl(child) : nullptr;
        if (target != nullptr) {
            Message.Result = target->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
        break;
    }
    case WM_ERASEBKGND:
        if (!native_ && EraseBackground(Message))
            return;
        break;
    case WM_PRINTCLIENT: {
        TSavedDC saved(reinterpret_cast<HDC>(Message.WParam));
        if (!native_)
            PaintHandler(Message);
        else
            DefaultHandler(Message);
        return;
    }
    case WM_PAINT:
        if (!native_) {
            PaintHandler(Message);
            return;
        }
        break;
    case WM_NCPAINT:
    case WM_PRINT:
        // The default frame first (scroll bars, the classic edge), then the
        // theme's border over the edge.
        if (ControlStyle.Contains(csNeedsBorderPaint) && ThemeServices()->ThemesEnabled()) {
            DefaultHandler(Message);
            PaintThemedBorder(Message);
            return;
        }
        break;
    case WM_SETFOCUS:
        SetFocusedHere();
        break;
    case WM_CONTEXTMENU:
        // A window-less child has no window to be asked: the one under the pointer gets the
        // request first, so its own popup menu opens.
        if (static_cast<std::uint32_t>(Message.LParam) != 0xFFFFFFFFu && HandleAllocated()) {
            POINT at{static_cast<short>(LOWORD(Message.LParam)),
                     static_cast<short>(HIWORD(Message.LParam))};
            ::ScreenToClient(handle_, &at);
            TControl* child = ControlAtPos(TPoint{at.x, at.y}, false, false);
            if (child != nullptr && child != this &&
                (child->PopupMenu() != nullptr || child->OnContextPopup) &&
                child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(Message))
            return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(Message))
            return;
        break;
    case WM_CHAR:
        if (DoKeyPress(Message))
            return;
        break;
    case WM_SETTEXT:
        DefaultHandler(Message);
        if (Message.LParam != 0) {
            std::string value = reinterpret_cast<const char*>(Message.LParam);
            if (value != Text())
                TControl::SetText(value);
        }
        return;
    case WM_SYSCOLORCHANGE:
        Perform(CM_SYSCOLORCHANGE);
        break;
    case WM_MOUSELEAVE:
        if (TControl* over = MouseControl();
            over != nullptr && (over == this || over->Parent() == this))
            SetMouseControl(nullptr);
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(Message.WParam) == handle_ &&
            LOWORD(Message.LParam) == HTCLIENT && Screen != nullptr) {
            TCursor cursor = Screen->Cursor();
            if (cursor == crDefault) {
                POINT pt{};
                GetCursorPos(&pt);
                ::ScreenToClient(handle_, &pt);
                TControl* c = ControlAtPos(Point(pt.x, pt.y), false, false);
                cursor = c != nullptr ? c->Cursor() : Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(Screen->Cursors(cursor));
                Message.Result = 1;
                return;
            }
        }
        break;
    case WM_CAPTURECHANGED:
        if (TControl* captured = CaptureControl();
            captured != nullptr && captured->Parent() == this &&
            reinterpret_cast<HWND>(Message.LParam) != handle_)
            captured->SetMouseCapture(false);
        break;
    default:
        if (IsMouseMessage(Message.Msg)) {
            const TPoint p = PointFromLParam(static_cast<std::uint32_t>(Message.LParam));
            TControl* target = CaptureControl();
            if (target != nullptr && target->Parent() != this)
                target = nullptr;
            if (target == nullptr && GetCapture() != handle_)
                target = ControlAtPos(p, false, false);
            if (Message.Msg == WM_MOUSEMOVE) {
                // The idle check (current cursor position) tracks the mouse
                // in a program; a library has no loop of its own, so there the
                // moves do, with WM_MOUSELEAVE for the way out.
                if (IsLibrary())
                    SetMouseControl(target != nullptr ? target : this);
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
                TrackMouseEvent(&tme);
            }
            if (target != nullptr) {
                // The child sees its own coordinates, signed (negative under capture).
                const TPoint local = Point(p.X - target->Left(), p.Y - target->Top());
                const WPARAM wParam = Message.WParam;
                const LPARAM lParam = Message.LParam;
                Message.Result = target->Perform(Message.Msg, wParam,
                                                 static_cast<LPARAM>(PointToLParam(local)));
                // The release of the right button is what makes the system ask for a context
                // menu; the child has no window to ask, so this window asks for it (the
                // handler may have freed the window).
                if (Message.Msg == WM_RBUTTONUP && Message.Result == 0 && HandleAllocated())
                    DefWindowProcA(handle_, WM_RBUTTONUP, wParam, lParam);
                return;
            }
        }
        break;
    }
    TControl::WndProc(Message);
}
