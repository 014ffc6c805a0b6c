#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/actionbars/ActionBar.h"
#include "framework/actionbars/ActionClientItem.h"
#include "framework/gui/Message_win.h"

// The native menus an action bar shows: owner-drawn items in the bar's
// colour map, submenus built when they open (WM_INITMENUPOPUP), mnemonics
// answered through WM_MENUCHAR. The bar's popup or menu bar routes its
// owner window's messages here. What an item shows is copied when its
// level is built: drawing never reaches an action or item that may be gone.
class TNativeActionMenu {
public:
    using TOpen = std::function<void(TActionClientItem* Client)>;

    explicit TNativeActionMenu(const TCustomActionBar& Bar);
    ~TNativeActionMenu();
    TNativeActionMenu(const TNativeActionMenu&) = delete;
    TNativeActionMenu& operator=(const TNativeActionMenu&) = delete;

    // A popup menu of Client's shown items (owned by this object).
    HMENU BuildPopup(TActionClientItem* Client);
    // A menu bar of Client's shown items, Color behind them (owned by this
    // object until a window takes it with SetMenu; Release hands it over).
    HMENU BuildBar(TActionClientItem* Client, TColor Color);
    // Forgets the menus without destroying them (a window destroys its bar).
    void Release() noexcept;
    // Destroys the menus built.
    void Clear() noexcept;

    // Handles WM_INITMENUPOPUP, WM_MEASUREITEM, WM_DRAWITEM and WM_MENUCHAR
    // for these menus; false for anything else.
    bool Handle(TMessage& Message);
    // The client item of a command number, or nullptr.
    TActionClientItem* ClientOf(UINT Command) const noexcept;

    // Fired when a submenu opens, before its items are read.
    TOpen OnOpen;
    // Once set, submenus open empty (the menu is closing).
    bool Closing = false;
    // Builds a submenu again each time it opens (a menu bar's drop-downs
    // follow their actions); otherwise once (a popup's single showing).
    bool RebuildOnOpen = false;

private:
    struct TEntry {
        TActionClientItem* Client;
        std::string Caption;
        std::string ShortCut;
        int ImageIndex;
        bool Enabled, Checked, Separator, Submenu, OnBar;
        HMENU Menu = nullptr;    // the menu the entry is in
        HMENU SubMenu = nullptr; // its own submenu, if any
    };
    // Empties Menu and forgets the entries in it and below it.
    void Empty(HMENU Menu);
    void Fill(HMENU Menu, TActionClientItem* Client, bool OnBar);
    void Measure(MEASUREITEMSTRUCT& Item) const;
    void Draw(const DRAWITEMSTRUCT& Item) const;
    void DrawBarItem(const DRAWITEMSTRUCT& Item, const TEntry& Entry) const;
    LRESULT MenuChar(char Key, HMENU Menu) const;
    const TEntry* EntryOf(ULONG_PTR Data) const noexcept;
    int GutterWidth() const;

    const TCustomActionBar& bar_;
    TActionBarColorMap colors_;
    HFONT font_ = nullptr;
    HBRUSH menuBrush_ = nullptr;
    HBRUSH barBrush_ = nullptr;
    HMENU root_ = nullptr;
    std::vector<std::unique_ptr<TEntry>> entries_;
    std::vector<size_t> freeSlots_;
    std::map<HMENU, TActionClientItem*> pending_;
    std::map<HMENU, TActionClientItem*> built_;
};
