#pragma once

#include <functional>

#include "framework/controls/Action.h"

// The client side of an action link, for anything that shows an action
// (controls, menu items): it makes the client's kind of link when a first
// action comes, forgets the action when that is freed, and routes the
// client's click between its OnClick and the action. The client holds one
// and forwards SetAction and Click to it; the client's own ActionChange
// applies the action's properties.
class TActionClient : public TObject {
    FW_CLASS(TActionClient, TObject)
public:
    using TLinkMaker = std::function<TActionLink*()>;
    using TChange = std::function<void(TBasicAction* Sender, bool CheckDefaults)>;
    // Told of the action the client now has (nullptr: none).
    using TLinked = std::function<void(TBasicAction* Action)>;

    // Client and OnClick are the client and its click event; MakeLink makes
    // the client's kind of link; Change is the client's ActionChange.
    TActionClient(TObject* Client, TNotifyEvent& OnClick, TLinkMaker MakeLink, TChange Change,
                  TLinked Linked = nullptr);
    ~TActionClient() override;
    TActionClient(const TActionClient&) = delete;
    TActionClient& operator=(const TActionClient&) = delete;

    TBasicAction* Action() const noexcept;
    TActionLink* Link() const noexcept { return link_; }
    // Links the client to Value (nullptr unlinks) and lets it take the
    // action's properties (only those at their defaults while the action
    // is loading).
    void SetAction(TBasicAction* Value);
    // With an action: OnClick when it differs from the action's OnExecute,
    // else the action (nothing while it is disabled); answers true. Without
    // one: false, and the client clicks as it always does.
    bool Click();

private:
    void ActionGone(TObject* Sender);

    TObject* client_;
    TNotifyEvent& onClick_;
    TLinkMaker makeLink_;
    TChange change_;
    TLinked linked_;
    TActionLink* link_ = nullptr;
};
