#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/controls/ActionClient.h"
#include "framework/controls/ImageList_win.h"
#include "framework/gui/WinControl_win.h"

class TPopupMenu;
class TToolBar;

enum TToolButtonStyle : std::uint8_t { tbsButton, tbsCheck, tbsDropDown, tbsSeparator };

// One button of a tool bar (native ToolbarWindow32): a command, a check button that stays down,
// a button with a drop-down menu, or a separator. Buttons are kept before the bar has a window
// and over a new one. The hint is the button's tool tip; the caption is not drawn (the bar shows
// images only).
class TToolButton : public TComponent {
    FW_CLASS(TToolButton, TComponent)
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;
    void BeforeDestruction() override;

    TToolBar* ToolBar() const noexcept { return bar_; }
    // Appends the button to Value's buttons (nullptr: takes it off its bar).
    void SetToolBar(TToolBar* Value);

    TToolButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TToolButtonStyle Value);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value) { caption_ = Value; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);
    // Pressed: a check button's state, shown by any style.
    bool Down() const;
    void SetDown(bool Value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value);
    TPopupMenu* DropdownMenu() const noexcept { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* Value);
    TNotifyEvent OnClick;

    TBasicAction* Action() const noexcept { return actions_.Action(); }
    void SetAction(TBasicAction* Value);
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

    // OnClick or the action, as a menu item clicks.
    virtual void Click();
    // Opens the drop-down menu under the button, modally, as a press on its arrow does; false
    // when the button has no menu or no window.
    bool CheckMenuDropdown();
    // The command number of the button in the bar.
    int CommandId() const noexcept { return id_; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TToolBar;
    TActionLink* NewActionLink();
    BYTE NativeState() const;
    // Tells the bar's window of a changed state, when there is one.
    void UpdateState();

    TToolBar* bar_ = nullptr;
    TToolButtonStyle style_ = tbsButton;
    std::string caption_;
    std::string hint_;
    int imageIndex_ = -1;
    bool down_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TPopupMenu* dropdownMenu_ = nullptr;
    int id_;
    TActionClient actions_{
        this, OnClick, [this] { return NewActionLink(); },
        [this](TBasicAction* Sender, bool CheckDefaults) { ActionChange(Sender, CheckDefaults); }};
};

// A tool bar: a row of tool buttons with images from Images, flat or raised, with tool tips
// from the buttons' hints (ShowHint). It does not align itself: its owner places it.
class TToolBar : public TWinControl {
    FW_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool Value);
    int ButtonWidth() const noexcept { return buttonWidth_; }
    int ButtonHeight() const noexcept { return buttonHeight_; }
    void SetButtonSize(int Width, int Height);
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* Value);

    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    TToolButton* Buttons(int Index) const;
    // The button's rectangle in the bar's client coordinates (empty while hidden or windowless).
    RECT ButtonRect(const TToolButton* Button) const;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TToolButton;
    void AddButton(TToolButton* Button);
    void RemoveButton(TToolButton* Button);
    // Puts every button into the window again (after a change of style or image).
    void Rebuild();
    void ImagesChanged(TObject* Sender);
    TToolButton* FindButton(int Id) const;

    std::vector<TToolButton*> buttons_;
    bool flat_ = true;
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    TCustomImageList* images_ = nullptr;
    TChangeLink imageLink_;
};

// A tool button's link to an action: caption, hint, image, enabled, visible, and Checked as Down.
class TToolButtonActionLink : public TActionLink {
    FW_CLASS(TToolButtonActionLink, TActionLink)
public:
    explicit TToolButtonActionLink(TToolButton* AClient) : TActionLink(AClient), button_(AClient) {}

    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(int Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(TNotifyEvent Value) override;

private:
    TToolButton* button_;
};
