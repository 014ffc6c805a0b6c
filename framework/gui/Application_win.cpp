#include "framework/gui/Application_win.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <vector>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/graphics/ControlCanvas_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Screen_win.h"
#include "framework/gui/WindowPlumbing_win.h"

TApplication* Application = nullptr;

void UnregisterUtilityClass() noexcept;

namespace {

constexpr const char* kApplicationClass = "TApplication";
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;

// ShowHint holds for a control and every parent up to the form.
bool HintAllowed(TControl* control) {
    return control != nullptr && control->ShowHint() && !control->Hint().empty();
}

struct TStartupHook {
    TStartupStage Stage;
    TStartupProc Start;
    TStartupProc Stop;
};
std::vector<TStartupHook> gHooks;
std::vector<TStartupHook> gStartedHooks;
bool gStarted = false;

void ApplicationReporter(TObject* sender, std::exception_ptr error) noexcept {
    try {
        if (Application != nullptr)
            Application->HandleException(sender, error);
    } catch (...) {
    }
}

std::uint32_t SystemColorResolver(int index) {
    return GetSysColor(index);
}

// The window a control's canvas draws on: its own, or its parent's for a
// window-less control.
HWND CanvasWindow(TControl* control) {
    if (auto* w = dynamic_cast<TWinControl*>(control))
        return w->Handle();
    return control->Parent() != nullptr ? control->Parent()->Handle() : nullptr;
}

HDC AcquireControlDC(TObject* object) {
    auto* control = dynamic_cast<TControl*>(object);
    if (control == nullptr)
        return nullptr;
    HWND window = CanvasWindow(control);
    if (window == nullptr)
        return nullptr;
    HDC dc = GetDC(window);
    if (dc != nullptr && dynamic_cast<TWinControl*>(control) == nullptr) {
        SetViewportOrgEx(dc, control->Left(), control->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    }
    return dc;
}

void ReleaseControlDC(TObject* object, HDC dc) {
    auto* control = dynamic_cast<TControl*>(object);
    HWND window = control != nullptr ? CanvasWindow(control) : nullptr;
    ReleaseDC(window, dc);
}

// The library's control for a window or its nearest ancestor that has one
// (a combo box's inner edit belongs to the combo box).
TWinControl* ControlOfWindow(HWND window) {
    for (HWND w = window; w != nullptr; w = GetParent(w))
        if (TWinControl* c = TWinControl::FindControl(w))
            return c;
    return nullptr;
}

std::string ExceptionText(const std::exception_ptr& error, bool& silent) {
    silent = false;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        silent = true;
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown exception";
    }
    return {};
}

} // namespace

LRESULT CALLBACK ApplicationWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Application == nullptr || Application->handle_ != window)
        return DefWindowProcA(window, msg, wParam, lParam);
    try {
        return Application->WndProc(msg, wParam, lParam);
    } catch (...) {
        ReportException(Application);
        return 0;
    }
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    library_ = ::IsLibrary();
    std::string exe = ExeName();
    size_t slash = exe.find_last_of("\\/");
    title_ = slash == std::string::npos ? exe : exe.substr(slash + 1);
    if (size_t dot = title_.rfind('.'); dot != std::string::npos)
        title_.erase(dot);
    if (!library_)
        CreateHandle();
}

TApplication::~TApplication() {
    if (handle_ != nullptr) {
        HWND window = handle_;
        handle_ = nullptr;
        DestroyWindow(window);
    }
    if (comInitialized_)
        CoUninitialize();
}

void TApplication::CreateHandle() {
    WNDCLASSA wc{};
    if (!GetClassInfoA(LibraryInstance(), kApplicationClass, &wc)) {
        wc.lpfnWndProc = &ApplicationWndProc;
        wc.hInstance = LibraryInstance();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconA(LibraryInstance(), "MAINICON");
        wc.lpszClassName = kApplicationClass;
        if (RegisterClassA(&wc) == 0)
            throw EInvalidOperation("Cannot register the application window class");
    }
    // Never shown, 0 x 0; owner of every form, so the forms get no taskbar
    // buttons and GetParent of a form answers this window.
    handle_ = CreateWindowExA(0, kApplicationClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, LibraryInstance(), nullptr);
    if (handle_ == nullptr)
        throw Exception::CreateFmt<EInvalidOperation>(
            "Cannot create the application window (system error %d)",
            {static_cast<int>(GetLastError())});
}

LRESULT TApplication::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
    case WM_ACTIVATE:
    case WM_SETFOCUS:
        if (Msg == WM_SETFOCUS || LOWORD(WParam) != WA_INACTIVE) {
            // The application window itself is never what the user wants in
            // front: hand the activation on to a form.
            if (TCustomForm* target = ActivationTarget();
                target != nullptr && target->HandleAllocated())
                SetForegroundWindow(target->Handle());
        }
        return 0;
    case WM_TIMER:
        KillTimer(handle_, WParam);
        if (WParam == kHintShowTimer)
            ActivateHint();
        else if (WParam == kHintHideTimer)
            CancelHint();
        return 0;
    case WM_CLOSE:
        if (mainForm_ != nullptr)
            mainForm_->Close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (WParam != 0 && OnEndSession)
            OnEndSession(this);
        return 0;
    default:
        return DefWindowProcA(handle_, Msg, WParam, LParam);
    }
}

TCustomForm* TApplication::ActivationTarget() const {
    auto usable = [](TCustomForm* f) {
        return f != nullptr && f->HandleAllocated() && IsWindowVisible(f->Handle()) &&
               IsWindowEnabled(f->Handle());
    };
    if (modalForm_ != nullptr && modalForm_->HandleAllocated() &&
        IsWindowVisible(modalForm_->Handle()))
        return modalForm_;
    if (usable(lastActiveForm_))
        return lastActiveForm_;
    if (mainForm_ != nullptr && mainForm_->HandleAllocated() &&
        IsWindowVisible(mainForm_->Handle()))
        return mainForm_;
    return nullptr;
}

void TApplication::Initialize() {
    if (!comInitialized_) {
        HRESULT hr = CoInitialize(nullptr);
        comInitialized_ = SUCCEEDED(hr);
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                              ICC_BAR_CLASSES | ICC_HOTKEY_CLASS | ICC_TAB_CLASSES |
                                              ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
}

void TApplication::SetTitle(const std::string& Value) {
    title_ = Value;
    if (handle_ != nullptr)
        SetWindowTextA(handle_, Value.c_str());
}

std::string TApplication::ExeName() const {
    char path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

void TApplication::Run() {
    if (library_)
        return;
    if (ShowMainForm && mainForm_ != nullptr)
        CallReporting(this, [&] { mainForm_->Show(); });
    while (!terminated_)
        HandleMessage();
    // The forms go last-created first, each window alive during its OnDestroy.
    DestroyComponents();
}

void TApplication::Terminate() {
    if (library_)
        return;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage() {
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    try {
        bool handled = false;
        if (OnMessage)
            OnMessage(msg, handled);
        if (!handled && !IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } catch (...) {
        HandleException(this);
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage())
        Idle();
}

void TApplication::Idle() {
    bool done = true;
    try {
        // Mouse enter/leave for every control, window-less ones included.
        POINT p{};
        GetCursorPos(&p);
        TControl* over = nullptr;
        if (TWinControl* w = TWinControl::FindControl(WindowFromPoint(p))) {
            POINT local = p;
            ScreenToClient(w->Handle(), &local);
            over = w->ControlAtPos(Point(local.x, local.y), true, false);
            if (over == nullptr)
                over = w;
        }
        SetMouseControl(over);
        HintMouseMoved(over);
        if (OnIdle)
            OnIdle(this, done);
    } catch (...) {
        HandleException(this);
    }
    if (done && !terminated_)
        WaitMessage();
}

bool TApplication::IsKeyMsg(MSG& Msg) {
    const UINT m = Msg.message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_CHAR && m != WM_SYSCHAR)
        return false;
    TWinControl* control = ControlOfWindow(Msg.hwnd);
    if (control == nullptr)
        return false;
    TCustomForm* form = control->GetParentForm();
    if (form == nullptr)
        form = dynamic_cast<TCustomForm*>(control);
    if (form == nullptr)
        return false;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        TMessage shortcut{CN_BASE + m, Msg.wParam, Msg.lParam, 0};
        if (form->IsShortCut(shortcut))
            return true;
        if (m == WM_SYSKEYDOWN)
            return false;
        UINT want = 0;
        switch (Msg.wParam) {
        case VK_TAB:
            want = DLGC_WANTTAB;
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            want = DLGC_WANTARROWS;
            break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_EXECUTE:
        case VK_CANCEL:
            want = DLGC_WANTMESSAGE;
            break;
        default:
            return false;
        }
        const LRESULT code =
            SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg));
        // A multi-line edit asks for all keys, yet Tab leaves it as it leaves a dialog's: only
        // a control that asks for Tab itself keeps it.
        const UINT wanted = Msg.wParam == VK_TAB ? want : (want | DLGC_WANTALLKEYS);
        if ((code & wanted) != 0)
            return false;
        return form->Perform(CM_DIALOGKEY, Msg.wParam, Msg.lParam) != 0;
    }
    // Characters: a control that takes them gets them; the others offer them
    // as dialog characters (accelerators) first.
    if (m == WM_CHAR) {
        const LRESULT code =
            SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg));
        if ((code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_HASSETSEL)) != 0)
            return false;
    }
    return form->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) == 1;
}

void TApplication::HandleException(TObject*, std::exception_ptr Error) {
    if (!Error)
        return;
    if (OnException) {
        OnException(this, Error);
        return;
    }
    ShowException(Error);
}

void TApplication::HandleException(TObject* Sender) {
    HandleException(Sender, std::current_exception());
}

void TApplication::ShowException(const std::exception_ptr& E) {
    bool silent = false;
    const std::string text = ExceptionText(E, silent);
    if (silent || library_)
        return;
    MessageBoxA(handle_, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

bool TApplication::HelpCommand(UINT Command, ULONG_PTR Data) {
    bool callHelp = true;
    bool result = false;
    if (OnHelp)
        result =
            OnHelp(static_cast<std::uint16_t>(Command), static_cast<std::intptr_t>(Data), callHelp);
    if (callHelp && !HelpFile.empty())
        result = WinHelpA(handle_, HelpFile.c_str(), Command, Data) != FALSE;
    return result;
}

void TApplication::HintMouseMoved(TControl* Control) {
    if (Control == hintControl_ || library_)
        return;
    CancelHint();
    hintControl_ = Control;
    if (ShowHint && HintAllowed(Control))
        SetTimer(handle_, kHintShowTimer, static_cast<UINT>(HintPause), nullptr);
}

void TApplication::CancelHint() {
    if (handle_ != nullptr) {
        KillTimer(handle_, kHintShowTimer);
        KillTimer(handle_, kHintHideTimer);
    }
    if (hintWindow_ != nullptr)
        hintWindow_->ReleaseHandle();
}

void TApplication::ControlGone(TControl* Control) noexcept {
    if (hintControl_ != Control)
        return;
    hintControl_ = nullptr;
    if (handle_ != nullptr)
        KillTimer(handle_, kHintShowTimer);
}

void TApplication::ActivateHint() {
    TControl* control = hintControl_;
    if (control == nullptr || !HintAllowed(control))
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    THintInfo info;
    info.HintControl = control;
    info.HintColor = HintColor;
    info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    info.CursorPos = control->ScreenToClient(Point(cursor.x, cursor.y));
    info.CursorRect = control->ClientRect();
    info.HintPos = Point(cursor.x, cursor.y + 20);
    info.HintStr = control->Hint();
    info.HideTimeout = HintHidePause;
    // The control (or the toolkit layer on it) may change or veto the hint.
    if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 ||
        info.HintStr.empty())
        return;
    if (hintWindow_ == nullptr)
        hintWindow_ = Create<THintWindow>(this);
    hintWindow_->SetColor(info.HintColor);
    TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, info.HintStr);
    r = Bounds(info.HintPos.X, info.HintPos.Y, r.Width(), r.Height());
    hintWindow_->ActivateHint(r, info.HintStr);
    if (info.HideTimeout > 0)
        SetTimer(handle_, kHintHideTimer, static_cast<UINT>(info.HideTimeout), nullptr);
}

void TApplication::FormGone(TCustomForm* Form) noexcept {
    if (mainForm_ == Form)
        mainForm_ = nullptr;
    if (modalForm_ == Form)
        modalForm_ = nullptr;
    if (lastActiveForm_ == Form)
        lastActiveForm_ = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == hintWindow_)
        hintWindow_ = nullptr;
    if (Operation == opRemove)
        if (auto* form = dynamic_cast<TCustomForm*>(AComponent))
            FormGone(form);
    TComponent::Notification(AComponent, Operation);
}

void AddStartupHook(TStartupStage Stage, TStartupProc Start, TStartupProc Stop) {
    gHooks.push_back({Stage, Start, Stop});
}

bool IsStarted() noexcept {
    return gStarted;
}

void Startup() {
    if (gStarted)
        return;
    SetSysColorResolver(&SystemColorResolver);
    SetExceptionReporter(&ApplicationReporter);
    TControlCanvas::SetDeviceContextHooks({&AcquireControlDC, &ReleaseControlDC});
    Application = Create<TApplication>(nullptr);
    Screen = Create<TScreen>(nullptr);
    Mouse = new TMouse;
    gStarted = true;
    std::vector<TStartupHook> hooks = gHooks;
    std::stable_sort(hooks.begin(), hooks.end(), [](const TStartupHook& a, const TStartupHook& b) {
        return a.Stage < b.Stage;
    });
    for (const TStartupHook& h : hooks) {
        if (h.Start != nullptr)
            h.Start();
        gStartedHooks.push_back(h);
    }
}

void Shutdown() noexcept {
    if (!gStarted)
        return;
    while (!gStartedHooks.empty()) {
        TStartupHook h = gStartedHooks.back();
        gStartedHooks.pop_back();
        if (h.Stop != nullptr)
            CallReporting(nullptr, [&] { h.Stop(); });
    }
    FreeAndNil(Application);
    FreeAndNil(Screen);
    // Its hidden window and class belong to this module: a library must not
    // leave them behind, and a program starting again gets fresh ones.
    FreeThemeServices();
    delete Mouse;
    Mouse = nullptr;
    // A quit request left by a modal loop must not end the next loop.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    if (IsLibrary()) {
        UnregisterFrameworkClasses();
        UnregisterClassA(kApplicationClass, LibraryInstance());
    }
    if (IsLibrary())
        UnregisterUtilityClass();
    TControlCanvas::SetDeviceContextHooks({});
    SetExceptionReporter(nullptr);
    SetSysColorResolver(nullptr);
    gStarted = false;
}
