#pragma once

#include <windows.h>

#include "framework/controls/ControlTypes.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/gui/Control_win.h"

class TCustomImageList;

// A context menu. Popup builds a native menu from Items each time (so the
// current state of every item and action shows), runs it modally, owned by
// a hidden utility window, and afterwards runs the chosen item's Click.
// The menu brings no window forward: callers that need it do so
// themselves.
class TPopupMenu : public TPopupMenuBase, public IShortCutTarget {
    FW_CLASS(TPopupMenu, TPopupMenuBase)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    void BeforeDestruction() override;

    // The root item; its items are the menu's entries.
    TMenuItem* Items() const noexcept { return items_; }
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* Value);
    // Opened by a control's WM_CONTEXTMENU when true.
    bool AutoPopup = true;
    TPopupAlignment Alignment = paLeft;

    // Fires OnPopup, shows the menu at screen point (X, Y) and waits for
    // the choice; then the chosen item, looked up by its command number at
    // that moment (it may be gone), is clicked. A popup requested while any
    // popup menu of the process is open is refused (nothing happens):
    // native menus cannot nest.
    void Popup(int X, int Y) override;

    // Clicks the item that Items offers for ShortCut (the menu need not be
    // open): the form that owns the menu asks.
    bool IsShortCut(TShortCut ShortCut) override;

    // True while a popup menu of this process is open.
    static bool IsPopupActive() noexcept;
    // Marks a popup menu of the process open for its scope: other classes
    // that run a native menu loop keep the one-at-a-time rule with it.
    class TActiveScope {
    public:
        TActiveScope() noexcept;
        ~TActiveScope();
        TActiveScope(const TActiveScope&) = delete;
        TActiveScope& operator=(const TActiveScope&) = delete;

    private:
        bool previous_;
    };
    // The native menu while this menu is open, else nullptr.
    HMENU Handle() const noexcept { return handle_; }
    // Builds a native menu of the visible items (the caller destroys it).
    HMENU BuildMenu();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void OwnerProc(TMessage& Message);
    void BuildItems(HMENU Menu, const TMenuItem* Parent);

    TMenuItem* items_ = nullptr;
    TCustomImageList* images_ = nullptr;
    HMENU handle_ = nullptr;
    HWND owner_ = nullptr;
};
