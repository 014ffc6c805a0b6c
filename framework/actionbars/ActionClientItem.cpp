#include "framework/actionbars/ActionClientItem.h"

#include "framework/controls/Action.h"
#include "framework/core/Exceptions.h"

TActionClientItem::~TActionClientItem() {
    Clear();
}

bool TActionClientItem::Shown() const {
    if (!visible_)
        return false;
    auto* action = dynamic_cast<const TCustomAction*>(action_);
    return action == nullptr || action->Visible();
}

bool TActionClientItem::Enabled() const {
    auto* action = dynamic_cast<const TCustomAction*>(action_);
    return action == nullptr || action->Enabled();
}

bool TActionClientItem::Checked() const {
    auto* action = dynamic_cast<const TCustomAction*>(action_);
    return action != nullptr && action->Checked();
}

TActionClientItem* TActionClientItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError::IndexOutOfBounds(Index);
    return items_[static_cast<size_t>(Index)];
}

TActionClientItem* TActionClientItem::Add() {
    auto* item = new TActionClientItem;
    item->parent_ = this;
    items_.push_back(item);
    return item;
}

void TActionClientItem::Clear() noexcept {
    // Children first, without recursion: menus nest as deep as their builder wants.
    std::vector<TActionClientItem*> pending;
    pending.swap(items_);
    while (!pending.empty()) {
        TActionClientItem* item = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), item->items_.begin(), item->items_.end());
        item->items_.clear();
        delete item;
    }
}

void TActionClientItem::Forget(const TComponent* Gone) noexcept {
    if (Gone == nullptr)
        return;
    std::vector<TActionClientItem*> pending{this};
    while (!pending.empty()) {
        TActionClientItem* item = pending.back();
        pending.pop_back();
        if (item->tag_ == Gone)
            item->tag_ = nullptr;
        if (item->action_ == Gone)
            item->action_ = nullptr;
        pending.insert(pending.end(), item->items_.begin(), item->items_.end());
    }
}
