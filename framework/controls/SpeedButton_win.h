#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/gui/GraphicControl_win.h"

class TBitmap;
class TCanvas;

// Up; disabled; pressed while the mouse holds it; kept down (Down, or held while Down).
enum class TSpeedButtonState : std::uint8_t { Up, Disabled, Down, Exclusive };

// A window-less push button with a glyph. Buttons of one parent that share a GroupIndex above
// 0 are exclusive: pressing one releases the others; with AllowAllUp the pressed one may be
// released too. A press holds the mouse; the click comes on release over the button only.
class TSpeedButton : public TGraphicControl {
    FW_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // Only a button of a group (GroupIndex above 0) stays down.
    bool Down() const noexcept { return down_; }
    void SetDown(bool Value);
    int GroupIndex() const noexcept { return groupIndex_; }
    void SetGroupIndex(int Value);
    bool AllowAllUp() const noexcept { return allowAllUp_; }
    void SetAllowAllUp(bool Value) { allowAllUp_ = Value; }
    // A flat button shows its edge only while the mouse is over it or it is down.
    bool Flat() const noexcept { return flat_; }
    void SetFlat(bool Value);
    // The picture (a copy is kept); its bottom-left pixel's colour is transparent.
    TBitmap* Glyph() const noexcept { return glyph_; }
    void SetGlyph(TBitmap* Value);

    TSpeedButtonState State() const noexcept { return state_; }
    bool MouseInControl() const noexcept { return mouseInControl_; }

    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;
    // Holding the mouse (between a left press and its release).
    bool Tracking() const noexcept { return tracking_; }

private:
    bool Inside(int X, int Y) const;
    void ReleaseOthersInGroup();
    void GroupPressed(int Group, TControl* Sender);
    void DrawGlyph(TCanvas* Canvas, int X, int Y, bool Enabled);

    TBitmap* glyph_ = nullptr;
    TSpeedButtonState state_ = TSpeedButtonState::Up;
    bool down_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool flat_ = false;
    bool tracking_ = false;
    bool mouseInControl_ = false;
};
