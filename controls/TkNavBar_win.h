#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/NavBarInput.h"
#include "controls/NavBarLayout.h"
#include "controls/TkExButtons_win.h"
#include "controls/TkExControls_win.h"
#include "framework/controls/ActionClient.h"
#include "framework/controls/ControlTypes.h"
#include "framework/controls/Edit_win.h"
#include "framework/core/Collection.h"
#include "framework/gui/Form_win.h"

class TChangeLink;
class TCustomImageList;
class TFont;
class TPicture;
class TTimer;
class TTkCustomNavBar;
class TTkNavBarPage;

// A speed button that clicks again and again while held: first after 400 ms, then every
// 100 ms, and once more on release over it.
class TTkRepeatButton : public TTkExSpeedButton {
    FW_CLASS(TTkRepeatButton, TTkExSpeedButton)
public:
    explicit TTkRepeatButton(TComponent* AOwner) : TTkExSpeedButton(AOwner) {}
    ~TTkRepeatButton() override;
    // The timer exists only while the button is held.
    bool Repeating() const noexcept { return timer_ != nullptr; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void VisibleChanged() override;

private:
    void TimerTick(TObject*);
    void FreeTimer();
    TTimer* timer_ = nullptr;
};

// The side bar's scroll button: the theme's scroll-bar arrow, or the glyph without themes.
class TTkThemedTopBottomButton : public TTkRepeatButton {
    FW_CLASS(TTkThemedTopBottomButton, TTkRepeatButton)
public:
    explicit TTkThemedTopBottomButton(TComponent* AOwner) : TTkRepeatButton(AOwner) {}
    bool IsUp = true;

protected:
    void Paint() override;
};

// The in-place editing notifications, sent (synchronously) to the bar. Start: wParam the button
// or page to edit, lParam 0 for a button, 1 for a page. Accept and cancel come from the editor:
// wParam the editor, lParam the edited item.
inline constexpr UINT CM_BAREDITSTART = 0xB2F4;
inline constexpr UINT CM_BAREDITACCEPT = 0xB2F5;
inline constexpr UINT CM_BAREDITCANCEL = 0xB2F6;

// The in-place caption editor of the side bar: Enter accepts, Escape or a click outside
// cancels.
class TTkNavBarEdit : public TCustomEdit {
    FW_CLASS(TTkNavBarEdit, TCustomEdit)
public:
    explicit TTkNavBarEdit(TComponent* AOwner);
    // The button or page being edited (nullptr: none).
    TObject* Item() const noexcept { return item_; }
    void SetItem(TObject* Value) noexcept { item_ = Value; }
    // Sends the notification to the bar, then hides.
    void Accept();
    void Cancel();
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void Finish(UINT Notification);
    TObject* item_ = nullptr;
};

enum TTkNavBarCustomDrawStage : std::uint8_t {
    odsBackground,
    odsPageButton,
    odsPage,
    odsButton,
    odsButtonFrame
};

using TNavBarPageChanging = TDelegate<void(TObject* Sender, int Index, bool& AllowChange)>;
using TNavBarPageChange = TDelegate<void(TObject* Sender, int Index)>;
using TNavBarButtonClick = TDelegate<void(TObject* Sender, int Index)>;
using TNavBarEditCaption =
    TDelegate<void(TObject* Sender, std::string& NewText, int Index, bool& Allow)>;
using TTkNavBarCustomDrawEvent = TDelegate<void(
    TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TTkNavBarCustomDrawStage AStage,
    int AIndex, bool ADown, bool AInside, bool& DefaultDraw)>;

// One button of a side-bar page: a caption under (large) or beside (small) an image.
class TTkNavBarButton : public TCollectionItem {
    FW_CLASS(TTkNavBarButton, TCollectionItem)
public:
    explicit TTkNavBarButton(TCollection* Collection);
    // Forgets the bar's hot and pressed button when they are this one, while the item is
    // still in its collection.
    void BeforeDestruction() override;

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);
    // True releases every other button of the same page.
    bool Down() const noexcept { return down_; }
    void SetDown(bool Value);
    bool AutoToggle = false;
    int Tag = 0;
    TNotifyEvent OnClick;

    // Fires OnClick with the button as sender.
    virtual void Click();

    TBasicAction* Action() const noexcept { return actions_.Action(); }
    // Takes the action's caption, enabled state, image and execute handler (while the action
    // is loading only those still at their defaults); nullptr unlinks.
    void SetAction(TBasicAction* Value);

    // From another button: caption, image, Down, AutoToggle, Tag and Enabled.
    void Assign(TPersistent* Source) override;

    TTkNavBarPage* Page() const noexcept;
    TTkCustomNavBar* NavBar() const noexcept;

protected:
    std::string GetDisplayName() const override;
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

private:
    friend class TTkCustomNavBar;
    void InvalidateBar() const;
    TActionLink* NewActionLink();

    std::string caption_;
    int imageIndex_ = 0;
    bool enabled_ = true;
    bool down_ = false;
    TActionClient actions_{
        this, OnClick, [this] { return NewActionLink(); },
        [this](TBasicAction* Sender, bool CheckDefaults) { ActionChange(Sender, CheckDefaults); }};
};

// A button's link to an action: caption, enabled state, image and execute handler follow the
// action while the button still shows the action's value.
class TTkNavBarButtonActionLink : public TActionLink {
    FW_CLASS(TTkNavBarButtonActionLink, TActionLink)
public:
    explicit TTkNavBarButtonActionLink(TTkNavBarButton* AClient)
        : TActionLink(AClient), button_(AClient) {}

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsImageIndexLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetImageIndex(int Value) override;
    void SetOnExecute(TNotifyEvent Value) override;

private:
    TTkNavBarButton* button_;
};

class TTkNavBarButtons : public TOwnedCollection {
    FW_CLASS(TTkNavBarButtons, TOwnedCollection)
public:
    explicit TTkNavBarButtons(TTkNavBarPage* APage);

    TTkNavBarButton* Add() { return static_cast<TTkNavBarButton*>(TCollection::Add()); }
    TTkNavBarButton* Items(int Index) const {
        return static_cast<TTkNavBarButton*>(TCollection::Items(Index));
    }
    TTkNavBarPage* Page() const noexcept { return page_; }

protected:
    // Reported to the page as a change of the page.
    void Update(TCollectionItem* Item) override;

private:
    TTkNavBarPage* page_;
};

// One page of the bar: its header and its buttons.
class TTkNavBarPage : public TCollectionItem {
    FW_CLASS(TTkNavBarPage, TCollectionItem)
public:
    explicit TTkNavBarPage(TCollection* Collection);
    ~TTkNavBarPage() override;
    // Ends an edit of the page or of one of its buttons while the page is still in its bar.
    void BeforeDestruction() override;

    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment Value);
    TTkNavBarButtons* Buttons() const noexcept { return buttons_; }
    void SetButtons(TTkNavBarButtons* Value);
    TTkBarButtonSize ButtonSize() const noexcept { return buttonSize_; }
    // Outside the reading of a form also stops following the bar.
    void SetButtonSize(TTkBarButtonSize Value);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& Value);
    // clDefault: themed, or the bar's colour.
    TColor Color() const noexcept { return color_; }
    // Also stops following the bar's colour.
    void SetColor(TColor Value);
    TFont* DownFont() const noexcept { return downFont_; }
    void SetDownFont(TFont* Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);
    // Changing its contents stops following the bar's font.
    TFont* Font() const noexcept { return font_; }
    void SetFont(TFont* Value);
    TPicture* Picture() const noexcept { return picture_; }
    void SetPicture(TPicture* Value);
    bool ParentButtonSize() const noexcept { return parentButtonSize_; }
    void SetParentButtonSize(bool Value);
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool Value);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool Value);
    // Values outside 0..button count - 1 are ignored.
    int TopButtonIndex() const noexcept { return topButtonIndex_; }
    void SetTopButtonIndex(int Value);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);

    // From another page: everything but Font, ImageIndex, Alignment, ParentFont and
    // TopButtonIndex; the buttons are copied one by one.
    void Assign(TPersistent* Source) override;

    TTkCustomNavBar* NavBar() const noexcept;

protected:
    std::string GetDisplayName() const override;

private:
    friend class TTkCustomNavBar;
    friend class TTkNavBarButtons;
    // The bar's font and colour pushed down; the Parent flags stay as they are.
    void TakeBarFont(TFont* BarFont);
    void TakeBarColor(TColor BarColor);
    void FontContentsChanged(TObject*);
    void DownFontChanged(TObject*);
    void PictureChanged(TObject*);

    TAlignment alignment_ = taCenter;
    TTkNavBarButtons* buttons_ = nullptr;
    TTkBarButtonSize buttonSize_ = olbsLarge;
    std::string caption_;
    TColor color_ = clDefault;
    TFont* downFont_ = nullptr;
    TFont* font_ = nullptr;
    TPicture* picture_ = nullptr;
    int imageIndex_ = -1;
    bool parentButtonSize_ = true;
    bool parentFont_ = false;
    bool parentColor_ = true;
    int topButtonIndex_ = 0;
    bool enabled_ = true;
    bool pushingFont_ = false;
};

class TTkNavBarPages : public TOwnedCollection {
    FW_CLASS(TTkNavBarPages, TOwnedCollection)
public:
    explicit TTkNavBarPages(TTkCustomNavBar* ABar);

    TTkNavBarPage* Add() { return static_cast<TTkNavBarPage*>(TCollection::Add()); }
    TTkNavBarPage* Items(int Index) const {
        return static_cast<TTkNavBarPage*>(TCollection::Items(Index));
    }
    TTkCustomNavBar* NavBar() const noexcept { return bar_; }

protected:
    // Repaints the bar at once.
    void Update(TCollectionItem* Item) override;

private:
    TTkCustomNavBar* bar_;
};

// The side bar: stacked pages, the headers of the pages up to the active one at the top, the
// later ones at the bottom, the active page's buttons between them.
class TTkCustomNavBar : public TTkCustomControl {
    FW_CLASS(TTkCustomNavBar, TTkCustomControl)
public:
    explicit TTkCustomNavBar(TComponent* AOwner);
    ~TTkCustomNavBar() override;

    TTkNavBarPages* Pages() const noexcept { return pages_; }
    void SetPages(TTkNavBarPages* Value);
    TCustomImageList* LargeImages() const noexcept { return largeImages_; }
    void SetLargeImages(TCustomImageList* Value);
    TCustomImageList* SmallImages() const noexcept { return smallImages_; }
    void SetSmallImages(TCustomImageList* Value);
    TCustomImageList* PageImages() const noexcept { return pageImages_; }
    void SetPageImages(TCustomImageList* Value);
    TTkBarButtonSize ButtonSize() const noexcept { return buttonSize_; }
    // Handed to every page that follows the bar.
    void SetButtonSize(TTkBarButtonSize Value);
    int PageButtonHeight() const noexcept { return pageButtonHeight_; }
    void SetPageButtonHeight(int Value);
    // A stored index that no longer names a page reads as 0.
    int ActivePageIndex();
    // Indexes that name no page are ignored; OnPageChanging may refuse.
    void SetActivePageIndex(int Value);
    bool ThemedBackground() const noexcept { return themedBackground_; }
    void SetThemedBackground(bool Value);
    TFormBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    // bsNone or bsSingle.
    void SetBorderStyle(TFormBorderStyle Value);

    TNavBarPageChanging OnPageChanging;
    TNavBarPageChange OnPageChange;
    TNavBarButtonClick OnButtonClick;
    TTkNavBarCustomDrawEvent OnCustomDraw;
    // Before an edited caption is taken; Allow false keeps the old one, NewText may be changed.
    TNavBarEditCaption OnEditButton;
    TNavBarEditCaption OnEditPage;

    // Starts editing a button's (of the active page) or a page's caption in place.
    void EditButton(TTkNavBarButton* Button);
    void EditPage(TTkNavBarPage* Page);
    TTkNavBarEdit* Editor() const noexcept { return editor_; }

    // The layout, in client pixels; invalid indexes give empty rectangles.
    TRect GetPageButtonRect(int Index);
    TRect GetPageRect(int Index);
    int GetButtonHeight(int PageIndex);
    TRect GetButtonRect(int PageIndex, int Index);
    TRect GetButtonFrameRect(int PageIndex, int Index);
    TRect GetButtonTextRect(int PageIndex, int Index);
    // The button of the active page under (X, Y), -1 for none.
    int ButtonAtPos(int X, int Y);

    // The mouse-tracking state (-1: none).
    int PressedPage() const noexcept { return input_.PressedPage; }
    int DownPage() const noexcept { return input_.DownPage; }
    int HotPage() const noexcept { return input_.HotPage; }
    int HotButton() const noexcept { return input_.HotButton; }
    int PressedButton() const noexcept { return input_.PressedButton; }
    TRect HotFrame() const noexcept { return input_.HotFrame; }
    // The page or button under the mouse at the last context-menu request, else the bar.
    TObject* PopupObject() const noexcept { return popupObject_; }
    TTkThemedTopBottomButton* UpButton() const noexcept { return upButton_; }
    TTkThemedTopBottomButton* DownButton() const noexcept { return downButton_; }

    virtual bool DoPageChanging(int Index);
    virtual void DoPageChange(int Index);
    // Flips Down of an AutoToggle button, clicks it, then OnButtonClick.
    virtual void DoButtonClick(int Index);
    virtual bool DoCustomDraw(const TRect& ARect, TTkNavBarCustomDrawStage AStage, int AIndex,
                              bool ADown, bool AInside);

    // The elements, each announced to OnCustomDraw first.
    void DrawPageButton(int Index, const TRect& ARect, bool Pressed);
    void DrawPage(int Index);
    void DrawButtons(int Index);
    // The hot (or, when HotIndex is PressedIndex or Down, sunken) frame of button HotIndex.
    void PaintButtonFrame(int PageIndex, int HotIndex, int PressedIndex);

    // Every button applies its action again (only the values at their defaults while loading).
    virtual void RefreshActionLinks();

protected:
    void CreateParams(TCreateParams& Params) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    bool EraseBackground(TCanvas* Canvas, LPARAM Param) override;
    void ColorChanged() override;
    void FontChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* Control) override;
    void MouseLeave(TControl* Control) override;
    bool AcceptsDialogKey(std::uint16_t Key, TShiftState Shift, const std::string& Text) override;
    void WndProc(TMessage& Message) override;
    // Shows, places and enables the scroll buttons for the active page.
    void UpdateScrollButtons();

private:
    friend class TTkNavBarButton;
    friend class TTkNavBarPage;
    void SetImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);
    void ImageListChanged(TObject*) { Invalidate(); }
    // What the layout needs of page Index (which must exist).
    TNavBarGeometry BarGeometry();
    TNavPageGeometry PageGeometry(int Index);
    int TextHeight();
    int CaptionWidth(int PageIndex, int ButtonIndex);
    void ButtonGoing(int PageIndex, int ButtonIndex);
    bool Themed() const;
    void PaintHeader(int Index, const TRect& R);
    void FillPage(TTkNavBarPage* Page, const TRect& Area);
    void Carry(const TNavInputEffects& Effects);
    void ScrollUpClick(TObject*);
    void StartEdit(TObject* Item, LPARAM Kind);
    void EditAccepted(TObject* Item);
    // The item (a button or page) goes: an edit of it ends without being taken.
    void ItemGoing(TObject* Item);
    void ScrollDownClick(TObject*);
    friend class TNavBarInputView;

    TTkNavBarPages* pages_ = nullptr;
    TCustomImageList* largeImages_ = nullptr;
    TCustomImageList* smallImages_ = nullptr;
    TCustomImageList* pageImages_ = nullptr;
    TChangeLink* largeLink_ = nullptr;
    TChangeLink* smallLink_ = nullptr;
    TChangeLink* pageLink_ = nullptr;
    TTkBarButtonSize buttonSize_ = olbsLarge;
    int pageButtonHeight_ = 19;
    int activePageIndex_ = 0;
    bool themedBackground_ = true;
    TFormBorderStyle borderStyle_ = bsSingle;
    TNavInputState input_;
    TObject* popupObject_ = nullptr;
    TTkThemedTopBottomButton* upButton_ = nullptr;
    TTkThemedTopBottomButton* downButton_ = nullptr;
    TTkNavBarEdit* editor_ = nullptr;
};

class TTkNavBar : public TTkCustomNavBar {
    FW_CLASS(TTkNavBar, TTkCustomNavBar)
public:
    using TTkCustomNavBar::TTkCustomNavBar;
};
