#pragma once

#include <windows.h>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/gui/Message_win.h"

// A component that fires OnTimer every Interval milliseconds through a
// system timer on a utility window. No system timer exists while the timer
// is disabled, at interval 0 or without a handler; a new Interval restarts
// it. Freeing the timer (or its owner) inside OnTimer is safe; exceptions
// from OnTimer go to the application's handler.
class TTimer : public TComponent {
    FW_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);
    unsigned Interval() const noexcept { return interval_; }
    void SetInterval(unsigned Value);
    TNotifyEvent OnTimer() const noexcept { return onTimer_; }
    void SetOnTimer(TNotifyEvent Value);
    // True while a system timer runs.
    bool Running() const noexcept { return running_; }

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);

    HWND window_ = nullptr;
    bool enabled_ = true;
    bool running_ = false;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    bool* alive_ = nullptr; // set by a running OnTimer; cleared when the timer goes
};
