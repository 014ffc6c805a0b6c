#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/controls/Action.h"
#include "framework/controls/ActionClient.h"
#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/ShortCut.h"

class TMenuActionLink;

// One entry of a menu: a command, a separator (Caption "-") or a submenu
// (an item with items). The owner (who frees it with the form) and the menu
// parent (Items) are separate; a parent frees its items with itself.
// Subclasses may add data of their own.
class TMenuItem : public TComponent {
    FW_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;
    void BeforeDestruction() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value) { caption_ = Value; }
    bool IsLine() const noexcept { return caption_ == "-"; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool Value) { checked_ = Value; }
    bool RadioItem() const noexcept { return radioItem_; }
    void SetRadioItem(bool Value) { radioItem_ = Value; }
    bool Default() const noexcept { return default_; }
    void SetDefault(bool Value) { default_ = Value; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value) { enabled_ = Value; }
    // Native menus cannot hide an entry: invisible items are left out when
    // the menu is built.
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value) { visible_ = Value; }
    // Shown after a tab in the caption.
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut Value) { shortCut_ = Value; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value) { imageIndex_ = Value; }
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int Value) { helpContext_ = Value; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    TNotifyEvent OnClick;

    TBasicAction* Action() const noexcept { return actions_.Action(); }
    // Links the item to an action (nullptr unlinks) and takes its properties.
    void SetAction(TBasicAction* Value);
    // Applies the action's properties; with CheckDefaults only those still
    // at their defaults.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

    // Runs OnClick when it differs from the action's OnExecute, else the
    // action (nothing while disabled), else OnClick.
    virtual void Click();

    // --- the items below this one ---
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int Index) const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out (it is not freed).
    void Remove(TMenuItem* Item);
    // Frees the item at Index.
    void Delete(int Index);
    // Frees every item.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* Parent() const noexcept { return parent_; }
    int MenuIndex() const { return parent_ != nullptr ? parent_->IndexOf(this) : -1; }

    // The command number of the item in native menus (unique while it lives).
    UINT Command() const noexcept { return command_; }
    // The living item with that command number, or nullptr.
    static TMenuItem* FindCommand(UINT Command) noexcept;

    // The caption as a native menu shows it: the shortcut's text after a tab.
    std::string MenuText() const;

    // The first item below this one, depth first, that the menu would offer
    // for ShortCut: visible and enabled, in visible and enabled submenus, and
    // no submenu itself. nullptr when there is none.
    TMenuItem* FindShortCut(TShortCut ShortCut) const;

private:
    void ForgetCommand() noexcept;
    // The link class comes below this one.
    TActionLink* NewActionLink();
    std::string caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    bool default_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    int helpContext_ = 0;
    std::string hint_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    UINT command_ = 0;
    TActionClient actions_{
        this, OnClick, [this] { return NewActionLink(); },
        [this](TBasicAction* Sender, bool CheckDefaults) { ActionChange(Sender, CheckDefaults); }};
};

// A menu item's link to an action: every property the item shows follows
// the action while the item still shows the action's value.
class TMenuActionLink : public TActionLink {
    FW_CLASS(TMenuActionLink, TActionLink)
public:
    explicit TMenuActionLink(TMenuItem* AClient) : TActionLink(AClient), item_(AClient) {}

    bool IsCaptionLinked() override;
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(int Value) override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(int Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(TNotifyEvent Value) override;

private:
    TMenuItem* item_;
};
