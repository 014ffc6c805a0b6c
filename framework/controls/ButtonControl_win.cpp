#include "framework/controls/ButtonControl_win.h"

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Exclude(csClickEvents).Exclude(csCaptureMouse);
    SetTabStop(true);
}

TControlActionLink* TButtonControl::NewActionLink() {
    return new TButtonActionLink(this);
}

TBasicAction* TButtonControl::Action() const noexcept {
    return actions_.Action();
}

void TButtonControl::SetAction(TBasicAction* Value) {
    actions_.SetAction(Value);
}

void TButtonControl::Click() {
    if (!actions_.Click())
        TWinControl::Click();
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
