#include "framework/actionbars/ActionManager.h"

#include "framework/core/Exceptions.h"

TCustomActionManager::~TCustomActionManager() {
    ClearActionBars();
}

void TCustomActionManager::BeforeDestruction() {
    ClearActionBars();
    TActionList::BeforeDestruction();
}

TActionBarItem* TCustomActionManager::ActionBars(int Index) const {
    if (Index < 0 || Index >= ActionBarCount())
        throw EListError::IndexOutOfBounds(Index);
    return actionBars_[static_cast<size_t>(Index)];
}

TActionBarItem* TCustomActionManager::AddActionBar(TCustomActionBar* Bar) {
    if (Bar != nullptr && Bar->actionManager_ != nullptr)
        Bar->actionManager_->ForgetActionBar(Bar);
    auto* item = new TActionBarItem;
    actionBars_.push_back(item);
    if (Bar != nullptr) {
        item->actionBar_ = Bar;
        Bar->actionClient_ = item;
        Bar->actionManager_ = this;
    }
    return item;
}

void TCustomActionManager::ClearActionBars() noexcept {
    std::vector<TActionBarItem*> items;
    items.swap(actionBars_);
    for (TActionBarItem* item : items) {
        if (TCustomActionBar* bar = item->actionBar_) {
            bar->actionClient_ = nullptr;
            bar->actionManager_ = nullptr;
        }
        delete item;
    }
}

TActionBarItem* TCustomActionManager::FindActionBar(const TCustomActionBar* Bar) const noexcept {
    for (TActionBarItem* item : actionBars_)
        if (item->actionBar_ == Bar)
            return item;
    return nullptr;
}

void TCustomActionManager::ForgetActionBar(TCustomActionBar* Bar) noexcept {
    for (TActionBarItem* item : actionBars_)
        if (item->actionBar_ == Bar)
            item->actionBar_ = nullptr;
    Bar->actionClient_ = nullptr;
    Bar->actionManager_ = nullptr;
}

void TCustomActionManager::Notification(TComponent* AComponent, TOperation Operation) {
    // The client items may refer to an action or component that is going.
    if (Operation == opRemove)
        for (TActionBarItem* item : actionBars_)
            item->Forget(AComponent);
    TActionList::Notification(AComponent, Operation);
}
