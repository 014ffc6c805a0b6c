#include "framework/controls/ControlActionLink_win.h"

bool TControlActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && control_->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && control_->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && control_->HelpContext() == CustomAction()->HelpContext();
}

bool TControlActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && control_->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && control_->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
    return Action() != nullptr && control_->OnClick == Action()->OnExecute;
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked())
        control_->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked())
        control_->SetEnabled(Value);
}

void TControlActionLink::SetHelpContext(int Value) {
    if (IsHelpContextLinked())
        control_->SetHelpContext(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked())
        control_->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked())
        control_->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked())
        control_->OnClick = Value;
}

void ApplyActionToControl(TControl* Control, TBasicAction* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr)
        return;
    if (!CheckDefaults || Control->Caption().empty())
        Control->SetCaption(action->Caption());
    if (!CheckDefaults || Control->Enabled())
        Control->SetEnabled(action->Enabled());
    if (!CheckDefaults || Control->Hint().empty())
        Control->SetHint(action->Hint());
    if (!CheckDefaults || Control->Visible())
        Control->SetVisible(action->Visible());
    if (!CheckDefaults || Control->HelpContext() == 0)
        Control->SetHelpContext(action->HelpContext());
    if (!CheckDefaults || !Control->OnClick)
        Control->OnClick = action->OnExecute;
}
