#include "controls/TkComCtrls_win.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/core/SysUtils.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/HintWindow_win.h"

// --- the painter ---

TTkTabControlPainter::~TTkTabControlPainter() = default;

void TTkTabControlPainter::BeforeDestruction() {
    // The last registered first, as each one leaves the list.
    while (!clients_.empty())
        clients_.back()->SetTabPainter(nullptr);
    TTkComponent::BeforeDestruction();
}

void TTkTabControlPainter::DrawTab(TTkPageControl*, TCanvas*, TCustomImageList*, int,
                                   const std::string&, const TRect&, bool, bool) {}

void TTkTabControlPainter::Change() {
    for (TTkPageControl* c : clients_)
        c->Invalidate();
}

void TTkTabControlPainter::RegisterChange(TTkPageControl* Control) {
    if (std::find(clients_.begin(), clients_.end(), Control) != clients_.end())
        return;
    clients_.push_back(Control);
    Control->FreeNotification(this);
    Control->Invalidate();
}

void TTkTabControlPainter::UnRegisterChange(TTkPageControl* Control) {
    std::erase(clients_, Control);
    if (!Control->ComponentState().Contains(csDestroying))
        Control->Invalidate();
}

void TTkTabControlPainter::Notification(TComponent* AComponent, TOperation Operation) {
    TTkComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        std::erase_if(clients_,
                      [&](TTkPageControl* c) { return static_cast<TComponent*>(c) == AComponent; });
}

// --- the page control ---

TTkPageControl::TTkPageControl(TComponent* AOwner) : TTkExPageControl(AOwner) {}

void TTkPageControl::SetTabPainter(TTkTabControlPainter* Value) {
    if (Value == tabPainter_)
        return;
    if (tabPainter_ != nullptr) {
        tabPainter_->UnRegisterChange(this);
        tabPainter_->RemoveFreeNotification(this);
    }
    tabPainter_ = Value;
    if (Value != nullptr) {
        Value->FreeNotification(this);
        Value->RegisterChange(this);
    }
    if (!ComponentState().Contains(csDestroying))
        SetOwnerDraw(Value != nullptr);
    Invalidate();
}

void TTkPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TTkExPageControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == tabPainter_) {
        tabPainter_ = nullptr;
        if (!ComponentState().Contains(csDestroying))
            SetOwnerDraw(false);
    }
}

void TTkPageControl::DrawTab(TCanvas* Canvas, int TabIndex, const TRect& Rect, bool Active) {
    if (tabPainter_ == nullptr) {
        TTkExPageControl::DrawTab(Canvas, TabIndex, Rect, Active);
        return;
    }
    const int page = PageIndexOfTab(PageStates(), TabIndex);
    if (page < 0)
        return;
    TTabSheet* sheet = Pages(page);
    tabPainter_->DrawTab(this, Canvas, Images(), sheet->ImageIndex, sheet->Text(), Rect, Active,
                         sheet->Enabled());
}

bool TTkPageControl::HintShow(THintInfo& HintInfo) {
    if (TTkExPageControl::HintShow(HintInfo))
        return true; // settled: no hint
    if (HintSource == hsDefault || HintInfo.HintControl != this || !HandleAllocated())
        return false;
    bool onItem = false;
    const int page = PageAt(POINT{HintInfo.CursorPos.X, HintInfo.CursorPos.Y}, onItem);
    const std::string mainHint = GetShortHint(Hint());
    const std::string pageHint = page >= 0 ? GetShortHint(Pages(page)->Hint()) : std::string();
    switch (ChooseTabHint(HintSource, mainHint, page >= 0, pageHint)) {
    case TTabHint::Main:
        HintInfo.HintStr = mainHint;
        break;
    case TTabHint::Page: {
        HintInfo.HintStr = pageHint;
        RECT r{};
        SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Pages(page)->TabIndex()),
                     reinterpret_cast<LPARAM>(&r));
        HintInfo.CursorRect = Rect(r.left, r.top, r.right, r.bottom);
        break;
    }
    case TTabHint::Framework:
        break;
    }
    return false;
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
