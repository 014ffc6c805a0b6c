#include "controls/actionbar/MenuAction.h"

namespace {
int gLive = 0;
}

TMenuAction::TMenuAction(TComponent* AOwner) : TCustomAction(AOwner) {
    ++gLive;
}

TMenuAction::~TMenuAction() {
    --gLive;
}

int TMenuAction::LiveCount() noexcept {
    return gLive;
}

void TMenuAction::SetMenuItem(TComponent* Item, TNotifyEvent Click) {
    if (menuItem_ != nullptr && menuItem_ != Item)
        RemoveFreeNotification(menuItem_);
    menuItem_ = Item;
    click_ = Click;
    if (Item != nullptr)
        FreeNotification(Item);
}

bool TMenuAction::Execute() {
    if (!Enabled())
        return false;
    if (menuItem_ != nullptr && click_)
        click_(menuItem_);
    return true;
}

void TMenuAction::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == menuItem_) {
        menuItem_ = nullptr;
        click_ = nullptr;
    }
    TCustomAction::Notification(AComponent, Operation);
}
