#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/ShortCut.h"

class TBasicActionLink;
class TActionList;
class TCustomImageList;

// An action: one command shared by several clients (menu items, buttons).
// Clients hold a link (TBasicActionLink); the action tells every link of
// each change at once. Freeing an action unlinks its clients.
class TBasicAction : public TComponent {
    FW_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    void BeforeDestruction() override;

    // Fires OnExecute; true when a handler ran.
    virtual bool Execute();
    // Fires OnUpdate; true when a handler ran. Nothing calls it on idle:
    // an action without handlers keeps its state.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    // Fired after any property change (after the links heard of it).
    TNotifyEvent OnChange;

    void SetOnExecute(TNotifyEvent Value);

    void RegisterChanges(TBasicActionLink* Link);
    void UnRegisterChanges(TBasicActionLink* Link);
    int ClientCount() const noexcept { return static_cast<int>(clients_.size()); }

protected:
    // Fires OnChange.
    virtual void Change();
    // The links, for the subclasses' setters (a copy: a client may unlink).
    std::vector<TBasicActionLink*> Clients() const { return clients_; }

private:
    std::vector<TBasicActionLink*> clients_;
};

// An action that may sit in an action list.
class TContainedAction : public TBasicAction {
    FW_CLASS(TContainedAction, TBasicAction)
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    void BeforeDestruction() override;

    TActionList* ActionList() const noexcept { return actionList_; }
    // Moves the action to another list (nullptr: none).
    void SetActionList(TActionList* Value);
    const std::string& Category() const noexcept { return category_; }
    void SetCategory(const std::string& Value) { category_ = Value; }
    // The position in the action list, -1 when in none.
    int Index() const;
    void SetIndex(int Value);

private:
    friend class TActionList;
    TActionList* actionList_ = nullptr;
    std::string category_;
};

// An action with the properties its clients show.
class TCustomAction : public TContainedAction {
    FW_CLASS(TCustomAction, TContainedAction)
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

    // Does nothing and answers false while the action is disabled.
    bool Execute() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value);
    bool Checked() const noexcept { return checked_; }
    // With a GroupIndex above 0, checking unchecks the other actions of the
    // same list and group.
    void SetChecked(bool Value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value);
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut Value);
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int Value);
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int Value);

private:
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    int helpContext_ = 0;
    int groupIndex_ = 0;
};

class TAction : public TCustomAction {
    FW_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// A list of actions (not their owner) with the images they refer to.
class TActionList : public TComponent, public IShortCutTarget {
    FW_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* AOwner) : TComponent(AOwner) {}
    void BeforeDestruction() override;

    // The first action of the list with this shortcut that is enabled once
    // its OnUpdate has run is executed; a disabled one leaves the key alone.
    bool IsShortCut(TShortCut ShortCut) override;

    int ActionCount() const noexcept { return static_cast<int>(actions_.size()); }
    TContainedAction* Actions(int Index) const;
    TCustomImageList* Images = nullptr;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> actions_;
};

// A client's end of the link to an action.
class TBasicActionLink : public TObject {
    FW_CLASS(TBasicActionLink, TObject)
public:
    explicit TBasicActionLink(TObject* AClient) : client_(AClient) {}
    ~TBasicActionLink() override;

    TBasicAction* Action() const noexcept { return action_; }
    // Registers with the new action (unregisters from the old one).
    void SetAction(TBasicAction* Value);
    // Runs the action; false when it did nothing.
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(TNotifyEvent) {}
    // Fired when the action goes (it is freed): the client drops the link.
    TNotifyEvent OnChange;

protected:
    TObject* Client() const noexcept { return client_; }

private:
    friend class TBasicAction;
    TObject* client_;
    TBasicAction* action_ = nullptr;
};

// The link for TCustomAction's properties. A property is linked while the
// client still shows the action's value (subclasses compare); a setter
// reaches the client only for a linked property.
class TActionLink : public TBasicActionLink {
    FW_CLASS(TActionLink, TBasicActionLink)
public:
    using TBasicActionLink::TBasicActionLink;

    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHelpContextLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsShortCutLinked();
    virtual bool IsVisibleLinked();

    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHelpContext(int) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(int) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

protected:
    TCustomAction* CustomAction() const;
};
