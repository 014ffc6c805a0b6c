#include "framework/graphics/ThemeServices_win.h"

#include <vssym32.h>

#include <string>

#include "framework/core/ExceptionReport.h"
#include "framework/graphics/GdiUtils_win.h"

namespace {

constexpr const char* kWindowClass = "TThemeServicesWindow";
const wchar_t* const kClassNames[tcClassCount] = {L"BUTTON",  L"COMBOBOX", L"EDIT",   L"EXPLORERBAR", L"GLOBALS",
                                                  L"SCROLLBAR", L"TAB",    L"TOOLBAR", L"WINDOW",     L"TREEVIEW"};
TThemeServices* gServices = nullptr;

// The module this code lives in (the program, or the band library).
HINSTANCE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
    return module;
}

// comctl32's major version as loaded in this process (0 when it is not loaded).
DWORD CommonControlsMajorVersion() {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    if (comctl == nullptr) return 0;
    struct DllVersionInfo {
        DWORD cbSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformID;
    };
    using DllGetVersionFn = HRESULT(CALLBACK*)(DllVersionInfo*);
    auto getVersion = reinterpret_cast<DllGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    if (getVersion == nullptr) return 0;
    DllVersionInfo info{sizeof info, 0, 0, 0, 0};
    return SUCCEEDED(getVersion(&info)) ? info.dwMajorVersion : 0;
}

// Whether the common controls 6 are in force for this thread's native
// controls. The manifest routes comctl32 to the side-by-side assembly (a DLL
// redirection of the activation context) before the module is loaded, so the
// answer does not depend on who loaded comctl32 first; without a redirection,
// the loaded module's own version decides.
bool CommonControlsSixInForce() {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    if (FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                 "comctl32.dll", &data))
        return true;
    return CommonControlsMajorVersion() >= 6;
}

template <class F>
F Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

HMODULE LoadSystemLibrary(const char* fileName) noexcept {
    char directory[MAX_PATH];
    const UINT n = GetSystemDirectoryA(directory, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::string path(directory, n);
    path += '\\';
    path += fileName;
    return LoadLibraryA(path.c_str());
}

TThemeServices::TThemeServices() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TThemeServices::WindowProc;
    wc.hInstance = OwnModule();
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              wc.hInstance, nullptr);
    if (window_ != nullptr) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Load();
}

TThemeServices::~TThemeServices() {
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    UnregisterClassA(kWindowClass, OwnModule());
    Unload();
}

void TThemeServices::Load() {
    library_ = LoadSystemLibrary("uxtheme.dll");
    if (library_ == nullptr) return;
    openThemeData_ = Lookup<OpenThemeDataFn>(library_, "OpenThemeData");
    closeThemeData_ = Lookup<CloseThemeDataFn>(library_, "CloseThemeData");
    drawThemeBackground_ = Lookup<DrawThemeBackgroundFn>(library_, "DrawThemeBackground");
    drawThemeParentBackground_ = Lookup<DrawThemeParentBackgroundFn>(library_, "DrawThemeParentBackground");
    getThemeColor_ = Lookup<GetThemeColorFn>(library_, "GetThemeColor");
    getThemeBackgroundContentRect_ = Lookup<GetThemeBackgroundContentRectFn>(library_, "GetThemeBackgroundContentRect");
    drawThemeEdge_ = Lookup<DrawThemeEdgeFn>(library_, "DrawThemeEdge");
    isAppThemed_ = Lookup<BoolFn>(library_, "IsAppThemed");
    isThemeActive_ = Lookup<BoolFn>(library_, "IsThemeActive");
    available_ = openThemeData_ && closeThemeData_ && drawThemeBackground_ && isAppThemed_ && isThemeActive_;
    if (!available_) {
        Unload();
        return;
    }
    enabled_ = isAppThemed_() && isThemeActive_() && CommonControlsSixInForce();
}

void TThemeServices::CloseThemes() {
    for (int i = 0; i < tcClassCount; ++i) {
        if (themes_[i] != nullptr && closeThemeData_ != nullptr) closeThemeData_(themes_[i]);
        themes_[i] = nullptr;
        tried_[i] = false;
    }
}

void TThemeServices::Unload() {
    CloseThemes();
    available_ = enabled_ = false;
    openThemeData_ = nullptr;
    closeThemeData_ = nullptr;
    drawThemeBackground_ = nullptr;
    drawThemeParentBackground_ = nullptr;
    getThemeColor_ = nullptr;
    getThemeBackgroundContentRect_ = nullptr;
    drawThemeEdge_ = nullptr;
    isAppThemed_ = isThemeActive_ = nullptr;
    if (library_ != nullptr) FreeLibrary(library_);
    library_ = nullptr;
}

HTHEME TThemeServices::Theme(TThemedClass themedClass) {
    if (!available_ || themedClass >= tcClassCount) return nullptr;
    if (!tried_[themedClass]) {
        tried_[themedClass] = true;
        themes_[themedClass] = openThemeData_(window_, kClassNames[themedClass]);
    }
    return themes_[themedClass];
}

bool TThemeServices::DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& rect, const TRect* clip) {
    HTHEME theme = Theme(details.Class);
    if (theme == nullptr) return false;
    const RECT r = ToRECT(rect);
    RECT c{};
    if (clip != nullptr) c = ToRECT(*clip);
    return SUCCEEDED(drawThemeBackground_(theme, dc, details.Part, details.State, &r, clip != nullptr ? &c : nullptr));
}

bool TThemeServices::DrawParentBackground(HWND window, HDC dc, const TRect* rect) {
    if (!enabled_ || drawThemeParentBackground_ == nullptr) return false;
    RECT r{};
    if (rect != nullptr) r = ToRECT(*rect);
    return SUCCEEDED(drawThemeParentBackground_(window, dc, rect != nullptr ? &r : nullptr));
}

bool TThemeServices::GetElementColor(const TThemedElementDetails& details, int propertyId, TColor& color) {
    HTHEME theme = Theme(details.Class);
    if (theme == nullptr || getThemeColor_ == nullptr) return false;
    COLORREF value = 0;
    if (FAILED(getThemeColor_(theme, details.Part, details.State, propertyId, &value))) return false;
    color = static_cast<TColor>(value & 0xFFFFFF);
    return true;
}

TRect TThemeServices::ContentRect(HDC dc, const TThemedElementDetails& details, const TRect& bounds) {
    HTHEME theme = Theme(details.Class);
    if (theme == nullptr || getThemeBackgroundContentRect_ == nullptr) return bounds;
    const RECT b = ToRECT(bounds);
    RECT out{};
    if (FAILED(getThemeBackgroundContentRect_(theme, dc, details.Part, details.State, &b, &out))) return bounds;
    return {out.left, out.top, out.right, out.bottom};
}

bool TThemeServices::DrawEdge(HDC dc, const TThemedElementDetails& details, const TRect& rect, unsigned edge,
                              unsigned flags, TRect* contentRect) {
    HTHEME theme = Theme(details.Class);
    if (theme == nullptr || drawThemeEdge_ == nullptr) return false;
    const RECT r = ToRECT(rect);
    RECT out{};
    if (FAILED(drawThemeEdge_(theme, dc, details.Part, details.State, &r, edge, flags, contentRect ? &out : nullptr)))
        return false;
    if (contentRect != nullptr) *contentRect = {out.left, out.top, out.right, out.bottom};
    return true;
}

bool TThemeServices::PaintBorder(HWND window, HDC dc, bool enabled) {
    if (!enabled_ || window == nullptr || dc == nullptr) return false;
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    SIZE edge{};
    if ((exStyle & WS_EX_CLIENTEDGE) != 0)
        edge = {GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE)};
    else if ((style & WS_BORDER) != 0)
        edge = {GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)};
    else
        return false;
    HTHEME theme = Theme(tcEdit);
    if (theme == nullptr) return false;
    RECT bounds{};
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    const int saved = SaveDC(dc);
    // Only the edge: the element's interior would cover the scroll bars.
    ExcludeClipRect(dc, bounds.left + edge.cx, bounds.top + edge.cy, bounds.right - edge.cx,
                    bounds.bottom - edge.cy);
    const bool painted = SUCCEEDED(
        drawThemeBackground_(theme, dc, EP_EDITTEXT, enabled ? ETS_NORMAL : ETS_DISABLED, &bounds, nullptr));
    RestoreDC(dc, saved);
    return painted;
}

void TThemeServices::ApplyThemeChange() {
    CloseThemes();
    enabled_ = available_ && isAppThemed_() && isThemeActive_() && CommonControlsSixInForce();
    if (OnThemeChange) OnThemeChange(nullptr);
}

LRESULT CALLBACK TThemeServices::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_THEMECHANGED) {
        auto* self = reinterpret_cast<TThemeServices*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        // Nothing may leave a window procedure: a failing handler is reported.
        try {
            if (self != nullptr) self->ApplyThemeChange();
        } catch (...) {
            ReportException(nullptr);
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TThemeServices* ThemeServices() {
    if (gServices == nullptr) gServices = new TThemeServices();
    return gServices;
}

void FreeThemeServices() noexcept {
    delete gServices;
    gServices = nullptr;
}
