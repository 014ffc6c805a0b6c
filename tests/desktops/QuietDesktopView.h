#pragma once

#include "desktops/DesktopView.h"

// A manager window that is not there: no side effects, no manager or application window. For
// driving the engine against real windows where only the windows matter (Wine tests, benchmark).
class TQuietView : public TDesktopView {
public:
    TWindowHandle ManagerWindow() override { return 0; }
    TWindowHandle ApplicationWindow() override { return 0; }
    void SetDeskChecked(int, bool) override {}
    void SetTrayHint(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void SetTrayIcon(int) override {}
    void ApplyWallpaper(int) override {}
    void PostActiveDesk(int) override {}
    bool IsManagerVisible() override { return false; }
    void BringApplicationToFront() override {}
    TWindowHandle SelectedWindow() override { return 0; }
    void RefreshTree() override {}
};
