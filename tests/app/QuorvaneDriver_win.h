#pragma once
// Test-side driver of the real Quorvane.exe: starting and ending it, its settings key, its windows,
// and a stand-in for the desk band (a window of the band's class that records what it is sent).
#include <windows.h>
// (after windows.h, which it needs)
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/fixtures/WinFarmClient_win.h"

namespace quorvane_test {

inline const char* const kSettingsKey = "Software\\Quorvane";

// ---- The settings key ----

inline void DeleteSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

inline void PutSetting(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// The value's text, or "<missing>".
inline std::string GetSetting(const std::string& name) {
    char buffer[512] = {};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return buffer;
}

// ---- The program ----

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> windows;
};

inline BOOL CALLBACK CollectWindowsOf(HWND hwnd, LPARAM lp) {
    auto* state = reinterpret_cast<ProcessWindows*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == state->pid)
        state->windows.push_back(hwnd);
    return TRUE;
}

class Program {
public:
#ifdef QUORVANE_EXE
    Program() : Program(QUORVANE_EXE) {}
#endif
    // Starts the program at `exe` (a Windows path). Does not wait for it.
    explicit Program(const std::string& exe) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string commandLine = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi_))
            pi_ = {};
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (pi_.hProcess != nullptr) {
            if (Running()) {
                // A test that failed half way: end the program the way a user would, then by force.
                if (HWND m = Manager())
                    PostMessageA(m, WM_CLOSE, 0, 0);
                if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0)
                    TerminateProcess(pi_.hProcess, 1);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }

    bool Started() const {
        return pi_.hProcess != nullptr;
    }
    DWORD Pid() const {
        return pi_.dwProcessId;
    }
    HANDLE Process() const {
        return pi_.hProcess;
    }
    bool Running() const {
        return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
    }
    // The exit code once the program has ended within `ms`; STILL_ACTIVE otherwise.
    DWORD WaitExit(DWORD ms) {
        if (!winfarm::PumpUntil([&] { return !Running(); }, static_cast<int>(ms)))
            return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    // The program's top-level windows.
    std::vector<HWND> Windows() const {
        ProcessWindows state{pi_.dwProcessId, {}};
        EnumWindows(CollectWindowsOf, reinterpret_cast<LPARAM>(&state));
        return state.windows;
    }
    HWND WindowOfClass(const char* className, const char* title = nullptr) const {
        for (HWND w : Windows()) {
            char name[128] = {};
            GetClassNameA(w, name, sizeof name);
            if (lstrcmpA(name, className) != 0)
                continue;
            if (title == nullptr)
                return w;
            char text[256] = {};
            GetWindowTextA(w, text, sizeof text);
            if (lstrcmpA(text, title) == 0)
                return w;
        }
        return nullptr;
    }
    HWND Manager() const {
        return WindowOfClass("TForm1", "Quorvane");
    }
    HWND HelpDialog() const {
        return WindowOfClass("TDeskBandHelpDlg");
    }

    // Waits until the manager window exists and its start-up has finished (the program idles in
    // its message loop).
    bool WaitReady(DWORD ms = 15000) {
        if (!winfarm::PumpUntil([&] { return Manager() != nullptr; }, static_cast<int>(ms)))
            return false;
        return WaitForInputIdle(pi_.hProcess, ms) == 0;
    }

private:
    PROCESS_INFORMATION pi_{};
};

// ---- The notification area ----

// Whether the notification area holds the icon `id` of `owner`: a modify that changes nothing
// succeeds only for an icon the area holds, whoever asks.
inline bool TrayHoldsIcon(HWND owner, UINT id = 0) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// ---- Faults ----

// An address no module maps: a call there faults at once.
inline constexpr std::uintptr_t kUnmappedAddress = 0x10;

// Makes the thread that owns `window` (a window of `program`) fault as a call through a bad
// pointer would, at whatever point it is waiting: its context is turned into a call to an
// unmapped address that would return to where the thread stood, so the fault unwinds through the
// thread's real frames. A posted message wakes a thread that waits for one. False when the
// thread could not be reached.
inline bool FaultThreadOf(const Program& program, HWND window) {
    const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT,
                               FALSE, threadId);
    if (thread == nullptr)
        return false;
    bool done = false;
    if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
#ifdef _WIN64
            const DWORD64 returnAddress = context.Rip;
            context.Rsp -= sizeof returnAddress;
            const auto stack = static_cast<std::uintptr_t>(context.Rsp);
            context.Rip = kUnmappedAddress;
#else
            const DWORD returnAddress = context.Eip;
            context.Esp -= sizeof returnAddress;
            const auto stack = static_cast<std::uintptr_t>(context.Esp);
            context.Eip = static_cast<DWORD>(kUnmappedAddress);
#endif
            done = WriteProcessMemory(program.Process(), reinterpret_cast<void*>(stack),
                                      &returnAddress, sizeof returnAddress, nullptr) &&
                   SetThreadContext(thread, &context);
        }
        ResumeThread(thread);
    }
    CloseHandle(thread);
    if (done)
        PostMessageA(window, WM_NULL, 0, 0);
    return done;
}

// ---- A stand-in for the band's window ----

inline std::vector<UINT>& BandLog() {
    static std::vector<UINT> log;
    return log;
}

inline LRESULT CALLBACK FakeBandProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER && msg <= WM_USER + 13)
        BandLog().push_back(msg == WM_USER + 6 ? (msg << 8) | static_cast<UINT>(wp) : msg);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A window of the band's class, whose handle the program accepts as the band's (or, of another
// class, a stranger's window that must never hear from the program). Messages it is sent are
// logged in BandLog(); WM_SETNUMDESKS as (0x406 << 8) | count.
class FakeBand {
public:
    explicit FakeBand(const char* className = "TQuorvaneTB") {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FakeBandProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, wc.hInstance, nullptr);
        BandLog().clear();
    }
    ~FakeBand() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }
    std::string HandleText() const {
        return std::to_string(static_cast<unsigned long long>(
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window_))));
    }
    bool Received(UINT msg) const {
        for (UINT m : BandLog())
            if (m == msg)
                return true;
        return false;
    }

private:
    HWND window_ = nullptr;
};

// ---- A window of the test's own that counts how often it is shown or hidden ----

inline int& ShowWindowCount() {
    static int count = 0;
    return count;
}

inline LRESULT CALLBACK WatchedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SHOWWINDOW)
        ++ShowWindowCount();
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A visible titled top-level window, listed by the program like any other program's. The test
// must pump messages for the program's shows and hides of it to complete.
class WatchedWindow {
public:
    WatchedWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WatchedProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QuorvaneTestWatched";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, wc.lpszClassName, "Watched", WS_OVERLAPPEDWINDOW, 60, 60, 200,
                                  120, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        ShowWindowCount() = 0;
    }
    ~WatchedWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

} // namespace quorvane_test
