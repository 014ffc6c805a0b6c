#pragma once

#include "framework/controls/ButtonControl_win.h"
#include "framework/core/Types.h"

// A push button (native BUTTON). Default takes Enter and Cancel takes Esc
// from the form's dialog keys; a ModalResult ends the form's ShowModal.
class TButton : public TButtonControl {
    FW_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const noexcept { return default_; }
    void SetDefault(bool Value);
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool Value) { cancel_ = Value; }
    TModalResult ModalResult = mrNone;

    // Sets the form's ModalResult first, then runs the click.
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

// True when Text holds "&" before Key (case-insensitive), the accelerator
// of a caption.
bool IsAccel(char Key, const std::string& Text);
