#include "framework/controls/ActionClient.h"

#include <utility>

TActionClient::TActionClient(TObject* Client, TNotifyEvent& OnClick, TLinkMaker MakeLink,
                             TChange Change, TLinked Linked)
    : client_(Client), onClick_(OnClick), makeLink_(std::move(MakeLink)),
      change_(std::move(Change)), linked_(std::move(Linked)) {}

TActionClient::~TActionClient() {
    delete link_;
}

TBasicAction* TActionClient::Action() const noexcept {
    return link_ != nullptr ? link_->Action() : nullptr;
}

void TActionClient::SetAction(TBasicAction* Value) {
    if (Value == Action())
        return;
    if (Value == nullptr) {
        delete link_;
        link_ = nullptr;
        if (linked_)
            linked_(nullptr);
        return;
    }
    if (link_ == nullptr) {
        link_ = makeLink_();
        // The action clears the link itself when it is freed, then says so.
        link_->OnChange = TNotifyEvent(this, &TActionClient::ActionGone);
    }
    link_->SetAction(Value);
    if (linked_)
        linked_(Value);
    if (change_)
        change_(Value, Value->ComponentState().Contains(csLoading));
}

bool TActionClient::Click() {
    TBasicAction* action = Action();
    if (action == nullptr)
        return false;
    if (onClick_ && !(onClick_ == action->OnExecute))
        onClick_(client_);
    else
        link_->Execute(dynamic_cast<TComponent*>(client_));
    return true;
}

void TActionClient::ActionGone(TObject*) {
    if (linked_)
        linked_(nullptr);
}
