#include "tests/desktops/FakeWindowSystem.h"

#include <algorithm>
#include <stdexcept>

TFakeWindowSystem::TFakeWindowSystem() {
    shellProcess_ = StartProcess(1);
    RestartShell();
}

TProcessId TFakeWindowSystem::StartProcess(std::optional<std::uint64_t> created) {
    const TProcessId id = nextProcess_;
    nextProcess_ += 4;
    processes_[id].created = created;
    return id;
}

TWindowHandle TFakeWindowSystem::CreateWindow(TProcessId process, const std::string& title,
                                              TWindowHandle owner, bool popup, bool visible,
                                              TWindowHandle handle) {
    if (handle == 0) {
        while (windows_.count(nextHandle_) != 0) {
            nextHandle_ += 0x12;
        }
        handle = nextHandle_;
        nextHandle_ += 0x12;
    }
    if (windows_.count(handle) != 0 || processes_.count(process) == 0) {
        throw std::logic_error("fake: bad window creation");
    }
    Window& w = windows_[handle];
    w.handle = handle;
    w.process = process;
    w.title = title;
    w.owner = Find(owner) != nullptr ? owner : 0;
    w.popup = popup;
    w.visible = visible;
    stack_.insert(stack_.begin(), handle);
    return handle;
}

void TFakeWindowSystem::DestroyWindow(TWindowHandle window) {
    if (Find(window) == nullptr) {
        return;
    }
    std::vector<TWindowHandle> gone{window};
    CollectOwned(window, gone);
    for (TWindowHandle h : gone) {
        windows_.erase(h);
        stack_.erase(std::remove(stack_.begin(), stack_.end(), h), stack_.end());
        if (foreground_ == h) {
            foreground_ = 0;
        }
        if (shell_ == h) {
            shell_ = 0;
        }
    }
}

void TFakeWindowSystem::EndProcess(TProcessId process) {
    std::vector<TWindowHandle> gone;
    for (const auto& [handle, w] : windows_) {
        if (w.process == process) {
            gone.push_back(handle);
        }
    }
    for (TWindowHandle h : gone) {
        DestroyWindow(h);
    }
    if (auto p = processes_.find(process); p != processes_.end()) {
        p->second.ended = true;
        p->second.posted.clear();
    }
}

void TFakeWindowSystem::ProgramShow(TWindowHandle window) {
    Apply(window, true, false);
}

void TFakeWindowSystem::ProgramHide(TWindowHandle window) {
    if (Window* w = Lookup(window)) {
        Apply(window, false, false);
        w->hiddenByEngine = false;
    }
}

void TFakeWindowSystem::ProgramMinimise(TWindowHandle window) {
    if (Window* w = Lookup(window)) {
        w->minimised = true;
    }
}

void TFakeWindowSystem::SetHung(TProcessId process, bool hung) {
    auto p = processes_.find(process);
    if (p == processes_.end()) {
        return;
    }
    p->second.hung = hung;
    if (!hung) {
        auto posted = std::move(p->second.posted);
        p->second.posted.clear();
        for (auto [window, show] : posted) {
            Apply(window, show, true);
        }
    }
}

TWindowHandle TFakeWindowSystem::RestartShell() {
    EndShell();
    shell_ = CreateWindow(shellProcess_, "Program Manager");
    // The desktop window lies below everything else.
    stack_.erase(stack_.begin());
    stack_.push_back(shell_);
    return shell_;
}

void TFakeWindowSystem::EndShell() {
    DestroyWindow(shell_);
    shell_ = 0;
}

const TFakeWindowSystem::Window* TFakeWindowSystem::Find(TWindowHandle window) const {
    auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : &found->second;
}

TFakeWindowSystem::Window* TFakeWindowSystem::Lookup(TWindowHandle window) {
    auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : &found->second;
}

bool TFakeWindowSystem::IsAbove(TWindowHandle upper, TWindowHandle lower) const {
    auto u = std::find(stack_.begin(), stack_.end(), upper);
    auto l = std::find(stack_.begin(), stack_.end(), lower);
    if (u == stack_.end() || l == stack_.end()) {
        throw std::logic_error("fake: IsAbove on a window that does not exist");
    }
    return u < l;
}

std::vector<TWindowHandle> TFakeWindowSystem::AllWindows() const {
    std::vector<TWindowHandle> all;
    for (const auto& entry : windows_) {
        all.push_back(entry.first);
    }
    return all;
}

bool TFakeWindowSystem::IsVisible(TWindowHandle window) {
    const Window* w = Find(window);
    return w != nullptr && w->visible;
}

int TFakeWindowSystem::TitleLength(TWindowHandle window) {
    const Window* w = Find(window);
    return w == nullptr ? 0 : static_cast<int>(w->title.size());
}

TWindowHandle TFakeWindowSystem::Parent(TWindowHandle window) {
    const Window* w = Find(window);
    return w != nullptr && w->popup ? w->owner : 0;
}

TWindowHandle TFakeWindowSystem::Owner(TWindowHandle window) {
    const Window* w = Find(window);
    return w == nullptr ? 0 : w->owner;
}

TProcessId TFakeWindowSystem::ProcessOf(TWindowHandle window) {
    const Window* w = Find(window);
    return w == nullptr ? 0 : w->process;
}

std::optional<std::uint64_t> TFakeWindowSystem::ProcessCreationTime(TProcessId process) {
    ++timeQueries_;
    auto p = processes_.find(process);
    if (p == processes_.end() || p->second.ended) {
        return std::nullopt;
    }
    return p->second.created;
}

bool TFakeWindowSystem::ProcessHung(const Window& window) const {
    auto p = processes_.find(window.process);
    return p != processes_.end() && p->second.hung;
}

bool TFakeWindowSystem::IsHung(TWindowHandle window) {
    const Window* w = Find(window);
    return w != nullptr && ProcessHung(*w);
}

bool TFakeWindowSystem::Show(TWindowHandle window) {
    calls_.push_back({CallKind::Show, window});
    if (const Window* w = Find(window); w != nullptr && ProcessHung(*w)) {
        ++blockingCalls_;
    }
    return Apply(window, true, true);
}

bool TFakeWindowSystem::Hide(TWindowHandle window) {
    calls_.push_back({CallKind::Hide, window});
    if (const Window* w = Find(window); w != nullptr && ProcessHung(*w)) {
        ++blockingCalls_;
    }
    return Apply(window, false, true);
}

bool TFakeWindowSystem::ShowAsync(TWindowHandle window) {
    calls_.push_back({CallKind::ShowAsync, window});
    const Window* w = Find(window);
    if (w == nullptr) {
        return false;
    }
    if (ProcessHung(*w)) {
        processes_[w->process].posted.emplace_back(window, true);
    } else {
        Apply(window, true, true);
    }
    return true;
}

bool TFakeWindowSystem::HideAsync(TWindowHandle window) {
    calls_.push_back({CallKind::HideAsync, window});
    const Window* w = Find(window);
    if (w == nullptr) {
        return false;
    }
    if (ProcessHung(*w)) {
        processes_[w->process].posted.emplace_back(window, false);
    } else {
        Apply(window, false, true);
    }
    return true;
}

TWindowHandle TFakeWindowSystem::Foreground() {
    return foreground_;
}

void TFakeWindowSystem::SetForeground(TWindowHandle window) {
    calls_.push_back({CallKind::SetForeground, window});
    if (const Window* w = Find(window); w != nullptr && w->visible) {
        foreground_ = window;
        Raise(window);
    }
}

bool TFakeWindowSystem::Apply(TWindowHandle window, bool show, bool byEngine) {
    Window* w = Lookup(window);
    if (w == nullptr) {
        return false;
    }
    const bool wasVisible = w->visible;
    if (show && !wasVisible) {
        // SW_SHOW activates the window: it comes to the top with the windows it owns.
        w->visible = true;
        w->hiddenByEngine = false;
        foreground_ = window;
        Raise(window);
    } else if (!show && wasVisible) {
        w->visible = false;
        w->hiddenByEngine = byEngine;
        if (foreground_ == window) {
            // The system activates the next visible window.
            foreground_ = 0;
            for (TWindowHandle h : stack_) {
                if (h != window && windows_[h].visible && h != shell_) {
                    foreground_ = h;
                    break;
                }
            }
        }
    }
    return wasVisible;
}

void TFakeWindowSystem::CollectOwned(TWindowHandle window, std::vector<TWindowHandle>& out) const {
    // A work list, not recursion: ownership chains come from test input. Owners exist before the
    // windows they own, so the chains have no cycles.
    std::vector<TWindowHandle> pending{window};
    while (!pending.empty()) {
        const TWindowHandle owner = pending.back();
        pending.pop_back();
        for (const auto& [handle, w] : windows_) {
            if (w.owner == owner && handle != window &&
                std::find(out.begin(), out.end(), handle) == out.end()) {
                out.push_back(handle);
                pending.push_back(handle);
            }
        }
    }
}

void TFakeWindowSystem::Raise(TWindowHandle window) {
    std::vector<TWindowHandle> group;
    CollectOwned(window, group);
    // Owned windows keep their relative order and stand above their owner.
    std::vector<TWindowHandle> moved;
    for (TWindowHandle h : stack_) {
        if (std::find(group.begin(), group.end(), h) != group.end()) {
            moved.push_back(h);
        }
    }
    moved.push_back(window);
    stack_.erase(std::remove_if(stack_.begin(), stack_.end(),
                                [&](TWindowHandle h) {
                                    return h == window ||
                                           std::find(group.begin(), group.end(), h) != group.end();
                                }),
                 stack_.end());
    stack_.insert(stack_.begin(), moved.begin(), moved.end());
}
