#pragma once

#include <windows.h>
#include <uxtheme.h>

#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/Types.h"

// The visual-style classes the library and the toolkit draw with.
enum TThemedClass : std::uint8_t {
    tcButton,       // "BUTTON"
    tcComboBox,     // "COMBOBOX"
    tcEdit,         // "EDIT"
    tcExplorerBar,  // "EXPLORERBAR" (missing from some themes: classic drawing then)
    tcGlobals,      // "GLOBALS"
    tcScrollBar,    // "SCROLLBAR"
    tcTab,          // "TAB"
    tcToolBar,      // "TOOLBAR"
    tcWindow,       // "WINDOW"
    tcTreeView,     // "TREEVIEW"
    tcClassCount
};

// One themed element: class, part and state numbers of the visual style.
struct TThemedElementDetails {
    TThemedClass Class = tcButton;
    int Part = 0;
    int State = 0;
};

// Loads a library from the system directory (never from the program's folder
// or the current directory). The caller owns the reference (FreeLibrary).
HMODULE LoadSystemLibrary(const char* fileName) noexcept;

// Theme services: whether visual styles are in use, and themed drawing.
//
// uxtheme is loaded from the system directory at run time, its functions
// looked up by name. Theme handles are opened per class on first use with
// the services' own hidden window and all closed and reopened lazily after
// WM_THEMECHANGED, which that window receives (it is a broadcast). A class
// the theme cannot open counts as unthemed: the drawing calls answer false
// and the caller draws the classic way, never a blank.
class TThemeServices {
public:
    TThemeServices();
    ~TThemeServices();
    TThemeServices(const TThemeServices&) = delete;
    TThemeServices& operator=(const TThemeServices&) = delete;

    // uxtheme loaded with the functions drawing needs.
    bool ThemesAvailable() const noexcept { return available_; }
    // Available, IsAppThemed, IsThemeActive, and comctl32 6 or later in the
    // process (the manifest decides whether native controls draw themed, and
    // this must agree with them).
    bool ThemesEnabled() const noexcept { return enabled_; }

    // The theme handle of a class, 0 when themes are unavailable or the
    // class cannot be opened.
    HTHEME Theme(TThemedClass themedClass);

    // Draws the element into rect (clipped to clip when given). False when
    // the class is not themed: the caller draws it classically.
    bool DrawElement(HDC dc, const TThemedElementDetails& details, const TRect& rect, const TRect* clip = nullptr);
    // The themed parent's background behind window's rect (the whole client
    // area when rect is nullptr) into dc. False when themes are off.
    bool DrawParentBackground(HWND window, HDC dc, const TRect* rect);
    // A colour property (TMT_TEXTCOLOR, TMT_FILLCOLOR, ...) of the element.
    bool GetElementColor(const TThemedElementDetails& details, int propertyId, TColor& color);
    // The content area of the element drawn in bounds; bounds itself when
    // the class is not themed.
    TRect ContentRect(HDC dc, const TThemedElementDetails& details, const TRect& bounds);
    // The themed edge; false when the class is not themed.
    bool DrawEdge(HDC dc, const TThemedElementDetails& details, const TRect& rect, unsigned edge, unsigned flags,
                  TRect* contentRect = nullptr);

    // The themed border of a control's window (WS_EX_CLIENTEDGE or
    // WS_BORDER) over its non-client edge, in the normal or the disabled
    // state, into dc (origin at the window's top-left corner: a window DC or
    // a WM_PRINT DC); scroll bars and the client area stay as they are.
    // False when themes are off or the window has no such border: the
    // default drawing stands.
    bool PaintBorder(HWND window, HDC dc, bool enabled);

    // Closes every theme handle and reads the enabled state again; then
    // OnThemeChange. Runs on WM_THEMECHANGED; callable directly.
    void ApplyThemeChange();
    TNotifyEvent OnThemeChange;

    // The hidden window that receives WM_THEMECHANGED.
    HWND Window() const noexcept { return window_; }

private:
    void Load();
    void Unload();
    void CloseThemes();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HMODULE library_ = nullptr;
    bool available_ = false;
    bool enabled_ = false;
    HWND window_ = nullptr;
    HTHEME themes_[tcClassCount] = {};
    bool tried_[tcClassCount] = {};

    using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
    using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
    using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
    using GetThemeColorFn = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
    using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
    using DrawThemeEdgeFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*);
    using BoolFn = BOOL(WINAPI*)();
    OpenThemeDataFn openThemeData_ = nullptr;
    CloseThemeDataFn closeThemeData_ = nullptr;
    DrawThemeBackgroundFn drawThemeBackground_ = nullptr;
    DrawThemeParentBackgroundFn drawThemeParentBackground_ = nullptr;
    GetThemeColorFn getThemeColor_ = nullptr;
    GetThemeBackgroundContentRectFn getThemeBackgroundContentRect_ = nullptr;
    DrawThemeEdgeFn drawThemeEdge_ = nullptr;
    BoolFn isAppThemed_ = nullptr;
    BoolFn isThemeActive_ = nullptr;
};

// The shared theme services, made on first use (never at start-up of the
// module: it creates a window).
TThemeServices* ThemeServices();
// Frees the shared object (window destroyed, window class unregistered, library freed).
void FreeThemeServices() noexcept;
