#include "raster/ThemeNexus_win.h"

#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/UtilityWindow_win.h"

namespace {

using OpenThemeDataFn = HTHEME_(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME_);
using BoolFn = BOOL(WINAPI*)();
using AnyFn = void (*)();

// The eleven functions, in the order they are looked up.
const char* const kNames[] = {"OpenThemeData",   "CloseThemeData", "DrawThemeBackground",
                              "DrawThemeEdge",   "GetThemeColor",  "GetThemeMetric",
                              "GetThemeMargins", "SetWindowTheme", "IsThemeActive",
                              "IsAppThemed",     "EnableTheming"};
constexpr int kOpen = 0, kClose = 1, kIsThemeActive = 8, kIsAppThemed = 9, kEnableTheming = 10;

HMODULE gLibrary = nullptr;
AnyFn gFunctions[11] = {};
std::string gTestPath;
TThemeNexus* gNexus = nullptr;

template <class F> F Fn(int i) {
    return reinterpret_cast<F>(gFunctions[i]);
}

} // namespace

void SetThemeLibraryPathForTests(const std::string& path) {
    gTestPath = path;
}

bool LoadThemes() {
    if (gLibrary == nullptr) {
        // Never by bare name: that would search the program's folder first.
        gLibrary =
            gTestPath.empty() ? LoadSystemLibrary("uxtheme.dll") : LoadLibraryA(gTestPath.c_str());
        if (gLibrary != nullptr) {
            for (int i = 0; i < 11; ++i)
                gFunctions[i] = reinterpret_cast<AnyFn>(
                    reinterpret_cast<void*>(GetProcAddress(gLibrary, kNames[i])));
            for (int essential : {kOpen, kClose, kIsThemeActive, kIsAppThemed, kEnableTheming}) {
                if (gFunctions[essential] == nullptr) {
                    FreeThemes();
                    break;
                }
            }
        }
    }
    return gLibrary != nullptr;
}

void FreeThemes() {
    if (gLibrary == nullptr)
        return;
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
    for (AnyFn& f : gFunctions)
        f = nullptr;
}

bool ThemesUsable() {
    return gLibrary != nullptr && Fn<BoolFn>(kIsAppThemed)() != 0 &&
           Fn<BoolFn>(kIsThemeActive)() != 0;
}

TThemeNexus::TThemeNexus() {
    window_ = CreateUtilityWindow(TWndMethod(this, &TThemeNexus::WndProc));
    Open();
}

TThemeNexus::~TThemeNexus() {
    Close();
    FreeThemes();
    DestroyUtilityWindow(window_);
}

void TThemeNexus::Open() {
    usable_ = false;
    if (LoadThemes())
        usable_ = ThemesUsable();
    if (usable_) {
        scrollBar_ = Fn<OpenThemeDataFn>(kOpen)(window_, L"SCROLLBAR");
        globals_ = Fn<OpenThemeDataFn>(kOpen)(window_, L"GLOBALS");
    }
}

void TThemeNexus::Close() {
    // The library stays loaded across a theme change: only the data are reopened.
    if (gLibrary != nullptr) {
        for (HTHEME_* theme : {&scrollBar_, &globals_}) {
            if (*theme != nullptr)
                Fn<CloseThemeDataFn>(kClose)(*theme);
            *theme = nullptr;
        }
    }
    scrollBar_ = nullptr;
    globals_ = nullptr;
}

void TThemeNexus::WndProc(TMessage& message) {
    if (message.Msg == WM_THEMECHANGED) {
        Close();
        Open();
    }
    message.Result = DefWindowProcA(window_, message.Msg, message.WParam, message.LParam);
}

TThemeNexus* ThemeNexus() {
    if (gNexus == nullptr)
        gNexus = new TThemeNexus();
    return gNexus;
}

void FreeThemeNexus() noexcept {
    delete gNexus;
    gNexus = nullptr;
}
