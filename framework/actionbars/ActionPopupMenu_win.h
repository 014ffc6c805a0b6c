#pragma once

#include <windows.h>

#include <memory>

#include "framework/actionbars/ActionBar.h"
#include "framework/actionbars/NativeActionMenu_win.h"
#include "framework/core/Events.h"

using TActionClientEvent = TDelegate<void(TActionClientItem* Client)>;

// An action bar shown as a modal popup menu: the items of its
// ActionClient, drawn in its colour map. Native menus bring the keyboard
// navigation, screen fitting and the system's shadows; Shadow and the
// animation are kept for callers but the system decides both.
class TCustomActionPopupMenu : public TCustomActionBar {
    FW_CLASS(TCustomActionPopupMenu, TCustomActionBar)
public:
    explicit TCustomActionPopupMenu(TComponent* AOwner);
    ~TCustomActionPopupMenu() override;

    // Shows the client's items at screen point (X, Y) and returns when the
    // menu has closed; then the chosen item's action runs. Refused (nothing
    // happens) while any popup menu of the process is open: native menus
    // cannot nest. EInvalidOperation without an ActionClient.
    void Popup(int X, int Y);
    // Ends the open menu (nothing chosen runs); nothing when closed.
    void CloseMenu() noexcept;
    bool IsOpen() const noexcept { return menu_ != nullptr; }
    // The native menu while open, else nullptr.
    HMENU Handle() const noexcept { return handle_; }

    // The native menu is built from the client when it opens; a change
    // while it is open shows in the submenus that have not opened yet.
    void RecreateControls() override {}

    // A submenu is opening, before its items are read (they may be built now).
    TActionClientEvent OnPopup;

private:
    void OwnerProc(TMessage& Message);

    std::unique_ptr<TNativeActionMenu> menu_;
    HWND owner_ = nullptr;
    HMENU handle_ = nullptr;
};
