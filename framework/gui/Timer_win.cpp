#include "framework/gui/Timer_win.h"

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/UtilityWindow_win.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = CreateUtilityWindow(TWndMethod(this, &TTimer::WndProc));
}

TTimer::~TTimer() {
    if (alive_ != nullptr)
        *alive_ = false;
    if (running_)
        KillTimer(window_, 1);
    DestroyUtilityWindow(window_);
}

void TTimer::UpdateTimer() {
    if (running_) {
        KillTimer(window_, 1);
        running_ = false;
    }
    if (enabled_ && interval_ != 0 && onTimer_) {
        if (SetTimer(window_, 1, interval_, nullptr) == 0)
            throw EInvalidOperation("Not enough timers available");
        running_ = true;
    }
}

void TTimer::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (interval_ == Value)
        return;
    interval_ = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
    onTimer_ = Value;
    UpdateTimer();
}

void TTimer::Timer() {
    if (onTimer_)
        onTimer_(this);
}

void TTimer::WndProc(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        Message.Result = DefWindowProcA(window_, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    bool alive = true;
    alive_ = &alive;
    try {
        Timer();
    } catch (...) {
        if (alive)
            alive_ = nullptr;
        ReportException(alive ? this : nullptr);
        return;
    }
    if (alive)
        alive_ = nullptr;
}
