#pragma once

#include "framework/controls/MenuItem_win.h"

// A menu item of the band's window list: the window's handle rides in its tag, its desktop here.
class TMenuItemExtended : public TMenuItem {
    FW_CLASS(TMenuItemExtended, TMenuItem)
public:
    explicit TMenuItemExtended(TComponent* AOwner) : TMenuItem(AOwner) {}
    // The 0-based desktop of the window.
    int DesktopInd = 0;
};
