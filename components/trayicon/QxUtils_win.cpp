#include "components/trayicon/QxUtils_win.h"

bool BringWindowToFront(HWND window, bool restore) {
    if (!IsWindowEnabled(window))
        return false;
    const bool foreground = SetForegroundWindow(window) != FALSE;
    if (!restore)
        return foreground;
    if (!IsWindowVisible(window))
        return false;
    if (!IsZoomed(window))
        SendMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return SetFocus(window) != nullptr;
}
