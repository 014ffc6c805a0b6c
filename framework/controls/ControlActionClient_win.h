#pragma once

#include <functional>

#include "framework/controls/ControlActionLink_win.h"
#include "framework/gui/Control_win.h"

// The action side of a control: its link to an action, dropped when the
// action is freed, and the routing of Click between OnClick and the action.
// A control class holds one and forwards its SetAction, Click and
// Notification to it; the control's own ActionChange applies the action's
// properties.
class TControlActionClient : public TObject {
    FW_CLASS(TControlActionClient, TObject)
public:
    using TLinkMaker = std::function<TControlActionLink*()>;
    using TChange = std::function<void(TBasicAction* Sender, bool CheckDefaults)>;

    // MakeLink makes the control's kind of link when a first action comes;
    // Change is the control's ActionChange.
    TControlActionClient(TControl* Control, TLinkMaker MakeLink, TChange Change);
    ~TControlActionClient() override;
    TControlActionClient(const TControlActionClient&) = delete;
    TControlActionClient& operator=(const TControlActionClient&) = delete;

    TBasicAction* Action() const noexcept;
    TControlActionLink* Link() const noexcept { return link_; }
    // Links the control to Value (nullptr unlinks) and lets it take the
    // action's properties (only those at their defaults while the action
    // is loading).
    void SetAction(TBasicAction* Value);
    // With an action: OnClick when it differs from the action's OnExecute,
    // else the action (nothing while it is disabled); answers true. Without
    // one: false, and the control clicks as it always does.
    bool Click();
    // Drops the link when its action is being freed.
    void Notification(TComponent* AComponent, TOperation Operation);

private:
    void ActionGone(TObject* Sender);

    TControl* control_;
    TLinkMaker makeLink_;
    TChange change_;
    TControlActionLink* link_ = nullptr;
};
