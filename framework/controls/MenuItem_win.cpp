#include "framework/controls/MenuItem_win.h"

#include <algorithm>
#include <map>

#include "framework/core/Exceptions.h"

namespace {

// Command numbers fit the 16 bits WM_COMMAND carries; 0 means none.
std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

UINT AllocateCommand(TMenuItem* item) {
    static UINT next = 0;
    auto& commands = Commands();
    for (int tries = 0; tries < 0xFFFF; ++tries) {
        next = next % 0xFFFF + 1;
        if (commands.emplace(next, item).second)
            return next;
    }
    throw EInvalidOperation("Too many menu items");
}

}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { command_ = AllocateCommand(this); }

TMenuItem::~TMenuItem() {
    ForgetCommand();
}

void TMenuItem::ForgetCommand() noexcept {
    auto& commands = Commands();
    if (auto it = commands.find(command_); it != commands.end() && it->second == this)
        commands.erase(it);
}

void TMenuItem::BeforeDestruction() {
    ForgetCommand();
    if (parent_ != nullptr)
        parent_->Remove(this);
    Clear();
    TComponent::BeforeDestruction();
}

TMenuItem* TMenuItem::FindCommand(UINT Command) noexcept {
    auto it = Commands().find(Command);
    return it != Commands().end() ? it->second : nullptr;
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError::IndexOutOfBounds(Index);
    return items_[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item == nullptr)
        return;
    if (Item->parent_ != nullptr)
        throw EInvalidOperation("Menu inserted twice");
    for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
        if (p == Item)
            throw EInvalidOperation("A menu item cannot contain itself");
    if (Index < 0 || Index > Count())
        throw EListError::IndexOutOfBounds(Index);
    items_.insert(items_.begin() + Index, Item);
    Item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(items_.begin(), items_.end(), Item);
    if (it == items_.end())
        return;
    items_.erase(it);
    Item->parent_ = nullptr;
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    Remove(item);
    item->Free();
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* item = items_.back();
        Remove(item);
        item->Free();
    }
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

std::string TMenuItem::MenuText() const {
    if (shortCut_ == 0)
        return caption_;
    return caption_ + "\t" + ShortCutToText(shortCut_);
}

TActionLink* TMenuItem::NewActionLink() {
    return new TMenuActionLink(this);
}

void TMenuItem::SetAction(TBasicAction* Value) {
    actions_.SetAction(Value);
}

void TMenuItem::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(Sender);
    if (a == nullptr)
        return;
    if (!CheckDefaults || caption_.empty())
        caption_ = a->Caption();
    if (!CheckDefaults || !checked_)
        checked_ = a->Checked();
    if (!CheckDefaults || enabled_)
        enabled_ = a->Enabled();
    if (!CheckDefaults || helpContext_ == 0)
        helpContext_ = a->HelpContext();
    if (!CheckDefaults || hint_.empty())
        hint_ = a->Hint();
    if (!CheckDefaults || imageIndex_ == -1)
        imageIndex_ = a->ImageIndex();
    if (!CheckDefaults || shortCut_ == 0)
        shortCut_ = a->ShortCut();
    if (!CheckDefaults || visible_)
        visible_ = a->Visible();
    if (!CheckDefaults || !OnClick)
        OnClick = a->OnExecute;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut ShortCut) const {
    if (ShortCut == 0)
        return nullptr;
    // Depth first without recursion: menus nest as deep as their builder wants.
    std::vector<const TMenuItem*> pending{this};
    while (!pending.empty()) {
        const TMenuItem* parent = pending.back();
        pending.pop_back();
        for (auto it = parent->items_.rbegin(); it != parent->items_.rend(); ++it) {
            TMenuItem* item = *it;
            if (item->Visible() && item->Enabled())
                pending.push_back(item);
        }
        if (parent != this && parent->Count() == 0 && parent->ShortCut() == ShortCut)
            return const_cast<TMenuItem*>(parent);
    }
    return nullptr;
}

void TMenuItem::Click() {
    if (!actions_.Click() && OnClick)
        OnClick(this);
}

// --- TMenuActionLink ---

bool TMenuActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && item_->Caption() == CustomAction()->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
    return TActionLink::IsCheckedLinked() && item_->Checked() == CustomAction()->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && item_->Enabled() == CustomAction()->Enabled();
}
bool TMenuActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && item_->HelpContext() == CustomAction()->HelpContext();
}
bool TMenuActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && item_->Hint() == CustomAction()->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() && item_->ImageIndex() == CustomAction()->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
    return TActionLink::IsShortCutLinked() && item_->ShortCut() == CustomAction()->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && item_->Visible() == CustomAction()->Visible();
}
bool TMenuActionLink::IsOnExecuteLinked() { return Action() != nullptr && item_->OnClick == Action()->OnExecute; }

void TMenuActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked())
        item_->SetCaption(Value);
}
void TMenuActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked())
        item_->SetChecked(Value);
}
void TMenuActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked())
        item_->SetEnabled(Value);
}
void TMenuActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked())
        item_->SetHelpContext(Value);
}
void TMenuActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked())
        item_->SetHint(Value);
}
void TMenuActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked())
        item_->SetImageIndex(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked())
        item_->SetShortCut(Value);
}
void TMenuActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked())
        item_->SetVisible(Value);
}
void TMenuActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked())
        item_->OnClick = Value;
}
