#include "controls/TkComCtrls_win.h"

#include <commctrl.h>

#include "framework/gui/Form_win.h"

TTkPageControl::TTkPageControl(TComponent* AOwner) : TTkExPageControl(AOwner) {
    clientBorderWidth_ = 4;
    HintSource = hsDefault;
}

void TTkPageControl::SetClientBorderWidth(int Value) {
    if (Value == clientBorderWidth_)
        return;
    clientBorderWidth_ = Value;
    RecreateWnd();
    Realign();
}

void TTkPageControl::SetHideAllTabs(bool Value) {
    hideAllTabs_ = Value;
    ApplyHideAllTabs();
}

void TTkPageControl::Loaded() {
    TTkExPageControl::Loaded();
    ApplyHideAllTabs();
}

void TTkPageControl::CreateWnd() {
    TTkExPageControl::CreateWnd();
    ApplyHideAllTabs();
}

void TTkPageControl::ApplyHideAllTabs() {
    if (ComponentState().Contains(csDesigning) || !HandleAllocated())
        return;
    TTabSheet* active = ActivePage();
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->SetTabVisible(Pages(i)->TabVisible() && !hideAllTabs_);
    SetActivePage(active);
    if (hideAllTabs_ && active != nullptr)
        active->SetTabStop(false);
}

bool TTkPageControl::CanChange() {
    const bool allowed = TTkExPageControl::CanChange();
    if (allowed && ReduceMemoryUse) {
        // The page left gives up its window; it gets a new one when it is shown again.
        if (TTabSheet* left = ActivePage(); left != nullptr && left->HandleAllocated())
            left->DestroyHandle();
    }
    return allowed;
}

int TTkPageControl::PageAt(POINT at, bool& onItem) {
    TCHITTESTINFO hit{};
    hit.pt = at;
    const int tab =
        static_cast<int>(SendMessageA(Handle(), TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    onItem = (hit.flags & (TCHT_ONITEMICON | TCHT_ONITEMLABEL)) != 0;
    return PageIndexOfTab(PageStates(), tab);
}

bool TTkPageControl::GlobalTab(TMessage& Message) {
    if (!HandleGlobalTab || Message.WParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0)
        return false;
    if (TCustomForm* form = GetParentForm(); form != nullptr && form->KeyPreview)
        return false;
    const int target = GlobalTabTarget(PageStates(), ActivePageIndex(), GetKeyState(VK_SHIFT) < 0);
    if (target < 0)
        return false; // nothing to go to: the key is the framework's
    if (!CanChange()) {
        Message.Result = 0;
        return true;
    }
    ShowPage(Pages(target));
    Change();
    Message.Result = 1;
    return true;
}

void TTkPageControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGKEY:
        if (GlobalTab(Message))
            return;
        break;
    case TCM_ADJUSTRECT:
        TTkExPageControl::WndProc(Message);
        if (Message.WParam == 0 && Message.LParam != 0 && clientBorderWidth_ != 4) {
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            const TRect area =
                PageAreaForBorder(Rect(r->left, r->top, r->right, r->bottom), clientBorderWidth_);
            *r = RECT{area.Left, area.Top, area.Right, area.Bottom};
        }
        return;
    case WM_LBUTTONDOWN:
        if (!ComponentState().Contains(csDesigning)) {
            bool onItem = false;
            const int page = PageAt(POINT{static_cast<short>(LOWORD(Message.LParam)),
                                          static_cast<short>(HIWORD(Message.LParam))},
                                    onItem);
            if (page >= 0 && onItem && !Pages(page)->Enabled()) {
                Message.Result = 0; // a disabled page is not chosen
                return;
            }
        }
        break;
    case WM_RBUTTONDOWN:
        if (RightClickSelect) {
            bool onItem = false;
            const int page = PageAt(POINT{static_cast<short>(LOWORD(Message.LParam)),
                                          static_cast<short>(HIWORD(Message.LParam))},
                                    onItem);
            if (page >= 0 && page != ActivePageIndex() && CanChange()) {
                ShowPage(Pages(page));
                Change();
            }
        }
        break;
    default:
        break;
    }
    TTkExPageControl::WndProc(Message);
}
