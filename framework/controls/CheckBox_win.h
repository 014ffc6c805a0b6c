#pragma once

#include <cstdint>

#include "framework/controls/ButtonControl_win.h"

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

// A check box (native BUTTON whose state the object keeps). A change of
// State or Checked, from code or by the user, fires OnClick once; setting
// the value it already has fires nothing.
class TCheckBox : public TButtonControl {
    FW_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const override { return state_ == cbChecked; }
    void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const noexcept { return state_; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed = false;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The user's toggle: unchecked → checked → grayed (when allowed).
    virtual void Toggle();

private:
    TCheckBoxState state_ = cbUnchecked;
};
