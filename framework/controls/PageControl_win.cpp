#include "framework/controls/PageControl_win.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Messages.h"

namespace {

constexpr int kTabBodyPart = 10; // the theme's tab body, behind a page's controls
constexpr int kTabPanePart = 9;  // the frame around the page area
// What the page area keeps off each edge when there is no tab row: the frame and its margin.
constexpr int kBareBorder = 4;

} // namespace

// --- the page ---

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Include(csAcceptsControls);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (pageControl_ != nullptr)
        pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    SetParent(Value);
}

int TTabSheet::PageIndex() const {
    if (pageControl_ == nullptr)
        return -1;
    const auto& pages = pageControl_->pages_;
    const auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

int TTabSheet::TabIndex() const {
    return pageControl_ == nullptr ? -1 : TabIndexOfPage(pageControl_->PageStates(), PageIndex());
}

void TTabSheet::SetTabVisible(bool Value) {
    if (Value == tabVisible_)
        return;
    tabVisible_ = Value;
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::SetText(const std::string& Value) {
    TWinControl::SetText(Value);
    if (pageControl_ != nullptr)
        pageControl_->UpdateTabs();
}

void TTabSheet::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND && ThemeServices()->ThemesEnabled()) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const TRect client = ClientRect();
        if (ThemeServices()->DrawElement(dc, {tcTab, kTabBodyPart, 0}, client)) {
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(Message);
}

// --- the control ---

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
    ControlStyle.Include(csAcceptsControls);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl() {
    for (TTabSheet* page : pages_)
        page->pageControl_ = nullptr;
    pages_.clear();
}

void TPageControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.WinClassName = WC_TABCONTROLA;
    Params.Style |= WS_CLIPCHILDREN;
    if (ownerDraw_)
        Params.Style |= TCS_OWNERDRAWFIXED;
}

void TPageControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (images_ != nullptr)
        SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
    UpdateTabs();
}

void TPageControl::SetImages(TCustomImageList* Value) {
    if (images_ != nullptr)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_SETIMAGELIST, 0,
                     reinterpret_cast<LPARAM>(Value != nullptr ? Value->Handle() : nullptr));
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        if (HandleAllocated())
            SendMessageA(Handle(), TCM_SETIMAGELIST, 0, 0);
    }
}

void TPageControl::SetOwnerDraw(bool Value) {
    if (Value == ownerDraw_)
        return;
    ownerDraw_ = Value;
    RecreateWnd();
}

void TPageControl::DrawTab(TCanvas* Canvas, int TabIndex, const TRect& Rect, bool Active) {
    (void)Active;
    const int page = PageIndexOfTab(PageStates(), TabIndex);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Rect);
    if (page >= 0)
        Canvas->TextRect(Rect, Rect.Left + 4, Rect.Top + 2,
                         pages_[static_cast<std::size_t>(page)]->Text());
}

void TPageControl::Loaded() {
    TWinControl::Loaded();
    UpdateTabs();
}

std::vector<TPageState> TPageControl::PageStates() const {
    std::vector<TPageState> states;
    states.reserve(pages_.size());
    for (const TTabSheet* page : pages_)
        states.push_back({page->TabVisible(), page->Enabled()});
    return states;
}

void TPageControl::InsertPage(TTabSheet* Page) {
    if (std::find(pages_.begin(), pages_.end(), Page) != pages_.end())
        return;
    pages_.push_back(Page);
    Page->pageControl_ = this;
    UpdateTabs();
    if (activePage_ == nullptr)
        ShowPage(Page);
    else
        Page->SetVisible(false);
}

void TPageControl::RemovePage(TTabSheet* Page) {
    const auto it = std::find(pages_.begin(), pages_.end(), Page);
    if (it == pages_.end())
        return;
    pages_.erase(it);
    Page->pageControl_ = nullptr;
    if (activePage_ == Page)
        activePage_ = nullptr;
    if (!ComponentState().Contains(csDestroying))
        UpdateTabs();
}

void TPageControl::UpdateTabs() {
    if (!HandleAllocated() || updatingTabs_)
        return;
    updatingTabs_ = true;
    HWND h = Handle();
    SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
    int tab = 0;
    for (TTabSheet* page : pages_) {
        if (!page->TabVisible())
            continue;
        std::string caption = page->Text();
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = caption.data();
        item.iImage = page->ImageIndex;
        SendMessageA(h, TCM_INSERTITEMA, static_cast<WPARAM>(tab++),
                     reinterpret_cast<LPARAM>(&item));
    }
    updatingTabs_ = false;
    SelectActiveTab();
    Realign();
    Invalidate();
}

void TPageControl::SelectActiveTab() {
    if (!HandleAllocated())
        return;
    const int tab = activePage_ != nullptr ? activePage_->TabIndex() : -1;
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
}

int TPageControl::ActivePageIndex() const {
    return activePage_ != nullptr ? activePage_->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Index) {
    SetActivePage(Index >= 0 && Index < PageCount() ? pages_[static_cast<std::size_t>(Index)]
                                                    : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
    if (Page != nullptr && Page->pageControl_ != this)
        return;
    ShowPage(Page);
}

void TPageControl::ShowPage(TTabSheet* Page) {
    TTabSheet* old = activePage_;
    activePage_ = Page;
    if (Page != nullptr) {
        Page->SetBoundsRect(DisplayRect());
        Page->SetVisible(true);
        // A page whose window was given up gets a new one.
        if (HandleAllocated())
            Page->HandleNeeded();
        if (Page->HandleAllocated())
            SetWindowPos(Page->Handle(), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (old != nullptr && old != Page)
        old->SetVisible(false);
    SelectActiveTab();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward,
                                      bool CheckTabVisible) const {
    const int current = Current != nullptr ? Current->PageIndex() : -1;
    const int next = FindNextPageIndex(PageStates(), current, GoForward, CheckTabVisible);
    return next >= 0 ? pages_[static_cast<std::size_t>(next)] : nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
    TTabSheet* next = FindNextPage(activePage_, GoForward, true);
    if (next != nullptr && next != activePage_ && CanChange()) {
        ShowPage(next);
        Change();
    }
}

bool TPageControl::CanChange() {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    return allow;
}

void TPageControl::Change() {
    if (OnChange)
        OnChange(this);
}

TRect TPageControl::DisplayRect() {
    const TRect client = ClientRect();
    if (!HandleAllocated())
        return client;
    RECT r{client.Left, client.Top, client.Right, client.Bottom};
    SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return Rect(r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom));
}

void TPageControl::AlignControls(TControl* AControl, TRect& Rect) {
    TWinControl::AlignControls(AControl, Rect);
    const TRect area = DisplayRect();
    for (TTabSheet* page : pages_)
        if (page->BoundsRect() != area)
            page->SetBoundsRect(area);
}

void TPageControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_CONTROLCHANGE:
        // A page came (after its insertion) or goes (before its removal).
        if (auto* page = dynamic_cast<TTabSheet*>(reinterpret_cast<TControl*>(Message.WParam))) {
            if (Message.LParam != 0)
                InsertPage(page);
            else
                RemovePage(page);
        }
        break;
    case CN_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (header == nullptr)
            break;
        if (header->code == static_cast<UINT>(TCN_SELCHANGING)) {
            Message.Result = CanChange() ? FALSE : TRUE;
            return;
        }
        if (header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            const int tab = static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
            const int page = PageIndexOfTab(PageStates(), tab);
            if (page >= 0) {
                ShowPage(pages_[static_cast<std::size_t>(page)]);
                Change();
            }
            Message.Result = 0;
            return;
        }
        break;
    }
    case CN_BASE + WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
        if (item == nullptr)
            break;
        TCanvas canvas;
        const int saved = SaveDC(item->hDC);
        canvas.SetHandle(item->hDC);
        try {
            DrawTab(
                &canvas, static_cast<int>(item->itemID),
                Rect(item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom),
                (item->itemState & ODS_SELECTED) != 0);
        } catch (...) {
            canvas.SetHandle(nullptr);
            RestoreDC(item->hDC, saved);
            throw;
        }
        canvas.SetHandle(nullptr);
        RestoreDC(item->hDC, saved);
        Message.Result = TRUE;
        return;
    }
    case TCM_ADJUSTRECT:
        // With every tab hidden there is no tab row: the page area is the frame's inside.
        if (TabCtrl_GetItemCount(Handle()) == 0 && Message.LParam != 0) {
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            const int by = Message.WParam == 0 ? -kBareBorder : kBareBorder;
            InflateRect(r, by, by);
            Message.Result = 0;
            return;
        }
        break;
    case WM_PAINT:
        if (TabCtrl_GetItemCount(Handle()) == 0) {
            PAINTSTRUCT ps{};
            HDC dc = Message.WParam != 0 ? reinterpret_cast<HDC>(Message.WParam)
                                         : BeginPaint(Handle(), &ps);
            RECT client{};
            GetClientRect(Handle(), &client);
            const TRect frame = Rect(client.left, client.top, client.right, client.bottom);
            if (!ThemeServices()->DrawElement(dc, {tcTab, kTabPanePart, 0}, frame)) {
                FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
                DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
            }
            if (Message.WParam == 0)
                EndPaint(Handle(), &ps);
            Message.Result = 0;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
