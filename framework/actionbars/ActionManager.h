#pragma once

#include <vector>

#include "framework/actionbars/ActionBar.h"
#include "framework/actionbars/ActionBarStyle.h"
#include "framework/actionbars/ActionClientItem.h"
#include "framework/controls/Action.h"

// An action list that also holds action bars: each bar shows the items of
// its bar item, drawn in the manager's style with the list's Images. The
// actions that belong to it are those whose ActionList is the manager.
class TCustomActionManager : public TActionList {
    FW_CLASS(TCustomActionManager, TActionList)
public:
    explicit TCustomActionManager(TComponent* AOwner) : TActionList(AOwner) {}
    ~TCustomActionManager() override;
    void BeforeDestruction() override;

    // nullptr: the first registered style.
    TActionBarStyle* Style() const noexcept { return style_; }
    void SetStyle(TActionBarStyle* Value) noexcept { style_ = Value; }

    // --- action bars ---
    int ActionBarCount() const noexcept { return static_cast<int>(actionBars_.size()); }
    // EListError outside 0..ActionBarCount-1.
    TActionBarItem* ActionBars(int Index) const;
    // A new bar item showing Bar (which may be nullptr); the bar's
    // ActionClient becomes that item. A bar held by another manager or
    // item is moved here.
    TActionBarItem* AddActionBar(TCustomActionBar* Bar);
    // Frees every bar item; their bars lose their client.
    void ClearActionBars() noexcept;
    // The bar item of Bar, or nullptr.
    TActionBarItem* FindActionBar(const TCustomActionBar* Bar) const noexcept;

    // Membership, as the action list keeps it.
    void AddAction(TContainedAction* Action) { Action->SetActionList(this); }
    void RemoveAction(TContainedAction* Action) {
        if (Action->ActionList() == this)
            Action->SetActionList(nullptr);
    }
    bool HasAction(const TContainedAction* Action) const noexcept {
        return Action->ActionList() == this;
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomActionBar;
    // The bar is going: its item stays, without a bar.
    void ForgetActionBar(TCustomActionBar* Bar) noexcept;
    TActionBarStyle* style_ = nullptr;
    std::vector<TActionBarItem*> actionBars_;
};

class TActionManager : public TCustomActionManager {
    FW_CLASS(TActionManager, TCustomActionManager)
public:
    explicit TActionManager(TComponent* AOwner) : TCustomActionManager(AOwner) {}
};
