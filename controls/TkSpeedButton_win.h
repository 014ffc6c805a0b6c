#pragma once

#include <windows.h>

#include "controls/SpeedButtonLogic.h"
#include "controls/TkExControls_win.h"
#include "framework/controls/ControlActionLink_win.h"
#include "framework/controls/ControlTypes.h"

class TChangeLink;
class TCustomImageList;
class TFont;
class TPopupMenu;
class TTimer;
class TTkxButtonGlyph;

enum TButtonStyle : std::uint8_t { bsAutoDetect, bsWin31, bsNew };

// The hot-tracked look's frame and fill colours; on only when Enabled.
class TTkSpeedButtonHotTrackOptions : public TPersistent {
    FW_CLASS(TTkSpeedButtonHotTrackOptions, TPersistent)
public:
    bool Enabled = false;
    TColor Color = ColorFromRaw(0xD2BDB6);
    TColor FrameColor = ColorFromRaw(0x6A240A);
    // From another instance: the three fields; anything else the framework's assignment.
    void Assign(TPersistent* Source) override;
};

// A window-less push button: grouped buttons stay down until another of their group goes down
// (or all may be up), a held press repeats its click, and a drop-down menu may open from the
// press. The decisions are TSpeedButtonModel's; this class gives them the mouse, the parent's
// group notice, the timer and the menu. A click handler may free the button or its form: the
// button is not touched after it.
class TTkCustomSpeedButton : public TTkGraphicControl {
    FW_CLASS(TTkCustomSpeedButton, TTkGraphicControl)
public:
    explicit TTkCustomSpeedButton(TComponent* AOwner);
    ~TTkCustomSpeedButton() override;

    TTkButtonState State() const noexcept { return model_.State; }
    bool Pressing() const noexcept { return model_.Pressing; }
    bool Down() const noexcept { return model_.Down; }
    void SetDown(bool Value);
    int GroupIndex() const noexcept { return model_.GroupIndex; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const noexcept { return model_.AllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool AllowTimer() const noexcept { return allowTimer_; }
    // Turning it off stops and frees the repeat timer.
    void SetAllowTimer(bool Value);
    unsigned InitPause = 500;
    unsigned RepeatInterval = 100;
    TPopupMenu* DropDownMenu() const noexcept { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* Value);
    TTkDropDownMenuPos MenuPosition = dmpBottom;
    TModalResult ModalResult = 0;
    bool DoubleBuffered = true;
    bool HotTrack = false;

    // The writers below store and invalidate unless said otherwise.
    TAlignment Alignment() const noexcept;
    void SetAlignment(TAlignment Value); // in the glyph drawer
    bool WordWrap() const noexcept;
    void SetWordWrap(bool Value); // in the glyph drawer
    bool GrayNewStyle() const noexcept;
    void SetGrayNewStyle(bool Value); // in the glyph drawer, which drops its images
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool Value);
    bool GrayedInactive() const noexcept { return grayedInactive_; }
    void SetGrayedInactive(bool Value);
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout Value);
    int Margin() const noexcept { return margin_; }
    void SetMargin(int Value); // below -1: ignored
    int Spacing() const noexcept { return spacing_; }
    void SetSpacing(int Value);
    bool MarkDropDown() const noexcept { return markDropDown_; }
    void SetMarkDropDown(bool Value);
    TButtonStyle Style() const noexcept { return style_; }
    void SetStyle(TButtonStyle Value);
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool Value);
    TFont* HotTrackFont() const noexcept { return hotTrackFont_; }
    void SetHotTrackFont(TFont* Value); // copies it
    TTkTrackFontOptions HotTrackFontOptions() const noexcept { return hotTrackFontOptions_; }
    void SetHotTrackFontOptions(TTkTrackFontOptions Value); // re-derives the font from Font
    TTkSpeedButtonHotTrackOptions* HotTrackOptions() const noexcept { return hotTrackOptions_; }
    TTkxButtonGlyph* ButtonGlyph() const noexcept { return glyph_; }

    // The form's modal result first, then OnClick.
    void Click() override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // A double click counts only on a button that is down.
    void DblClick() override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void TextChanged() override;
    void FontChanged() override;
    void Loaded() override;
    // The caption's accelerator with Alt clicks an enabled button.
    bool AcceptsDialogKey(std::uint16_t Key, TShiftState Shift, const std::string& Text) override;
    // True while the hot-tracked look applies (hot or pressing, with HotTrack).
    bool HotLook() const noexcept;
    // The caption's text flags for Alignment.
    UINT TextFlags() const noexcept;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Draws the glyph and the caption of the state in Client.
    virtual void PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                                      TTkButtonState DrawState, bool ShowMark);

private:
    void Carry(const TSpeedButtonEffects& Effects);
    void BroadcastGroup();
    void GroupNotice(TMessage& Message);
    // Releases the press at (X, Y); false when a handler freed the button.
    bool ReleaseStep(TMouseButton Button, int X, int Y);
    // Pops the drop-down menu up for the press; true when it did.
    bool OfferMenu();
    void TestHover();
    void RepeatTick(TObject*);
    // The paint into a memory bitmap, copied to the given context in one block.
    void PaintBuffered(TMessage& Message);

    TSpeedButtonModel model_;
    TTkxButtonGlyph* glyph_ = nullptr;
    TTkSpeedButtonHotTrackOptions* hotTrackOptions_ = nullptr;
    TFont* hotTrackFont_ = nullptr;
    TTkTrackFontOptions hotTrackFontOptions_{hoFollowFont, hoPreserveColor, hoPreserveStyle};
    bool flat_ = false;
    bool grayedInactive_ = true;
    TButtonLayout layout_ = blGlyphTop;
    int margin_ = -1;
    int spacing_ = 1;
    bool markDropDown_ = true;
    TButtonStyle style_ = bsAutoDetect;
    bool transparent_ = false;
    bool allowTimer_ = false;
    TTimer* timer_ = nullptr;
    TPopupMenu* dropDownMenu_ = nullptr;
};

// The published button, with an image list: ImageIndex shows normally, HotTrackImageIndex
// (unless -1) while the hot-tracked look applies.
class TTkImageSpeedButton : public TTkCustomSpeedButton {
    FW_CLASS(TTkImageSpeedButton, TTkCustomSpeedButton)
public:
    explicit TTkImageSpeedButton(TComponent* AOwner);
    ~TTkImageSpeedButton() override;

    TCustomImageList* Images() const noexcept { return images_; }
    // Moves the change link; nullptr also sets ImageIndex to -1.
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const noexcept { return imageIndex_; }
    // Invalidates unless the hot image shows.
    void SetImageIndex(int Value);
    int HotTrackImageIndex() const noexcept { return hotTrackImageIndex_; }
    // Invalidates only while the hot image shows.
    void SetHotTrackImageIndex(int Value);
    // The index drawn now.
    int ShownImageIndex() const noexcept;

    TBasicAction* Action() const noexcept;
    // Links the button to an action (nullptr unlinks) and takes its properties.
    void SetAction(TBasicAction* Value);
    // The form's modal result, then the action (when linked and enabled) or OnClick.
    void Click() override;
    // The control's properties from the action, then its image list and image index (with
    // CheckDefaults only where the button still has none).
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void PaintGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TPoint Offset,
                              TTkButtonState DrawState, bool ShowMark) override;

private:
    void ImagesChanged(TObject*) { Invalidate(); }
    TControlActionLink* NewActionLink();
    TCustomImageList* images_ = nullptr;
    TChangeLink* imageLink_ = nullptr;
    int imageIndex_ = -1;
    int hotTrackImageIndex_ = 0;
    TActionClient actions_ = ControlActionClient(this, [this] { return NewActionLink(); });
};

// The image button's link: besides the control's properties, the check mark (as Down, for a
// grouped button that may be all up) and the image index follow the action.
class TTkImageSpeedButtonActionLink : public TControlActionLink {
    FW_CLASS(TTkImageSpeedButtonActionLink, TControlActionLink)
public:
    explicit TTkImageSpeedButtonActionLink(TTkImageSpeedButton* AClient)
        : TControlActionLink(AClient), button_(AClient) {}
    bool IsCheckedLinked() override;
    bool IsImageIndexLinked() override;
    void SetChecked(bool Value) override;
    void SetImageIndex(int Value) override;

private:
    TTkImageSpeedButton* button_;
};
