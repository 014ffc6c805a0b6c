#include "desktops/WindowCommands.h"

#include "desktops/DesktopEngine.h"

int DeskOfMessage(unsigned message, unsigned first) noexcept {
    return message >= first && message - first < 4 ? static_cast<int>(message - first) : -1;
}

unsigned MessageOfDesk(int desk, unsigned first) noexcept {
    return desk >= 0 && desk < 4 ? first + static_cast<unsigned>(desk) : 0;
}

bool SwitchRequestAllowed(int desk, int activeDesk, int numDesks, bool switchAllowed) noexcept {
    return switchAllowed && desk >= 0 && desk < 4 && desk != activeDesk && desk < numDesks;
}

bool OwnerInList(const TStringList& list, TWindowHandle window, TWindowSystem& system) {
    const TWindowHandle owner = system.Owner(window);
    return owner != 0 && list.IndexOf(HandleText(owner)) >= 0;
}

std::vector<TWindowHandle> TopWindowsOf(const TStringList& list, TWindowSystem& system) {
    std::vector<TWindowHandle> out;
    for (int i = 0; i < list.Count(); ++i) {
        const TWindowHandle window = ParseHandle(list.Strings(i));
        if (!OwnerInList(list, window, system))
            out.push_back(window);
    }
    return out;
}

bool CanRemove(const std::array<TStringList, 4>& lists, int desk, TWindowHandle window) {
    const std::string entry = HandleText(window);
    for (int other = 0; other < 4; ++other)
        if (other != desk && lists[static_cast<std::size_t>(other)].IndexOf(entry) >= 0)
            return true;
    return false;
}

std::array<bool, 4> TargetItemsVisible(int numDesks, int desk) noexcept {
    std::array<bool, 4> visible{};
    for (int d = 0; d < 4; ++d)
        visible[static_cast<std::size_t>(d)] = d < numDesks && d != desk;
    return visible;
}

std::vector<int> AddToAllDesktops(TDesktopEngine& engine, int desk, TWindowHandle window) {
    std::vector<int> added;
    const std::string entry = HandleText(window);
    for (int d = 0; d < engine.NumDesks && d < 4; ++d) {
        if (d == desk || engine.DeskWins[static_cast<std::size_t>(d)].IndexOf(entry) >= 0)
            continue;
        engine.ShowWin(desk, d, window, -1);
        added.push_back(d);
    }
    return added;
}

bool RemoveFromDesktop(TDesktopEngine& engine, int desk, TWindowHandle window) {
    if (desk < 0 || desk > 3 || !CanRemove(engine.DeskWins, desk, window))
        return false;
    engine.HideWin(desk, window);
    return true;
}

bool AcceptDrop(TTreeLevel dragged, TTreeLevel target) noexcept {
    return dragged == TTreeLevel::Window &&
           (target == TTreeLevel::Desk || target == TTreeLevel::Window);
}

namespace {

bool ValidPair(const TDesktopEngine& engine, int from, int to) {
    return from >= 0 && from < 4 && to >= 0 && to < 4 && to < engine.NumDesks;
}

// Gives the window to `to` at `position` and takes it off `from`; the active desktop is then
// restacked in list order.
void MoveWindow(TDesktopEngine& engine, int from, int to, TWindowHandle window, int position) {
    engine.ShowWin(from, to, window, position);
    engine.HideWin(from, window);
    engine.RefreshActiveDesktop();
}

} // namespace

TDropResult DropOnDesk(TDesktopEngine& engine, int from, int to, TWindowHandle window) {
    if (window == 0 || from == to || !ValidPair(engine, from, to))
        return TDropResult::None;
    if (engine.DeskWins[static_cast<std::size_t>(to)].IndexOf(HandleText(window)) >= 0)
        return TDropResult::None;
    MoveWindow(engine, from, to, window, -1);
    return TDropResult::Changed;
}

bool ReorderList(TStringList& list, TWindowHandle window, TWindowHandle target) {
    const int from = list.IndexOf(HandleText(window));
    if (from < 0)
        return false;
    const int at = list.IndexOf(HandleText(target));
    const std::string entry = list.Strings(from);
    list.Delete(from);
    if (at < 0 || at > list.Count())
        list.Add(entry);
    else
        list.Insert(at, entry);
    return true;
}

TDropResult DropOnWindow(TDesktopEngine& engine, int from, int to, TWindowHandle window,
                         TWindowHandle target, int treeIndex) {
    if (window == 0 || !ValidPair(engine, from, to))
        return TDropResult::None;
    if (from == to) {
        if (!ReorderList(engine.DeskWins[static_cast<std::size_t>(from)], window, target))
            return TDropResult::Stale;
        if (from == engine.ActiveDesk)
            engine.RefreshActiveDesktop();
        return TDropResult::Changed;
    }
    if (engine.DeskWins[static_cast<std::size_t>(to)].IndexOf(HandleText(window)) >= 0)
        return TDropResult::None;
    MoveWindow(engine, from, to, window, treeIndex);
    return TDropResult::Changed;
}
