// The list operations of the desktop engine: add, insert, remove, move and copy a window between
// desktops, always with the windows it owns.
#include "desktops/DesktopEngine.h"

bool TDesktopEngine::IsOwnedBy(const std::string& entry, TWindowHandle window) {
    return window != 0 && system_.Owner(ParseHandle(entry)) == window;
}

void TDesktopEngine::AddWin(int desk, TWindowHandle window) {
    if (!ValidDesk(desk)) {
        return;
    }
    DeskWins[desk].Add(HandleText(window));
    if (desk == ActiveDesk) {
        ShowWindow(window);
    }
}

void TDesktopEngine::AddChildWin(int desk, TWindowHandle window) {
    if (!ValidDesk(desk)) {
        return;
    }
    DeskChildWins[desk].Add(HandleText(window));
    if (desk == ActiveDesk) {
        ShowWindow(window);
    }
}

void TDesktopEngine::ShowWin(int from, int to, TWindowHandle window, int position) {
    if (ValidDesk(from)) {
        // Counts are taken first: when `from` is `to` the appended entries are not visited again.
        const TStringList& children = DeskChildWins[from];
        for (int i = children.Count() - 1; i >= 0; --i) {
            if (std::string entry = children.Strings(i); IsOwnedBy(entry, window)) {
                AddChildWin(to, ParseHandle(entry));
            }
        }
        const TStringList& windows = DeskWins[from];
        for (int i = windows.Count() - 1; i >= 0; --i) {
            if (std::string entry = windows.Strings(i); IsOwnedBy(entry, window)) {
                AddWin(to, ParseHandle(entry));
            }
        }
    }
    if (!ValidDesk(to)) {
        return;
    }
    TStringList& target = DeskWins[to];
    if (position < 0 || position > target.Count()) {
        target.Add(HandleText(window));
    } else {
        target.Insert(position, HandleText(window));
    }
    if (to == ActiveDesk) {
        ShowWindow(window);
    }
}

void TDesktopEngine::GiveToOwnerDesktops(int desk, const std::string& entry, TWindowHandle owner,
                                         bool childList) {
    const std::string ownerEntry = HandleText(owner);
    for (int other = 0; other < kMaxDesks; ++other) {
        if (other == desk || DeskWins[other].IndexOf(ownerEntry) < 0) {
            continue;
        }
        TStringList& list = childList ? DeskChildWins[other] : DeskWins[other];
        if (list.IndexOf(entry) < 0) {
            list.Add(entry);
            if (other == ActiveDesk) {
                ShowEntry(entry);
            }
        }
    }
}

void TDesktopEngine::HideWin(int desk, TWindowHandle window) {
    if (!ValidDesk(desk)) {
        return;
    }
    const bool active = desk == ActiveDesk;
    for (bool childList : {true, false}) {
        TStringList& list = childList ? DeskChildWins[desk] : DeskWins[desk];
        for (int i = list.Count() - 1; i >= 0; --i) {
            std::string entry = list.Strings(i);
            if (!IsOwnedBy(entry, window)) {
                continue;
            }
            if (active) {
                HideEntry(entry);
            }
            list.Delete(i);
            GiveToOwnerDesktops(desk, entry, window, childList);
        }
    }
    TStringList& windows = DeskWins[desk];
    const int at = windows.IndexOf(HandleText(window));
    if (at < 0) {
        return;
    }
    windows.Delete(at);
    if (active) {
        HideWindow(window);
    }
}

void TDesktopEngine::MoveAppWin(int from, int to) {
    // A desktop beyond the count would keep the window hidden where no one can reach it.
    if (to >= NumDesks) {
        return;
    }
    const TWindowHandle window = view_.SelectedWindow();
    if (window == 0) {
        return;
    }
    if (!ValidDesk(to) || DeskWins[to].IndexOf(HandleText(window)) < 0) {
        ShowWin(from, to, window, -1);
    }
    HideWin(from, window);
    view_.RefreshTree();
    view_.BringApplicationToFront();
}

void TDesktopEngine::CopyAppWin(int from, int to) {
    if (to >= NumDesks) {
        return;
    }
    const TWindowHandle window = view_.SelectedWindow();
    if (window == 0 || (ValidDesk(to) && DeskWins[to].IndexOf(HandleText(window)) >= 0)) {
        return;
    }
    ShowWin(from, to, window, -1);
    view_.RefreshTree();
    view_.BringApplicationToFront();
}

void TDesktopEngine::MoveAllWins(int from, int to) {
    if ((from != 2 && from != 3) || !ValidDesk(to) || to == from) {
        return;
    }
    // Entries are read by index while ShowWin appends to `to` only, so the walk is stable.
    for (int i = 0; i < DeskWins[from].Count(); ++i) {
        const std::string entry = DeskWins[from].Strings(i);
        if (DeskWins[to].IndexOf(entry) < 0) {
            ShowWin(from, to, ParseHandle(entry), -1);
        }
    }
    // Secondary windows not owned by a listed window would otherwise stay hidden until exit, and
    // a desktop added back later would show entries that now belong to `to`.
    for (int i = 0; i < DeskChildWins[from].Count(); ++i) {
        const std::string entry = DeskChildWins[from].Strings(i);
        if (DeskChildWins[to].IndexOf(entry) < 0) {
            DeskChildWins[to].Add(entry);
            if (to == ActiveDesk) {
                ShowEntry(entry);
            }
        }
    }
    DeskChildWins[from].Clear();
    DeskForegroundWin[from] = 0;
    DeskWins[from].Clear();
}
