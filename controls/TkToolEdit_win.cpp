#include "controls/TkToolEdit_win.h"

#include <objbase.h>

#include <algorithm>
#include <vector>

#include "controls/TkButtonGlyph_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/AliveScope.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Form_win.h"

namespace {

constexpr int kComboArrowBitmap = 32738; // OBM_COMBO
// The theme's combo-box drop-down button and its states.
constexpr int kDropDownButtonPart = 1;
constexpr int kDropDownNormal = 1, kDropDownHot = 2, kDropDownPressed = 3, kDropDownDisabled = 4;

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
    const HRESULT com = CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(com);
    constructing_ = false;
}

TTkCustomComboEdit::~TTkCustomComboEdit() {
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
    TTkExCustomMaskEdit::BeforeDestruction();
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
    Right += (host_->Visible() ? host_->Width() : 0) + 2;
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
    m.Right -= 2; // AddButtonMargins gives the button's room, the 2 included
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

void TTkCustomComboEdit::PopupDropDown(bool DisableEdit) {
    (void)DisableEdit;
    if (popupVisible_ || (GetReadOnly() && !AlwaysShowPopup))
        return;
    BeforePopupShow();
}

void TTkCustomComboEdit::PopupCloseUp(TObject* Sender, bool Accept) {
    (void)Sender;
    (void)Accept;
    if (!popupVisible_)
        return;
    popupVisible_ = false;
    ApplyDirectInput();
    Invalidate();
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
    }
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
    focused_ = true;
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
    if (!HandleAllocated() || GetFocus() != Handle())
        return;
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
    focused_ = false;
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
        if (!MayCutOrPaste(readOnly_, directInput_))
            return;
        if (Message.Msg == WM_PASTE && ClipboardCommands().Contains(caPaste)) {
            TAliveScope alive(DestroyedSlot());
            ClearGroupPeers();
            if (alive.Dead())
                return;
        }
        break;
    case WM_CLEAR:
        if (!ClipboardCommands().Contains(caClear)) {
            Message.Result = 1;
            return;
        }
        if (MayCutOrPaste(readOnly_, directInput_))
            SetText("");
        return;
    default:
        break;
    }
    TTkExCustomMaskEdit::WndProc(Message);
}
