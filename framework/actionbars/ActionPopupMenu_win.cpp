#include "framework/actionbars/ActionPopupMenu_win.h"

#include "framework/controls/PopupMenu_win.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/UtilityWindow_win.h"

TCustomActionPopupMenu::TCustomActionPopupMenu(TComponent* AOwner) : TCustomActionBar(AOwner) {
    Orientation = boTopToBottom;
}

TCustomActionPopupMenu::~TCustomActionPopupMenu() = default;

void TCustomActionPopupMenu::CloseMenu() noexcept {
    if (menu_ == nullptr)
        return;
    menu_->Closing = true;
    EndMenu();
}

void TCustomActionPopupMenu::Popup(int X, int Y) {
    if (TPopupMenu::IsPopupActive() || menu_ != nullptr)
        return;
    if (ActionClient() == nullptr)
        throw EInvalidOperation("The action popup menu has no action client");
    TActionClientItem* chosen = nullptr;
    {
        TPopupMenu::TActiveScope active;
        auto menu = std::make_unique<TNativeActionMenu>(*this);
        menu->OnOpen = [this](TActionClientItem* Client) {
            if (OnPopup)
                OnPopup(Client);
        };
        HMENU handle = menu->BuildPopup(ActionClient());
        HWND owner = CreateUtilityWindow(TWndMethod(this, &TCustomActionPopupMenu::OwnerProc));
        menu_ = std::move(menu);
        owner_ = owner;
        handle_ = handle;
        const UINT command = static_cast<UINT>(TrackPopupMenuEx(
            handle, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, X, Y, owner, nullptr));
        // A choice made while closing on request does not run.
        if (!menu_->Closing)
            chosen = menu_->ClientOf(command);
        handle_ = nullptr;
        owner_ = nullptr;
        DestroyUtilityWindow(owner);
        menu_.reset(); // destroys the native menus
    }
    // Outside the one-popup scope: the action may open a menu of its own.
    if (chosen != nullptr && chosen->Action() != nullptr && chosen->Enabled())
        chosen->Action()->Execute();
}

void TCustomActionPopupMenu::OwnerProc(TMessage& Message) {
    if (menu_ != nullptr && menu_->Handle(Message))
        return;
    if (owner_ != nullptr)
        Message.Result = DefWindowProcA(owner_, Message.Msg, Message.WParam, Message.LParam);
}
