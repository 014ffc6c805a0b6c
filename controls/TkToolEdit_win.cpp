#include "controls/TkToolEdit_win.h"

#include <objbase.h>
#include <shldisp.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "controls/TkAutoComplete_win.h"
#include "controls/TkButtonGlyph_win.h"
#include "framework/controls/Action.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/AliveScope.h"
#include "framework/core/StringList.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Form_win.h"
#include "framework/gui/Screen_win.h"

namespace {

constexpr int kComboArrowBitmap = 32738; // OBM_COMBO
// The theme's combo-box drop-down button and its states.
constexpr int kDropDownButtonPart = 1;
constexpr int kDropDownNormal = 1, kDropDownHot = 2, kDropDownPressed = 3, kDropDownDisabled = 4;
constexpr int kEditTextPart = 1, kEditTextNormal = 1; // the theme's edit frame

// The shell's auto-complete object and its interfaces.
constexpr CLSID kAutoCompleteClass = {
    0x00BB2763, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
constexpr IID kAutoCompleteIid = {
    0x00BB2762, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
constexpr IID kAutoComplete2Iid = {
    0xEAC04BC0, 0x3791, 0x11D2, {0xBB, 0x95, 0x00, 0x60, 0x97, 0x7B, 0x46, 0x4C}};

// The height of a font's text, from its metrics on the screen.
int TextHeightOf(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tm.tmHeight;
}

// The ellipsis glyph: three 2 x 2 black dots on white, as wide as the button leaves room for.
// Dots that fall outside a narrow bitmap are left out.
void DrawEllipsisGlyph(TBitmap* bitmap, int buttonWidth) {
    const TEllipsisGlyph g = EllipsisGlyph(buttonWidth);
    bitmap->SetMonochrome(true);
    bitmap->SetSize(g.Width, g.Height);
    TCanvas* c = bitmap->Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, g.Width, g.Height));
    c->Brush()->SetColor(clBlack);
    for (int x : g.DotX) {
        const int left = std::max(x, 0), right = std::min(x + 2, g.Width);
        if (left < right)
            c->FillRect(Rect(left, 1, right, 3));
    }
}

} // namespace

// --- the button ---

TTkEditButton::TTkEditButton(TComponent* AOwner) : TTkImageSpeedButton(AOwner) {
    ControlStyle.Include(csReplicatable);
    SetParentShowHint(true);
    SetBounds(0, 0, 21, 17);
}

TTkCustomComboEdit* TTkEditButton::Edit() const noexcept {
    return dynamic_cast<TTkCustomComboEdit*>(Owner());
}

TBitmap* TTkEditButton::Glyph() const noexcept {
    return ButtonGlyph()->Glyph();
}

void TTkEditButton::SetGlyph(TBitmap* Value) {
    ButtonGlyph()->SetGlyph(Value);
    Invalidate();
}

int TTkEditButton::NumGlyphs() const noexcept {
    return ButtonGlyph()->NumGlyphs();
}

void TTkEditButton::SetNumGlyphs(int Value) {
    ButtonGlyph()->SetNumGlyphs(Value);
    Invalidate();
}

void TTkEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TAliveScope alive(DestroyedSlot());
    TTkImageSpeedButton::MouseDown(Button, Shift, X, Y);
    if (alive.Dead() || Button != mbLeft)
        return;
    TTkCustomComboEdit* edit = Edit();
    if (edit == nullptr)
        return;
    if (edit->PopupVisible()) {
        // The click that this press starts would open the popup again.
        noAction_ = true;
        edit->PopupCloseUp(edit, Standard);
    } else if (edit->TabStop() && edit->CanFocus() && !edit->Focused()) {
        edit->SetFocus();
    }
}

void TTkEditButton::Click() {
    if (noAction_) {
        noAction_ = false;
        return;
    }
    TTkImageSpeedButton::Click();
}

void TTkEditButton::WndProc(TMessage& Message) {
    if (Message.Msg == WM_CONTEXTMENU) {
        Message.Result = 1;
        return;
    }
    TTkImageSpeedButton::WndProc(Message);
}

void TTkEditButton::Paint() {
    TThemeServices* themes = ThemeServices();
    if (DrawThemedDropDown && themes->ThemesEnabled()) {
        const bool sunken = State() == bsDown || State() == bsExclusive;
        const int state = !Enabled()                    ? kDropDownDisabled
                          : sunken                      ? kDropDownPressed
                          : (MouseOver() || Pressing()) ? kDropDownHot
                                                        : kDropDownNormal;
        if (themes->DrawElement(Canvas()->Handle(), {tcComboBox, kDropDownButtonPart, state},
                                ClientRect()))
            return;
    }
    TTkImageSpeedButton::Paint();
    if (!themes->ThemesEnabled() && State() != bsDown) {
        TCanvas* c = Canvas();
        c->Pen()->SetColor(clBtnFace);
        c->MoveTo(0, 0);
        c->LineTo(0, Height() - 1);
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(1, 1);
        c->LineTo(1, Height() - 2);
    }
}

void TTkEditButton::PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                         TTkButtonState DrawState, bool ShowMark) {
    if (Images() != nullptr && ImageIndex() >= 0) {
        TTkImageSpeedButton::PaintGlyphAndCaption(Canvas, Client, Offset, DrawState, ShowMark);
        return;
    }
    TRect text{};
    Canvas->Brush()->SetStyle(bsClear);
    ButtonGlyph()->RenderOwnGlyphAndCaption(Canvas, Client, text, 0, DrawState, false, Spacing(),
                                            Margin(), Layout(), std::string(), Offset);
}

// --- the edit ---

TTkCustomComboEdit::TTkCustomComboEdit(TComponent* AOwner) : TTkExCustomMaskEdit(AOwner) {
    ControlStyle.Include(csCaptureMouse);
    SetHeight(21);
    TWinControl::OnKeyDown = TKeyEvent(this, &TTkCustomComboEdit::InternalKeyDown);
    host_ = Create<TWinControl>(this);
    host_->ControlStyle.Include(csReplicatable);
    host_->SetBounds(0, 0, 21, 17);
    host_->SetAlign(alCustom);
    host_->SetParent(this);
    button_ = Create<TTkEditButton>(this);
    button_->SetBounds(0, 0, host_->Width(), host_->Height());
    button_->SetParent(host_);
    button_->SetAlign(alClient);
    button_->OnClick = TNotifyEvent(this, &TTkCustomComboEdit::ButtonClicked);
    widthRule_.Set(21, 0, true);
    autoCompleteItems_ = new TStringList();
    itemsRef_ = std::make_shared<TAutoCompleteItemsRef>();
    itemsRef_->List = autoCompleteItems_;
    const HRESULT com = CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(com);
    constructing_ = false;
}

TTkCustomComboEdit::~TTkCustomComboEdit() {
    ReleaseAutoComplete();
    // Sources the shell still holds read nothing from now on.
    itemsRef_->List = nullptr;
    autoCompleteItems_->Free();
    if (comInitialized_)
        CoUninitialize();
}

void TTkCustomComboEdit::BeforeDestruction() {
    if (popupVisible_)
        PopupCloseUp(this, false);
    if (button_ != nullptr)
        button_->OnClick = nullptr;
    if (images_ != nullptr)
        images_->RemoveFreeNotification(this);
    if (popup_ != nullptr)
        popup_->RemoveFreeNotification(this);
    ReleaseAutoComplete();
    TTkExCustomMaskEdit::BeforeDestruction();
}

void TTkCustomComboEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TTkExCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == images_) {
        images_ = nullptr;
        imageIndex_ = -1;
    }
    if (AComponent == popup_) {
        popup_ = nullptr;
        popupVisible_ = false;
    }
}

TComboFrameLook TTkCustomComboEdit::FrameLook() const {
    TComboFrameLook look;
    look.NewLook = true; // every shell this runs on has the new look
    look.Themed = ThemeServices()->ThemesEnabled();
    look.SingleBorder = BorderStyle == ebsSingle;
    look.Ctl3D = Ctl3D;
    return look;
}

void TTkCustomComboEdit::CreateParams(TCreateParams& Params) {
    TTkExCustomMaskEdit::CreateParams(Params);
    // Multi-line so that a formatting rectangle can be set; the children are the button.
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    Params.Style &= ~static_cast<DWORD>(ES_RIGHT | ES_CENTER);
    if (alignment_ == taRightJustify)
        Params.Style |= ES_RIGHT;
    else if (alignment_ == taCenter)
        Params.Style |= ES_CENTER;
}

void TTkCustomComboEdit::CreateWnd() {
    TTkExCustomMaskEdit::CreateWnd();
    ApplyTextMargins();
    if (!autoCompleteOptions_.Empty() && !ComponentState().Contains(csDesigning) &&
        CreateAutoComplete())
        ApplyAutoCompleteOptions();
}

void TTkCustomComboEdit::DestroyWnd() {
    // The shell's object is bound to this window: a new window gets a new one.
    ReleaseAutoComplete();
    TTkExCustomMaskEdit::DestroyWnd();
}

void TTkCustomComboEdit::Loaded() {
    TTkExCustomMaskEdit::Loaded();
    if (streamedButtonWidth_ >= 0) {
        const int width = streamedButtonWidth_;
        streamedButtonWidth_ = -1;
        SetButtonWidth(width);
        if (streamedFixedWidth_)
            button_->ControlStyle.Include(csFixedWidth);
    }
    ApplyTextMargins();
}

int TTkCustomComboEdit::ClientLimit() const {
    return Parent() != nullptr ? ClientWidth() : Width();
}

void TTkCustomComboEdit::CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop,
                                             int& NewWidth, int& NewHeight,
                                             const TRect& AlignRect) {
    if (Control != host_) {
        TTkExCustomMaskEdit::CustomAlignPosition(Control, NewLeft, NewTop, NewWidth, NewHeight,
                                                 AlignRect);
        return;
    }
    const TRect r = ButtonHostBounds(FrameLook(), Width(), Height(), host_->Width());
    NewLeft = r.Left;
    NewTop = r.Top;
    NewWidth = r.Width();
    NewHeight = r.Height();
}

void TTkCustomComboEdit::AddButtonMargins(int& Left, int& Right) {
    (void)Left;
    Right += host_->Visible() ? host_->Width() : 0;
}

void TTkCustomComboEdit::EnforceMinimumHeight() {
    const int font = TextHeightOf(Font()->Handle());
    const int system = TextHeightOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    const int least = ComboMinimumHeight(FrameLook(), GetSystemMetrics(SM_CYBORDER), font, system);
    if (Height() < least)
        SetHeight(least);
}

void TTkCustomComboEdit::ApplyTextMargins() {
    if (ComponentState().Contains(csLoading) || !HandleAllocated())
        return;
    EnforceMinimumHeight();
    TComboTextMargins m = ComboTextMargins(FrameLook(), 0);
    AddButtonMargins(m.Left, m.Right);
    const TRect r = ComboFormattingRect(m, Width(), ClientHeight());
    RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TTkCustomComboEdit::BoundsChanged() {
    ApplyTextMargins();
}

void TTkCustomComboEdit::FontChanged() {
    TTkExCustomMaskEdit::FontChanged();
    ApplyTextMargins();
}

void TTkCustomComboEdit::EnabledChanged() {
    TTkExCustomMaskEdit::EnabledChanged();
    Invalidate();
    button_->SetEnabled(Enabled());
    if (OnEnabledChanged)
        OnEnabledChanged(this);
}

// --- the button's width and image ---

void TTkCustomComboEdit::SetButtonWidth(int Value) {
    if (ComponentState().Contains(csLoading)) {
        streamedButtonWidth_ = Value;
        streamedFixedWidth_ = false;
        return;
    }
    ApplyWidthStep(widthRule_.Set(Value, ClientLimit()));
}

void TTkCustomComboEdit::SetShowButton(bool Value) {
    ApplyWidthStep(widthRule_.Show(Value, ClientLimit()));
}

void TTkCustomComboEdit::ApplyWidthStep(TComboButtonWidth::TStep Step) {
    using TStep = TComboButtonWidth::TStep;
    switch (Step) {
    case TStep::Ignored:
    case TStep::Saved:
        return;
    case TStep::Hidden:
        host_->SetVisible(false);
        ApplyTextMargins();
        break;
    case TStep::Resized: {
        const int width = widthRule_.Width();
        const int right = host_->Left() + host_->Width();
        host_->SetVisible(true);
        host_->SetBounds(right - width, host_->Top(), width, host_->Height());
        button_->SetWidth(width);
        button_->ControlStyle.Exclude(csFixedWidth);
        if (HandleAllocated()) {
            Realign();
            RecreateWnd();
        }
        break;
    }
    }
    RefreshButtonGlyph();
}

bool TTkCustomComboEdit::IsButtonWidthStored() const {
    TCustomImageList* images = DefaultImages();
    const int imageWidth = images != nullptr && DefaultImageIndex() >= 0 ? images->Width() : -1;
    return ButtonWidth() !=
           DefaultButtonWidth(imageKind_, imageWidth, GetSystemMetrics(SM_CXVSCROLL));
}

bool TTkCustomComboEdit::ButtonFlat() const noexcept {
    return button_->Flat();
}

void TTkCustomComboEdit::SetButtonFlat(bool Value) {
    button_->SetFlat(Value);
    if (imageKind_ == ikDropDown && ThemeServices()->ThemesEnabled())
        RefreshButtonGlyph();
}

const std::string& TTkCustomComboEdit::ButtonHint() const noexcept {
    return button_->Hint();
}

void TTkCustomComboEdit::SetButtonHint(const std::string& Value) {
    button_->SetHint(Value);
}

void TTkCustomComboEdit::SetImageKind(TTkImageKind Value) {
    imageKind_ = Value;
    RefreshButtonGlyph();
    ApplyImageKind();
}

void TTkCustomComboEdit::ApplyImageKind() {
    switch (imageKind_) {
    case ikCustom:
        button_->SetImages(images_);
        button_->SetImageIndex(imageIndex_);
        button_->SetNumGlyphs(numGlyphs_);
        break;
    case ikDefault:
        button_->SetImages(DefaultImages());
        button_->SetImageIndex(DefaultImageIndex());
        if (button_->Images() != nullptr && button_->ImageIndex() >= 0)
            SetButtonWidth(std::max(button_->Images()->Width() + 6, ButtonWidth()));
        break;
    case ikDropDown:
        if (ComponentState().Contains(csLoading)) {
            if (streamedButtonWidth_ < 0 || streamedFixedWidth_)
                SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
            streamedFixedWidth_ = true;
        } else {
            SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
            button_->ControlStyle.Include(csFixedWidth);
        }
        break;
    case ikEllipsis:
        break;
    }
}

void TTkCustomComboEdit::RefreshButtonGlyph() {
    if (!ShowButton())
        return;
    button_->DrawThemedDropDown = imageKind_ == ikDropDown;
    if (imageKind_ != ikDropDown && imageKind_ != ikEllipsis)
        return;
    button_->SetImageIndex(-1);
    TBitmap* glyph = Create<TBitmap>();
    try {
        if (imageKind_ == ikDropDown) {
            if (!ThemeServices()->ThemesEnabled() || ButtonFlat())
                glyph->SetHandle(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kComboArrowBitmap)));
        } else {
            DrawEllipsisGlyph(glyph, button_->Width());
        }
        button_->SetGlyph(glyph);
    } catch (...) {
        glyph->Free();
        throw;
    }
    glyph->Free();
    // After the glyph: the drawer would otherwise split a bitmap whose width is a multiple of
    // its height into several images.
    button_->SetNumGlyphs(1);
}

TBitmap* TTkCustomComboEdit::Glyph() const noexcept {
    return button_->Glyph();
}

void TTkCustomComboEdit::SetGlyph(TBitmap* Value) {
    imageKind_ = ikCustom;
    button_->DrawThemedDropDown = false;
    button_->SetGlyph(Value);
    numGlyphs_ = button_->NumGlyphs();
}

int TTkCustomComboEdit::NumGlyphs() const noexcept {
    return imageKind_ == ikCustom ? button_->NumGlyphs() : numGlyphs_;
}

void TTkCustomComboEdit::SetNumGlyphs(int Value) {
    numGlyphs_ = Value;
    if (imageKind_ == ikCustom)
        button_->SetNumGlyphs(Value);
}

void TTkCustomComboEdit::SetImages(TCustomImageList* Value) {
    if (images_ != nullptr)
        images_->RemoveFreeNotification(this);
    images_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
    else
        imageIndex_ = -1;
    if (imageKind_ == ikCustom) {
        button_->SetImages(Value);
        button_->SetImageIndex(imageIndex_);
    }
}

void TTkCustomComboEdit::SetImageIndex(int Value) {
    imageIndex_ = Value;
    if (imageKind_ == ikCustom)
        button_->SetImageIndex(Value);
}

void TTkCustomComboEdit::ReadGlyphKind(std::string_view Identifier) {
    const int kind = ImageKindFromGlyphKind(Identifier);
    if (kind >= 0)
        SetImageKind(static_cast<TTkImageKind>(kind));
}

// --- read-only, typing and the clipboard ---

void TTkCustomComboEdit::ApplyDirectInput() {
    TCustomEdit::SetReadOnly(WindowReadOnly(readOnly_, directInput_));
}

void TTkCustomComboEdit::SetDirectInput(bool Value) {
    directInput_ = Value;
    ApplyDirectInput();
}

void TTkCustomComboEdit::SetReadOnly(bool Value) {
    readOnly_ = Value;
    ApplyDirectInput();
    if (Value)
        SetClipboardCommands(ClipboardCommands());
}

void TTkCustomComboEdit::SetClipboardCommands(TClipboardCommands Value) {
    TTkExCustomMaskEdit::SetClipboardCommands(ClipboardCommandsFor(Value, readOnly_));
}

void TTkCustomComboEdit::SetDisabledColor(TColor Value) {
    disabledColor_ = Value;
    if (!Enabled())
        Invalidate();
}

void TTkCustomComboEdit::SetDisabledTextColor(TColor Value) {
    disabledTextColor_ = Value;
    if (!Enabled())
        Invalidate();
}

void TTkCustomComboEdit::SetAlignment(TAlignment Value) {
    if (Value == alignment_)
        return;
    alignment_ = Value;
    if (HandleAllocated())
        RecreateWnd();
}

// --- groups ---

void TTkCustomComboEdit::SetGroupIndex(int Value) {
    groupIndex_ = Value;
    ClearGroupPeers();
}

void TTkCustomComboEdit::ClearGroupPeers() {
    TComponent* owner = Owner();
    if (groupIndex_ == -1 || owner == nullptr)
        return;
    std::vector<TGroupMember> members;
    for (int i = 0; i < owner->ComponentCount(); ++i)
        if (auto* edit = dynamic_cast<TTkCustomComboEdit*>(owner->Components(i)))
            members.push_back({edit, edit->GroupIndex()});
    const std::vector<const void*> peers = GroupPeersToClear(this, groupIndex_, members);
    // A peer's change handler may free components of the owner: each peer is looked up again.
    for (const void* peer : peers)
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (owner->Components(i) == peer) {
                static_cast<TTkCustomComboEdit*>(owner->Components(i))->SetText("");
                break;
            }
}

// --- the button action ---

void TTkCustomComboEdit::DoButtonAction() {
    if (ButtonActionAllowed(GetReadOnly(), AlwaysEnableButton))
        EditButtonClick();
}

void TTkCustomComboEdit::EditButtonClick() {
    TAliveScope alive(DestroyedSlot());
    if (OnButtonClick)
        OnButtonClick(this);
    if (alive.Dead())
        return;
    if (popupVisible_)
        PopupCloseUp(this, true);
    else
        PopupDropDown(true);
}

void TTkCustomComboEdit::SetPopup(TWinControl* Value) {
    if (popup_ == Value)
        return;
    if (popupVisible_)
        PopupCloseUp(this, false);
    if (popup_ != nullptr)
        popup_->RemoveFreeNotification(this);
    popup_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(this);
}

void TTkCustomComboEdit::PopupDropDown(bool DisableEdit) {
    if (popupVisible_ || (GetReadOnly() && !AlwaysShowPopup))
        return;
    TAliveScope alive(DestroyedSlot());
    BeforePopupShow();
    if (alive.Dead() || popup_ == nullptr)
        return;
    const TRect monitor = Screen->MonitorFromWindow(Handle()).BoundsRect;
    // The edit's outer top-left: the client origin lies inside the border.
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    const TPoint at = PopupPlacement(Point(outer.left, outer.top), Width(), Height(),
                                     popup_->Width(), popup_->Height(), monitor, PopupAlign);
    const std::string text = Text();
    SetPopupValue(text.empty() ? Variant() : Variant(text));
    if (CanFocus())
        SetFocus();
    ShowPopup(at);
    if (alive.Dead())
        return;
    if (OnPopupShown)
        OnPopupShown(this);
    if (alive.Dead())
        return;
    popupVisible_ = true;
    if (DisableEdit && HandleAllocated()) {
        TCustomEdit::SetReadOnly(true);
        HideCaret(Handle());
    }
}

void TTkCustomComboEdit::ShowPopup(TPoint Origin) {
    SetWindowPos(popup_->Handle(), HWND_TOP, Origin.X, Origin.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    popup_->SetVisible(true);
}

void TTkCustomComboEdit::HidePopup() {
    if (popup_->HandleAllocated())
        SetWindowPos(popup_->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    popup_->SetVisible(false);
}

void TTkCustomComboEdit::PopupCloseUp(TObject* Sender, bool Accept) {
    (void)Sender;
    if (!popupVisible_ || popup_ == nullptr)
        return;
    TAliveScope alive(DestroyedSlot());
    if (HWND capture = GetCapture(); capture != nullptr)
        SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (alive.Dead())
        return;
    const Variant value = GetPopupValue();
    HidePopup();
    if (OnPopupHidden)
        OnPopupHidden(this);
    if (alive.Dead())
        return;
    try {
        TCustomForm* form = GetParentForm();
        if (CanFocus() && form != nullptr && form->Visible())
            SetFocus();
        if (!alive.Dead() && Focused() && HandleAllocated())
            ShowOwnCaret();
    } catch (...) {
        // Refocusing is a courtesy: a form that refuses it keeps the focus where it is.
    }
    if (alive.Dead())
        return;
    popupVisible_ = false;
    ApplyDirectInput();
    Invalidate();
    if (Accept && AcceptPopup(value) && !GetReadOnly()) {
        SetTextFromPopup(value);
        if (alive.Dead())
            return;
        if (Focused())
            SelectAll();
    }
}

void TTkCustomComboEdit::SetTextFromPopup(const Variant& Value) {
    const std::string text = Value.IsEmpty() ? std::string() : Value.AsString();
    if (text == Text())
        return;
    SetText(text);
    SetModified(true);
}

// --- auto-complete ---

void TTkCustomComboEdit::SetAutoCompleteOptions(TAutoCompleteOptions Value) {
    autoCompleteOptions_ = Value;
    if (!HandleAllocated() || ComponentState().Contains(csDesigning))
        return;
    if (autoComplete_ == nullptr && !Value.Empty() && !CreateAutoComplete())
        return;
    ApplyAutoCompleteOptions();
}

IEnumString* TTkCustomComboEdit::AutoCompleteSource() {
    return new TAutoCompleteSource(itemsRef_);
}

bool TTkCustomComboEdit::CreateAutoComplete() {
    if (autoComplete_ != nullptr)
        return true;
    IAutoComplete* object = nullptr;
    if (FAILED(CoCreateInstance(kAutoCompleteClass, nullptr, CLSCTX_INPROC_SERVER, kAutoCompleteIid,
                                reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return false;
    IEnumString* source = AutoCompleteSource();
    const HRESULT init = object->Init(Handle(), source, nullptr, nullptr);
    if (source != nullptr)
        source->Release(); // the object holds its own reference
    if (FAILED(init)) {
        object->Release();
        return false;
    }
    autoComplete_ = object;
    return true;
}

void TTkCustomComboEdit::ApplyAutoCompleteOptions() {
    if (autoComplete_ == nullptr)
        return;
    IAutoComplete2* second = nullptr;
    if (FAILED(
            autoComplete_->QueryInterface(kAutoComplete2Iid, reinterpret_cast<void**>(&second))) ||
        second == nullptr)
        return;
    DWORD flags = 0;
    for (int i = acoAutoSuggest; i <= acoRTLReading; ++i)
        if (autoCompleteOptions_.Contains(static_cast<TAutoCompleteOption>(i)))
            flags |= 1u << i;
    second->SetOptions(flags);
    second->Release();
}

void TTkCustomComboEdit::ReleaseAutoComplete() {
    if (autoComplete_ != nullptr) {
        IAutoComplete* object = autoComplete_;
        autoComplete_ = nullptr;
        object->Release();
    }
}

// --- the action link ---

TActionLink* TTkCustomComboEdit::NewActionLink() {
    return new TTkCustomComboEditActionLink(this);
}

void TTkCustomComboEdit::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr)
        return;
    if (action->ActionList() != nullptr && action->ActionList()->Images != nullptr &&
        (!CheckDefaults || images_ == nullptr))
        SetImages(action->ActionList()->Images);
    if (!CheckDefaults || Enabled())
        SetEnabled(action->Enabled());
    if (!CheckDefaults || HelpContext() == 0)
        SetHelpContext(action->HelpContext());
    if (!CheckDefaults || Hint().empty())
        SetButtonHint(action->Hint());
    if (!CheckDefaults || imageIndex_ == -1)
        SetImageIndex(action->ImageIndex());
    if (!CheckDefaults || ClickKey == 0)
        ClickKey = action->ShortCut();
    if (!CheckDefaults || Visible())
        SetVisible(action->Visible());
    if (!CheckDefaults || !OnButtonClick)
        OnButtonClick = action->OnExecute;
}

bool TTkCustomComboEditActionLink::IsHintLinked() {
    return CustomAction() != nullptr && edit_->ButtonHint() == CustomAction()->Hint();
}

bool TTkCustomComboEditActionLink::IsImageIndexLinked() {
    return CustomAction() != nullptr && edit_->ImageIndex() == CustomAction()->ImageIndex();
}

bool TTkCustomComboEditActionLink::IsOnExecuteLinked() {
    return Action() != nullptr && edit_->OnButtonClick == Action()->OnExecute;
}

bool TTkCustomComboEditActionLink::IsShortCutLinked() {
    return CustomAction() != nullptr && edit_->ClickKey == CustomAction()->ShortCut();
}

void TTkCustomComboEditActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked())
        edit_->SetButtonHint(Value);
}

void TTkCustomComboEditActionLink::SetImageIndex(int Value) {
    if (IsImageIndexLinked())
        edit_->SetImageIndex(Value);
}

void TTkCustomComboEditActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked())
        edit_->OnButtonClick = Value;
}

void TTkCustomComboEditActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked())
        edit_->ClickKey = Value;
}

// --- keyboard and focus ---

void TTkCustomComboEdit::InternalKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift) {
    TAliveScope alive(DestroyedSlot());
    ClearGroupPeers();
    if (alive.Dead()) {
        Key = 0;
        return;
    }
    if (OnKeyDown)
        OnKeyDown(Sender, Key, Shift);
    if (alive.Dead())
        Key = 0;
}

void TTkCustomComboEdit::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    // Key 0 tells the window procedure to stop, which is what it must do after a handler freed
    // the edit.
    TAliveScope alive(DestroyedSlot());
    ClearGroupPeers();
    if (alive.Dead()) {
        Key = 0;
        return;
    }
    if (IsFormKeyChord(Key, Shift)) {
        if (TCustomForm* form = GetParentForm())
            form->FormKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    TTkExCustomMaskEdit::KeyDown(Key, Shift);
    if (alive.Dead()) {
        Key = 0;
        return;
    }
    if (Key != 0 && IsClickKeyChord(Key, Shift, ClickKey, ButtonWidth())) {
        Key = 0;
        DoButtonAction();
        return;
    }
    // Enter and Escape are the key press's (popup or form). The window is multi-line only for
    // its formatting rectangle, and a multi-line edit that was asked for its dialog codes takes
    // these keys as a dialog's: it would close the form.
    if (Key == VK_RETURN || Key == VK_ESCAPE)
        Key = 0;
}

void TTkCustomComboEdit::KeyPress(char& Key) {
    TAliveScope alive(DestroyedSlot());
    const TComboCharStep step = ComboCharStep(Key, popupVisible_);
    if (step.ClosePopup) {
        Key = 0;
        PopupCloseUp(this, step.Accept);
        return;
    }
    if (step.DialogKey) {
        if (TCustomForm* form = GetParentForm())
            form->Perform(CM_DIALOGKEY, static_cast<unsigned char>(Key), 0);
        if (alive.Dead()) {
            Key = 0;
            return;
        }
    }
    if (step.EditThenDrop) {
        TTkExCustomMaskEdit::KeyPress(Key);
        Key = 0;
        return;
    }
    if (step.FormKeyPress) {
        char key = Key;
        Key = 0;
        if (TCustomForm* form = GetParentForm())
            form->FormKeyPress(key);
        return;
    }
    TTkExCustomMaskEdit::KeyPress(Key);
    if (alive.Dead())
        Key = 0;
}

void TTkCustomComboEdit::GetDlgCode(TTkDialogCodes& Codes) {
    if (popupVisible_) {
        Codes.Include(dcWantTab);
        Codes.Exclude(dcNative);
    }
}

void TTkCustomComboEdit::FocusSet(HWND PreviousWindow) {
    // The edit selects all on entry only where typing is allowed.
    const bool autoSelect = AutoSelect;
    AutoSelect = autoSelect && directInput_;
    TAliveScope alive(DestroyedSlot());
    try {
        TTkExCustomMaskEdit::FocusSet(PreviousWindow);
    } catch (...) {
        if (!alive.Dead())
            AutoSelect = autoSelect;
        throw;
    }
    if (alive.Dead())
        return;
    AutoSelect = autoSelect;
    if (HandleAllocated() && GetFocus() == Handle())
        ShowOwnCaret();
}

void TTkCustomComboEdit::ShowOwnCaret() {
    HFONT font = Font()->Handle();
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    CreateCaret(Handle(), nullptr, lf.lfWeight >= FW_BOLD ? 2 : 1, TextHeightOf(font));
    // The edit places its caret at the selection again.
    const int start = SelStart(), length = SelLength();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(start),
                 static_cast<LPARAM>(start + length));
    ShowCaret(Handle());
}

void TTkCustomComboEdit::FocusKilled(HWND NextWindow) {
    TTkExCustomMaskEdit::FocusKilled(NextWindow);
    if (popupVisible_ && HandleAllocated() && NextWindow != Handle())
        PostMessageA(Handle(), CM_TKPOPUPCLOSEUP, 0, 0);
}

void TTkCustomComboEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TKPOPUPCLOSEUP:
        // Posted, so it may come from anywhere: it never takes the popup's value.
        PopupCloseUp(this, false);
        return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        if (ClipboardRefused(Message) || !MayCutOrPaste(readOnly_, directInput_))
            return;
        if (Message.Msg == WM_CLEAR) {
            SetText(""); // the whole text, not the selection
            return;
        }
        if (Message.Msg == WM_PASTE) {
            TAliveScope alive(DestroyedSlot());
            ClearGroupPeers();
            if (alive.Dead())
                return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (popup_ != nullptr) {
            TAliveScope alive(DestroyedSlot());
            if (CanFocus() && !Focused())
                SetFocus();
            if (alive.Dead() || !Focused())
                return;
            if (popupVisible_)
                PopupCloseUp(this, false);
            if (alive.Dead())
                return;
        }
        break;
    case CM_CANCELMODE:
        if (popupVisible_) {
            auto* other = reinterpret_cast<TControl*>(Message.LParam);
            if (other != this && other != popup_ && other != button_ && other != host_ &&
                !(popup_ != nullptr && popup_->ContainsControl(other)))
                PopupCloseUp(this, false);
        }
        break;
    case CN_BASE + WM_CTLCOLOREDIT:
    case CN_BASE + WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const TColor text = !Enabled() && Color() != clGrayText ? clGrayText : Font()->Color();
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(text)));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Color())));
        Message.Result = reinterpret_cast<LRESULT>(BrushHandle());
        return;
    }
    case WM_PAINT:
        if (!Enabled()) {
            PaintDisabledText(reinterpret_cast<HDC>(Message.WParam));
            return;
        }
        break;
    case WM_NCCALCSIZE:
        TTkExCustomMaskEdit::WndProc(Message);
        if (ThemedBorder()) {
            // The theme's frame is one pixel wide where the sunken edge takes two.
            auto* r = reinterpret_cast<RECT*>(Message.LParam);
            InflateRect(r, 1, 1);
        }
        return;
    case WM_NCPAINT:
        if (ThemedBorder()) {
            HDC dc = GetWindowDC(Handle());
            RECT window{};
            GetWindowRect(Handle(), &window);
            const TRect outer = Rect(0, 0, window.right - window.left, window.bottom - window.top);
            ExcludeClipRect(dc, 1, 1, outer.Right - 1, outer.Bottom - 1);
            ThemeServices()->DrawElement(dc, {tcEdit, kEditTextPart, kEditTextNormal}, outer);
            ReleaseDC(Handle(), dc);
            Message.Result = 0;
            return;
        }
        break;
    case WM_NCHITTEST:
        TTkExCustomMaskEdit::WndProc(Message);
        if (Message.Result == HTCLIENT && ShowButton() && !ComponentState().Contains(csDesigning)) {
            POINT at{static_cast<short>(LOWORD(Message.LParam)),
                     static_cast<short>(HIWORD(Message.LParam))};
            ::ScreenToClient(Handle(), &at);
            if (at.x >= host_->Left())
                Message.Result = HTBORDER;
        }
        return;
    default:
        break;
    }
    TTkExCustomMaskEdit::WndProc(Message);
}

bool TTkCustomComboEdit::ThemedBorder() const {
    return ThemeServices()->ThemesEnabled() && Ctl3D && BorderStyle == ebsSingle;
}

void TTkCustomComboEdit::Change() {
    if (popupVisible_)
        PopupChange();
    else
        TTkExCustomMaskEdit::Change();
}

bool TTkCustomComboEdit::EraseBackground(TCanvas* Canvas, LPARAM Param) {
    if (Enabled())
        return TTkExCustomMaskEdit::EraseBackground(Canvas, Param);
    Canvas->Brush()->SetColor(disabledColor_);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(ClientRect());
    return true;
}

void TTkCustomComboEdit::PaintDisabledText(HDC DC) {
    PAINTSTRUCT ps{};
    HDC dc = DC != nullptr ? DC : BeginPaint(Handle(), &ps);
    const int saved = SaveDC(dc);
    TCanvas canvas;
    canvas.SetHandle(dc);
    try {
        if (DC != nullptr || ps.fErase) {
            canvas.Brush()->SetColor(disabledColor_);
            canvas.FillRect(ClientRect());
        }
        canvas.Font()->Assign(Font());
        RECT format{};
        SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        const TComboFrameLook look = FrameLook();
        if ((!look.NewLook || !look.Ctl3D) && look.SingleBorder) {
            canvas.Brush()->SetColor(clWindowFrame);
            canvas.FrameRect(ClientRect());
        }
        const std::string text = Text();
        const int width = canvas.TextWidth(text);
        int x = format.left;
        if (!popupVisible_) {
            if (alignment_ == taRightJustify)
                x = format.right - width;
            else if (alignment_ == taCenter)
                x = (format.left + format.right - width) / 2;
        }
        canvas.Brush()->SetStyle(bsClear);
        canvas.Font()->SetColor(disabledTextColor_);
        canvas.TextRect(Rect(format.left, format.top, format.right, format.bottom), x, format.top,
                        text);
    } catch (...) {
        canvas.SetHandle(nullptr);
        RestoreDC(dc, saved);
        if (DC == nullptr)
            EndPaint(Handle(), &ps);
        throw;
    }
    canvas.SetHandle(nullptr);
    RestoreDC(dc, saved);
    if (DC == nullptr)
        EndPaint(Handle(), &ps);
}
