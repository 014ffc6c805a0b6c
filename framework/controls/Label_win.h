#pragma once

#include "framework/controls/ControlTypes.h"
#include "framework/gui/GraphicControl_win.h"

// A caption painted on the parent (no window). AutoSize fits the control
// to its text; Transparent leaves the parent's background showing.
class TLabel : public TGraphicControl {
    FW_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* AOwner);

    void SetText(const std::string& Value) override;
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment Value);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool Value);
    bool ShowAccelChar = true;
    bool WordWrap = false;

    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;

private:
    UINT DrawFlags() const;
    void AdjustBounds();
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
};
