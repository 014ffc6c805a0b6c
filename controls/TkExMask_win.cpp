#include "controls/TkExMask_win.h"

bool ClipboardCommandOfMessage(UINT Msg, TClipboardCommand& Command) noexcept {
    switch (Msg) {
    case WM_COPY:
        Command = caCopy;
        return true;
    case WM_CUT:
        Command = caCut;
        return true;
    case WM_PASTE:
        Command = caPaste;
        return true;
    case WM_CLEAR:
        Command = caClear;
        return true;
    case WM_UNDO:
    case EM_UNDO:
        Command = caUndo;
        return true;
    default:
        return false;
    }
}

bool TTkExCustomMaskEdit::ClipboardRefused(TMessage& Message) const noexcept {
    TClipboardCommand command;
    if (!ClipboardCommandOfMessage(Message.Msg, command) || clipboardCommands_.Contains(command))
        return false;
    Message.Result = 1;
    return true;
}

void TTkExCustomMaskEdit::WndProc(TMessage& Message) {
    if (ClipboardRefused(Message))
        return;
    TkExLayer<TCustomMaskEdit>::WndProc(Message);
}

void TTkExCustomMaskEdit::ValidateError() {
    if (beepOnError_)
        TCustomMaskEdit::ValidateError();
}
