#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/ShortCut.h"

class TBasicAction;
class TComponent;

// One entry of an action bar or of one of its menus: a command, a
// separator (Caption "-") or a submenu (an item with items). A parent owns
// and frees its items. Tag and Action refer to components the item does not
// own; whoever fills the tree calls Forget when one of them goes.
class TActionClientItem : public TObject {
    FW_CLASS(TActionClientItem, TObject)
public:
    TActionClientItem() = default;
    ~TActionClientItem() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value) { caption_ = Value; }
    bool IsSeparator() const noexcept { return caption_ == "-"; }
    // The component the item stands for (a menu builder's source item).
    TComponent* Tag() const noexcept { return tag_; }
    void SetTag(TComponent* Value) noexcept { tag_ = Value; }
    TBasicAction* Action() const noexcept { return action_; }
    void SetAction(TBasicAction* Value) noexcept { action_ = Value; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value) noexcept { imageIndex_ = Value; }
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut Value) noexcept { shortCut_ = Value; }
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int Value) noexcept { helpContext_ = Value; }
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value) noexcept { visible_ = Value; }

    // Shown only when the item and its action (if it has one with a
    // visibility) are both visible.
    bool Shown() const;
    // Follow the action; an item without one is enabled and unchecked.
    bool Enabled() const;
    bool Checked() const;

    // --- the items below this one ---
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // EListError outside 0..Count-1.
    TActionClientItem* Items(int Index) const;
    // A new empty item at the end.
    TActionClientItem* Add();
    // Frees every item below this one.
    void Clear() noexcept;
    TActionClientItem* Parent() const noexcept { return parent_; }

    // Drops every reference to Gone (as tag or action) in this item and
    // everything below it.
    void Forget(const TComponent* Gone) noexcept;

private:
    std::string caption_;
    TComponent* tag_ = nullptr;
    TBasicAction* action_ = nullptr;
    int imageIndex_ = -1;
    TShortCut shortCut_ = 0;
    int helpContext_ = 0;
    bool visible_ = true;
    std::vector<TActionClientItem*> items_;
    TActionClientItem* parent_ = nullptr;
};

class TCustomActionBar;

// The root client of one action bar of an action manager: its items are
// the bar's entries.
class TActionBarItem : public TActionClientItem {
    FW_CLASS(TActionBarItem, TActionClientItem)
public:
    TCustomActionBar* ActionBar() const noexcept { return actionBar_; }

private:
    friend class TCustomActionManager;
    TCustomActionBar* actionBar_ = nullptr;
};
