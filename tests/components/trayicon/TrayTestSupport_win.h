#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "components/trayicon/TrayIcon_win.h"

// A record the component sent to the shell, as the shell would read it.
struct TShellCall {
    DWORD Message = 0;
    NOTIFYICONDATAA Data{};
    std::string Tip() const { return std::string(Data.szTip, strnlen(Data.szTip, 64)); }
};

// Replaces the shell call for the lifetime of the object; calls are recorded
// and answered with Result, or passed on to the real shell when PassOn.
class TShellRecorder {
public:
    TShellRecorder() {
        current_ = this;
        QxShellNotifyIcon = &Record;
    }
    ~TShellRecorder() {
        QxShellNotifyIcon = &Shell_NotifyIconA;
        current_ = nullptr;
    }
    std::vector<TShellCall> Calls;
    BOOL Result = TRUE;
    bool PassOn = false;

    // The messages sent, as "add", "modify", "delete" words.
    std::string Messages() const {
        std::string s;
        for (const auto& c : Calls) {
            s += s.empty() ? "" : " ";
            s += c.Message == NIM_ADD ? "add" : c.Message == NIM_MODIFY ? "modify" : "delete";
        }
        return s;
    }

private:
    static BOOL WINAPI Record(DWORD message, PNOTIFYICONDATAA data) {
        TShellCall call;
        call.Message = message;
        // Only what the record's size says the shell may read.
        std::memcpy(&call.Data, data, data->cbSize <= sizeof call.Data ? data->cbSize : 0);
        current_->Calls.push_back(call);
        if (current_->PassOn)
            return Shell_NotifyIconA(message, data);
        return current_->Result;
    }
    static inline TShellRecorder* current_ = nullptr;
};
