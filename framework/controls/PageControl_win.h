#pragma once

#include <vector>

#include "framework/controls/PageRules.h"
#include "framework/gui/WinControl_win.h"

class TCanvas;
class TCustomImageList;
class TPageControl;

// One page of a page control: a parent for the page's controls, placed in the control's page
// area and shown while it is the active page. Its caption is its tab's label.
class TTabSheet : public TWinControl {
    FW_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const noexcept { return pageControl_; }
    // Moves the page to another control (nullptr takes it out).
    void SetPageControl(TPageControl* Value);
    int PageIndex() const;
    // Its index among the visible tabs; -1 while its tab is hidden.
    int TabIndex() const;
    bool TabVisible() const noexcept { return tabVisible_; }
    void SetTabVisible(bool Value);
    int ImageIndex = -1;
    // Gives up the page's window (and its controls'); showing the page makes them again.
    void DestroyHandle() { DestroyWnd(); }

    void SetText(const std::string& Value) override;
    void WndProc(TMessage& Message) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

using TTabChangingEvent = TDelegate<void(TObject* Sender, bool& AllowChange)>;

// The system's tab control with a page per tab. Pages whose tab is hidden stay pages (switched by
// code) without a tab item; with every tab hidden no tab row remains. The page area is what the
// control answers to TCM_ADJUSTRECT, so a control that handles that message places its pages.
class TPageControl : public TWinControl {
    FW_CLASS(TPageControl, TWinControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int Index) const { return pages_.at(static_cast<std::size_t>(Index)); }
    TTabSheet* ActivePage() const noexcept { return activePage_; }
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    // -1 (or an index out of range) leaves no page active.
    void SetActivePageIndex(int Index);
    // The page after (or before) Current, wrapping; with CheckTabVisible only pages with a tab.
    TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward, bool CheckTabVisible) const;
    void SelectNextPage(bool GoForward);
    TCustomImageList* Images() const noexcept { return images_; }
    // The tabs' images (not owned).
    void SetImages(TCustomImageList* Value);
    bool OwnerDraw() const noexcept { return ownerDraw_; }
    // The tabs drawn by DrawTab instead of the system (re-creates the window).
    void SetOwnerDraw(bool Value);
    // Whether the user may leave the active page (OnChanging).
    virtual bool CanChange();
    // After a change of page by the user (OnChange).
    virtual void Change();
    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    // The page area in client coordinates.
    TRect DisplayRect();
    // The tab items again from the pages (after their visibility or caption changed).
    void UpdateTabs();
    std::vector<TPageState> PageStates() const;

    void WndProc(TMessage& Message) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;

    // Makes Page the active page and shows it (no events).
    void ShowPage(TTabSheet* Page);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Draws tab TabIndex (owner-drawn tabs); the default draws its caption on the button face.
    virtual void DrawTab(TCanvas* Canvas, int TabIndex, const TRect& Rect, bool Active);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void SelectActiveTab();

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    TCustomImageList* images_ = nullptr;
    bool ownerDraw_ = false;
    bool updatingTabs_ = false;
};
