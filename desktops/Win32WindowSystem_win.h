#pragma once

#include <windows.h>

#include "desktops/WindowSystem.h"

// The window system of the desktop engine over user32 and kernel32.
class TWin32WindowSystem : public TWindowSystem {
public:
    // Conversions at the seam: a window handle keeps its 32 significant bits; going back it is
    // sign-extended, as 64-bit Windows extends handles that pass through 32-bit code.
    static TWindowHandle FromHwnd(HWND window) noexcept {
        return static_cast<TWindowHandle>(reinterpret_cast<std::uintptr_t>(window));
    }
    static HWND ToHwnd(TWindowHandle window) noexcept {
        return reinterpret_cast<HWND>(
            static_cast<std::intptr_t>(static_cast<std::int32_t>(window)));
    }

    std::vector<TWindowHandle> TopLevelWindows() override;
    bool Exists(TWindowHandle window) override;
    bool IsVisible(TWindowHandle window) override;
    int TitleLength(TWindowHandle window) override;
    TWindowHandle Parent(TWindowHandle window) override;
    TWindowHandle Owner(TWindowHandle window) override;
    TProcessId ProcessOf(TWindowHandle window) override;
    std::optional<std::uint64_t> ProcessCreationTime(TProcessId process) override;
    bool IsHung(TWindowHandle window) override;
    bool Show(TWindowHandle window) override;
    bool Hide(TWindowHandle window) override;
    bool ShowAsync(TWindowHandle window) override;
    bool HideAsync(TWindowHandle window) override;
    TWindowHandle Foreground() override;
    void SetForeground(TWindowHandle window) override;
    TWindowHandle ShellDesktopWindow() override;
};
