#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "desktops/DesktopView.h"
#include "desktops/WindowHandle.h"
#include "desktops/WindowSystem.h"
#include "framework/core/StringList.h"

// The desktop engine: the per-desktop window lists, the switch between desktops and the operations
// that move, copy and remove windows between desktops. Desktops are 0 to 3 here (desktop N of the
// user interface is index N - 1). Entries are window handles as canonical decimal text
// (HandleText); the lists keep duplicates, compare as text and find the first occurrence.
//
// The engine reaches the screen only through a TWindowSystem and the manager window only through
// a TDesktopView; both must outlive it. One thread: the GUI thread of the manager window.
//
// Every window the engine hides is remembered (handle and process id) until the engine shows it
// again, sees it visible, or finds at an enumeration that it is gone (or that its handle now names
// another process's window); ExitShowWindows shows whatever is still remembered, so no path leaves
// a window hidden after the program ends.
class TDesktopEngine {
public:
    static constexpr int kMaxDesks = 4;

    TDesktopEngine(TWindowSystem& system, TDesktopView& view);
    TDesktopEngine(const TDesktopEngine&) = delete;
    TDesktopEngine& operator=(const TDesktopEngine&) = delete;

    // ---- State (read and changed by the tree, the settings and the band link as well) ----

    // The windows of each desktop in the order they are shown on entry (the last ends on top).
    // The lists of desktops at or beyond NumDesks are empty.
    std::array<TStringList, kMaxDesks> DeskWins;
    // The secondary windows of each desktop (owned windows and titled windows that are not
    // themselves listed) as found when it was last left; the active desktop's also collects what
    // refreshes find.
    std::array<TStringList, kMaxDesks> DeskChildWins;
    // Snapshot of the visible, titled, parentless top-level windows taken by a switch or refresh.
    TStringList VisibleWins;
    // The window to bring forward when each desktop is entered; 0 for none.
    std::array<TWindowHandle, kMaxDesks> DeskForegroundWin{};
    // The active desktop, 0 to 3.
    int ActiveDesk = 0;
    // The number of desktops, 2 to 4.
    int NumDesks = kMaxDesks;
    // False while a switch runs, and until start-up has finished; callers that react to the user
    // or the band test it before calling MainProc.
    bool SwitchAllowed = false;
    // The shell's desktop window as found by the latest enumeration (never listed).
    TWindowHandle ProgmanWnd = 0;

    // ---- The switch ----

    // Switches to desktop `index` (0 to 3), or with -1 to the one after the active desktop; an
    // index beyond the last desktop (or below -1) goes to desktop 0. Neither compares `index` with
    // ActiveDesk nor tests SwitchAllowed (the callers do). SwitchAllowed is true again on every
    // way out; a failing manager-window side effect is passed over and the switch completes.
    void MainProc(int index);

    // The two enumeration filters, applied to each top-level window of the latest enumeration.
    // EnumWinsProc appends a visible, titled, parentless window to VisibleWins; EnumChildWinsProc
    // appends to DeskChildWins[ActiveDesk] every visible window whose parent or owner is in
    // VisibleWins, and every titled visible window that is not itself in VisibleWins.
    void EnumWinsProc(TWindowHandle window);
    void EnumChildWinsProc(TWindowHandle window);
    // Enumerate all top-level windows through the filters above. Each looks the shell's desktop
    // window up anew (it changes when the shell restarts); EnumWins also forgets the hidden
    // windows that have gone.
    void EnumWins();
    void EnumChildWins();

    // The hide-and-show step of a switch to `index`: hides every window of VisibleWins and of
    // DeskChildWins[ActiveDesk], shows desktop `index`, brings its recorded window forward.
    void HideShowWins(int index);
    // Shows DeskChildWins[index] and then DeskWins[index], each first to last. Gone windows are
    // passed over.
    void ShowDesktop(int index);
    // Rebuilds DeskWins[desk] from VisibleWins: entries no longer visible drop out (duplicates
    // that stay are kept twice); windows new to it are appended in order of process start,
    // earliest first, unreadable times last in order of discovery.
    void SaveDesktop(int desk);
    // Takes a snapshot and rebuilds the active desktop's list from it, without switching.
    void RefreshListWins();
    // Restacks the active desktop's windows in list order (hides last to first, shows first to
    // last).
    void RefreshActiveDesktop();

    // ---- List operations (none of them switches desktops) ----
    // A desktop outside 0 to 3 selects no list: the steps that need it do nothing. An entry is
    // owned by `window` when the system names `window` as its owner (read live); window 0 owns
    // nothing.

    // Appends the window to DeskWins[desk] (no check for an equal entry); shows it when `desk` is
    // the active desktop.
    void AddWin(int desk, TWindowHandle window);
    // The same for DeskChildWins[desk].
    void AddChildWin(int desk, TWindowHandle window);
    // Gives `window` and the windows it owns in the lists of `from` to desktop `to`: the owned
    // ones are appended first (in reverse list order, and stay on `from`), then `window` is
    // inserted at `position` of DeskWins[to] (appended when `position` is negative or beyond the
    // end) and shown when `to` is active.
    void ShowWin(int from, int to, TWindowHandle window, int position);
    // Takes `window` and the windows it owns off desktop `desk`, hiding them when `desk` is active.
    // An owned entry taken off is given to every other desktop whose DeskWins holds `window`
    // (appended to the same kind of list when absent, shown when that desktop is active), so a
    // dialog follows its owner instead of staying hidden in no list. When DeskWins[desk] does not
    // hold `window`, only the owned entries are taken off.
    void HideWin(int desk, TWindowHandle window);
    // Moves the window of the selected tree node from `from` to `to`, rebuilds the tree and brings
    // the application window forward. Nothing when no window node is selected or `to` is at or
    // beyond NumDesks.
    void MoveAppWin(int from, int to);
    // Adds the window of the selected tree node to `to` as well; nothing at all when `to` already
    // holds it, no window node is selected or `to` is at or beyond NumDesks.
    void CopyAppWin(int from, int to);
    // Gives every window of a desktop being removed (`from` 2 or 3) to `to`, each once, and its
    // secondary windows that `to` lacks (shown when `to` is active); then empties both lists of
    // `from` and forgets its foreground window. Nothing unless `from` is 2 or 3 and `to` is
    // another desktop. `from` must not be the active desktop (the caller switches away first).
    void MoveAllWins(int from, int to);

    // ---- Exit ----

    // The window steps of the exit routine: shows every desktop other than the active one in
    // ascending order, then every window the engine hid that still exists with the same process
    // id, then brings forward the active desktop's recorded window. Harmless when repeated.
    void ExitShowWindows();
    // Shows every window the engine hid and has not shown since, if it still exists and belongs
    // to the process it belonged to when hidden (a reused handle is left alone); forgets them all.
    void RestoreHiddenWindows();
    // The windows the engine hid and has not shown since, with their process ids, in hide order.
    const std::vector<std::pair<TWindowHandle, TProcessId>>& HiddenWindows() const {
        return hidden_;
    }

    // The texts of the tray hint and the status bar for desktop `desk` (0 to 3).
    static std::string DesktopHint(int desk);
    static std::string ActiveDesktopStatus(int desk);

private:
    static bool ValidDesk(int desk) { return desk >= 0 && desk < kMaxDesks; }
    bool IsOwnedBy(const std::string& entry, TWindowHandle window);
    // Shows or hides one window: asynchronously when its program is hung (a synchronous call
    // would block this thread until the program answers), synchronously otherwise, so that the
    // order of the calls is the stacking order. Keeps the record of hidden windows.
    void ShowWindow(TWindowHandle window);
    void HideWindow(TWindowHandle window);
    void ShowEntry(const std::string& entry) { ShowWindow(ParseHandle(entry)); }
    void HideEntry(const std::string& entry) { HideWindow(ParseHandle(entry)); }
    bool IsRecorded(TWindowHandle window) const;
    // Drops the records of hidden windows that no longer exist or now belong to another process.
    void ForgetGoneWindows();
    void Forget(TWindowHandle window);
    // Gives an owned entry removed from `desk` to the other desktops that hold its owner.
    void GiveToOwnerDesktops(int desk, const std::string& entry, TWindowHandle owner,
                             bool childList);
    // Runs a manager-window side effect of the switch; a failure there must not stop the switch.
    template <class Step> static void SideEffect(Step&& step) noexcept {
        try {
            step();
        } catch (...) {
        }
    }

    TWindowSystem& system_;
    TDesktopView& view_;
    // The filter context of the enumeration under way.
    TWindowHandle managerWnd_ = 0;
    TWindowHandle applicationWnd_ = 0;
    std::vector<std::pair<TWindowHandle, TProcessId>> hidden_;
};
