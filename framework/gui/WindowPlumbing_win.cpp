#include "framework/gui/WindowPlumbing_win.h"

#include <vector>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/MessageRules.h"
#include "framework/gui/WinControl_win.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

std::vector<std::string> gRegisteredClasses;

// The object whose window CreateWindowExA is making on this thread; linked
// at the window's very first moment (HCBT_CREATEWND), before WM_GETMINMAXINFO
// and WM_NCCREATE, so no message of the window is missed.
thread_local TWinControl* tCreating = nullptr;
thread_local HHOOK tCreateHook = nullptr;
thread_local int tCreateDepth = 0;

// The property that links a window to its control. Its name carries the module, so that two
// copies of the library in one process (a program and a DLL) never take each other's windows.
ATOM LinkAtom() {
    static ATOM atom = [] {
        char name[64];
        wsprintfA(name, "QuorvaneControlLink%p", static_cast<void*>(LibraryInstance()));
        return AddAtomA(name);
    }();
    return atom;
}

TWinControl* LinkedControl(HWND Window) noexcept {
    return static_cast<TWinControl*>(GetPropA(Window, MAKEINTATOM(LinkAtom())));
}

} // namespace

HINSTANCE LibraryInstance() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool IsLibrary() noexcept {
    return LibraryInstance() != GetModuleHandleA(nullptr);
}

void RegisterFrameworkClass(const std::string& Name, UINT Style) {
    WNDCLASSA existing{};
    if (GetClassInfoA(LibraryInstance(), Name.c_str(), &existing))
        return;
    WNDCLASSA wc{};
    wc.style = Style;
    wc.lpfnWndProc = &FrameworkWndProc;
    wc.hInstance = LibraryInstance();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = Name.c_str();
    if (RegisterClassA(&wc) == 0)
        throw EInvalidOperation("Cannot register the window class " + Name);
    gRegisteredClasses.push_back(Name);
}

void UnregisterFrameworkClasses() noexcept {
    for (const std::string& name : gRegisteredClasses)
        UnregisterClassA(name.c_str(), LibraryInstance());
    gRegisteredClasses.clear();
}

struct TWindowPlumbing {
    static LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam) {
        if (Code == HCBT_CREATEWND && tCreating != nullptr) {
            HWND window = reinterpret_cast<HWND>(WParam);
            TWinControl* control = tCreating;
            tCreating = nullptr;
            SetPropA(window, MAKEINTATOM(LinkAtom()), control);
            control->handle_ = window;
            if (control->native_) {
                control->defWndProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                    window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWndProc)));
            } else {
                control->defWndProc_ = &DefWindowProcA;
            }
        }
        return CallNextHookEx(nullptr, Code, WParam, LParam);
    }

    static HWND Create(TWinControl* Control, const TCreateParams& P) {
        TWinControl* outer = tCreating;
        tCreating = Control;
        if (tCreateDepth++ == 0)
            tCreateHook = SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, GetCurrentThreadId());
        HWND window =
            CreateWindowExA(P.ExStyle, P.WinClassName.c_str(), P.Caption.c_str(), P.Style, P.X, P.Y,
                            P.Width, P.Height, P.WndParent, nullptr, LibraryInstance(), P.Param);
        if (--tCreateDepth == 0) {
            UnhookWindowsHookEx(tCreateHook);
            tCreateHook = nullptr;
        }
        tCreating = outer;
        return window;
    }

    static void Unlink(HWND Window, TWinControl* Control) noexcept {
        RemovePropA(Window, MAKEINTATOM(LinkAtom()));
        if (Control->native_ && Control->defWndProc_ != nullptr)
            SetWindowLongPtrA(Window, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(Control->defWndProc_));
        Control->DetachHandle();
    }
};

HWND CreateFrameworkWindow(TWinControl* Control, const TCreateParams& Params) {
    return TWindowPlumbing::Create(Control, Params);
}

TWinControl* TWinControl::FindControl(HWND Window) noexcept {
    if (Window == nullptr)
        return nullptr;
    // Any window may be asked about (the one under the pointer, say). Properties can be read
    // across processes, and a window of another process running this library carries a link
    // of the same number: its value is an address there, not here.
    DWORD pid = 0;
    if (GetWindowThreadProcessId(Window, &pid) == 0 || pid != GetCurrentProcessId())
        return nullptr;
    return LinkedControl(Window);
}

LRESULT CALLBACK FrameworkWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    // The window procedure is ours, so the window is this process's.
    TWinControl* control = LinkedControl(Window);
    if (control == nullptr)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    // Our own code reaches private notifications only through Perform; here
    // they came from the window system, possibly from another process.
    if (!IsForeignMessageAllowed(Msg))
        return 0;
    TMessage m{Msg, WParam, LParam, 0};
    try {
        control->WindowProc(m);
    } catch (...) {
        ReportException(control);
    }
    if (Msg == WM_NCDESTROY)
        TWindowPlumbing::Unlink(Window, control);
    return m.Result;
}
