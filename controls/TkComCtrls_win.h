#pragma once

#include <windows.h>

#include "controls/PageControlLogic.h"
#include "controls/TkExControls_win.h"
#include "framework/controls/PageControl_win.h"

// The toolkit's layer over the framework's page control.
class TTkExPageControl : public TkExLayer<TPageControl> {
    FW_CLASS(TTkExPageControl, TPageControl)
public:
    explicit TTkExPageControl(TComponent* AOwner) : TkExLayer<TPageControl>(AOwner) {}
};

enum TTkHintSource : std::uint8_t {
    hsDefault,
    hsForceMain,
    hsForceChildren,
    hsPreferMain,
    hsPreferChildren
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

    bool CanChange() override;
    void WndProc(TMessage& Message) override;

protected:
    void Loaded() override;
    void CreateWnd() override;

private:
    void ApplyHideAllTabs();
    // The page of the tab under a client point (-1 for none) and whether the point lies on the
    // tab's icon or label.
    int PageAt(POINT at, bool& onItem);
    bool GlobalTab(TMessage& Message);

    int clientBorderWidth_ = 4;
    bool hideAllTabs_ = false;
};
