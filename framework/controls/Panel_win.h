#pragma once

#include <cstdint>

#include "framework/controls/ControlActionLink_win.h"
#include "framework/controls/ControlTypes.h"
#include "framework/gui/CustomControl_win.h"

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an outer and an inner bevel and a centred caption.
// Aligned children stay inside the bevels and the border width.
class TPanel : public TCustomControl {
    FW_CLASS(TPanel, TCustomControl)
public:
    explicit TPanel(TComponent* AOwner);

    TPanelBevel BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel Value);
    TPanelBevel BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TPanelBevel Value);
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int Value);
    TAlignment Alignment = taCenter;

    void AlignControls(TControl* AControl, TRect& Rect) override;
    void WndProc(TMessage& Message) override;
    TBasicAction* Action() const noexcept { return actions_.Action(); }
    // Links the panel to an action (nullptr unlinks): Caption, Enabled,
    // Visible, Hint, HelpContext and OnClick follow it.
    void SetAction(TBasicAction* Value) { actions_.SetAction(Value); }
    // Applies the action's properties; with CheckDefaults only those at
    // their defaults.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    // Runs the action as a button does (see TButtonControl::Click).
    void Click() override;

protected:
    void Paint() override;

private:
    int BevelSize() const;
    TPanelBevel bevelOuter_ = bvRaised;
    TPanelBevel bevelInner_ = bvNone;
    int bevelWidth_ = 1;
    TActionClient actions_ = ControlActionClient(this);
};
