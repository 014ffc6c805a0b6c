#include "framework/controls/Action.h"

#include <algorithm>

#include "framework/core/Exceptions.h"

// --- TBasicAction ---

TBasicAction::~TBasicAction() {
    for (TBasicActionLink* link : clients_)
        link->action_ = nullptr;
}

void TBasicAction::BeforeDestruction() {
    // The clients drop their links while the action is still whole.
    while (!clients_.empty()) {
        TBasicActionLink* link = clients_.back();
        clients_.pop_back();
        link->action_ = nullptr;
        if (link->OnChange)
            link->OnChange(this);
    }
    TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::SetOnExecute(TNotifyEvent Value) {
    for (TBasicActionLink* link : Clients())
        link->SetOnExecute(Value);
    OnExecute = Value;
    Change();
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
    if (std::find(clients_.begin(), clients_.end(), Link) == clients_.end())
        clients_.push_back(Link);
    Link->action_ = this;
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
    std::erase(clients_, Link);
    if (Link->action_ == this)
        Link->action_ = nullptr;
}

void TBasicAction::Change() {
    if (OnChange)
        OnChange(this);
}

// --- TContainedAction ---

void TContainedAction::BeforeDestruction() {
    SetActionList(nullptr);
    TBasicAction::BeforeDestruction();
}

void TContainedAction::SetActionList(TActionList* Value) {
    if (actionList_ == Value)
        return;
    if (actionList_ != nullptr)
        std::erase(actionList_->actions_, this);
    actionList_ = Value;
    if (Value != nullptr)
        Value->actions_.push_back(this);
}

int TContainedAction::Index() const {
    if (actionList_ == nullptr)
        return -1;
    const auto& list = actionList_->actions_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TContainedAction::SetIndex(int Value) {
    if (actionList_ == nullptr)
        return;
    auto& list = actionList_->actions_;
    std::erase(list, this);
    const int pos = std::clamp(Value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + pos, this);
}

// --- TCustomAction ---

bool TCustomAction::Execute() {
    if (!enabled_)
        return false;
    return TContainedAction::Execute();
}

namespace {

// Tells every link of a custom action about a new value, then stores it:
// the links compare the client's state with the old value to know whether
// the property is still linked.
template <class V, class F>
void Propagate(const std::vector<TBasicActionLink*>& clients, F apply) {
    for (TBasicActionLink* link : clients)
        if (auto* l = dynamic_cast<TActionLink*>(link))
            apply(l);
}

}  // namespace

void TCustomAction::SetCaption(const std::string& Value) {
    if (Value == caption_)
        return;
    Propagate<std::string>(Clients(), [&](TActionLink* l) { l->SetCaption(Value); });
    caption_ = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == checked_)
        return;
    Propagate<bool>(Clients(), [&](TActionLink* l) { l->SetChecked(Value); });
    checked_ = Value;
    if (Value && groupIndex_ > 0 && ActionList() != nullptr)
        for (int i = 0; i < ActionList()->ActionCount(); ++i)
            if (auto* other = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
                other != nullptr && other != this && other->groupIndex_ == groupIndex_)
                other->SetChecked(false);
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == enabled_)
        return;
    Propagate<bool>(Clients(), [&](TActionLink* l) { l->SetEnabled(Value); });
    enabled_ = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == visible_)
        return;
    Propagate<bool>(Clients(), [&](TActionLink* l) { l->SetVisible(Value); });
    visible_ = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (Value == shortCut_)
        return;
    Propagate<TShortCut>(Clients(), [&](TActionLink* l) { l->SetShortCut(Value); });
    shortCut_ = Value;
    Change();
}

void TCustomAction::SetHint(const std::string& Value) {
    if (Value == hint_)
        return;
    Propagate<std::string>(Clients(), [&](TActionLink* l) { l->SetHint(Value); });
    hint_ = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (Value == imageIndex_)
        return;
    Propagate<int>(Clients(), [&](TActionLink* l) { l->SetImageIndex(Value); });
    imageIndex_ = Value;
    Change();
}

void TCustomAction::SetHelpContext(int Value) {
    if (Value == helpContext_)
        return;
    Propagate<int>(Clients(), [&](TActionLink* l) { l->SetHelpContext(Value); });
    helpContext_ = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == groupIndex_)
        return;
    groupIndex_ = Value;
    Change();
}

// --- TActionList ---

void TActionList::BeforeDestruction() {
    for (TContainedAction* a : actions_)
        a->actionList_ = nullptr;
    actions_.clear();
    TComponent::BeforeDestruction();
}

TContainedAction* TActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount())
        throw EListError::IndexOutOfBounds(Index);
    return actions_[static_cast<size_t>(Index)];
}

bool TActionList::IsShortCut(TShortCut ShortCut) {
    if (ShortCut == 0)
        return false;
    // An OnUpdate handler may change the list: index it afresh each time.
    for (size_t i = 0; i < actions_.size(); ++i) {
        auto* action = dynamic_cast<TCustomAction*>(actions_[i]);
        if (action == nullptr || action->ShortCut() != ShortCut)
            continue;
        action->Update();
        if (!action->Enabled())
            continue;
        action->Execute();
        return true;
    }
    return false;
}

// --- links ---

TBasicActionLink::~TBasicActionLink() {
    if (action_ != nullptr)
        action_->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == action_)
        return;
    if (action_ != nullptr)
        action_->UnRegisterChanges(this);
    if (Value != nullptr)
        Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent*) { return action_ != nullptr && action_->Execute(); }

bool TBasicActionLink::Update() { return action_ != nullptr && action_->Update(); }

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
