#pragma once

#include "framework/controls/ControlTypes.h"
#include "framework/gui/WinControl_win.h"

// A caption in a window of its own (native STATIC); the caption may hold
// several lines. ShowAccelChar false shows "&" as itself.
class TStaticText : public TWinControl {
    FW_CLASS(TStaticText, TWinControl)
public:
    explicit TStaticText(TComponent* AOwner);

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment Value);
    bool ShowAccelChar() const noexcept { return showAccelChar_; }
    void SetShowAccelChar(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    TAlignment alignment_ = taLeftJustify;
    bool showAccelChar_ = true;
};
