#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktops/WindowSystem.h"

// A window manager in memory for the desktop engine's native tests. It models what the engine
// depends on as the real one behaves:
// - owners versus parents: GetParent answers the owner only for WS_POPUP windows, GW_OWNER always;
// - visibility (minimised windows are visible) and titles;
// - process start times, some of them unreadable, and how often they are asked for;
// - stacking order: new windows and windows that are shown or brought forward go to the top,
//   and a window's owned windows stay above it;
// - hung programs: asynchronous requests wait until the program pumps again, and a synchronous
//   call that would block is counted;
// - the shell's desktop window, which a shell restart replaces with a new handle.
// Calls made through the TWindowSystem interface are the engine's; the Program... calls stand for
// what other programs do to their own windows.
class TFakeWindowSystem : public TWindowSystem {
public:
    struct Window {
        TWindowHandle handle = 0;
        TProcessId process = 0;
        std::string title;
        TWindowHandle owner = 0;
        bool popup = false;
        bool visible = true;
        bool minimised = false;
        // The latest change of visibility was a hide by the engine: the window is hidden on the
        // engine's account and the engine must show it again before the program ends.
        bool hiddenByEngine = false;
    };

    enum class CallKind { Show, Hide, ShowAsync, HideAsync, SetForeground };
    struct Call {
        CallKind kind;
        TWindowHandle window;
        bool operator==(const Call&) const = default;
    };

    TFakeWindowSystem();

    // ---- Other programs ----

    // A process started at `created` (100 ns units), or one whose time cannot be read.
    TProcessId StartProcess(std::optional<std::uint64_t> created);
    // A top-level window of `process`, created on top of the stack. `handle` 0 takes the next
    // free value. Returns the handle.
    TWindowHandle CreateWindow(TProcessId process, const std::string& title,
                               TWindowHandle owner = 0, bool popup = false, bool visible = true,
                               TWindowHandle handle = 0);
    // Destroys the window and (as the system does) the windows it owns.
    void DestroyWindow(TWindowHandle window);
    // The process ends: its windows go, and its time can no longer be read.
    void EndProcess(TProcessId process);
    void ProgramShow(TWindowHandle window);
    void ProgramHide(TWindowHandle window);
    void ProgramMinimise(TWindowHandle window);
    // The process stops or starts again taking its messages; requests posted meanwhile are
    // carried out when it starts again.
    void SetHung(TProcessId process, bool hung);
    // The shell ends and starts again: a new desktop window with a new handle.
    TWindowHandle RestartShell();
    // The shell ends for good: no desktop window.
    void EndShell();

    // ---- Observations ----

    const Window* Find(TWindowHandle window) const;
    // Every window, top of the stack first.
    const std::vector<TWindowHandle>& Stack() const { return stack_; }
    // Whether `upper` stands above `lower` in the stack (both must exist).
    bool IsAbove(TWindowHandle upper, TWindowHandle lower) const;
    std::vector<TWindowHandle> AllWindows() const;
    TWindowHandle ShellWindow() const { return shell_; }
    const std::vector<Call>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    int TimeQueries() const { return timeQueries_; }
    // Synchronous shows and hides of windows whose program was hung: each would have blocked.
    int BlockingCalls() const { return blockingCalls_; }

    // ---- TWindowSystem ----
    std::vector<TWindowHandle> TopLevelWindows() override { return stack_; }
    bool Exists(TWindowHandle window) override { return Find(window) != nullptr; }
    bool IsVisible(TWindowHandle window) override;
    int TitleLength(TWindowHandle window) override;
    TWindowHandle Parent(TWindowHandle window) override;
    TWindowHandle Owner(TWindowHandle window) override;
    TProcessId ProcessOf(TWindowHandle window) override;
    std::optional<std::uint64_t> ProcessCreationTime(TProcessId process) override;
    bool IsHung(TWindowHandle window) override;
    bool Show(TWindowHandle window) override;
    bool Hide(TWindowHandle window) override;
    bool ShowAsync(TWindowHandle window) override;
    bool HideAsync(TWindowHandle window) override;
    TWindowHandle Foreground() override;
    void SetForeground(TWindowHandle window) override;
    TWindowHandle ShellDesktopWindow() override { return shell_; }

private:
    struct Process {
        std::optional<std::uint64_t> created;
        bool hung = false;
        bool ended = false;
        std::vector<std::pair<TWindowHandle, bool>> posted; // window, show
    };

    Window* Lookup(TWindowHandle window);
    bool ProcessHung(const Window& window) const;
    // Carries out a show or hide; returns whether the window was visible before.
    bool Apply(TWindowHandle window, bool show, bool byEngine);
    // Moves the window with the windows it owns to the top, the owned ones above it.
    void Raise(TWindowHandle window);
    void CollectOwned(TWindowHandle window, std::vector<TWindowHandle>& out) const;

    std::map<TWindowHandle, Window> windows_;
    std::map<TProcessId, Process> processes_;
    std::vector<TWindowHandle> stack_;
    std::vector<Call> calls_;
    TWindowHandle nextHandle_ = 0x10010;
    TProcessId nextProcess_ = 100;
    TProcessId shellProcess_ = 0;
    TWindowHandle shell_ = 0;
    TWindowHandle foreground_ = 0;
    int timeQueries_ = 0;
    int blockingCalls_ = 0;
};
