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
