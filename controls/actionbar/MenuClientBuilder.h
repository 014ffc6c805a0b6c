#pragma once

#include <vector>

#include "controls/actionbar/MenuAction.h"
#include "framework/actionbars/ActionClientItem.h"
#include "framework/actionbars/ActionManager.h"

// Turns a menu tree into action-bar client items for one showing of a
// popup. TItem is a menu item class (Caption, IsLine, Visible, Enabled,
// Checked, ShortCut, ImageIndex, HelpContext, Tag, Action, OnClick, Click,
// Count, Items). Plain items get a TMenuAction each; submenus get one
// placeholder and are built when they open (OpenSubmenu), after the
// submenu item's own click, which may still fill or empty it.
//
// Owner owns the actions and is told (FreeNotification) when a source item
// or action goes, so that it can make the client tree Forget it. The
// actions sit in Manager while the showing lasts; FreeActions ends that.
template <class TItem> class TMenuClientBuilder {
public:
    TMenuClientBuilder(TComponent* Owner, TCustomActionManager* Manager)
        : owner_(Owner), manager_(Manager) {}
    ~TMenuClientBuilder() { FreeActions(); }
    TMenuClientBuilder(const TMenuClientBuilder&) = delete;
    TMenuClientBuilder& operator=(const TMenuClientBuilder&) = delete;

    // Appends a client item under Client for each item under Parent.
    void Build(TActionClientItem* Client, TItem* Parent) {
        for (int i = 0; i < Parent->Count(); ++i)
            BuildOne(Client, Parent->Items(i));
    }

    // The submenu of Client opens: built once, from its item's children as
    // they are after the item's click. A click that frees the item, or
    // takes every child away, leaves the submenu empty.
    void OpenSubmenu(TActionClientItem* Client) {
        if (Client->Count() > 0 && Client->Items(0)->Tag() != nullptr)
            return;
        auto* item = dynamic_cast<TItem*>(Client->Tag());
        if (item == nullptr)
            return;
        item->Click();
        Client->Clear();
        if (Client->Tag() != item)
            return; // the click freed it
        Build(Client, item);
    }

    // The showing's actions, in the order they were made.
    const std::vector<TMenuAction*>& Actions() const noexcept { return actions_; }

    // Takes the showing's actions out of the manager and frees them.
    void FreeActions() noexcept {
        std::vector<TMenuAction*> actions;
        actions.swap(actions_);
        for (TMenuAction* action : actions) {
            if (manager_ != nullptr)
                manager_->RemoveAction(action);
            action->Free();
        }
    }

private:
    void Watch(TComponent* Component) {
        if (owner_ != nullptr && Component != nullptr && Component != owner_)
            owner_->FreeNotification(Component);
    }

    void BuildOne(TActionClientItem* Parent, TItem* Child) {
        TActionClientItem* client = Parent->Add();
        client->SetCaption(Child->Caption());
        client->SetTag(Child);
        client->SetAction(Child->Action());
        Watch(Child);
        Watch(Child->Action());
        if (Child->Count() > 0 && Child->Visible()) {
            client->Add(); // built when it opens
        } else if (Child->Action() == nullptr && !Child->Caption().empty() && !Child->IsLine()) {
            auto* action = new TMenuAction(owner_);
            actions_.push_back(action);
            action->SetMenuItem(Child, Child->OnClick);
            action->SetTag(Child->Tag());
            action->SetImageIndex(Child->ImageIndex());
            action->SetVisible(Child->Visible());
            action->SetChecked(Child->Checked());
            action->SetCaption(Child->Caption());
            action->SetShortCut(Child->ShortCut());
            action->SetEnabled(Child->Enabled());
            if (manager_ != nullptr)
                manager_->AddAction(action);
            client->SetAction(action);
        }
        client->SetCaption(Child->Caption());
        client->SetShortCut(Child->ShortCut());
        client->SetHelpContext(Child->HelpContext());
        client->SetImageIndex(Child->ImageIndex());
        client->SetVisible(Child->Visible());
    }

    TComponent* owner_;
    TCustomActionManager* manager_;
    std::vector<TMenuAction*> actions_;
};
