#pragma once

#include "framework/controls/ControlActionLink_win.h"
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
    TBasicAction* Action() const noexcept { return actions_.Action(); }
    // Links the label to an action (nullptr unlinks): Caption, Enabled,
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
    UINT DrawFlags() const;
    void AdjustBounds();
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
    TActionClient actions_ = ControlActionClient(this);
};
