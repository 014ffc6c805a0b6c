#pragma once

#include <windows.h>

#include "framework/gui/Message_win.h"

// Hidden top-level windows for components without a control (timers, the
// tray icon, theme tracking, menu owners). Never message-only windows:
// those miss broadcasts such as WM_THEMECHANGED and "TaskbarCreated". The
// class name is fixed ("TQuorvaneUtilWindow"), no controls layer sits on
// it, and every message reaches Method, private numbers (such as the tray
// callback) included. Exceptions from Method go to the application's
// handler. Unhandled messages: Method leaves Result, or calls
// DefWindowProcA itself.
inline constexpr const char* kUtilityWindowClass = "TQuorvaneUtilWindow";

HWND CreateUtilityWindow(TWndMethod Method);
// Destroys the window; Method is not called afterwards.
void DestroyUtilityWindow(HWND Window) noexcept;
