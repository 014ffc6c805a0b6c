#pragma once

// The speed button's decisions apart from any window: its state under pressing, moving and
// releasing, the down state of grouped buttons, the group notice, the drop-down menu's place
// and the repeat timer's steps. The control (TkSpeedButton_win) carries the effects out.

#include <cstdint>

#include "controls/GlyphLayout.h"
#include "framework/core/Types.h"

enum TTkDropDownMenuPos : std::uint8_t { dmpBottom, dmpRight };
enum TTkMenuAlignment : std::uint8_t { maLeft, maRight, maCenter };

// What a step asks of the control.
struct TSpeedButtonEffects {
    bool Invalidate = false;
    bool Repaint = false;
    bool Click = false;
    bool Broadcast = false;  // the group notice to the parent's children
    bool MouseLeave = false; // the control sends itself the mouse-leave notice
    friend constexpr bool operator==(const TSpeedButtonEffects&,
                                     const TSpeedButtonEffects&) = default;
};

// A point of the button's client area: 0 <= X < width and 0 <= Y < height.
constexpr bool OnButton(int x, int y, int clientWidth, int clientHeight) noexcept {
    return x >= 0 && x < clientWidth && y >= 0 && y < clientHeight;
}

// The client point the drop-down menu pops up at.
TPoint DropDownMenuPoint(TTkDropDownMenuPos position, TTkMenuAlignment alignment, int width,
                         int height) noexcept;

class TSpeedButtonModel {
public:
    TTkButtonState State = bsUp;
    bool Pressing = false;
    bool MenuTracking = false;
    bool Enabled = true;
    bool Down = false;
    int GroupIndex = 0;
    bool AllowAllUp = false;

    // A press of the left button (others change nothing here): down unless Down already, and
    // the pressing and menu-tracking flags set (the control clears the latter after offering
    // the menu).
    TSpeedButtonEffects Press(bool leftButton);
    // A move while pressing: down on the button (unless Down), exclusive when Down, else up.
    TSpeedButtonEffects Move(bool onButton);
    // The release step: nothing unless pressing with the left button.
    TSpeedButtonEffects Release(bool leftButton, bool onButton);
    // Setting Down; see the group rules.
    TSpeedButtonEffects SetDown(bool value);
    // The group notice from another button of the parent (never from itself).
    TSpeedButtonEffects GroupNotice(int groupIndex, bool senderDown, bool senderAllowAllUp);
    // Setting GroupIndex or AllowAllUp: broadcast when it changed.
    TSpeedButtonEffects SetGroupIndex(int value);
    TSpeedButtonEffects SetAllowAllUp(bool value);
    // The state painting starts from (disabled buttons stop pressing).
    TTkButtonState PaintState();
};

// The repeat timer: the first tick InitPause after the press, then every RepeatInterval; a tick
// clicks while the button is down and holds the mouse.
struct TRepeatStep {
    unsigned NextInterval;
    bool Click;
};
TRepeatStep RepeatTick(TTkButtonState state, bool holdsCapture, unsigned repeatInterval) noexcept;

// --- the looks ---

// The bevel's light and dark forms of the face colour (0x00BBGGRR): each of red, green and blue
// raised by 64 and capped at 255, or lowered by 64 and floored at 0.
TColor BevelLight(TColor face) noexcept;
TColor BevelDark(TColor face) noexcept;

// The colours of the bevel's frames, outer first: each a (top and left, bottom and right) pair;
// a classic pressed face adds a shadow line along its inner top and left (ShadowLine).
enum TBevelColour : std::uint8_t { bcWindowFrame, bcLight, bcDark, bcFace, bcShadow };
struct TBevelFrame {
    TBevelColour TopLeft, BottomRight;
    friend constexpr bool operator==(const TBevelFrame&, const TBevelFrame&) = default;
};
struct TButtonBevel {
    int Count = 0;
    TBevelFrame Frames[2]{};
    bool ShadowLine = false;
};
TButtonBevel BevelFor(bool down, bool newStyle, bool flat) noexcept;

// The state the glyph is drawn in: the drawing state, or the button state when that is disabled
// or inactive buttons are not greyed.
TTkButtonState GlyphState(TTkButtonState state, TTkButtonState drawState,
                          bool grayedInactive) noexcept;

// The image shown: the hot image (unless -1) while the hot-tracked look applies, else the
// normal one.
constexpr int ShownImageIndex(bool hotLook, int imageIndex, int hotTrackImageIndex) noexcept {
    return hotLook && hotTrackImageIndex != -1 ? hotTrackImageIndex : imageIndex;
}
