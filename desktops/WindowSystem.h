#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "desktops/WindowHandle.h"

// What the desktop engine asks of the window manager, and nothing more. The Win32 side lives in
// Win32WindowSystem_win; tests use a fake that models owners, visibility, titles, process start
// times and stacking order. Every query on a handle that names no window answers as the system
// does for one: false, 0 or "no time", never an exception.
class TWindowSystem {
public:
    virtual ~TWindowSystem() = default;

    // Every top-level window, in stacking order from the top (the order EnumWindows gives).
    // The list is collected first and filtered afterwards, so no engine code (and no exception)
    // runs inside the system's enumeration callback.
    virtual std::vector<TWindowHandle> TopLevelWindows() = 0;

    // IsWindow.
    virtual bool Exists(TWindowHandle window) = 0;
    // IsWindowVisible: true for minimised windows too.
    virtual bool IsVisible(TWindowHandle window) = 0;
    // GetWindowTextLength: 0 for an untitled window.
    virtual int TitleLength(TWindowHandle window) = 0;
    // GetParent: the parent of a child window, the owner of a WS_POPUP top-level window, and 0
    // for any other top-level window, owned or not.
    virtual TWindowHandle Parent(TWindowHandle window) = 0;
    // GetWindow(GW_OWNER): the owner, whatever the window's style; 0 when it has none.
    virtual TWindowHandle Owner(TWindowHandle window) = 0;
    // GetWindowThreadProcessId: the process that made the window; 0 for no window.
    virtual TProcessId ProcessOf(TWindowHandle window) = 0;
    // The creation time of a process (100 ns units since 1601), or nothing when the process cannot
    // be opened or queried (another user's, a protected one, one that has ended).
    virtual std::optional<std::uint64_t> ProcessCreationTime(TProcessId process) = 0;
    // IsHungAppWindow: the window's program has not taken its messages for a while.
    virtual bool IsHung(TWindowHandle window) = 0;

    // ShowWindow(SW_SHOW) / ShowWindow(SW_HIDE). Synchronous: when the window belongs to another
    // thread the call waits for it. Returns whether the window was visible before the call.
    virtual bool Show(TWindowHandle window) = 0;
    virtual bool Hide(TWindowHandle window) = 0;
    // ShowWindowAsync with the same commands: posted to the window's thread, returns at once.
    // Returns whether the request was taken.
    virtual bool ShowAsync(TWindowHandle window) = 0;
    virtual bool HideAsync(TWindowHandle window) = 0;

    // GetForegroundWindow (0 when none) and SetForegroundWindow (0 or a gone window: no effect).
    virtual TWindowHandle Foreground() = 0;
    virtual void SetForeground(TWindowHandle window) = 0;

    // The shell's desktop window: class "Progman", title "Program Manager"; 0 when there is none.
    // It is looked up again at every call, since the shell may have been restarted.
    virtual TWindowHandle ShellDesktopWindow() = 0;
};
