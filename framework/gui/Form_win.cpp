#include "framework/gui/Form_win.h"

#include <algorithm>
#include <vector>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/ShortCut.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/MessageRules.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"

namespace {

BOOL CALLBACK CollectEnabledWindows(HWND window, LPARAM param) {
    try {
        auto* list = reinterpret_cast<std::vector<HWND>*>(param);
        if (IsWindowVisible(window) && IsWindowEnabled(window))
            list->push_back(window);
    } catch (...) {
    }
    return TRUE;
}

} // namespace

TDisabledTaskWindows::TDisabledTaskWindows(HWND Except) {
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindows,
                      reinterpret_cast<LPARAM>(&disabled_));
    if (Except != nullptr)
        std::erase(disabled_, Except);
    // The other forms, the hidden ones included: the caller may show one meanwhile, and a
    // hidden main window must not take input either.
    if (Screen != nullptr)
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f->HandleAllocated() && f->Handle() != Except && IsWindowEnabled(f->Handle()) &&
                std::find(disabled_.begin(), disabled_.end(), f->Handle()) == disabled_.end())
                disabled_.push_back(f->Handle());
        }
    for (HWND w : disabled_)
        EnableWindow(w, FALSE);
}

void TDisabledTaskWindows::Restore() noexcept {
    for (HWND w : disabled_)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    disabled_.clear();
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    visible_ = false;
    color_ = clBtnFace;
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    UpdateBoundsRect(Bounds(0, 0, 320, 240));
    icon_ = new TIcon();
    icon_->OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
    if (Screen != nullptr)
        Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    // The window is gone by now (BeforeDestruction): nothing to tell it.
    icon_->OnChange = nullptr;
    FreeAndNil(icon_);
    if (Screen != nullptr)
        Screen->RemoveForm(this);
    if (Application != nullptr)
        Application->FormGone(this);
}

void TCustomForm::AfterConstruction() {
    TWinControl::AfterConstruction();
    FormState.Include(fsCreating);
    BeginLoading();
    try {
        CreateComponents();
    } catch (...) {
        EndLoading();
        FormState.Exclude(fsCreating);
        throw;
    }
    EndLoading();
    FormState.Exclude(fsCreating);
    DoCreate();
}

void TCustomForm::BeforeDestruction() {
    Destroying();
    if (Screen != nullptr)
        Screen->RemoveForm(this);
    CallReporting(this, [&] { DoDestroy(); });
    if (Application != nullptr)
        Application->FormGone(this);
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate() {
    // A failing OnCreate is reported; the form lives on (what ran, ran).
    if (OnCreate)
        CallReporting(this, [&] { OnCreate(this); });
}

void TCustomForm::DoDestroy() {
    if (OnDestroy)
        OnDestroy(this);
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose)
        OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate)
        OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate)
        OnDeactivate(this);
}

void TCustomForm::SetMessageHandler(UINT Msg, TMessageHandler Handler) {
    if (Handler)
        messageHandlers_[Msg] = Handler;
    else
        messageHandlers_.erase(Msg);
}

void TCustomForm::RemoveMessageHandler(UINT Msg) {
    messageHandlers_.erase(Msg);
}

void TCustomForm::GetBorderStyles(DWORD& Style, DWORD& ExStyle) const {
    ExStyle = 0;
    switch (borderStyle_) {
    case bsNone:
        Style = WS_POPUP;
        break;
    case bsSingle:
        Style = WS_POPUP | WS_CAPTION | WS_BORDER;
        break;
    case bsDialog:
        Style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        Style = WS_POPUP | WS_CAPTION;
        ExStyle = WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        Style = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
        ExStyle = WS_EX_TOOLWINDOW;
        break;
    default:
        Style = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
        break;
    }
    if ((Style & WS_CAPTION) == WS_CAPTION) {
        if (borderIcons_.Contains(biSystemMenu))
            Style |= WS_SYSMENU;
        if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
            if (borderIcons_.Contains(biMinimize))
                Style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize))
                Style |= WS_MAXIMIZEBOX;
        }
        if (borderIcons_.Contains(biHelp))
            ExStyle |= WS_EX_CONTEXTHELP;
    }
    if (formStyle_ == fsStayOnTop)
        ExStyle |= WS_EX_TOPMOST;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    DWORD style = 0, exStyle = 0;
    GetBorderStyles(style, exStyle);
    if (ParentWindow() != nullptr) {
        Params.Style =
            WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
            (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        if (Visible())
            Params.Style |= WS_VISIBLE;
        Params.ExStyle = exStyle & ~(WS_EX_TOPMOST | WS_EX_DLGMODALFRAME);
        Params.WndParent = ParentWindow();
    } else {
        // Owned by the application window: no taskbar button, and GetParent
        // of the form answers the application window.
        Params.Style = style | WS_CLIPCHILDREN;
        Params.ExStyle = exStyle;
        Params.WndParent = Application != nullptr ? Application->Handle() : nullptr;
    }
    if (!Enabled())
        Params.Style |= WS_DISABLED;
    Params.WinClassName = ClassName();
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (!icon_->Empty())
        ApplyIcon();
}

void TCustomForm::SetIcon(TIcon* Value) {
    icon_->Assign(Value);
}

void TCustomForm::IconChanged(TObject*) {
    // No window is made for an icon; one made later takes it in CreateWnd.
    if (HandleAllocated())
        ApplyIcon();
}

// The window keeps the icon's handle, not a copy: the form tells the window
// about every new handle before anything can paint with the old one.
void TCustomForm::ApplyIcon() {
    const auto icon = reinterpret_cast<LPARAM>(icon_->Handle());
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, icon);
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, icon);
}

void TCustomForm::ApplyStyles() {
    if (!HandleAllocated() || ParentWindow() != nullptr)
        return;
    // The handle stays: style changes go to the live window.
    DWORD style = 0, exStyle = 0;
    GetBorderStyles(style, exStyle);
    HWND h = Handle();
    const DWORD frameMask = WS_POPUP | WS_CAPTION | WS_BORDER | WS_THICKFRAME | DS_MODALFRAME |
                            WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    const DWORD exMask =
        WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_CONTEXTHELP;
    SetWindowLongA(h, GWL_STYLE,
                   static_cast<LONG>((GetWindowLongA(h, GWL_STYLE) & ~frameMask) | style));
    SetWindowLongA(
        h, GWL_EXSTYLE,
        static_cast<LONG>((GetWindowLongA(h, GWL_EXSTYLE) & ~exMask) | (exStyle & exMask)));
    SetWindowPos(h, formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    ApplyStyles();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (borderIcons_ == Value)
        return;
    borderIcons_ = Value;
    ApplyStyles();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (formStyle_ == Value)
        return;
    formStyle_ = Value;
    ApplyStyles();
}

TRect TCustomForm::ClientRect() const {
    if (HandleAllocated())
        return TWinControl::ClientRect();
    DWORD style = 0, exStyle = 0;
    GetBorderStyles(style, exStyle);
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return Rect(0, 0, std::max<int>(0, Width() - (r.right - r.left)),
                std::max<int>(0, Height() - (r.bottom - r.top)));
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) {
    const TRect client = ClientRect();
    SetBounds(Left(), Top(), Width() - client.Width() + AWidth,
              Height() - client.Height() + AHeight);
}

bool TCustomForm::Showing() const {
    return Visible() && const_cast<TCustomForm*>(this)->HandleAllocated() &&
           IsWindowVisible(const_cast<TCustomForm*>(this)->Handle());
}

void TCustomForm::SetFocus() {
    if (!HandleAllocated() || !IsWindowVisible(Handle()) || !IsWindowEnabled(Handle()))
        return;
    if (ParentWindow() == nullptr)
        SetForegroundWindow(Handle());
    else
        ::SetFocus(Handle());
}

void TCustomForm::VisibleChanging() {
    if (FormState.Contains(fsModal) && Visible())
        throw EInvalidOperation("Cannot change Visible in OnShow or OnHide");
}

void TCustomForm::ShowWindowNow(bool Show) {
    if (ComponentState().Contains(csDestroying))
        return;
    if (!Show) {
        if (HandleAllocated()) {
            DoHide();
            ShowWindow(Handle(), SW_HIDE);
        }
        return;
    }
    HWND h = Handle();
    if (!shownOnce_) {
        shownOnce_ = true;
        if (Position == poScreenCenter || Position == poDesktopCenter ||
            (Position == poMainFormCenter && ParentWindow() == nullptr)) {
            SetBounds((GetSystemMetrics(SM_CXSCREEN) - Width()) / 2,
                      (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2, Width(), Height());
        }
    }
    DoShow();
    ShowWindow(h, ParentWindow() != nullptr ? SW_SHOWNA : SW_SHOW);
    Perform(CM_SHOWINGCHANGED);
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated() && ParentWindow() == nullptr)
        SetForegroundWindow(Handle());
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FormState.Contains(fsModal)) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == caMinimize && HandleAllocated())
        ShowWindow(Handle(), SW_MINIMIZE);
    else
        Hide();
}

TModalResult TCustomForm::ShowModal() {
    if (Visible() || !Enabled() || FormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture() != nullptr)
        ReleaseCapture();
    HWND activeWindow = GetActiveWindow();
    TCustomForm* outerModal = Application != nullptr ? Application->ModalForm() : nullptr;
    HandleNeeded();
    TDisabledTaskWindows disabled(Handle());
    FormState.Include(fsModal);
    if (Application != nullptr)
        Application->SetModalForm(this);
    bool quit = false;
    auto restore = [&] {
        FormState.Exclude(fsModal);
        if (Application != nullptr)
            Application->SetModalForm(outerModal);
        disabled.Restore();
        if (HandleAllocated())
            SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        visible_ = false;
        if (activeWindow != nullptr && IsWindow(activeWindow))
            SetActiveWindow(activeWindow);
    };
    try {
        modalResult_ = mrNone;
        Show();
        while (true) {
            if (Application == nullptr)
                break;
            Application->HandleMessage();
            if (Application->Terminated()) {
                quit = true;
                if (modalResult_ == mrNone)
                    modalResult_ = mrCancel;
                break;
            }
            if (modalResult_ != mrNone) {
                // Closing a modal form asks the same questions as any close.
                TCloseAction action = caHide;
                if (!CloseQuery())
                    action = caNone;
                else
                    DoClose(action);
                if (action == caNone) {
                    modalResult_ = mrNone;
                    continue;
                }
                break;
            }
        }
        DoHide();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    if (quit)
        PostQuitMessage(0);
    return modalResult_;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control != nullptr && (Control == this || !ContainsControl(Control)))
        throw EInvalidOperation("Invalid active control");
    activeControl_ = Control;
    if (Control != nullptr && active_ && Control->CanFocus() && GetFocus() != Control->Handle())
        ::SetFocus(Control->Handle());
}

void TCustomForm::FocusedControlChanged(TWinControl* Control) {
    // Enter and exit follow the real focus moves; ActiveControl may have
    // been set before the focus arrived.
    TWinControl* previous = focusedControl_;
    focusedControl_ = Control;
    activeControl_ = Control;
    if (previous != nullptr && previous != Control)
        previous->Perform(CM_EXIT);
    if (Control != nullptr && Control != previous)
        Control->Perform(CM_ENTER);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::ControlRemoved(TWinControl* Control) {
    if (activeControl_ != nullptr &&
        (activeControl_ == Control || Control->ContainsControl(activeControl_)))
        activeControl_ = nullptr;
    if (focusedControl_ != nullptr &&
        (focusedControl_ == Control || Control->ContainsControl(focusedControl_)))
        focusedControl_ = nullptr;
}

void TCustomForm::SetFocusOnActivation() {
    if (activeControl_ != nullptr && activeControl_->CanFocus()) {
        ::SetFocus(activeControl_->Handle());
        return;
    }
    if (TWinControl* first = FindNextControl(nullptr, true, true, false))
        first->SetFocus();
}

bool TCustomForm::IsShortCut(TMessage& Message) {
    bool handled = false;
    if (OnShortCut)
        OnShortCut(Message, handled);
    if (handled)
        return true;
    const TShortCut shortCut =
        ShortCut(static_cast<std::uint16_t>(Message.WParam),
                 KeyDataToShiftState(static_cast<std::uint32_t>(Message.LParam),
                                     GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0));
    if (shortCut == 0)
        return false;
    // The walk ends with the first command run, so a command that frees
    // components cannot leave it on a stale index.
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* target = dynamic_cast<IShortCutTarget*>(Components(i)))
            if (target->IsShortCut(shortCut))
                return true;
    return false;
}

void TCustomForm::HandleDialogKey(TMessage& Message) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (Message.WParam) {
    case VK_TAB:
        if (ctrl)
            break; // Ctrl+Tab: offered to the controls (page switching)
        SelectNext(activeControl_, !shift, true);
        Message.Result = 1;
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
            const bool forward = Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN;
            if (TWinControl* next = activeControl_->Parent()->FindNextControl(
                    activeControl_, forward, false, true)) {
                next->SetFocus();
                Message.Result = 1;
            }
        }
        return;
    default:
        break;
    }
    TWinControl::WndProc(Message); // Enter, Esc, Ctrl+Tab: the controls decide (Default, Cancel)
}

void TCustomForm::WndProc(TMessage& Message) {
    if (auto it = messageHandlers_.find(Message.Msg); it != messageHandlers_.end()) {
        TMessageHandler handler = it->second;
        handler(Message);
        return;
    }
    switch (Message.Msg) {
    case CM_VISIBLECHANGED:
        ShowWindowNow(Visible());
        return;
    case CM_DIALOGKEY:
        HandleDialogKey(Message);
        return;
    case WM_CLOSE:
        Close();
        return;
    case WM_ACTIVATE: {
        TWinControl::WndProc(Message);
        const bool activating = LOWORD(Message.WParam) != WA_INACTIVE;
        if (activating) {
            active_ = true;
            if (Screen != nullptr)
                Screen->SetActiveForm(this);
            if (Application != nullptr)
                Application->FormActivated(this);
            Activate();
            if (HIWORD(Message.WParam) == 0)
                SetFocusOnActivation();
        } else {
            active_ = false;
            Deactivate();
        }
        return;
    }
    case WM_GETMINMAXINFO: {
        TWinControl::WndProc(Message);
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        const TSizeConstraints& c = Constraints();
        if (c.MinWidth > 0)
            info->ptMinTrackSize.x = c.MinWidth;
        if (c.MinHeight > 0)
            info->ptMinTrackSize.y = c.MinHeight;
        if (c.MaxWidth > 0)
            info->ptMaxTrackSize.x = c.MaxWidth;
        if (c.MaxHeight > 0)
            info->ptMaxTrackSize.y = c.MaxHeight;
        return;
    }
    case WM_NCDESTROY:
        active_ = false;
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
