#pragma once

#include <windows.h>

// Brings window to the foreground. False when the window is disabled.
// Without restore: the result of SetForegroundWindow. With restore: false
// for an invisible window; a window that is not maximised is restored
// (WM_SYSCOMMAND SC_RESTORE), and the result is whether SetFocus on it
// succeeded.
bool BringWindowToFront(HWND window, bool restore);
