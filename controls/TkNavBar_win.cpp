#include "controls/TkNavBar_win.h"

#include "controls/TkThemes_win.h"
#include "controls/TkUtils_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/Picture_win.h"

namespace {

// A DC that measures text in a font without needing the bar's window.
class TMeasureDC {
public:
    explicit TMeasureDC(TFont* font) : dc_(CreateCompatibleDC(nullptr)) {
        if (dc_ != nullptr)
            old_ = SelectObject(dc_, font->Handle());
    }
    ~TMeasureDC() {
        if (dc_ != nullptr) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
    }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;

    int TextHeight() const {
        TEXTMETRICA tm{};
        if (dc_ == nullptr || !GetTextMetricsA(dc_, &tm))
            return 0;
        return tm.tmHeight + tm.tmExternalLeading;
    }
    int TextWidth(const std::string& text) const {
        SIZE size{};
        if (dc_ == nullptr || text.empty() ||
            !GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size))
            return 0;
        return size.cx;
    }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Buttons

TTkNavBarButton::TTkNavBarButton(TCollection* Collection) : TCollectionItem(Collection) {}

void TTkNavBarButton::BeforeDestruction() {
    if (TTkCustomNavBar* bar = NavBar()) {
        TTkNavBarPage* page = Page();
        bar->ButtonGoing(page != nullptr ? page->Index() : -1, Index());
    }
    TCollectionItem::BeforeDestruction();
}

TTkNavBarPage* TTkNavBarButton::Page() const noexcept {
    auto* buttons = dynamic_cast<TTkNavBarButtons*>(Collection());
    return buttons != nullptr ? buttons->Page() : nullptr;
}

TTkCustomNavBar* TTkNavBarButton::NavBar() const noexcept {
    TTkNavBarPage* page = Page();
    return page != nullptr ? page->NavBar() : nullptr;
}

void TTkNavBarButton::InvalidateBar() const {
    if (TTkCustomNavBar* bar = NavBar())
        bar->Invalidate();
}

void TTkNavBarButton::SetCaption(const std::string& Value) {
    if (caption_ == Value)
        return;
    caption_ = Value;
    InvalidateBar();
}

void TTkNavBarButton::SetImageIndex(int Value) {
    if (imageIndex_ == Value)
        return;
    imageIndex_ = Value;
    InvalidateBar();
}

void TTkNavBarButton::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    InvalidateBar();
}

void TTkNavBarButton::SetDown(bool Value) {
    if (down_ == Value)
        return;
    down_ = Value;
    if (Value) {
        if (auto* buttons = dynamic_cast<TTkNavBarButtons*>(Collection())) {
            for (int i = 0; i < buttons->Count(); ++i) {
                TTkNavBarButton* other = buttons->Items(i);
                if (other != this)
                    other->SetDown(false);
            }
        }
    }
    InvalidateBar();
}

void TTkNavBarButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TTkNavBarButton::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TTkNavBarButton*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    caption_ = source->caption_;
    imageIndex_ = source->imageIndex_;
    down_ = source->down_;
    AutoToggle = source->AutoToggle;
    Tag = source->Tag;
    enabled_ = source->enabled_;
    InvalidateBar();
}

std::string TTkNavBarButton::GetDisplayName() const {
    return caption_.empty() ? TCollectionItem::GetDisplayName() : caption_;
}

TTkNavBarButtons::TTkNavBarButtons(TTkNavBarPage* APage)
    : TOwnedCollection(APage, TCollectionItemClass::Of<TTkNavBarButton>()), page_(APage) {}

void TTkNavBarButtons::Update(TCollectionItem*) {
    if (page_ != nullptr)
        page_->Changed(false);
}

// ---------------------------------------------------------------------------------------------
// Pages

TTkNavBarPage::TTkNavBarPage(TCollection* Collection) : TCollectionItem(Collection) {
    font_ = new TFont();
    downFont_ = new TFont();
    picture_ = new TPicture();
    buttons_ = new TTkNavBarButtons(this);
    // The fields are set directly: through the writers the colour would stop following the
    // bar at once and every step would report a change of a page still being made.
    if (TTkCustomNavBar* bar = NavBar()) {
        buttonSize_ = bar->ButtonSize();
        font_->Assign(bar->Font());
    }
    downFont_->Assign(font_);
    font_->SetColor(static_cast<TColor>(0xFFFFFF));
    font_->OnChange = TNotifyEvent(this, &TTkNavBarPage::FontContentsChanged);
    downFont_->OnChange = TNotifyEvent(this, &TTkNavBarPage::DownFontChanged);
    picture_->OnChange = TNotifyEvent(this, &TTkNavBarPage::PictureChanged);
}

TTkNavBarPage::~TTkNavBarPage() {
    buttons_->Free();
    delete picture_;
    delete downFont_;
    delete font_;
}

TTkCustomNavBar* TTkNavBarPage::NavBar() const noexcept {
    auto* pages = dynamic_cast<TTkNavBarPages*>(Collection());
    return pages != nullptr ? pages->NavBar() : nullptr;
}

std::string TTkNavBarPage::GetDisplayName() const {
    return caption_.empty() ? TCollectionItem::GetDisplayName() : caption_;
}

void TTkNavBarPage::SetAlignment(TAlignment Value) {
    if (alignment_ == Value)
        return;
    alignment_ = Value;
    Changed(false);
}

void TTkNavBarPage::SetButtons(TTkNavBarButtons* Value) {
    buttons_->Assign(Value);
    Changed(false);
}

void TTkNavBarPage::SetButtonSize(TTkBarButtonSize Value) {
    if (buttonSize_ == Value)
        return;
    buttonSize_ = Value;
    TTkCustomNavBar* bar = NavBar();
    if (bar == nullptr || !bar->ComponentState().Contains(csReading))
        parentButtonSize_ = false;
    Changed(false);
}

void TTkNavBarPage::SetCaption(const std::string& Value) {
    if (caption_ == Value)
        return;
    caption_ = Value;
    Changed(false);
}

void TTkNavBarPage::SetColor(TColor Value) {
    if (color_ == Value)
        return;
    color_ = Value;
    parentColor_ = false;
    Changed(false);
}

void TTkNavBarPage::SetDownFont(TFont* Value) {
    if (Value != downFont_)
        downFont_->Assign(Value);
}

void TTkNavBarPage::SetImageIndex(int Value) {
    if (imageIndex_ == Value)
        return;
    imageIndex_ = Value;
    Changed(false);
}

void TTkNavBarPage::SetFont(TFont* Value) {
    font_->Assign(Value);
    parentFont_ = false;
}

void TTkNavBarPage::SetPicture(TPicture* Value) {
    picture_->Assign(Value);
}

void TTkNavBarPage::SetParentButtonSize(bool Value) {
    if (Value) {
        if (TTkCustomNavBar* bar = NavBar())
            SetButtonSize(bar->ButtonSize());
    }
    parentButtonSize_ = Value;
}

void TTkNavBarPage::SetParentFont(bool Value) {
    if (Value) {
        if (TTkCustomNavBar* bar = NavBar())
            font_->Assign(bar->Font());
    }
    parentFont_ = Value;
}

void TTkNavBarPage::SetParentColor(bool Value) {
    if (Value) {
        if (TTkCustomNavBar* bar = NavBar())
            SetColor(bar->Color());
    }
    parentColor_ = Value;
}

void TTkNavBarPage::SetTopButtonIndex(int Value) {
    if (Value == topButtonIndex_ || Value < 0 || Value >= buttons_->Count())
        return;
    topButtonIndex_ = Value;
    Changed(false);
}

void TTkNavBarPage::SetEnabled(bool Value) {
    if (enabled_ == Value)
        return;
    enabled_ = Value;
    Changed(false);
}

void TTkNavBarPage::TakeBarFont(TFont* BarFont) {
    pushingFont_ = true;
    try {
        font_->Assign(BarFont);
    } catch (...) {
        pushingFont_ = false;
        throw;
    }
    pushingFont_ = false;
}

void TTkNavBarPage::TakeBarColor(TColor BarColor) {
    if (color_ == BarColor)
        return;
    color_ = BarColor;
    Changed(false);
}

void TTkNavBarPage::FontContentsChanged(TObject*) {
    if (!pushingFont_)
        parentFont_ = false;
    Changed(false);
}

void TTkNavBarPage::DownFontChanged(TObject*) {
    Changed(false);
}

void TTkNavBarPage::PictureChanged(TObject*) {
    Changed(false);
}

void TTkNavBarPage::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TTkNavBarPage*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    caption_ = source->caption_;
    picture_->OnChange = nullptr;
    downFont_->OnChange = nullptr;
    try {
        picture_->Assign(source->picture_);
        downFont_->Assign(source->downFont_);
    } catch (...) {
        picture_->OnChange = TNotifyEvent(this, &TTkNavBarPage::PictureChanged);
        downFont_->OnChange = TNotifyEvent(this, &TTkNavBarPage::DownFontChanged);
        throw;
    }
    picture_->OnChange = TNotifyEvent(this, &TTkNavBarPage::PictureChanged);
    downFont_->OnChange = TNotifyEvent(this, &TTkNavBarPage::DownFontChanged);
    color_ = source->color_;
    buttonSize_ = source->buttonSize_;
    parentButtonSize_ = source->parentButtonSize_;
    parentColor_ = source->parentColor_;
    enabled_ = source->enabled_;
    buttons_->Assign(source->buttons_);
    Changed(false);
}

TTkNavBarPages::TTkNavBarPages(TTkCustomNavBar* ABar)
    : TOwnedCollection(ABar, TCollectionItemClass::Of<TTkNavBarPage>()), bar_(ABar) {}

void TTkNavBarPages::Update(TCollectionItem*) {
    if (bar_ == nullptr || bar_->ComponentState().Contains(csDestroying))
        return;
    bar_->Invalidate();
    bar_->Update();
}

// ---------------------------------------------------------------------------------------------
// The bar

TTkCustomNavBar::TTkCustomNavBar(TComponent* AOwner) : TTkCustomControl(AOwner) {
    DoubleBuffered = true;
    ControlStyle.Exclude(csAcceptsControls);
    ControlStyle.Include(csOpaque);
    AddThemeStyleFlags(this, 0x20000);
    pages_ = new TTkNavBarPages(this);
    largeLink_ = new TChangeLink();
    smallLink_ = new TChangeLink();
    pageLink_ = new TChangeLink();
    for (TChangeLink* link : {largeLink_, smallLink_, pageLink_})
        link->OnChange = TNotifyEvent(this, &TTkCustomNavBar::ImageListChanged);
    SetBounds(Left(), Top(), 100, 220);
    SetColor(clBtnShadow);
    SetActivePageIndex(0);
}

TTkCustomNavBar::~TTkCustomNavBar() {
    for (auto [list, link] :
         {std::pair{largeImages_, largeLink_}, std::pair{smallImages_, smallLink_},
          std::pair{pageImages_, pageLink_}}) {
        if (list != nullptr)
            list->UnRegisterChanges(link);
        link->Free();
    }
    pages_->Free();
    pages_ = nullptr;
}

void TTkCustomNavBar::SetPages(TTkNavBarPages* Value) {
    pages_->Assign(Value);
}

void TTkCustomNavBar::SetImageList(TCustomImageList*& Field, TChangeLink* Link,
                                   TCustomImageList* Value) {
    if (Field != nullptr) {
        Field->UnRegisterChanges(Link);
        Field->RemoveFreeNotification(this);
    }
    Field = Value;
    if (Value != nullptr) {
        Value->RegisterChanges(Link);
        Value->FreeNotification(this);
    }
    Invalidate();
}

void TTkCustomNavBar::SetLargeImages(TCustomImageList* Value) {
    SetImageList(largeImages_, largeLink_, Value);
}

void TTkCustomNavBar::SetSmallImages(TCustomImageList* Value) {
    SetImageList(smallImages_, smallLink_, Value);
}

void TTkCustomNavBar::SetPageImages(TCustomImageList* Value) {
    SetImageList(pageImages_, pageLink_, Value);
}

void TTkCustomNavBar::SetButtonSize(TTkBarButtonSize Value) {
    buttonSize_ = Value;
    pages_->BeginUpdate();
    try {
        for (int i = 0; i < pages_->Count(); ++i) {
            TTkNavBarPage* page = pages_->Items(i);
            if (page->ParentButtonSize()) {
                page->SetParentButtonSize(false);
                page->SetParentButtonSize(true);
            }
        }
    } catch (...) {
        pages_->EndUpdate();
        throw;
    }
    pages_->EndUpdate();
}

void TTkCustomNavBar::SetPageButtonHeight(int Value) {
    if (pageButtonHeight_ == Value)
        return;
    pageButtonHeight_ = Value;
    Invalidate();
}

int TTkCustomNavBar::ActivePageIndex() {
    if (activePageIndex_ < 0 || activePageIndex_ >= pages_->Count())
        activePageIndex_ = 0;
    return activePageIndex_;
}

void TTkCustomNavBar::SetActivePageIndex(int Value) {
    if (Value < 0 || Value >= pages_->Count())
        return;
    downPage_ = -1;
    hotButton_ = -1;
    pressedButton_ = -1;
    hotFrame_ = {};
    if (Value != activePageIndex_) {
        if (!DoPageChanging(Value))
            return;
        activePageIndex_ = Value;
        DoPageChange(Value);
    }
    Invalidate();
}

void TTkCustomNavBar::SetThemedBackground(bool Value) {
    if (themedBackground_ == Value)
        return;
    themedBackground_ = Value;
    if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning) &&
        CurrentThemeServices()->ThemesEnabled())
        Invalidate();
}

void TTkCustomNavBar::SetBorderStyle(TFormBorderStyle Value) {
    if (Value != bsNone)
        Value = bsSingle;
    if (borderStyle_ == Value)
        return;
    borderStyle_ = Value;
    RecreateWnd();
}

void TTkCustomNavBar::CreateParams(TCreateParams& Params) {
    TTkCustomControl::CreateParams(Params);
    if (borderStyle_ == bsSingle) {
        Params.Style |= WS_BORDER;
        if (Ctl3D) {
            Params.Style &= ~static_cast<DWORD>(WS_BORDER);
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        }
    }
}

void TTkCustomNavBar::Notification(TComponent* AComponent, TOperation Operation) {
    TTkCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == largeImages_)
        SetLargeImages(nullptr);
    if (AComponent == smallImages_)
        SetSmallImages(nullptr);
    if (AComponent == pageImages_)
        SetPageImages(nullptr);
}

bool TTkCustomNavBar::EraseBackground(TCanvas*, LPARAM) {
    return true;
}

void TTkCustomNavBar::ColorChanged() {
    TTkCustomControl::ColorChanged();
    if (pages_ == nullptr)
        return;
    for (int i = 0; i < pages_->Count(); ++i) {
        TTkNavBarPage* page = pages_->Items(i);
        if (page->ParentColor())
            page->TakeBarColor(Color());
    }
}

void TTkCustomNavBar::FontChanged() {
    TTkCustomControl::FontChanged();
    if (pages_ == nullptr)
        return;
    for (int i = 0; i < pages_->Count(); ++i) {
        TTkNavBarPage* page = pages_->Items(i);
        if (page->ParentFont())
            page->TakeBarFont(Font());
    }
}

void TTkCustomNavBar::ButtonGoing(int PageIndex, int ButtonIndex) {
    if (ComponentState().Contains(csDestroying))
        return;
    if (PageIndex == ActivePageIndex()) {
        if (hotButton_ == ButtonIndex)
            hotButton_ = -1;
        if (pressedButton_ == ButtonIndex)
            pressedButton_ = -1;
    }
    Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Events

bool TTkCustomNavBar::DoPageChanging(int Index) {
    bool allow = true;
    if (Index >= 0 && OnPageChanging)
        OnPageChanging(this, Index, allow);
    return allow;
}

void TTkCustomNavBar::DoPageChange(int Index) {
    if (Index >= 0 && OnPageChange)
        OnPageChange(this, Index);
}

void TTkCustomNavBar::DoButtonClick(int Index) {
    if (Index < 0 || pages_->Count() == 0)
        return;
    TTkNavBarButtons* buttons = pages_->Items(ActivePageIndex())->Buttons();
    if (Index >= buttons->Count())
        return;
    TTkNavBarButton* button = buttons->Items(Index);
    if (button->AutoToggle)
        button->SetDown(!button->Down());
    button->Click();
    if (OnButtonClick)
        OnButtonClick(this, Index);
}

bool TTkCustomNavBar::DoCustomDraw(const TRect& ARect, TTkNavBarCustomDrawStage AStage, int AIndex,
                                   bool ADown, bool AInside) {
    bool defaultDraw = true;
    if (OnCustomDraw)
        OnCustomDraw(this, Canvas(), ARect, AStage, AIndex, ADown, AInside, defaultDraw);
    return defaultDraw;
}

// ---------------------------------------------------------------------------------------------
// Layout

TNavBarGeometry TTkCustomNavBar::BarGeometry() {
    const TRect client = ClientRect();
    TNavBarGeometry bar;
    bar.ClientWidth = client.Right - client.Left;
    bar.ClientHeight = client.Bottom - client.Top;
    bar.PageButtonHeight = pageButtonHeight_;
    bar.PageCount = pages_->Count();
    bar.ActivePage = ActivePageIndex();
    return bar;
}

TNavPageGeometry TTkCustomNavBar::PageGeometry(int Index) {
    TTkNavBarPage* page = pages_->Items(Index);
    TNavPageGeometry g;
    g.Size = page->ButtonSize();
    TCustomImageList* images = g.Size == olbsLarge ? largeImages_ : smallImages_;
    g.HasImages = images != nullptr;
    if (images != nullptr) {
        g.ImageWidth = images->Width();
        g.ImageHeight = images->Height();
    }
    g.FontHeight = page->Font()->Height();
    g.TopButtonIndex = page->TopButtonIndex();
    g.ButtonCount = page->Buttons()->Count();
    return g;
}

int TTkCustomNavBar::TextHeight() {
    return TMeasureDC(Font()).TextHeight();
}

int TTkCustomNavBar::CaptionWidth(int PageIndex, int ButtonIndex) {
    TTkNavBarPage* page = pages_->Items(PageIndex);
    if (ButtonIndex < 0 || ButtonIndex >= page->Buttons()->Count())
        return 0;
    return TMeasureDC(page->Font()).TextWidth(page->Buttons()->Items(ButtonIndex)->Caption());
}

TRect TTkCustomNavBar::GetPageButtonRect(int Index) {
    return NavPageButtonRect(BarGeometry(), Index);
}

TRect TTkCustomNavBar::GetPageRect(int Index) {
    return NavPageRect(BarGeometry(), Index);
}

int TTkCustomNavBar::GetButtonHeight(int PageIndex) {
    const bool valid = PageIndex >= 0 && PageIndex < pages_->Count();
    return NavButtonHeight(valid, valid ? PageGeometry(PageIndex) : TNavPageGeometry{},
                           TextHeight());
}

TRect TTkCustomNavBar::GetButtonRect(int PageIndex, int Index) {
    if (PageIndex < 0 || PageIndex >= pages_->Count())
        return {};
    return NavButtonRect(BarGeometry(), PageIndex, PageGeometry(PageIndex), TextHeight(), Index,
                         CaptionWidth(PageIndex, Index));
}

TRect TTkCustomNavBar::GetButtonFrameRect(int PageIndex, int Index) {
    if (PageIndex < 0 || PageIndex >= pages_->Count())
        return {};
    return NavButtonFrameRect(BarGeometry(), PageIndex, PageGeometry(PageIndex), TextHeight(),
                              Index);
}

TRect TTkCustomNavBar::GetButtonTextRect(int PageIndex, int Index) {
    if (PageIndex < 0 || PageIndex >= pages_->Count())
        return {};
    return NavButtonTextRect(BarGeometry(), PageIndex, PageGeometry(PageIndex), TextHeight(), Index,
                             CaptionWidth(PageIndex, Index));
}

int TTkCustomNavBar::ButtonAtPos(int X, int Y) {
    if (pages_->Count() == 0)
        return -1;
    const int active = ActivePageIndex();
    return NavButtonAtPos(BarGeometry(), PageGeometry(active), TextHeight(), {X, Y},
                          CaptionWidth(active, 0));
}

// ---------------------------------------------------------------------------------------------
// Painting: a plain rendering of the layout.

void TTkCustomNavBar::Paint() {
    if (ComponentState().Contains(csDestroying))
        return;
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
    SetBkMode(canvas->Handle(), TRANSPARENT);
    const int count = pages_->Count();
    if (count == 0)
        return;
    const int active = ActivePageIndex();
    for (int i = 0; i < count; ++i) {
        if (pageButtonHeight_ <= 0)
            break;
        TRect r = GetPageButtonRect(i);
        canvas->Brush()->SetColor(clBtnFace);
        canvas->FillRect(r);
        canvas->Font()->SetColor(clBtnText);
        const std::string& caption = pages_->Items(i)->Caption();
        DrawStringOnCanvas(canvas, caption, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    TTkNavBarPage* page = pages_->Items(active);
    const TRect area = GetPageRect(active);
    canvas->Brush()->SetColor(page->Color() == clDefault ? Color() : page->Color());
    canvas->FillRect(area);
    TCustomImageList* images = page->ButtonSize() == olbsLarge ? largeImages_ : smallImages_;
    canvas->Font()->Assign(page->Font());
    for (int b = page->TopButtonIndex(); b < page->Buttons()->Count(); ++b) {
        TRect row = GetButtonRect(active, b);
        if (row.Top >= area.Bottom)
            break;
        TTkNavBarButton* button = page->Buttons()->Items(b);
        if (images != nullptr) {
            const int x = page->ButtonSize() == olbsLarge
                              ? row.Left + (row.Right - row.Left - images->Width()) / 2
                              : row.Left + 2;
            images->Draw(canvas, x, row.Top + (page->ButtonSize() == olbsLarge ? 4 : 2),
                         button->ImageIndex(), page->Enabled() && button->Enabled());
        }
        TRect text = GetButtonTextRect(active, b);
        const std::string& caption = button->Caption();
        DrawStringOnCanvas(canvas, caption, -1, text,
                           (page->ButtonSize() == olbsLarge ? DT_CENTER : DT_LEFT) | DT_VCENTER |
                               DT_SINGLELINE);
    }
}
