#pragma once

#include "controls/TkExControls_win.h"
#include "framework/controls/SpeedButton_win.h"

// The toolkit's notification layer over the framework's speed button: the base of the side
// bar's repeating scroll buttons.
class TTkExSpeedButton : public TkExLayer<TSpeedButton> {
    FW_CLASS(TTkExSpeedButton, TSpeedButton)
public:
    explicit TTkExSpeedButton(TComponent* AOwner) : TkExLayer<TSpeedButton>(AOwner) {}
};
