#include "controls/actionbar/PopupActionBarEx_win.h"

#include "framework/controls/ImageList_win.h"
#include "framework/core/Exceptions.h"

TCustomPopupActionBarEx::TCustomPopupActionBarEx(TComponent* AOwner) : TPopupMenu(AOwner) {
    internal_ = new TActionManager(this);
}

void TCustomPopupActionBarEx::BeforeDestruction() {
    if (showing_.has_value()) {
        // Inside our own loop: leave the owner now (it may be going), close
        // the popup, and let Popup finish the destruction.
        freeRequested_ = true;
        if (TComponent* owner = Owner())
            owner->RemoveComponent(this);
        if (popup_ != nullptr)
            popup_->CloseMenu();
        return;
    }
    TPopupMenu::BeforeDestruction();
}

void TCustomPopupActionBarEx::operator delete(TCustomPopupActionBarEx* Menu,
                                              std::destroying_delete_t) {
    if (Menu->showing_.has_value() && Menu->freeRequested_)
        return;
    Menu->~TCustomPopupActionBarEx();
    ::operator delete(Menu);
}

void TCustomPopupActionBarEx::SetActionManager(TCustomActionManager* Value) {
    if (Value == actionManager_)
        return;
    if (actionManager_ != nullptr)
        RemoveFreeNotification(actionManager_);
    actionManager_ = Value;
    if (Value != nullptr)
        FreeNotification(Value);
}

void TCustomPopupActionBarEx::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove) {
        if (AComponent == actionManager_)
            actionManager_ = nullptr;
        if (AComponent == internal_)
            internal_ = nullptr;
        if (AComponent == popup_)
            popup_ = nullptr;
        // The open popup draws from the menu's image list at every paint: one freed while it
        // is open is not drawn any more.
        if (internal_ != nullptr && AComponent == internal_->Images)
            internal_->Images = nullptr;
        if (popup_ != nullptr && popup_->ActionClient() != nullptr)
            popup_->ActionClient()->Forget(AComponent);
    }
    TPopupMenu::Notification(AComponent, Operation);
}

void TCustomPopupActionBarEx::Popup(int X, int Y) {
    if (showing_.has_value() || TPopupMenu::IsPopupActive() || internal_ == nullptr)
        return;
    showing_.emplace(this, internal_);
    try {
        Show(X, Y);
    } catch (...) {
        EndShowing();
        throw;
    }
    EndShowing();
}

void TCustomPopupActionBarEx::Show(int X, int Y) {
    if (OnPopup)
        OnPopup(this);
    if (freeRequested_)
        return;
    TActionBarStyle* style = actionManager_ != nullptr && actionManager_->Style() != nullptr
                                 ? actionManager_->Style()
                                 : DefaultActnBarStyle();
    popup_ = new TCustomActionPopupMenu(nullptr);
    popup_->FreeNotification(this);
    popup_->OnPopup = TActionClientEvent(this, &TCustomPopupActionBarEx::OpenSubmenu);
    internal_->ClearActionBars();
    popup_->Designable = false;
    popup_->AnimationStyle = asNone;
    internal_->Images = Images();
    internal_->SetStyle(style);
    internal_->AddActionBar(popup_);
    popup_->Orientation = boTopToBottom;
    popup_->SetColorMap(nullptr);
    popup_->AutoSize = true;
    TActionClientItem* client = popup_->ActionClient();
    if (client == nullptr)
        throw Exception::CreateFmt<EInvalidOperation>(
            "%s ActionManager property has not been assigned", {Name()});
    client->Clear();
    popup_->Shadow = Shadow;
    showing_->Build(client, Items());
    popup_->RecreateControls();
    popup_->Popup(X, Y);
}

void TCustomPopupActionBarEx::OpenSubmenu(TActionClientItem* Client) {
    if (!freeRequested_ && showing_.has_value())
        showing_->OpenSubmenu(Client);
}

void TCustomPopupActionBarEx::EndShowing() noexcept {
    if (internal_ != nullptr)
        internal_->ClearActionBars();
    if (popup_ != nullptr) {
        TCustomActionPopupMenu* popup = popup_;
        popup_ = nullptr;
        popup->Free();
    }
    showing_.reset(); // frees the showing's actions, out of the manager
    if (freeRequested_)
        Free();
}
