#include "framework/gui/UtilityWindow_win.h"

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/WindowPlumbing_win.h"

namespace {

LRESULT CALLBACK UtilityWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (method == nullptr || !*method)
        return DefWindowProcA(window, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    // The method may destroy the window (a timer freed in its own handler):
    // copy the delegate and touch nothing of the window afterwards.
    TWndMethod call = *method;
    try {
        call(m);
    } catch (...) {
        ReportException(nullptr);
    }
    return m.Result;
}

void RegisterUtilityClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(LibraryInstance(), kUtilityWindowClass, &wc))
        return;
    wc.lpfnWndProc = &UtilityWndProc;
    wc.hInstance = LibraryInstance();
    wc.lpszClassName = kUtilityWindowClass;
    if (RegisterClassA(&wc) == 0)
        throw EInvalidOperation("Cannot register the utility window class");
}

} // namespace

HWND CreateUtilityWindow(TWndMethod Method) {
    RegisterUtilityClass();
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilityWindowClass, "", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, LibraryInstance(), nullptr);
    if (window == nullptr)
        throw EInvalidOperation("Cannot create a utility window");
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(Method)));
    return window;
}

void DestroyUtilityWindow(HWND Window) noexcept {
    if (Window == nullptr || !IsWindow(Window))
        return;
    auto* method = reinterpret_cast<TWndMethod*>(SetWindowLongPtrA(Window, GWLP_USERDATA, 0));
    delete method;
    DestroyWindow(Window);
}

void UnregisterUtilityClass() noexcept {
    UnregisterClassA(kUtilityWindowClass, LibraryInstance());
}
