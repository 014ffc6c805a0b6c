#pragma once

#include <utility>

#include "framework/controls/Action.h"
#include "framework/controls/ActionClient.h"
#include "framework/gui/Control_win.h"

// A control's link to an action: Caption, Enabled, Visible, Hint,
// HelpContext and OnClick follow the action while the control still shows
// the action's value for them.
class TControlActionLink : public TActionLink {
    FW_CLASS(TControlActionLink, TActionLink)
public:
    explicit TControlActionLink(TControl* AClient) : TActionLink(AClient), control_(AClient) {}

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(TNotifyEvent Value) override;

protected:
    TControl* Control() const noexcept { return control_; }

private:
    TControl* control_;
};

// Applies an action's properties to a control (the client's ActionChange):
// with CheckDefaults, only properties still at their defaults change.
void ApplyActionToControl(TControl* Control, TBasicAction* Sender, bool CheckDefaults);

// The action client of a control: links made by MakeLink (a plain control
// link by default), the control's ActionChange, and the control's Action
// kept in step with the link.
template <class TClient>
TActionClient ControlActionClient(TClient* Control, TActionClient::TLinkMaker MakeLink = nullptr) {
    if (!MakeLink)
        MakeLink = [Control] { return new TControlActionLink(Control); };
    return TActionClient(
        Control, Control->OnClick, std::move(MakeLink),
        [Control](TBasicAction* Sender, bool CheckDefaults) {
            Control->ActionChange(Sender, CheckDefaults);
        },
        [Control](TBasicAction* Action) { Control->TControl::SetAction(Action); });
}
