#pragma once

#include <windows.h>

#include "controls/SpeedButtonLogic.h"
#include "controls/TkExControls_win.h"

class TPopupMenu;
class TTimer;

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
    bool Flat = false;

    // The form's modal result first, then OnClick.
    void Click() override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WndProc(TMessage& Message) override;
    void Paint() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void TextChanged() override;
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

    TSpeedButtonModel model_;
    bool allowTimer_ = false;
    TTimer* timer_ = nullptr;
    TPopupMenu* dropDownMenu_ = nullptr;
    bool* destroyed_ = nullptr;
    friend class TSpeedButtonAliveScope;
};

class TTkImageSpeedButton : public TTkCustomSpeedButton {
    FW_CLASS(TTkImageSpeedButton, TTkCustomSpeedButton)
public:
    explicit TTkImageSpeedButton(TComponent* AOwner) : TTkCustomSpeedButton(AOwner) {}
};
