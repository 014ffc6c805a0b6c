#pragma once

#include <string>

#include "desktops/WindowHandle.h"

// The side effects of the desktop engine that belong to the manager window: its menu and tray
// marks, the tray icon and hint, the status bar, the wallpaper, the band, the tree. The manager
// window implements it. During a switch a failure in any of these is caught by the engine and
// does not stop the switch; in the list operations an exception passes to the caller.
class TDesktopView {
public:
    virtual ~TDesktopView() = default;

    // The manager window and the application window (the framework's hidden top-level window):
    // never listed. 0 while they do not exist.
    virtual TWindowHandle ManagerWindow() = 0;
    virtual TWindowHandle ApplicationWindow() = 0;

    // Checks or unchecks the desktop's action Desk<N>Act and tray menu item TI_Desktop<N>
    // (desk is 0 to 3, N = desk + 1).
    virtual void SetDeskChecked(int desk, bool checked) = 0;
    // The notification icon's hint ("Desktop 1" ... "Desktop 4").
    virtual void SetTrayHint(const std::string& text) = 0;
    // The simple text of StatusBar1 ("  Active Desktop: 1" ...).
    virtual void SetStatusText(const std::string& text) = 0;
    // The notification icon takes image `desk` of ImageList1.
    virtual void SetTrayIcon(int desk) = 0;
    // Applies the wallpaper chosen for the desktop (setWallpaper).
    virtual void ApplyWallpaper(int desk) = 0;
    // When a band is known, posts WM_ACTIVEDESK1 + desk to it; otherwise nothing.
    virtual void PostActiveDesk(int desk) = 0;

    // Whether the manager window is visible, and bringing the application window to the
    // foreground so that the manager window stays in front.
    virtual bool IsManagerVisible() = 0;
    virtual void BringApplicationToFront() = 0;

    // The window of the selected node of TreeView1; 0 when no window node is selected.
    virtual TWindowHandle SelectedWindow() = 0;
    // Rebuilds the tree from the lists (RefreshTree).
    virtual void RefreshTree() = 0;
};
