#include "controls/SpeedButtonLogic.h"

#include <initializer_list>

TPoint DropDownMenuPoint(TTkDropDownMenuPos position, TTkMenuAlignment alignment, int width,
                         int height) noexcept {
    if (alignment == maCenter)
        return {width / 2, height};
    if (position == dmpBottom)
        return alignment == maLeft ? TPoint{-1, height} : TPoint{width + 1, height};
    return alignment == maLeft ? TPoint{width, -1} : TPoint{-1, -1};
}

TSpeedButtonEffects TSpeedButtonModel::Press(bool leftButton) {
    TSpeedButtonEffects e;
    if (MenuTracking || !leftButton || !Enabled)
        return e;
    if (!Down) {
        State = bsDown;
        e.Invalidate = true;
    }
    Pressing = true;
    MenuTracking = true;
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::Move(bool onButton) {
    TSpeedButtonEffects e;
    if (!Pressing)
        return e;
    const TTkButtonState now = Down ? bsExclusive : onButton ? bsDown : bsUp;
    if (now != State) {
        State = now;
        e.Repaint = true;
    }
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::Release(bool leftButton, bool onButton) {
    TSpeedButtonEffects e;
    if (!Pressing || !leftButton)
        return e;
    Pressing = false;
    if (GroupIndex == 0) {
        State = bsUp;
        e.MouseLeave = true;
        e.Invalidate = true;
    } else if (onButton) {
        const TSpeedButtonEffects down = SetDown(!Down);
        e.Invalidate = down.Invalidate;
        e.Broadcast = down.Broadcast;
        e.Repaint = down.Repaint || Down;
    } else {
        if (Down)
            State = bsExclusive;
        e.Repaint = true;
    }
    e.Click = onButton && !MenuTracking;
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::SetDown(bool value) {
    TSpeedButtonEffects e;
    if (GroupIndex == 0)
        value = false;
    // A grouped button goes up only when another of its group goes down, unless all may be up.
    if (value == Down || (Down && !AllowAllUp))
        return e;
    Down = value;
    if (value) {
        if (State == bsUp)
            e.Invalidate = true;
        State = bsExclusive;
    } else {
        State = bsUp;
    }
    e.Repaint = true;
    e.Broadcast = value;
    e.Invalidate = true;
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::GroupNotice(int groupIndex, bool senderDown,
                                                   bool senderAllowAllUp) {
    TSpeedButtonEffects e;
    if (groupIndex != GroupIndex)
        return e;
    if (senderDown && Down) {
        Down = false;
        State = bsUp;
        e.Repaint = true;
    }
    AllowAllUp = senderAllowAllUp;
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::SetGroupIndex(int value) {
    TSpeedButtonEffects e;
    if (value == GroupIndex)
        return e;
    GroupIndex = value;
    e.Broadcast = GroupIndex != 0;
    return e;
}

TSpeedButtonEffects TSpeedButtonModel::SetAllowAllUp(bool value) {
    TSpeedButtonEffects e;
    if (value == AllowAllUp)
        return e;
    AllowAllUp = value;
    e.Broadcast = GroupIndex != 0;
    return e;
}

TTkButtonState TSpeedButtonModel::PaintState() {
    if (!Enabled) {
        State = bsDisabled;
        Pressing = false;
    } else if (State == bsDisabled) {
        State = Down && GroupIndex != 0 ? bsExclusive : bsUp;
    }
    return State;
}

TRepeatStep RepeatTick(TTkButtonState state, bool holdsCapture, unsigned repeatInterval) noexcept {
    return {repeatInterval, state == bsDown && holdsCapture};
}

namespace {

TColor Shift(TColor c, int by) noexcept {
    const auto raw = static_cast<std::uint32_t>(c);
    std::uint32_t out = 0;
    for (int k = 0; k < 3; ++k) {
        int v = static_cast<int>((raw >> (8 * k)) & 0xFF) + by;
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        out |= static_cast<std::uint32_t>(v) << (8 * k);
    }
    return ColorFromRaw(out);
}

} // namespace

TColor BevelLight(TColor face) noexcept {
    return Shift(face, 64);
}

TColor BevelDark(TColor face) noexcept {
    return Shift(face, -64);
}

TButtonBevel BevelFor(bool down, bool newStyle, bool flat) noexcept {
    TButtonBevel b;
    auto frames = [&b](std::initializer_list<TBevelFrame> list) {
        for (const TBevelFrame& f : list)
            b.Frames[b.Count++] = f;
    };
    if (down) {
        if (newStyle && !flat)
            frames({{bcWindowFrame, bcLight}, {bcDark, bcFace}});
        else if (newStyle)
            frames({{bcDark, bcLight}});
        else if (!flat) {
            frames({{bcWindowFrame, bcWindowFrame}});
            b.ShadowLine = true;
        } else
            frames({{bcWindowFrame, bcLight}});
    } else {
        if (newStyle && !flat)
            frames({{bcLight, bcWindowFrame}, {bcFace, bcDark}});
        else if (newStyle)
            frames({{bcLight, bcDark}});
        else if (!flat)
            frames({{bcWindowFrame, bcWindowFrame}, {bcLight, bcDark}});
        else
            frames({{bcLight, bcWindowFrame}});
    }
    return b;
}

TTkButtonState GlyphState(TTkButtonState state, TTkButtonState drawState,
                          bool grayedInactive) noexcept {
    return state == bsDisabled || !grayedInactive ? state : drawState;
}
