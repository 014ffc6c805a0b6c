#pragma once

#include <new>
#include <optional>

#include "controls/actionbar/MenuClientBuilder.h"
#include "framework/actionbars/ActionManager.h"
#include "framework/actionbars/ActionPopupMenu_win.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/PopupMenu_win.h"

// A popup menu whose items are kept as an ordinary menu tree but shown
// drawn like the action bars (in ActionManager's style, else the first
// registered one, "XP Style"). Each Popup builds a temporary action popup
// from the items: plain items run through a TMenuAction each, submenus are
// built when they open, after their item's click. The popup, its bar and
// the showing's actions go when the showing ends.
//
// One popup of the process is open at a time. Freeing the menu from inside
// its own popup's loop (a hot key or another process's message handled
// there may close its form) ends the popup; the menu itself goes when
// Popup returns, and nothing chosen runs.
class TCustomPopupActionBarEx : public TPopupMenu {
    FW_CLASS(TCustomPopupActionBarEx, TPopupMenu)
public:
    explicit TCustomPopupActionBarEx(TComponent* AOwner);
    void BeforeDestruction() override;
    // Destruction waits for the end of a Popup that is running.
    void operator delete(TCustomPopupActionBarEx* Menu, std::destroying_delete_t);

    // Whose style the popup takes; it becomes nullptr when that goes.
    TCustomActionManager* ActionManager() const noexcept { return actionManager_; }
    void SetActionManager(TCustomActionManager* Value);
    // Passed to the popup.
    bool Shadow = true;

    // Nothing while a popup of this menu (or any popup menu of the
    // process) is open. Fires OnPopup, builds the popup and shows it
    // modally; the chosen item's action runs before it returns.
    void Popup(int X, int Y) override;

    // The popup while this menu is shown, else nullptr.
    TCustomActionPopupMenu* ActionPopup() const noexcept { return popup_; }
    // The manager that holds the showing's bar and actions.
    TCustomActionManager* InternalManager() const noexcept { return internal_; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Show(int X, int Y);
    void EndShowing() noexcept;
    void OpenSubmenu(TActionClientItem* Client);

    TCustomActionManager* internal_ = nullptr;
    TCustomActionManager* actionManager_ = nullptr;
    TCustomActionPopupMenu* popup_ = nullptr;
    std::optional<TMenuClientBuilder<TMenuItem>> showing_;
    bool freeRequested_ = false;
};

class TPopupActionBarEx : public TCustomPopupActionBarEx {
    FW_CLASS(TPopupActionBarEx, TCustomPopupActionBarEx)
public:
    explicit TPopupActionBarEx(TComponent* AOwner) : TCustomPopupActionBarEx(AOwner) {}
};
