#pragma once

#include "framework/controls/ControlActionLink_win.h"
#include "framework/gui/WinControl_win.h"

// The link of a windowed control: the control link's properties. Links of
// windowed controls that follow more of an action derive from it.
class TWinControlActionLink : public TControlActionLink {
    FW_CLASS(TWinControlActionLink, TControlActionLink)
public:
    explicit TWinControlActionLink(TWinControl* AClient) : TControlActionLink(AClient) {}
};
