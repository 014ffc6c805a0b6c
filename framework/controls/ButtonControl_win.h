#pragma once

#include "framework/controls/ControlActionLink_win.h"
#include "framework/gui/WinControl_win.h"

// The common base of the button-like controls: a link to an action and a
// check state the link can follow. Native BUTTON windows report their
// clicks (BN_CLICKED), so the mouse handling of TControl fires no Click of
// its own for them.
class TButtonControl : public TWinControl {
    FW_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);

    TBasicAction* Action() const noexcept;
    // Links the control to an action (nullptr unlinks) and takes the
    // action's properties (only those at their defaults while the action
    // is loading).
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const noexcept {
        return static_cast<TControlActionLink*>(actions_.Link());
    }

    virtual bool Checked() const { return false; }
    virtual void SetChecked(bool) {}

    // Runs OnClick when it differs from the action's OnExecute, else the
    // action (nothing while it is disabled), else OnClick.
    void Click() override;

    // Applies the action's properties; with CheckDefaults only those at
    // their defaults.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

private:
    // The link class comes below this one.
    TControlActionLink* NewActionLink();
    TActionClient actions_ = ControlActionClient(this, [this] { return NewActionLink(); });
};

// The link of a button control: Checked follows the action as well.
class TButtonActionLink : public TControlActionLink {
    FW_CLASS(TButtonActionLink, TControlActionLink)
public:
    explicit TButtonActionLink(TButtonControl* AClient) : TControlActionLink(AClient), button_(AClient) {}
    bool IsCheckedLinked() override;
    void SetChecked(bool Value) override;

private:
    TButtonControl* button_;
};
