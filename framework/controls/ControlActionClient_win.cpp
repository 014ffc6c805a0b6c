#include "framework/controls/ControlActionClient_win.h"

#include <utility>

TControlActionClient::TControlActionClient(TControl* Control, TLinkMaker MakeLink, TChange Change)
    : control_(Control), makeLink_(std::move(MakeLink)), change_(std::move(Change)) {}

TControlActionClient::~TControlActionClient() {
    delete link_;
}

TBasicAction* TControlActionClient::Action() const noexcept {
    return link_ != nullptr ? link_->Action() : nullptr;
}

void TControlActionClient::SetAction(TBasicAction* Value) {
    if (Value == Action())
        return;
    if (Value == nullptr) {
        delete link_;
        link_ = nullptr;
        control_->SetAction(nullptr);
        return;
    }
    if (link_ == nullptr) {
        link_ = makeLink_();
        link_->OnChange = TNotifyEvent(this, &TControlActionClient::ActionGone);
    }
    link_->SetAction(Value);
    control_->SetAction(Value);
    Value->FreeNotification(control_);
    if (change_)
        change_(Value, Value->ComponentState().Contains(csLoading));
}

bool TControlActionClient::Click() {
    TBasicAction* action = Action();
    if (action == nullptr)
        return false;
    if (control_->OnClick && !(control_->OnClick == action->OnExecute))
        control_->OnClick(control_);
    else
        link_->Execute(control_);
    return true;
}

void TControlActionClient::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && link_ != nullptr && AComponent == link_->Action())
        link_->SetAction(nullptr);
}

void TControlActionClient::ActionGone(TObject*) {
    control_->SetAction(nullptr);
}
