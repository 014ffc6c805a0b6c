#pragma once

#include <windows.h>

#include <memory>

#include "controls/ComboEditLogic.h"
#include "controls/TkExMask_win.h"
#include "controls/TkSpeedButton_win.h"
#include "framework/controls/ControlTypes.h"

#include "framework/controls/WinControlActionLink_win.h"
#include "framework/core/Variant.h"

struct IAutoComplete;
struct IEnumString;
struct TAutoCompleteItemsRef;
class TBitmap;
class TCustomImageList;
class TStringList;
class TTkCustomComboEdit;

enum TAutoCompleteOption : std::uint8_t {
    acoAutoSuggest,
    acoAutoAppend,
    acoSearch,
    acoFilterPrefixes,
    acoUseTab,
    acoUpDownKeyDropsList,
    acoRTLReading
};
using TAutoCompleteOptions = TSet<TAutoCompleteOption>;

// The message an edit posts itself to close its popup without taking its value. Anyone may post
// it: it never accepts.
inline constexpr UINT CM_TKPOPUPCLOSEUP = 0xB300;

// The button embedded in a button edit. A press that closes the edit's popup swallows the click
// that follows it; otherwise a press focuses the edit.
class TTkEditButton : public TTkImageSpeedButton {
    FW_CLASS(TTkEditButton, TTkImageSpeedButton)
public:
    // Owner: the edit.
    explicit TTkEditButton(TComponent* AOwner);

    // A press that closes the popup accepts its value.
    bool Standard = true;
    // Draws the theme's combo-box drop-down button instead of a glyph (when themes are on).
    bool DrawThemedDropDown = false;

    TBitmap* Glyph() const noexcept;
    // Replaces the glyph drawer's bitmap.
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const noexcept;
    // 1 to 5; other counts are ignored.
    void SetNumGlyphs(int Value);

    void Click() override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                              TTkButtonState DrawState, bool ShowMark) override;

private:
    TTkCustomComboEdit* Edit() const noexcept;
    bool noAction_ = false;
};

// A one-line edit with a button at its right end. The button, the click key (Alt+Down) and
// RunButtonAction all come to DoButtonAction; a read-only edit keeps its button idle unless
// it is kept enabled, and DirectInput off forbids typing but not the button. Edits of one
// owner with the same GroupIndex clear one another when one of them is typed or pasted into.
// A button or key handler may free the edit or its form: the edit is not touched after it.
class TTkCustomComboEdit : public TTkExCustomMaskEdit {
    FW_CLASS(TTkCustomComboEdit, TTkExCustomMaskEdit)
public:
    explicit TTkCustomComboEdit(TComponent* AOwner);
    ~TTkCustomComboEdit() override;
    void BeforeDestruction() override;

    TTkEditButton* Button() const noexcept { return button_; }
    TWinControl* ButtonHost() const noexcept { return host_; }

    // The button's width while shown, the remembered width while hidden. Below 2 hides the
    // button; a width that leaves no room for the text is ignored.
    int ButtonWidth() const noexcept { return widthRule_.Read(); }
    void SetButtonWidth(int Value);
    bool ShowButton() const noexcept { return widthRule_.Shown(); }
    void SetShowButton(bool Value);
    // Whether form data keeps the width: it differs from the image kind's default.
    bool IsButtonWidthStored() const;
    bool ButtonFlat() const noexcept;
    void SetButtonFlat(bool Value);
    const std::string& ButtonHint() const noexcept;
    void SetButtonHint(const std::string& Value);

    TTkImageKind ImageKind() const noexcept { return imageKind_; }
    void SetImageKind(TTkImageKind Value);
    // The button's own bitmap (always present); setting it switches to ikCustom.
    TBitmap* Glyph() const noexcept;
    void SetGlyph(TBitmap* Value);
    // The button's count for ikCustom, else the stored one.
    int NumGlyphs() const noexcept;
    void SetNumGlyphs(int Value);
    TCustomImageList* Images() const noexcept { return images_; }
    // Not owned; nullptr also sets ImageIndex to -1.
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int Value);

    TShortCut ClickKey = 32808; // Alt+Down
    bool DirectInput() const noexcept { return directInput_; }
    void SetDirectInput(bool Value);
    // The edit's own flag; the window is read-only also while DirectInput is off.
    bool ReadOnly() const { return GetReadOnly(); }
    virtual void SetReadOnly(bool Value);
    // A read-only edit still runs its button action.
    bool AlwaysEnableButton = false;
    // The popup also opens on a read-only edit.
    bool AlwaysShowPopup = false;
    TColor DisabledColor() const noexcept { return disabledColor_; }
    virtual void SetDisabledColor(TColor Value);
    TColor DisabledTextColor() const noexcept { return disabledTextColor_; }
    virtual void SetDisabledTextColor(TColor Value);
    int GroupIndex() const noexcept { return groupIndex_; }
    // Clears the new group's peers.
    void SetGroupIndex(int Value);
    TAlignment Alignment() const noexcept { return alignment_; }
    // Recreates the window.
    void SetAlignment(TAlignment Value);
    // Keeps only caCopy while the edit is read-only.
    void SetClipboardCommands(TClipboardCommands Value) override;
    bool PopupVisible() const noexcept { return popupVisible_; }
    TWinControl* Popup() const noexcept { return popup_; }
    TTkPopupAlign PopupAlign = epaRight;
    TNotifyEvent OnPopupShown;
    TNotifyEvent OnPopupHidden;

    // The shell's auto-complete over AutoCompleteItems; made when the window exists and the
    // options are not empty. When the shell has no such object the edit works without it.
    TAutoCompleteOptions AutoCompleteOptions() const noexcept { return autoCompleteOptions_; }
    void SetAutoCompleteOptions(TAutoCompleteOptions Value);
    TStringList* AutoCompleteItems() const noexcept { return autoCompleteItems_; }
    bool HasAutoComplete() const noexcept { return autoComplete_ != nullptr; }

    // The button's properties from the action (only for a custom action); with CheckDefaults
    // only those the edit still has at their defaults.
    void ActionChange(TBasicAction* Sender, bool CheckDefaults) override;

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnEnabledChanged;
    // Not the library's key-down event, whose slot the edit takes for its group rule: this
    // one fires from there, after the group peers are cleared.
    TKeyEvent OnKeyDown;

    // Runs the button action as a click on the button does.
    void RunButtonAction() { DoButtonAction(); }
    // Empties the text of the other edits of the owner in the same group.
    void ClearGroupPeers();

    // An old form's "GlyphKind" identifier; unknown identifiers change nothing.
    void ReadGlyphKind(std::string_view Identifier);

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth,
                             int& NewHeight, const TRect& AlignRect) override;
    void EnabledChanged() override;
    void FontChanged() override;
    void BoundsChanged() override;
    void FocusSet(HWND PreviousWindow) override;
    void FocusKilled(HWND NextWindow) override;
    void GetDlgCode(TTkDialogCodes& Codes) override;
    void DestroyWnd() override;
    void Change() override;
    bool EraseBackground(TCanvas* Canvas, LPARAM Param) override;
    TActionLink* NewActionLink() override;

    // The button's room in the text margins (the gap beside it is the frame look's).
    virtual void AddButtonMargins(int& Left, int& Right);
    // Runs before the popup shows (nothing here).
    virtual void BeforePopupShow() {}
    virtual bool GetReadOnly() const { return readOnly_; }
    // The image list and index ikDefault shows (none here).
    virtual int DefaultImageIndex() const { return -1; }
    virtual TCustomImageList* DefaultImages() const { return nullptr; }
    // The popup (not owned; forgotten when it is freed). No class here supplies one.
    void SetPopup(TWinControl* Value);
    // Opens the popup below (or above) the edit, with the edit's text as its value; only while
    // it is closed and the edit is not read-only (unless AlwaysShowPopup). DisableEdit makes the
    // window read-only while it is open.
    virtual void PopupDropDown(bool DisableEdit);
    // Closes a shown popup; with Accept its value becomes the text (when accepted and the edit
    // may be modified).
    virtual void PopupCloseUp(TObject* Sender, bool Accept);
    virtual void HidePopup();
    virtual void ShowPopup(TPoint Origin);
    virtual bool AcceptPopup(const Variant& Value) {
        (void)Value;
        return true;
    }
    virtual Variant GetPopupValue() { return popupValue_; }
    virtual void SetPopupValue(const Variant& Value) { popupValue_ = Value; }
    virtual void SetTextFromPopup(const Variant& Value);
    // A text change while the popup is open (in place of OnChange).
    virtual void PopupChange() {}
    // The shell's auto-complete object; false when it cannot be made.
    virtual bool CreateAutoComplete();
    virtual void ApplyAutoCompleteOptions();
    // A new reference to the string source the auto-complete object reads.
    virtual IEnumString* AutoCompleteSource();
    // The disabled look: the text in DisabledTextColor inside the formatting rectangle.
    virtual void PaintDisabledText(HDC DC);
    virtual void DoButtonAction();
    // OnButtonClick, then the popup opens (or closes with its value when shown).
    virtual void EditButtonClick();
    // The formatting rectangle with the button's room and the minimum height.
    virtual void ApplyTextMargins();

    TComboFrameLook FrameLook() const;

private:
    friend class TTkEditButton; // closes the popup from its press
    void InternalKeyDown(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void ButtonClicked(TObject*) { DoButtonAction(); }
    void ApplyWidthStep(TComboButtonWidth::TStep Step);
    void RefreshButtonGlyph();
    void ApplyImageKind();
    void EnforceMinimumHeight();
    void ApplyDirectInput();
    // The caret of the font's text height (2 wide for a bold font), at the selection.
    void ShowOwnCaret();
    int ClientLimit() const;
    void ReleaseAutoComplete();
    bool ThemedBorder() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TWinControl* host_ = nullptr;
    TTkEditButton* button_ = nullptr;
    TComboButtonWidth widthRule_;
    int streamedButtonWidth_ = -1;
    bool streamedFixedWidth_ = false;
    bool constructing_ = true;
    TTkImageKind imageKind_ = ikCustom;
    TCustomImageList* images_ = nullptr;
    int imageIndex_ = -1;
    int numGlyphs_ = 1;
    bool directInput_ = true;
    bool readOnly_ = false;
    TColor disabledColor_ = clWindow;
    TColor disabledTextColor_ = clGrayText;
    int groupIndex_ = -1;
    TAlignment alignment_ = taLeftJustify;
    bool popupVisible_ = false;
    bool comInitialized_ = false;
    TWinControl* popup_ = nullptr;
    Variant popupValue_;
    TAutoCompleteOptions autoCompleteOptions_;
    TStringList* autoCompleteItems_ = nullptr;
    std::shared_ptr<TAutoCompleteItemsRef> itemsRef_;
    IAutoComplete* autoComplete_ = nullptr;
};

// The edit's action link: the caption is never linked; the hint, image index, shortcut and
// execute handler are linked while the edit's button shows the action's.
class TTkCustomComboEditActionLink : public TWinControlActionLink {
    FW_CLASS(TTkCustomComboEditActionLink, TWinControlActionLink)
public:
    explicit TTkCustomComboEditActionLink(TTkCustomComboEdit* AClient)
        : TWinControlActionLink(AClient), edit_(AClient) {}
    bool IsCaptionLinked() override { return false; }
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsOnExecuteLinked() override;
    bool IsShortCutLinked() override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(int Value) override;
    void SetOnExecute(TNotifyEvent Value) override;
    void SetShortCut(TShortCut Value) override;

private:
    TTkCustomComboEdit* edit_;
};

class TTkComboEdit : public TTkCustomComboEdit {
    FW_CLASS(TTkComboEdit, TTkCustomComboEdit)
public:
    using TTkCustomComboEdit::TTkCustomComboEdit;
};
