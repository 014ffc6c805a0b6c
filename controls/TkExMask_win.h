#pragma once

#include "controls/ComboEditLogic.h"
#include "controls/TkExControls_win.h"
#include "framework/controls/MaskEdit_win.h"

// The toolkit's layer over the masked edit: the component notifications as operations, plus a
// filter on the clipboard messages and a switch for the validation beep.
class TTkExCustomMaskEdit : public TkExLayer<TCustomMaskEdit> {
    FW_CLASS(TTkExCustomMaskEdit, TCustomMaskEdit)
public:
    explicit TTkExCustomMaskEdit(TComponent* AOwner) : TkExLayer<TCustomMaskEdit>(AOwner) {}

    // WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR and the undo messages reach the edit only when their
    // command is in the set; the others are answered 1 and dropped.
    TClipboardCommands ClipboardCommands() const noexcept { return clipboardCommands_; }
    virtual void SetClipboardCommands(TClipboardCommands Value) { clipboardCommands_ = Value; }
    bool BeepOnError() const noexcept { return beepOnError_; }
    virtual void SetBeepOnError(bool Value) { beepOnError_ = Value; }

    void WndProc(TMessage& Message) override;

protected:
    void ValidateError() override;
    // A clipboard message whose command is outside the set: answered 1 (true: drop it).
    bool ClipboardRefused(TMessage& Message) const noexcept;

private:
    TClipboardCommands clipboardCommands_ = kAllClipboardCommands;
    bool beepOnError_ = true;
};

// The clipboard command a message asks for; false for other messages.
bool ClipboardCommandOfMessage(UINT Msg, TClipboardCommand& Command) noexcept;
