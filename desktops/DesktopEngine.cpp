#include "desktops/DesktopEngine.h"

#include <algorithm>
#include <unordered_set>

#include "desktops/NewWindowOrder.h"

namespace {

// Restores the switch gate however MainProc is left.
class TSwitchGate {
public:
    explicit TSwitchGate(bool& allowed) : allowed_(allowed) { allowed_ = false; }
    ~TSwitchGate() { allowed_ = true; }
    TSwitchGate(const TSwitchGate&) = delete;
    TSwitchGate& operator=(const TSwitchGate&) = delete;

private:
    bool& allowed_;
};

} // namespace

TDesktopEngine::TDesktopEngine(TWindowSystem& system, TDesktopView& view)
    : system_(system), view_(view) {}

std::string TDesktopEngine::DesktopHint(int desk) {
    return "Desktop " + std::to_string(desk + 1);
}

std::string TDesktopEngine::ActiveDesktopStatus(int desk) {
    return "  Active Desktop: " + std::to_string(desk + 1);
}

void TDesktopEngine::MainProc(int index) {
    TSwitchGate gate(SwitchAllowed);
    VisibleWins.Clear();
    const TWindowHandle foreground = system_.Foreground();
    const int count = std::clamp(NumDesks, 1, kMaxDesks);
    if (index == -1) {
        index = ActiveDesk + 1;
    }
    if (index < 0 || index > count - 1) {
        index = 0;
    }

    const int left = ActiveDesk;
    DeskChildWins[left].Clear();
    SideEffect([&] { view_.SetDeskChecked(left, false); });
    DeskForegroundWin[left] = foreground;

    SideEffect([&] { view_.SetTrayHint(DesktopHint(index)); });
    SideEffect([&] { view_.SetStatusText(ActiveDesktopStatus(index)); });
    SideEffect([&] { view_.SetDeskChecked(index, true); });

    // The secondary windows found go to the desktop being left: ActiveDesk is still `left`.
    EnumWins();
    EnumChildWins();
    HideShowWins(index);
    SideEffect([&] {
        if (view_.IsManagerVisible()) {
            view_.BringApplicationToFront();
        }
    });

    ActiveDesk = index;
    SideEffect([&] { view_.SetTrayIcon(index); });
    SideEffect([&] { view_.ApplyWallpaper(index); });
    SaveDesktop(left);
    SwitchAllowed = true;
    SideEffect([&] { view_.PostActiveDesk(ActiveDesk); });
}

void TDesktopEngine::EnumWinsProc(TWindowHandle window) {
    if (!system_.Exists(window) || window == managerWnd_ || window == applicationWnd_ ||
        window == ProgmanWnd) {
        return;
    }
    if (!system_.IsVisible(window)) {
        return;
    }
    // Visible again, by whoever showed it: the engine's hide is no longer in force. Not so for a
    // hung program's window, which may still have the engine's hide waiting in its queue.
    if (IsRecorded(window) && !system_.IsHung(window)) {
        Forget(window);
    }
    if (system_.TitleLength(window) > 0 && system_.Parent(window) == 0) {
        VisibleWins.Add(HandleText(window));
    }
}

void TDesktopEngine::EnumChildWinsProc(TWindowHandle window) {
    if (!system_.Exists(window) || !system_.IsVisible(window) || window == ProgmanWnd ||
        window == managerWnd_ || window == applicationWnd_) {
        return;
    }
    const TWindowHandle parent = system_.Parent(window);
    const int titleLength = system_.TitleLength(window);
    if (parent != 0 && parent == applicationWnd_) {
        return;
    }
    const std::string entry = HandleText(window);
    if (parent == 0 || VisibleWins.IndexOf(HandleText(parent)) < 0) {
        if (titleLength == 0 || VisibleWins.IndexOf(entry) >= 0) {
            return;
        }
    }
    DeskChildWins[ActiveDesk].Add(entry);
}

void TDesktopEngine::EnumWins() {
    managerWnd_ = view_.ManagerWindow();
    applicationWnd_ = view_.ApplicationWindow();
    ProgmanWnd = system_.ShellDesktopWindow();
    ForgetGoneWindows();
    for (TWindowHandle window : system_.TopLevelWindows()) {
        EnumWinsProc(window);
    }
}

void TDesktopEngine::EnumChildWins() {
    managerWnd_ = view_.ManagerWindow();
    applicationWnd_ = view_.ApplicationWindow();
    ProgmanWnd = system_.ShellDesktopWindow();
    for (TWindowHandle window : system_.TopLevelWindows()) {
        EnumChildWinsProc(window);
    }
}

void TDesktopEngine::HideShowWins(int index) {
    for (int i = 0; i < VisibleWins.Count(); ++i) {
        HideEntry(VisibleWins.Strings(i));
    }
    const TStringList& children = DeskChildWins[ActiveDesk];
    for (int i = 0; i < children.Count(); ++i) {
        HideEntry(children.Strings(i));
    }
    ShowDesktop(index);
    if (ValidDesk(index) && DeskForegroundWin[index] != 0) {
        system_.SetForeground(DeskForegroundWin[index]);
    }
}

void TDesktopEngine::ShowDesktop(int index) {
    if (!ValidDesk(index)) {
        return;
    }
    for (int i = 0; i < DeskChildWins[index].Count(); ++i) {
        ShowEntry(DeskChildWins[index].Strings(i));
    }
    for (int i = 0; i < DeskWins[index].Count(); ++i) {
        ShowEntry(DeskWins[index].Strings(i));
    }
}

void TDesktopEngine::SaveDesktop(int desk) {
    if (!ValidDesk(desk)) {
        return;
    }
    TStringList& list = DeskWins[desk];
    std::unordered_set<std::string> listed, visible;
    for (int i = 0; i < list.Count(); ++i) {
        listed.insert(list.Strings(i));
    }
    std::vector<std::string> added;
    for (int i = 0; i < VisibleWins.Count(); ++i) {
        std::string entry = VisibleWins.Strings(i);
        visible.insert(entry);
        if (!listed.contains(entry)) {
            added.push_back(std::move(entry));
        }
    }
    std::vector<std::string> kept;
    for (int i = 0; i < list.Count(); ++i) {
        if (std::string entry = list.Strings(i); visible.contains(entry)) {
            kept.push_back(std::move(entry));
        }
    }
    SortByProcessTime(added, system_);
    kept.insert(kept.end(), std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));
    list.BeginUpdate();
    try {
        list.Clear();
        for (const auto& entry : kept) {
            list.Add(entry);
        }
    } catch (...) {
        list.EndUpdate();
        throw;
    }
    list.EndUpdate();
}

void TDesktopEngine::RefreshListWins() {
    VisibleWins.Clear();
    EnumWins();
    EnumChildWins();
    SaveDesktop(ActiveDesk);
    VisibleWins.Clear();
}

void TDesktopEngine::RefreshActiveDesktop() {
    const TStringList& list = DeskWins[ActiveDesk];
    for (int i = list.Count() - 1; i >= 0; --i) {
        HideEntry(list.Strings(i));
    }
    for (int i = 0; i < list.Count(); ++i) {
        ShowEntry(list.Strings(i));
    }
}

void TDesktopEngine::ShowWindow(TWindowHandle window) {
    if (system_.IsHung(window)) {
        system_.ShowAsync(window);
    } else {
        system_.Show(window);
    }
    Forget(window);
}

void TDesktopEngine::HideWindow(TWindowHandle window) {
    bool ours;
    if (system_.IsHung(window)) {
        // What a hung program's window will look like once it takes this request is unknown (a
        // show posted earlier may still be waiting), so the window is ours to put back.
        ours = system_.HideAsync(window);
    } else {
        // Only a window this call took off the screen is ours to put back; one its own program
        // had hidden stays as its program left it.
        ours = system_.Hide(window);
    }
    if (ours) {
        if (!IsRecorded(window)) {
            hidden_.emplace_back(window, system_.ProcessOf(window));
        }
    }
}

bool TDesktopEngine::IsRecorded(TWindowHandle window) const {
    return std::any_of(hidden_.begin(), hidden_.end(),
                       [&](const auto& record) { return record.first == window; });
}

void TDesktopEngine::Forget(TWindowHandle window) {
    auto found = std::find_if(hidden_.begin(), hidden_.end(),
                              [&](const auto& record) { return record.first == window; });
    if (found != hidden_.end()) {
        hidden_.erase(found);
    }
}

void TDesktopEngine::ForgetGoneWindows() {
    // Windows closed while hidden would otherwise stay recorded until exit, and every hide and
    // show looks through the record.
    std::erase_if(hidden_, [&](const auto& record) {
        return !system_.Exists(record.first) || system_.ProcessOf(record.first) != record.second;
    });
}

void TDesktopEngine::ExitShowWindows() {
    for (int desk = 0; desk < kMaxDesks; ++desk) {
        if (desk != ActiveDesk) {
            ShowDesktop(desk);
        }
    }
    RestoreHiddenWindows();
    if (ValidDesk(ActiveDesk) && DeskForegroundWin[ActiveDesk] != 0) {
        system_.SetForeground(DeskForegroundWin[ActiveDesk]);
    }
}

void TDesktopEngine::RestoreHiddenWindows() {
    // Latest hidden first: each show raises the window, so the earliest hidden ends on top, as
    // it stood before the hides.
    auto records = std::move(hidden_);
    hidden_.clear();
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (system_.Exists(record->first) && system_.ProcessOf(record->first) == record->second) {
            ShowWindow(record->first);
        }
    }
    hidden_.clear();
}
