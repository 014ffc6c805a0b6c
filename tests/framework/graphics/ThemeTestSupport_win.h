#pragma once

#include <windows.h>
#include <uxtheme.h>

// Whether the process's native controls draw with visual styles: a themed
// BUTTON (the common controls 6 one, which the manifest brings) opens its
// theme when it is created; the classic one never does.
inline bool NativeControlsThemed() {
    HMODULE uxtheme = LoadLibraryA("uxtheme.dll");
    if (uxtheme == nullptr)
        return false;
    using GetWindowThemeFn = HTHEME(WINAPI*)(HWND);
    auto getWindowTheme = reinterpret_cast<GetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetWindowTheme")));
    HWND button = CreateWindowExA(0, "Button", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    const bool themed =
        getWindowTheme != nullptr && button != nullptr && getWindowTheme(button) != nullptr;
    DestroyWindow(button);
    FreeLibrary(uxtheme);
    return themed;
}
