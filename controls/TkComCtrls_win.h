#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/PageControlLogic.h"
#include "controls/TkExControls_win.h"
#include "framework/controls/PageControl_win.h"

// The toolkit's layer over the framework's page control.
class TTkExPageControl : public TkExLayer<TPageControl> {
    FW_CLASS(TTkExPageControl, TPageControl)
public:
    explicit TTkExPageControl(TComponent* AOwner) : TkExLayer<TPageControl>(AOwner) {}
};

class TTkPageControl;

// A component that draws the tabs of the page controls registered with it. It draws nothing
// itself: a descendant draws each tab from the arguments. Freeing it leaves its controls with
// the system's tabs again.
class TTkTabControlPainter : public TTkComponent {
    FW_CLASS(TTkTabControlPainter, TTkComponent)
public:
    explicit TTkTabControlPainter(TComponent* AOwner) : TTkComponent(AOwner) {}
    ~TTkTabControlPainter() override;
    void BeforeDestruction() override;

    virtual void DrawTab(TTkPageControl* Control, TCanvas* Canvas, TCustomImageList* Images,
                         int ImageIndex, const std::string& Caption, const TRect& Rect, bool Active,
                         bool Enabled);
    // Every client draws again.
    virtual void Change();
    int ClientCount() const noexcept { return static_cast<int>(clients_.size()); }
    void RegisterChange(TTkPageControl* Control);
    void UnRegisterChange(TTkPageControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TTkPageControl*> clients_;
};

// A page control whose tabs can all be hidden while pages are still switched by code, whose
// border can be narrowed to nothing, whose disabled pages cannot be chosen by a click, and which
// can select a page by a right click and change pages by Ctrl+Tab from anywhere on its form.
class TTkPageControl : public TTkExPageControl {
    FW_CLASS(TTkPageControl, TTkExPageControl)
public:
    explicit TTkPageControl(TComponent* AOwner);

    // Ctrl+Shift+Tab and Ctrl+Tab change pages wherever the focus is on the form (unless the form
    // previews keys).
    bool HandleGlobalTab = false;
    int ClientBorderWidth() const noexcept { return clientBorderWidth_; }
    // Re-creates the window.
    void SetClientBorderWidth(int Value);
    bool RightClickSelect = false;
    // The window of the page left is destroyed on every change of page by the user.
    bool ReduceMemoryUse = false;
    bool HideAllTabs() const noexcept { return hideAllTabs_; }
    void SetHideAllTabs(bool Value);
    TTkHintSource HintSource = hsDefault;
    TTkTabControlPainter* TabPainter() const noexcept { return tabPainter_; }
    // The tabs drawn by the painter (nullptr: by the system).
    void SetTabPainter(TTkTabControlPainter* Value);

    bool CanChange() override;
    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void DrawTab(TCanvas* Canvas, int TabIndex, const TRect& Rect, bool Active) override;
    bool HintShow(THintInfo& HintInfo) override;

private:
    void ApplyHideAllTabs();
    // The page of the tab under a client point (-1 for none) and whether the point lies on the
    // tab's icon or label.
    int PageAt(POINT at, bool& onItem);
    bool GlobalTab(TMessage& Message);

    friend class TTkTabControlPainter;
    int clientBorderWidth_ = 4;
    bool hideAllTabs_ = false;
    TTkTabControlPainter* tabPainter_ = nullptr;
};
