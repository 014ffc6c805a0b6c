#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "desktops/WindowHandle.h"

class TDesktopEngine;
class TStringList;
class TWindowSystem;

// The decisions behind the manager window's window commands, its tree's drag and drop and the
// band's requests, apart from any window: desktops are 0 to 3, lists are the engine's.

// ---- The band protocol ----

// Message numbers, posted both ways with the data in the first parameter.
inline constexpr unsigned kMsgSwitchDesk1 = 0x401; // band -> manager, to kMsgSwitchDesk1 + 3
inline constexpr unsigned kMsgActiveDesk1 = 0x401; // manager -> band, to kMsgActiveDesk1 + 3
inline constexpr unsigned kMsgBandHandle = 0x405;
inline constexpr unsigned kMsgSetNumDesks = 0x406;
inline constexpr unsigned kMsgDeskMenu1 = 0x408; // band -> manager, to kMsgDeskMenu1 + 3
inline constexpr unsigned kMsgHideBand = 0x40C;
inline constexpr unsigned kMsgShowBand = 0x40D;

// The desktop (0 to 3) that `message` names in the run of four starting at `first`; -1 outside.
int DeskOfMessage(unsigned message, unsigned first) noexcept;
// The message of desktop `desk` in the run starting at `first`; 0 for a desktop outside 0 to 3.
unsigned MessageOfDesk(int desk, unsigned first) noexcept;

// Whether a request from the band (or its window list) may switch to `desk`: not during a
// switch, not to the active desktop, not to a desktop beyond the count.
bool SwitchRequestAllowed(int desk, int activeDesk, int numDesks, bool switchAllowed) noexcept;

// ---- Which windows a desktop shows ----

// Whether the window of `entry` is owned by another window of the same list (such a window is
// shown with its owner, never beside it).
bool OwnerInList(const TStringList& list, TWindowHandle window, TWindowSystem& system);
// The windows of `list` in order, without those whose owner is in the list as well.
std::vector<TWindowHandle> TopWindowsOf(const TStringList& list, TWindowSystem& system);

// ---- Commands on a selected window ----

// Whether the window of desktop `desk` may be removed from it: only while another desktop's list
// holds it too (all four lists count, whatever the number of desktops).
bool CanRemove(const std::array<TStringList, 4>& lists, int desk, TWindowHandle window);
// The Move To and Add To items offered for a window of desktop `desk`: the existing desktops
// other than its own.
std::array<bool, 4> TargetItemsVisible(int numDesks, int desk) noexcept;
// Adds the window (with the windows it owns) to every existing desktop that lacks it. Returns the
// desktops it was added to.
std::vector<int> AddToAllDesktops(TDesktopEngine& engine, int desk, TWindowHandle window);
// Takes the window off desktop `desk` unless that is its last desktop; answers whether it did.
bool RemoveFromDesktop(TDesktopEngine& engine, int desk, TWindowHandle window);

// ---- The tree's drag and drop ----

// Node levels of the desktop tree.
enum class TTreeLevel { None = -1, Root = 0, Desk = 1, Window = 2 };

// Whether a drag of a node at `dragged` may drop on a node at `target`: a window node onto a
// desktop or window node.
bool AcceptDrop(TTreeLevel dragged, TTreeLevel target) noexcept;

// What a drop does to the lists.
enum class TDropResult {
    None,    // nothing changed; the tree stays as it is
    Stale,   // the dragged window was no longer listed: nothing changed, the tree is rebuilt
    Changed, // the lists changed: the tree is rebuilt and the manager comes forward
};

// Window `window` of desktop `from` dropped on the node of desktop `to`: moved there (appended,
// with its owned windows) unless it is its own desktop or already listed there.
TDropResult DropOnDesk(TDesktopEngine& engine, int from, int to, TWindowHandle window);
// Window `window` of desktop `from` dropped on the node of window `target` of desktop `to`, which
// is child `treeIndex` of its desktop node. On its own desktop the window takes the target's
// place in the list (so one dragged down lands behind it, one dragged up in front of it); on
// another desktop it moves to list position `treeIndex` (the tree position, which counts only
// the windows the tree shows) unless that desktop lists it already.
TDropResult DropOnWindow(TDesktopEngine& engine, int from, int to, TWindowHandle window,
                         TWindowHandle target, int treeIndex);
// The reorder of one list: `window` taken out and put at the index `target` had before; appended
// when `target` is not listed. False (and the list unchanged) when `window` is not listed.
bool ReorderList(TStringList& list, TWindowHandle window, TWindowHandle target);
