#include "controls/TkNavBar_win.h"

#include "controls/SpeedButtonLogic.h"
#include "controls/TkThemes_win.h"
#include "controls/TkUtils_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/GdiUtils_win.h"
#include "framework/graphics/Picture_win.h"
#include "framework/gui/Timer_win.h"

namespace {

// Text measured in a font without needing the bar's window.
int FontTextHeight(TFont* font) {
    TScopedMemoryDC dc;
    TScopedSelect select(dc.Get(), font->Handle());
    TEXTMETRICA tm{};
    return dc.Get() != nullptr && GetTextMetricsA(dc.Get(), &tm)
               ? tm.tmHeight + tm.tmExternalLeading
               : 0;
}

int FontTextWidth(TFont* font, const std::string& text) {
    if (text.empty())
        return 0;
    TScopedMemoryDC dc;
    TScopedSelect select(dc.Get(), font->Handle());
    SIZE size{};
    return dc.Get() != nullptr && GetTextExtentPoint32A(dc.Get(), text.data(),
                                                        static_cast<int>(text.size()), &size)
               ? size.cx
               : 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Buttons

TTkNavBarButton::TTkNavBarButton(TCollection* Collection) : TCollectionItem(Collection) {}

void TTkNavBarButton::BeforeDestruction() {
    if (TTkCustomNavBar* bar = NavBar()) {
        bar->ItemGoing(this);
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

TActionLink* TTkNavBarButton::NewActionLink() {
    return new TTkNavBarButtonActionLink(this);
}

void TTkNavBarButton::SetAction(TBasicAction* Value) {
    actions_.SetAction(Value);
    if (Value != nullptr) {
        if (TTkCustomNavBar* bar = NavBar())
            Value->FreeNotification(bar);
    }
}

void TTkNavBarButton::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr)
        return;
    if (!CheckDefaults || caption_.empty())
        SetCaption(action->Caption());
    if (!CheckDefaults || enabled_)
        SetEnabled(action->Enabled());
    if (!CheckDefaults || imageIndex_ == -1)
        SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || !OnClick)
        OnClick = action->OnExecute;
}

bool TTkNavBarButtonActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && button_->Caption() == CustomAction()->Caption();
}

bool TTkNavBarButtonActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && button_->Enabled() == CustomAction()->Enabled();
}

bool TTkNavBarButtonActionLink::IsImageIndexLinked() {
    return TActionLink::IsImageIndexLinked() &&
           button_->ImageIndex() == CustomAction()->ImageIndex();
}

bool TTkNavBarButtonActionLink::IsOnExecuteLinked() {
    return Action() != nullptr && button_->OnClick == Action()->OnExecute;
}

void TTkNavBarButtonActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked())
        button_->SetCaption(Value);
}

void TTkNavBarButtonActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked())
        button_->SetEnabled(Value);
}

void TTkNavBarButtonActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked())
        button_->SetImageIndex(Value);
}

void TTkNavBarButtonActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked())
        button_->OnClick = Value;
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

void TTkNavBarPage::BeforeDestruction() {
    if (TTkCustomNavBar* bar = NavBar()) {
        bar->ItemGoing(this);
        for (int i = 0; i < buttons_->Count(); ++i)
            bar->ItemGoing(buttons_->Items(i));
    }
    TCollectionItem::BeforeDestruction();
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
    for (bool up : {true, false}) {
        auto* button = new TTkThemedTopBottomButton(this);
        button->IsUp = up;
        button->SetVisible(false);
        button->ControlStyle.Include(csOpaque);
        TBitmap glyph;
        try {
            glyph.LoadFromResourceName(GetModuleHandleA(nullptr),
                                       up ? "TkCustomNavBarUPARROW" : "TkCustomNavBarDOWNARROW");
            button->SetGlyph(&glyph);
        } catch (const std::exception&) {
            // A program without the bar's resources gets arrowless scroll buttons.
        }
        button->OnClick = up ? TNotifyEvent(this, &TTkCustomNavBar::ScrollUpClick)
                             : TNotifyEvent(this, &TTkCustomNavBar::ScrollDownClick);
        button->SetBounds(0, ComponentState().Contains(csDesigning) ? -1000 : 0, 16, 16);
        button->SetParent(this);
        (up ? upButton_ : downButton_) = button;
    }
    editor_ = new TTkNavBarEdit(this);
    editor_->SetParent(this);
    editor_->SetBounds(0, -1000, editor_->Width(), editor_->Height());
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
    input_.DownPage = -1;
    input_.HotButton = -1;
    input_.PressedButton = -1;
    input_.HotFrame = {};
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
    if (dynamic_cast<TBasicAction*>(AComponent) != nullptr &&
        !ComponentState().Contains(csDestroying) && pages_ != nullptr) {
        for (int i = 0; i < pages_->Count(); ++i) {
            TTkNavBarButtons* buttons = pages_->Items(i)->Buttons();
            for (int b = 0; b < buttons->Count(); ++b)
                if (buttons->Items(b)->Action() == AComponent)
                    buttons->Items(b)->SetAction(nullptr);
        }
    }
}

void TTkCustomNavBar::Loaded() {
    RefreshActionLinks();
    TTkCustomControl::Loaded();
}

void TTkCustomNavBar::RefreshActionLinks() {
    const bool loading = ComponentState().Contains(csLoading);
    for (int i = 0; i < pages_->Count(); ++i) {
        TTkNavBarButtons* buttons = pages_->Items(i)->Buttons();
        for (int b = 0; b < buttons->Count(); ++b) {
            TTkNavBarButton* button = buttons->Items(b);
            if (button->Action() != nullptr)
                button->ActionChange(button->Action(), loading);
        }
    }
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
        if (input_.HotButton == ButtonIndex)
            input_.HotButton = -1;
        if (input_.PressedButton == ButtonIndex)
            input_.PressedButton = -1;
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
    return FontTextHeight(Font());
}

int TTkCustomNavBar::CaptionWidth(int PageIndex, int ButtonIndex) {
    TTkNavBarPage* page = pages_->Items(PageIndex);
    if (ButtonIndex < 0 || ButtonIndex >= page->Buttons()->Count())
        return 0;
    return FontTextWidth(page->Font(), page->Buttons()->Items(ButtonIndex)->Caption());
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
// Painting

namespace {

constexpr int kToolBarButton = 1; // TOOLBAR, TP_BUTTON
constexpr int kNormal = 1, kHot = 2, kPressed = 3;
constexpr int kExplorerHeaderBackground = 1; // EXPLORERBAR, EBP_HEADERBACKGROUND
constexpr int kTextColorProperty = 3803;     // TMT_TEXTCOLOR

TThemedElementDetails ToolButton(int state) {
    return {tcToolBar, kToolBarButton, state};
}

void FillSolid(HDC dc, const TRect& r, TColor color) {
    HBRUSH brush = CreateSolidBrush(ColorRef(color));
    RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// One ring of a three-dimensional frame: the top and left edges in TopLeft, the right and
// bottom edges (with the two corners they share with the others) in BottomRight; R shrinks by
// the ring.
void Ring(HDC dc, TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.Right - r.Left <= 0 || r.Bottom - r.Top <= 0)
        return;
    FillSolid(dc, Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), topLeft);
    FillSolid(dc, Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), topLeft);
    FillSolid(dc, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), bottomRight);
    FillSolid(dc, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), bottomRight);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

// Gives a font its colour back at scope end.
class TSavedFontColor {
public:
    explicit TSavedFontColor(TFont* font) : font_(font), color_(font->Color()) {}
    ~TSavedFontColor() { font_->SetColor(color_); }
    TSavedFontColor(const TSavedFontColor&) = delete;
    TSavedFontColor& operator=(const TSavedFontColor&) = delete;

private:
    TFont* font_;
    TColor color_;
};

} // namespace

bool TTkCustomNavBar::Themed() const {
    return CurrentThemeServices()->ThemesEnabled();
}

void TTkCustomNavBar::Paint() {
    if (ComponentState().Contains(csDestroying))
        return;
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetColor(Color());
    const int count = pages_->Count();
    if (count == 0) {
        TRect wide = client;
        wide.Left -= 1;
        wide.Right += 1;
        const bool themed =
            themedBackground_ && Themed() &&
            CurrentThemeServices()->DrawElement(canvas->Handle(), ToolButton(kHot), wide, &client);
        if (!themed && DoCustomDraw(client, odsBackground, -1, false, false))
            canvas->FillRect(client);
        return;
    }
    canvas->Brush()->SetStyle(bsClear);
    const int active = ActivePageIndex();
    for (int i = 0; i <= active; ++i)
        PaintHeader(i, GetPageButtonRect(i));
    DrawPage(active);
    TRect r = GetPageButtonRect(count - 1);
    for (int i = count - 1; i > active; --i) {
        PaintHeader(i, r);
        r.Top -= pageButtonHeight_;
        r.Bottom -= pageButtonHeight_;
    }
}

void TTkCustomNavBar::PaintHeader(int Index, const TRect& R) {
    const bool down = Index == input_.DownPage;
    if (!DoCustomDraw(R, odsPageButton, Index, down, Index == ActivePageIndex()))
        return;
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    bool drawn = false;
    if (Themed()) {
        const bool hot = Index == input_.HotPage;
        TRect area = R;
        if (borderStyle_ == bsNone)
            area = Rect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
        drawn = CurrentThemeServices()->DrawElement(dc, ToolButton(down || hot ? kPressed : kHot),
                                                    area, &R);
        if (drawn) {
            TColor text;
            if (CurrentThemeServices()->GetElementColor(ToolButton(down  ? kPressed
                                                                   : hot ? kHot
                                                                         : kNormal),
                                                        kTextColorProperty, text))
                canvas->Font()->SetColor(text);
        }
    }
    if (!drawn)
        FillSolid(dc, R, clBtnFace);
    DrawPageButton(Index, R, down);
}

void TTkCustomNavBar::DrawPageButton(int Index, const TRect& ARect, bool Pressed) {
    if (Index < 0 || Index >= pages_->Count())
        return;
    TTkNavBarPage* page = pages_->Items(Index);
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    TRect r = ARect;
    if (Pressed && borderStyle_ == bsSingle) {
        Ring(dc, r, cl3DDkShadow, clBtnHighlight);
        Ring(dc, r, clBtnShadow, clBtnFace);
    } else if (Pressed) {
        Ring(dc, r, clBtnShadow, clBtnHighlight);
    } else if (borderStyle_ == bsSingle) {
        Ring(dc, r, clBtnHighlight, cl3DDkShadow);
        Ring(dc, r, clBtnFace, clBtnShadow);
    } else {
        Ring(dc, r, clBtnHighlight, clBtnShadow);
    }
    const bool hasImage = pageImages_ != nullptr && page->ImageIndex() >= 0 &&
                          page->ImageIndex() < pageImages_->Count();
    const int imageWidth = hasImage ? pageImages_->Width() : 0;
    TScopedSaveDC state(dc);
    if (hasImage)
        pageImages_->Draw(canvas, 4, ARect.Top + 1, page->ImageIndex(), page->Enabled());
    UINT flags = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
    switch (page->Alignment()) {
    case taLeftJustify:
        r.Left += hasImage ? imageWidth + 8 : 4;
        flags |= DT_LEFT;
        break;
    case taRightJustify:
        r.Left += hasImage ? imageWidth + 8 : 4;
        r.Right -= 4;
        flags |= DT_RIGHT;
        break;
    default:
        if (hasImage)
            r.Left += imageWidth + 4;
        flags |= DT_CENTER;
        break;
    }
    r.Top -= 1;
    r.Bottom -= 1;
    TSavedFontColor color(canvas->Font());
    if (!page->Enabled()) {
        TRect shadow = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        canvas->Font()->SetColor(static_cast<TColor>(0xFFFFFF));
        DrawStringOnCanvas(canvas, page->Caption(), -1, shadow, flags);
        canvas->Font()->SetColor(clGrayText);
    }
    DrawStringOnCanvas(canvas, page->Caption(), -1, r, flags);
}

void TTkCustomNavBar::DrawPage(int Index) {
    if (Index < 0 || Index >= pages_->Count())
        return;
    TTkNavBarPage* page = pages_->Items(Index);
    TCanvas* canvas = Canvas();
    const TRect area = GetPageRect(Index);
    const TColor savedBrush = canvas->Brush()->Color();
    canvas->Brush()->SetColor(page->Color() == clDefault ? Color() : page->Color());
    canvas->Font()->Assign(Font());
    try {
        if (DoCustomDraw(area, odsPage, Index, false, Index == ActivePageIndex()))
            FillPage(page, area);
        PaintButtonFrame(Index, input_.HotButton, input_.PressedButton);
        DrawButtons(Index);
        UpdateScrollButtons();
    } catch (...) {
        canvas->Brush()->SetColor(savedBrush);
        canvas->Brush()->SetStyle(bsClear);
        throw;
    }
    canvas->Brush()->SetColor(savedBrush);
    canvas->Brush()->SetStyle(bsClear);
}

void TTkCustomNavBar::FillPage(TTkNavBarPage* Page, const TRect& Area) {
    TCanvas* canvas = Canvas();
    TGraphic* graphic = Page->Picture()->Graphic();
    if (graphic != nullptr && !graphic->Empty()) {
        // The picture is the brush's pattern; a graphic other than a bitmap is drawn into one
        // first.
        TBitmap* pattern = dynamic_cast<TBitmap*>(graphic);
        TBitmap* made = nullptr;
        if (pattern == nullptr) {
            made = new TBitmap();
            pattern = made;
        }
        try {
            if (made != nullptr) {
                made->SetSize(graphic->Width(), graphic->Height());
                made->Canvas()->Draw(0, 0, graphic);
            }
            canvas->Brush()->SetBitmap(pattern);
            canvas->FillRect(Area);
        } catch (...) {
            canvas->Brush()->SetBitmap(nullptr);
            delete made;
            throw;
        }
        canvas->Brush()->SetBitmap(nullptr);
        delete made;
        return;
    }
    if (Page->Color() == clDefault && themedBackground_ && Themed() &&
        CurrentThemeServices()->DrawElement(
            canvas->Handle(), {tcExplorerBar, kExplorerHeaderBackground, kNormal}, Area))
        return;
    canvas->Brush()->SetColor(Page->Color() == clDefault ? Color() : Page->Color());
    canvas->FillRect(Area);
}

void TTkCustomNavBar::DrawButtons(int Index) {
    if (ComponentState().Contains(csDestroying) || Index < 0 || Index >= pages_->Count())
        return;
    TTkNavBarPage* page = pages_->Items(Index);
    TTkNavBarButtons* buttons = page->Buttons();
    if (buttons->Count() == 0)
        return;
    TCanvas* canvas = Canvas();
    const TRect area = GetPageRect(Index);
    const int top = page->TopButtonIndex();
    TRect row = GetButtonRect(Index, top);
    const int h = GetButtonHeight(Index);
    const bool large = page->ButtonSize() == olbsLarge;
    TCustomImageList* images = large ? largeImages_ : smallImages_;
    const TColor savedPen = canvas->Pen()->Color();
    canvas->Font()->Assign(page->Font());
    TColor themeText = clNone;
    const bool hasThemeText = Themed() && CurrentThemeServices()->GetElementColor(
                                              ToolButton(kNormal), kTextColorProperty, themeText);
    canvas->Brush()->SetStyle(bsClear);
    const TColor pageColor = page->Color() == clDefault ? Color() : page->Color();
    try {
        for (int b = top; b < buttons->Count(); ++b) {
            TTkNavBarButton* button = buttons->Items(b);
            canvas->Font()->Assign(page->Font());
            if (hasThemeText)
                canvas->Font()->SetColor(themeText);
            if (button->Down()) {
                canvas->Font()->Assign(page->DownFont());
                PaintButtonFrame(Index, b, b);
            }
            if (DoCustomDraw(row, odsButton, b, button->Down(), b == input_.HotButton)) {
                HDC dc = canvas->Handle();
                const bool enabled = page->Enabled() && button->Enabled();
                TSavedFontColor color(canvas->Font());
                TRect text;
                {
                    TScopedSaveDC state(dc);
                    if (images != nullptr) {
                        if (large)
                            images->Draw(canvas,
                                         row.Left + (row.Right - row.Left - images->Width()) / 2,
                                         row.Top + 4, button->ImageIndex(), enabled);
                        else
                            images->Draw(canvas, row.Left + 2, row.Top + 2, button->ImageIndex(),
                                         enabled);
                    }
                }
                text = GetButtonTextRect(Index, b);
                if (!enabled)
                    canvas->Font()->SetColor(
                        ColorRef(pageColor) == ColorRef(clGrayText) ? clBtnFace : clGrayText);
                UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
                if (large) {
                    flags |= DT_CENTER;
                } else {
                    text.Left += 4;
                    text.Right -= 4;
                    flags |= DT_LEFT | DT_EDITCONTROL | DT_NOCLIP;
                }
                DrawStringOnDC(canvas->Handle(), button->Caption(), -1, text, flags);
            }
            row.Top += h;
            row.Bottom += h;
            if (row.Top >= area.Bottom)
                break;
        }
    } catch (...) {
        canvas->Font()->Assign(Font());
        canvas->Pen()->SetColor(savedPen);
        throw;
    }
    canvas->Font()->Assign(Font());
    canvas->Pen()->SetColor(savedPen);
}

void TTkCustomNavBar::PaintButtonFrame(int PageIndex, int HotIndex, int PressedIndex) {
    if (ComponentState().Contains(csDestroying) || HotIndex < 0 || PageIndex < 0 ||
        PageIndex >= pages_->Count())
        return;
    TTkNavBarPage* page = pages_->Items(PageIndex);
    if (HotIndex < page->TopButtonIndex() || HotIndex >= page->Buttons()->Count())
        return;
    const TRect r = GetButtonFrameRect(PageIndex, HotIndex);
    const bool down = HotIndex == PressedIndex || page->Buttons()->Items(HotIndex)->Down();
    if (!DoCustomDraw(r, odsButtonFrame, HotIndex, down, true))
        return;
    HDC dc = Canvas()->Handle();
    if (Themed() && CurrentThemeServices()->DrawElement(dc, ToolButton(down ? kPressed : kHot), r))
        return;
    TRect ring = r;
    if (down)
        Ring(dc, ring, clBlack, clWhite);
    else
        Ring(dc, ring, clWhite, clBlack);
}

// ---------------------------------------------------------------------------------------------
// Input

// The input rules' questions, answered by the bar.
class TNavBarInputView : public INavInputView {
public:
    explicit TNavBarInputView(TTkCustomNavBar* bar) : bar_(bar) {}
    int PageAt(TPoint p) override {
        for (int i = 0; i < bar_->Pages()->Count(); ++i) {
            const TRect r = bar_->GetPageButtonRect(i);
            if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom)
                return i;
        }
        return -1;
    }
    int ButtonAt(TPoint p) override { return bar_->ButtonAtPos(p.X, p.Y); }
    TRect HeaderRect(int page) override { return bar_->GetPageButtonRect(page); }
    bool PageEnabled(int page) override {
        return page >= 0 && page < bar_->Pages()->Count() && bar_->Pages()->Items(page)->Enabled();
    }
    bool ButtonEnabled(int button) override {
        if (bar_->Pages()->Count() == 0)
            return false;
        TTkNavBarButtons* buttons = bar_->Pages()->Items(bar_->ActivePageIndex())->Buttons();
        return button >= 0 && button < buttons->Count() && buttons->Items(button)->Enabled();
    }
    TRect FrameRect(int button) override {
        return bar_->GetButtonFrameRect(bar_->ActivePageIndex(), button);
    }
    int ActivePage() override { return bar_->ActivePageIndex(); }
    bool Themed() override { return bar_->Themed(); }

private:
    TTkCustomNavBar* bar_;
};

void TTkCustomNavBar::Carry(const TNavInputEffects& Effects) {
    if (HandleAllocated()) {
        for (const TNavRepaint& r : Effects.Repaint) {
            if (r.Rect.Right <= r.Rect.Left || r.Rect.Bottom <= r.Rect.Top)
                continue;
            RECT rect{r.Rect.Left, r.Rect.Top, r.Rect.Right, r.Rect.Bottom};
            InvalidateRect(Handle(), &rect, r.Erase ? TRUE : FALSE);
        }
    }
    if (Effects.ChangePage >= 0)
        SetActivePageIndex(Effects.ChangePage);
    if (Effects.ClickButton >= 0)
        DoButtonClick(Effects.ClickButton);
}

void TTkCustomNavBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkCustomControl::MouseDown(Button, Shift, X, Y);
    TNavBarInputView view(this);
    Carry(NavMouseDown(input_, view, {X, Y}, Button == mbRight));
}

void TTkCustomNavBar::MouseMove(TShiftState Shift, int X, int Y) {
    TTkCustomControl::MouseMove(Shift, X, Y);
    TNavBarInputView view(this);
    Carry(NavMouseMove(input_, view, {X, Y}));
}

void TTkCustomNavBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkCustomControl::MouseUp(Button, Shift, X, Y);
    TNavBarInputView view(this);
    Carry(NavMouseUp(input_, view, {X, Y}, Button == mbRight));
}

void TTkCustomNavBar::MouseEnter(TControl* Control) {
    if (!ComponentState().Contains(csDesigning))
        Carry(NavMouseEnter(input_));
    TTkCustomControl::MouseEnter(Control);
}

void TTkCustomNavBar::MouseLeave(TControl* Control) {
    TTkCustomControl::MouseLeave(Control);
    if (ComponentState().Contains(csDesigning))
        return;
    TNavBarInputView view(this);
    Carry(NavMouseLeave(input_, view));
}

bool TTkCustomNavBar::AcceptsDialogKey(std::uint16_t Key, TShiftState Shift,
                                       const std::string& Text) {
    if (CanFocus() && Key > 0 && Key < 256 && pages_->Count() > 0) {
        TTkNavBarPage* active = pages_->Items(ActivePageIndex());
        std::vector<TNavAccelItem> buttons;
        for (int i = 0; i < active->Buttons()->Count(); ++i)
            buttons.push_back(
                {active->Buttons()->Items(i)->Caption(), active->Buttons()->Items(i)->Enabled()});
        std::vector<TNavAccelItem> pages;
        for (int i = 0; i < pages_->Count(); ++i)
            pages.push_back({pages_->Items(i)->Caption(), pages_->Items(i)->Enabled()});
        const TNavAccelChoice choice =
            NavAccelerator(static_cast<char>(Key), active->Enabled(), buttons, pages);
        if (choice.Index >= 0) {
            if (choice.Button)
                DoButtonClick(choice.Index);
            else
                SetActivePageIndex(choice.Index);
            return true;
        }
    }
    return TTkCustomControl::AcceptsDialogKey(Key, Shift, Text);
}

void TTkCustomNavBar::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_BAREDITSTART:
        StartEdit(reinterpret_cast<TObject*>(Message.WParam), Message.LParam);
        return;
    case CM_BAREDITACCEPT:
        EditAccepted(reinterpret_cast<TObject*>(Message.LParam));
        return;
    case CM_BAREDITCANCEL:
        return;
    default:
        break;
    }
    if (Message.Msg == WM_CONTEXTMENU && HandleAllocated()) {
        popupObject_ = this;
        const auto raw = static_cast<std::uint32_t>(Message.LParam);
        if (raw != 0xFFFFFFFFu) {
            POINT at{static_cast<short>(LOWORD(raw)), static_cast<short>(HIWORD(raw))};
            ::ScreenToClient(Handle(), &at);
            TNavBarInputView view(this);
            const int page = view.PageAt({at.x, at.y});
            const int button = page < 0 ? ButtonAtPos(at.x, at.y) : -1;
            if (page >= 0)
                popupObject_ = pages_->Items(page);
            else if (button >= 0)
                popupObject_ = pages_->Items(ActivePageIndex())->Buttons()->Items(button);
        }
    }
    TTkCustomControl::WndProc(Message);
}

void TTkCustomNavBar::UpdateScrollButtons() {
    if (upButton_ == nullptr || downButton_ == nullptr)
        return;
    const int count = pages_->Count();
    const int active = ActivePageIndex();
    const bool valid = count > 0;
    TTkNavBarPage* page = valid ? pages_->Items(active) : nullptr;
    const TRect client = ClientRect();
    const TNavScrollButtons places = NavScrollButtonPlaces(
        valid, page != nullptr && page->Enabled(), count,
        page != nullptr ? page->Buttons()->Count() : 0,
        page != nullptr ? page->TopButtonIndex() : 0, valid ? GetPageRect(active) : TRect{},
        valid ? GetButtonHeight(active) : 0, client.Right - client.Left);
    const bool designing = ComponentState().Contains(csDesigning);
    auto place = [&](TTkThemedTopBottomButton* button, bool visible, const TRect& r) {
        if (visible) {
            if (button->BoundsRect() != r)
                button->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
        } else if (designing && button->Top() != -1000) {
            button->SetBounds(button->Left(), -1000, button->Width(), button->Height());
        }
        if (button->Visible() != visible)
            button->SetVisible(visible);
        const bool enabled = visible && places.Enabled;
        if (button->Enabled() != enabled)
            button->SetEnabled(enabled);
    };
    place(upButton_, places.UpVisible, places.Up);
    place(downButton_, places.DownVisible, places.Down);
}

void TTkCustomNavBar::ScrollUpClick(TObject*) {
    if (!upButton_->Visible() || pages_->Count() == 0)
        return;
    TTkNavBarPage* page = pages_->Items(ActivePageIndex());
    if (page->TopButtonIndex() > 0)
        page->SetTopButtonIndex(page->TopButtonIndex() - 1);
}

void TTkCustomNavBar::ScrollDownClick(TObject*) {
    if (!downButton_->Visible() || pages_->Count() == 0)
        return;
    TTkNavBarPage* page = pages_->Items(ActivePageIndex());
    page->SetTopButtonIndex(page->TopButtonIndex() + 1);
}

// ---------------------------------------------------------------------------------------------
// Scroll buttons

TTkRepeatButton::~TTkRepeatButton() {
    FreeTimer();
}

void TTkRepeatButton::FreeTimer() {
    if (timer_ == nullptr)
        return;
    TTimer* timer = timer_;
    timer_ = nullptr;
    timer->Free();
}

void TTkRepeatButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkExSpeedButton::MouseDown(Button, Shift, X, Y);
    if (timer_ == nullptr) {
        timer_ = new TTimer(nullptr);
        timer_->SetOnTimer(TNotifyEvent(this, &TTkRepeatButton::TimerTick));
    }
    timer_->SetInterval(400);
    timer_->SetEnabled(true);
}

void TTkRepeatButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkExSpeedButton::MouseUp(Button, Shift, X, Y);
    FreeTimer();
}

void TTkRepeatButton::VisibleChanged() {
    TTkExSpeedButton::VisibleChanged();
    if (!Visible())
        FreeTimer();
}

void TTkRepeatButton::TimerTick(TObject*) {
    if (timer_ == nullptr)
        return;
    const TRepeatStep step =
        RepeatTick(State() == TSpeedButtonState::Down ? bsDown : bsUp, MouseCapture(), 100);
    timer_->SetInterval(step.NextInterval);
    if (!step.Click)
        return;
    try {
        Click();
    } catch (...) {
        if (timer_ != nullptr)
            timer_->SetEnabled(false);
        throw;
    }
}

void TTkThemedTopBottomButton::Paint() {
    if (ComponentState().Contains(csDestroying))
        return;
    if (CurrentThemeServices()->ThemesEnabled() && !Flat()) {
        int state = 1;
        if (!Enabled())
            state = 4;
        else if (State() == TSpeedButtonState::Down || State() == TSpeedButtonState::Exclusive)
            state = 3;
        else if (MouseInControl())
            state = 2;
        if (!IsUp)
            state += 4;
        const TRect client = ClientRect();
        if (CurrentThemeServices()->DrawElement(Canvas()->Handle(), {tcScrollBar, 1, state},
                                                client))
            return;
    }
    TTkRepeatButton::Paint();
}

// ---------------------------------------------------------------------------------------------
// In-place editing

void TTkCustomNavBar::EditButton(TTkNavBarButton* Button) {
    Perform(CM_BAREDITSTART, reinterpret_cast<WPARAM>(Button), 0);
}

void TTkCustomNavBar::EditPage(TTkNavBarPage* Page) {
    Perform(CM_BAREDITSTART, reinterpret_cast<WPARAM>(Page), 1);
}

void TTkCustomNavBar::StartEdit(TObject* Item, LPARAM Kind) {
    if (editor_ == nullptr)
        return;
    editor_->SetItem(Item);
    const TRect client = ClientRect();
    TRect r;
    std::string text;
    if (Kind == 0) {
        auto* button = dynamic_cast<TTkNavBarButton*>(Item);
        if (button == nullptr || button->NavBar() != this) {
            editor_->SetItem(nullptr);
            return;
        }
        r = GetButtonTextRect(ActivePageIndex(), button->Index());
        r.Left = std::max(r.Left, 0);
        r.Right = std::min(r.Right, client.Right);
        text = button->Caption();
    } else if (Kind == 1) {
        auto* page = dynamic_cast<TTkNavBarPage*>(Item);
        if (page == nullptr || page->NavBar() != this) {
            editor_->SetItem(nullptr);
            return;
        }
        r = GetPageButtonRect(page->Index());
        r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
        text = page->Caption();
    } else {
        return;
    }
    editor_->SetVisible(false);
    editor_->SetText(text);
    editor_->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    editor_->SetVisible(true);
    editor_->SetMouseCapture(true);
    editor_->SelectAll();
    if (editor_->CanFocus())
        editor_->SetFocus();
}

void TTkCustomNavBar::EditAccepted(TObject* Item) {
    // Only the item the editor holds: one that went meanwhile was taken from it.
    if (Item == nullptr || editor_ == nullptr || Item != editor_->Item())
        return;
    std::string text = editor_->Text();
    bool allow = true;
    if (auto* button = dynamic_cast<TTkNavBarButton*>(Item)) {
        if (OnEditButton)
            OnEditButton(this, text, button->Index(), allow);
        if (allow)
            button->SetCaption(text);
    } else if (auto* page = dynamic_cast<TTkNavBarPage*>(Item)) {
        if (OnEditPage)
            OnEditPage(this, text, page->Index(), allow);
        if (allow)
            page->SetCaption(text);
    }
}

void TTkCustomNavBar::ItemGoing(TObject* Item) {
    if (editor_ == nullptr || Item == nullptr || editor_->Item() != Item)
        return;
    editor_->SetItem(nullptr);
    if (ComponentState().Contains(csDestroying))
        return;
    editor_->Cancel();
}

TTkNavBarEdit::TTkNavBarEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    BorderStyle = ebsNone;
    SetParentFont(false);
    SetVisible(false);
    AutoSelect = false;
}

void TTkNavBarEdit::Finish(UINT Notification) {
    if (MouseCapture())
        SetMouseCapture(false);
    TObject* item = item_;
    if (auto* bar = dynamic_cast<TTkCustomNavBar*>(Parent()))
        bar->Perform(Notification, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(item));
    item_ = nullptr;
    SetVisible(false);
}

void TTkNavBarEdit::Accept() {
    Finish(CM_BAREDITACCEPT);
}

void TTkNavBarEdit::Cancel() {
    Finish(CM_BAREDITCANCEL);
}

void TTkNavBarEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        Accept();
    } else if (Key == VK_ESCAPE) {
        Key = 0;
        Cancel();
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TTkNavBarEdit::KeyPress(char& Key) {
    // A single-line edit beeps at a carriage return.
    if (Key == '\r')
        Key = 0;
    TCustomEdit::KeyPress(Key);
}

void TTkNavBarEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomEdit::MouseDown(Button, Shift, X, Y);
    const TRect client = ClientRect();
    const bool outside =
        X < client.Left || X >= client.Right || Y < client.Top || Y >= client.Bottom;
    if (outside || (Button == mbRight && Visible())) {
        Cancel();
        return;
    }
    SetMouseCapture(false);
    SetMouseCapture(true);
}

void TTkNavBarEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        // Enter and Escape end the edit, whatever default buttons the form has.
        TCustomEdit::WndProc(Message);
        Message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_NCPAINT:
        if (ComponentState().Contains(csDestroying))
            return;
        break;
    case WM_LBUTTONUP:
        // The native edit lets the mouse go after a selection: the editor keeps it.
        TCustomEdit::WndProc(Message);
        if (Visible() && item_ != nullptr && !MouseCapture())
            SetMouseCapture(true);
        return;
    default:
        break;
    }
    TCustomEdit::WndProc(Message);
}
