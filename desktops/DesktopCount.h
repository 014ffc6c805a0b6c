#pragma once

// Changing the number of desktops (2, 3 or 4): the menu entries, tree nodes and tray items of
// desktops 3 and 4 come and go, and the windows of a removed desktop go to a remaining one.
// The manager window carries out each step; this file only fixes their order.
class TDesktopCountSteps {
public:
    virtual ~TDesktopCountSteps() = default;
    // Desktop `desk` (2 or 3, 0-based) in the Copy To / Move To commands: shown or hidden.
    virtual void SetCopyMoveVisible(int desk, bool visible) = 0;
    // The action Desk<desk + 1>Act: enabled and shown, or disabled and hidden.
    virtual void SetDeskActionAvailable(int desk, bool available) = 0;
    // The notification-menu item TI_Desktop<desk + 1>.
    virtual void SetTrayItemVisible(int desk, bool visible) = 0;
    // AddDeskNode(k): k = 2 adds the node of desktop 3, k = 3 that of desktop 4.
    virtual void AddDeskNode(int k) = 0;
    // DeleteDeskNode(i): the i-th child of the tree's root; a missing one is passed over.
    virtual void DeleteDeskNode(int i) = 0;
    // The engine's switch and its MoveAllWins.
    virtual void MainProc(int desk) = 0;
    virtual void MoveAllWins(int from, int to) = 0;
    virtual int ActiveDesk() = 0;
};

// ChangeDesktopNum(old, new): a removed active desktop is left first (for desktop 2 or 3, which
// every count has), then the removed desktops' windows are given away and their nodes deleted,
// last first. Any `newCount` other than 2, 3 or 4 changes nothing.
void ChangeDesktopNum(TDesktopCountSteps& steps, int oldCount, int newCount);
