#include "framework/controls/ButtonControl_win.h"

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse);
    SetTabStop(true);
}

TButtonControl::~TButtonControl() { delete actionLink_; }

TBasicAction* TButtonControl::Action() const noexcept {
    return actionLink_ != nullptr ? actionLink_->Action() : nullptr;
}

void TButtonControl::SetAction(TBasicAction* Value) {
    if (Value == Action())
        return;
    if (Value == nullptr) {
        delete actionLink_;
        actionLink_ = nullptr;
        TControl::SetAction(nullptr);
        return;
    }
    if (actionLink_ == nullptr) {
        actionLink_ = new TButtonActionLink(this);
        actionLink_->OnChange = TNotifyEvent(this, &TButtonControl::ActionGone);
    }
    actionLink_->SetAction(Value);
    TControl::SetAction(Value);
    Value->FreeNotification(this);
    ActionChange(Value, Value->ComponentState().Contains(csLoading));
}

void TButtonControl::ActionGone(TObject*) { TControl::SetAction(nullptr); }

void TButtonControl::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && actionLink_ != nullptr && AComponent == actionLink_->Action())
        actionLink_->SetAction(nullptr);
    TWinControl::Notification(AComponent, Operation);
}

void TButtonControl::Click() {
    TBasicAction* action = Action();
    if (action == nullptr) {
        TWinControl::Click();
        return;
    }
    if (OnClick && !(OnClick == action->OnExecute))
        OnClick(this);
    else
        actionLink_->Execute(this);
}

void TButtonControl::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    ApplyActionToControl(this, Sender, CheckDefaults);
    if (auto* action = dynamic_cast<TCustomAction*>(Sender); action != nullptr && (!CheckDefaults || !Checked()))
        SetChecked(action->Checked());
}

bool TButtonActionLink::IsCheckedLinked() {
    return TControlActionLink::IsCheckedLinked() && button_->Checked() == CustomAction()->Checked();
}

void TButtonActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked())
        button_->SetChecked(Value);
}
