#include "desktops/Win32WindowSystem_win.h"

#include <new>

namespace {

struct TEnumState {
    std::vector<TWindowHandle>* windows;
    bool failed;
};

// No exception may leave the system's callback: a failed append ends the enumeration and is
// raised again once EnumWindows has returned.
BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) noexcept {
    auto* state = reinterpret_cast<TEnumState*>(data);
    try {
        state->windows->push_back(TWin32WindowSystem::FromHwnd(window));
        return TRUE;
    } catch (...) {
        state->failed = true;
        return FALSE;
    }
}

// Owns a process handle opened for a query.
class TProcessHandle {
public:
    explicit TProcessHandle(HANDLE handle) : handle_(handle) {}
    ~TProcessHandle() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    TProcessHandle(const TProcessHandle&) = delete;
    TProcessHandle& operator=(const TProcessHandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

} // namespace

std::vector<TWindowHandle> TWin32WindowSystem::TopLevelWindows() {
    std::vector<TWindowHandle> windows;
    windows.reserve(256);
    TEnumState state{&windows, false};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    if (state.failed) {
        throw std::bad_alloc();
    }
    return windows;
}

bool TWin32WindowSystem::Exists(TWindowHandle window) {
    return window != 0 && IsWindow(ToHwnd(window)) != FALSE;
}

bool TWin32WindowSystem::IsVisible(TWindowHandle window) {
    return window != 0 && IsWindowVisible(ToHwnd(window)) != FALSE;
}

int TWin32WindowSystem::TitleLength(TWindowHandle window) {
    // A NULL handle gives a bogus length on some systems.
    return window == 0 ? 0 : GetWindowTextLengthA(ToHwnd(window));
}

TWindowHandle TWin32WindowSystem::Parent(TWindowHandle window) {
    return window == 0 ? 0 : FromHwnd(GetParent(ToHwnd(window)));
}

TWindowHandle TWin32WindowSystem::Owner(TWindowHandle window) {
    return window == 0 ? 0 : FromHwnd(GetWindow(ToHwnd(window), GW_OWNER));
}

TProcessId TWin32WindowSystem::ProcessOf(TWindowHandle window) {
    DWORD process = 0;
    if (window != 0 && GetWindowThreadProcessId(ToHwnd(window), &process) == 0) {
        return 0;
    }
    return process;
}

std::optional<std::uint64_t> TWin32WindowSystem::ProcessCreationTime(TProcessId process) {
    if (process == 0) {
        return std::nullopt;
    }
    TProcessHandle handle(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process));
    if (handle.Get() == nullptr) {
        return std::nullopt;
    }
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(handle.Get(), &created, &exited, &kernel, &user)) {
        return std::nullopt;
    }
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool TWin32WindowSystem::IsHung(TWindowHandle window) {
    return window != 0 && IsHungAppWindow(ToHwnd(window)) != FALSE;
}

bool TWin32WindowSystem::Show(TWindowHandle window) {
    return window != 0 && ShowWindow(ToHwnd(window), SW_SHOW) != FALSE;
}

bool TWin32WindowSystem::Hide(TWindowHandle window) {
    return window != 0 && ShowWindow(ToHwnd(window), SW_HIDE) != FALSE;
}

bool TWin32WindowSystem::ShowAsync(TWindowHandle window) {
    return window != 0 && ShowWindowAsync(ToHwnd(window), SW_SHOW) != FALSE;
}

bool TWin32WindowSystem::HideAsync(TWindowHandle window) {
    return window != 0 && ShowWindowAsync(ToHwnd(window), SW_HIDE) != FALSE;
}

TWindowHandle TWin32WindowSystem::Foreground() {
    return FromHwnd(GetForegroundWindow());
}

void TWin32WindowSystem::SetForeground(TWindowHandle window) {
    if (window != 0) {
        SetForegroundWindow(ToHwnd(window));
    }
}

TWindowHandle TWin32WindowSystem::ShellDesktopWindow() {
    return FromHwnd(FindWindowA("Progman", "Program Manager"));
}
