#pragma once

#include "framework/controls/Action.h"
#include "framework/core/Events.h"

// The action an action-bar popup gives a plain menu item for one showing:
// executing it runs the item's click handler with the item as the sender.
// It forgets the item when the item is freed first.
class TMenuAction : public TCustomAction {
    FW_CLASS(TMenuAction, TCustomAction)
public:
    explicit TMenuAction(TComponent* AOwner);
    ~TMenuAction() override;

    TComponent* MenuItem() const noexcept { return menuItem_; }
    // The item and the click handler it has now.
    void SetMenuItem(TComponent* Item, TNotifyEvent Click);
    // Runs the handler (when there is one) unless disabled; answers true
    // when enabled, handler or not: a plain item without one does nothing.
    bool Execute() override;

    // The number of TMenuAction objects alive in the process.
    static int LiveCount() noexcept;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* menuItem_ = nullptr;
    TNotifyEvent click_;
};
