// The speed button's decisions as tables: press, move and release with and without groups, the
// down state's rules, the group notice, the hit rule, the drop-down menu's place and the repeat
// schedule on a fake clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/SpeedButtonLogic.h"

namespace {

TEST(SpeedButtonLogic, HitRuleTakesTheClientAreaOnly) {
    struct Case {
        int x, y;
        bool on;
    };
    const Case cases[] = {{0, 0, true},    {24, 24, true},  {25, 10, false}, {10, 25, false},
                          {-1, 10, false}, {10, -1, false}, {24, 25, false}};
    for (const Case& c : cases)
        EXPECT_EQ(OnButton(c.x, c.y, 25, 25), c.on) << c.x << "," << c.y;
}

TEST(SpeedButtonLogic, DropDownMenuPlaces) {
    struct Case {
        TTkDropDownMenuPos pos;
        TTkMenuAlignment align;
        TPoint at;
    };
    const Case cases[] = {{dmpBottom, maLeft, {-1, 20}},   {dmpBottom, maRight, {31, 20}},
                          {dmpBottom, maCenter, {15, 20}}, {dmpRight, maLeft, {30, -1}},
                          {dmpRight, maRight, {-1, -1}},   {dmpRight, maCenter, {15, 20}}};
    for (const Case& c : cases)
        EXPECT_EQ(DropDownMenuPoint(c.pos, c.align, 30, 20), c.at) << c.pos << " " << c.align;
}

// Runs a press, moves and a release, and tells the states and what was asked for.
struct Trace {
    std::vector<TTkButtonState> states;
    int clicks = 0, broadcasts = 0, leaves = 0;
};

Trace PressMoveRelease(TSpeedButtonModel& b, const std::vector<bool>& moves, bool releaseOn) {
    Trace t;
    b.Press(true);
    b.MenuTracking = false; // the control clears it once the menu has been offered
    t.states.push_back(b.State);
    for (bool on : moves) {
        b.Move(on);
        t.states.push_back(b.State);
    }
    const TSpeedButtonEffects e = b.Release(true, releaseOn);
    t.states.push_back(b.State);
    t.clicks += e.Click;
    t.broadcasts += e.Broadcast;
    t.leaves += e.MouseLeave;
    return t;
}

TEST(SpeedButtonLogic, UngroupedPressesClickOnlyWhenReleasedOnTheButton) {
    TSpeedButtonModel b;
    Trace t = PressMoveRelease(b, {true, false, true}, true);
    EXPECT_EQ(t.states, (std::vector<TTkButtonState>{bsDown, bsDown, bsUp, bsDown, bsUp}));
    EXPECT_EQ(t.clicks, 1);
    EXPECT_EQ(t.leaves, 1) << "the leave that the hover test answers with an enter";
    t = PressMoveRelease(b, {false}, false);
    EXPECT_EQ(t.clicks, 0);
    EXPECT_EQ(b.State, bsUp);
    EXPECT_FALSE(b.Pressing);
    // A right press, or a press while the menu is being tracked, does nothing.
    EXPECT_EQ(b.Press(false), TSpeedButtonEffects{});
    EXPECT_EQ(b.State, bsUp);
    b.MenuTracking = true;
    b.Press(true);
    EXPECT_FALSE(b.Pressing);
    b.MenuTracking = false;
    // The release that closed a menu popped by the press clicks nothing.
    b.Press(true);
    EXPECT_FALSE(b.Release(true, true).Click);
}

TEST(SpeedButtonLogic, GroupedButtonsToggleDownAndStayDownWithoutAllUp) {
    TSpeedButtonModel b;
    b.SetGroupIndex(3);
    Trace t = PressMoveRelease(b, {}, true);
    EXPECT_TRUE(b.Down);
    EXPECT_EQ(b.State, bsExclusive);
    EXPECT_EQ(t.clicks, 1);
    EXPECT_EQ(t.broadcasts, 1);
    // Down with AllowAllUp off: pressing it again leaves it down.
    t = PressMoveRelease(b, {false, true}, true);
    EXPECT_EQ(t.states.front(), bsExclusive) << "a down button does not show the press";
    EXPECT_TRUE(b.Down);
    EXPECT_EQ(b.SetDown(false), TSpeedButtonEffects{});
    EXPECT_TRUE(b.Down);
    // Allowed all up: it goes up.
    b.SetAllowAllUp(true);
    PressMoveRelease(b, {}, true);
    EXPECT_FALSE(b.Down);
    EXPECT_EQ(b.State, bsUp);
    // Released off the button while down: exclusive, no click.
    b.SetDown(true);
    t = PressMoveRelease(b, {false}, false);
    EXPECT_TRUE(b.Down);
    EXPECT_EQ(b.State, bsExclusive);
    EXPECT_EQ(t.clicks, 0);
}

TEST(SpeedButtonLogic, AnotherButtonOfTheGroupGoingDownReleasesThisOne) {
    TSpeedButtonModel a, other;
    a.SetGroupIndex(1);
    other.SetGroupIndex(1);
    a.SetDown(true);
    ASSERT_TRUE(other.SetDown(true).Broadcast);
    EXPECT_TRUE(a.GroupNotice(1, other.Down, other.AllowAllUp).Repaint);
    EXPECT_FALSE(a.Down);
    EXPECT_EQ(a.State, bsUp);
    // Another group's notice changes nothing; any notice of its own group copies AllowAllUp.
    a.SetDown(true);
    a.GroupNotice(2, true, true);
    EXPECT_TRUE(a.Down);
    EXPECT_FALSE(a.AllowAllUp);
    a.GroupNotice(1, false, true);
    EXPECT_TRUE(a.Down);
    EXPECT_TRUE(a.AllowAllUp);
    // Ungrouped buttons cannot be down.
    TSpeedButtonModel plain;
    plain.SetDown(true);
    EXPECT_FALSE(plain.Down);
    // Group index and all-up changes broadcast, a grouped button's only.
    EXPECT_FALSE(plain.SetAllowAllUp(true).Broadcast);
    EXPECT_TRUE(plain.SetGroupIndex(5).Broadcast);
    EXPECT_FALSE(plain.SetGroupIndex(5).Broadcast);
}

TEST(SpeedButtonLogic, DisabledButtonsPaintDisabledAndComeBackUpOrExclusive) {
    TSpeedButtonModel b;
    b.SetGroupIndex(2);
    b.SetDown(true);
    b.Press(true);
    b.Enabled = false;
    EXPECT_EQ(b.PaintState(), bsDisabled);
    EXPECT_FALSE(b.Pressing);
    b.Enabled = true;
    EXPECT_EQ(b.PaintState(), bsExclusive);
    TSpeedButtonModel plain;
    plain.Enabled = false;
    plain.PaintState();
    plain.Enabled = true;
    EXPECT_EQ(plain.PaintState(), bsUp);
}

// A held press on a fake clock: the first repeat InitPause after the press, then one every
// RepeatInterval while the button is down and holds the mouse; off the button (state up) the
// ticks go on without clicking.
TEST(SpeedButtonLogic, RepeatScheduleOnAFakeClock) {
    TSpeedButtonModel b;
    b.Press(true);
    b.MenuTracking = false;
    unsigned interval = 500, now = 0;
    std::vector<unsigned> clicks;
    for (int tick = 0; tick < 8; ++tick) {
        now += interval;
        if (tick == 4)
            b.Move(false); // the cursor leaves
        if (tick == 6)
            b.Move(true); // and comes back
        const TRepeatStep step = RepeatTick(b.State, true, 100);
        interval = step.NextInterval;
        if (step.Click)
            clicks.push_back(now);
    }
    EXPECT_EQ(clicks, (std::vector<unsigned>{500, 600, 700, 800, 1100, 1200}));
    EXPECT_FALSE(RepeatTick(bsDown, false, 100).Click) << "not without the capture";
}

TEST(SpeedButtonLogic, BevelColoursClampEachChannel) {
    EXPECT_EQ(BevelLight(ColorFromRaw(0x00F0C080)), ColorFromRaw(0x00FFFFC0));
    EXPECT_EQ(BevelDark(ColorFromRaw(0x00F03010)), ColorFromRaw(0x00B00000));
    EXPECT_EQ(BevelLight(ColorFromRaw(0x00000000)), ColorFromRaw(0x00404040));
    EXPECT_EQ(BevelDark(ColorFromRaw(0x00FFFFFF)), ColorFromRaw(0x00BFBFBF));
}

TEST(SpeedButtonLogic, BevelFramesByPressStyleAndFlatness) {
    struct Case {
        bool down, newStyle, flat;
        std::vector<TBevelFrame> frames;
        bool shadow;
    };
    const Case cases[] = {
        {true, true, false, {{bcWindowFrame, bcLight}, {bcDark, bcFace}}, false},
        {true, true, true, {{bcDark, bcLight}}, false},
        {true, false, false, {{bcWindowFrame, bcWindowFrame}}, true},
        {true, false, true, {{bcWindowFrame, bcLight}}, false},
        {false, true, false, {{bcLight, bcWindowFrame}, {bcFace, bcDark}}, false},
        {false, true, true, {{bcLight, bcDark}}, false},
        {false, false, false, {{bcWindowFrame, bcWindowFrame}, {bcLight, bcDark}}, false},
        {false, false, true, {{bcLight, bcWindowFrame}}, false},
    };
    for (const Case& c : cases) {
        const TButtonBevel b = BevelFor(c.down, c.newStyle, c.flat);
        const std::vector<TBevelFrame> got(b.Frames, b.Frames + b.Count);
        EXPECT_EQ(got, c.frames) << c.down << c.newStyle << c.flat;
        EXPECT_EQ(b.ShadowLine, c.shadow) << c.down << c.newStyle << c.flat;
    }
}

TEST(SpeedButtonLogic, TheGlyphStateAndTheImageShown) {
    EXPECT_EQ(GlyphState(bsUp, bsInactive, true), bsInactive);
    EXPECT_EQ(GlyphState(bsUp, bsInactive, false), bsUp) << "inactive buttons not greyed";
    EXPECT_EQ(GlyphState(bsDisabled, bsDisabled, true), bsDisabled);
    EXPECT_EQ(GlyphState(bsDown, bsDown, true), bsDown);
    struct Case {
        bool hot;
        int image, hotImage, shown;
    };
    const Case cases[] = {{false, 3, 0, 3}, {true, 3, 0, 0}, {true, 3, -1, 3}, {true, -1, 5, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(ShownImageIndex(c.hot, c.image, c.hotImage), c.shown);
}

} // namespace
