#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/Message_win.h"

// The library's own hold on the visual styles: uxtheme loaded from the system folder, its
// functions looked up by name, and theme data for "SCROLLBAR" and "GLOBALS" kept open for a
// hidden window, reopened whenever the system theme changes (WM_THEMECHANGED, which any process
// may post: every change closes what it opened before, so nothing accumulates).

using HTHEME_ = HANDLE;

// Loads uxtheme once and binds the eleven functions; a missing essential function unloads it
// again. Answers whether the library is loaded.
bool LoadThemes();
// Unloads the library and clears the functions.
void FreeThemes();
// Loaded, and the application is themed and the theme active.
bool ThemesUsable();
// The file LoadThemes loads, instead of uxtheme.dll from the system folder (tests); "" restores
// the system library. Takes effect at the next load.
void SetThemeLibraryPathForTests(const std::string& path);

class TThemeNexus {
public:
    // Makes the hidden window and opens the theme data. Never call this inside DllMain.
    TThemeNexus();
    // Closes the theme data and releases the window and the library.
    ~TThemeNexus();
    TThemeNexus(const TThemeNexus&) = delete;
    TThemeNexus& operator=(const TThemeNexus&) = delete;

    bool Usable() const noexcept { return usable_; }
    HTHEME_ ScrollBarTheme() const noexcept { return scrollBar_; }
    HTHEME_ GlobalsTheme() const noexcept { return globals_; }
    HWND Window() const noexcept { return window_; }

private:
    void Open();
    void Close();
    void WndProc(TMessage& message);

    HWND window_ = nullptr;
    bool usable_ = false;
    HTHEME_ scrollBar_ = nullptr;
    HTHEME_ globals_ = nullptr;
};

// The shared nexus, made on first use on the calling (GUI) thread: in the band library the
// first band window asks for it, so nothing of it runs under the loader lock.
TThemeNexus* ThemeNexus();
// Frees the shared nexus; the band library calls it before it can be unloaded, the program at
// its end.
void FreeThemeNexus() noexcept;
