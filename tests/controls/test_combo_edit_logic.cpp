// The button edit's rules without windows: the host placement and text margins for each frame
// look, the minimum height, the button width with its hidden state, the ellipsis dots, the
// read-only and clipboard rules, the key decisions and group clearing by identity.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/ComboEditLogic.h"

namespace {

struct LookCase {
    TComboFrameLook look;
    TRect host;                // for a 100 x 21 edit with a 21-pixel button
    TComboTextMargins margins; // with that host
    std::string name;
};

TEST(ComboEditLogic, HostPlacementAndMarginsForEveryFrameLook) {
    const LookCase cases[] = {
        {{true, true, true, true}, Bounds(77, 0, 21, 19), {1, 1, 24}, "themed, 3-D"},
        {{true, true, true, false}, Bounds(78, 1, 21, 19), {3, 0, 22}, "themed, flat"},
        {{true, false, true, true}, Bounds(75, 0, 21, 17), {0, 2, 23}, "classic, 3-D"},
        {{true, false, true, false}, Bounds(77, 2, 21, 17), {0, 0, 23}, "classic, flat"},
        {{true, true, false, true}, Bounds(79, 0, 21, 21), {0, 0, 23}, "no border, themed"},
        {{true, false, false, false}, Bounds(79, 0, 21, 21), {0, 0, 23}, "no border, classic"},
        {{false, true, true, true}, Bounds(79, 0, 21, 21), {1, 1, 24}, "old look"},
    };
    for (const LookCase& c : cases) {
        EXPECT_EQ(ButtonHostBounds(c.look, 100, 21, 21), c.host) << c.name;
        const TComboTextMargins m = ComboTextMargins(c.look, 21);
        EXPECT_EQ(m.Left, c.margins.Left) << c.name;
        EXPECT_EQ(m.Top, c.margins.Top) << c.name;
        EXPECT_EQ(m.Right, c.margins.Right) << c.name;
    }
    // The formatting rectangle leaves the right margin and three more pixels.
    EXPECT_EQ(ComboFormattingRect({1, 1, 24}, 100, 17), Rect(1, 1, 73, 16));
}

TEST(ComboEditLogic, MinimumHeight) {
    EXPECT_EQ(ComboMinimumHeight({true, false, true, true}, 1, 13, 16), 21);
    EXPECT_EQ(ComboMinimumHeight({true, false, true, false}, 1, 13, 16), 19);
    // The old look adds a quarter of the smaller of the two fonts.
    EXPECT_EQ(ComboMinimumHeight({false, false, true, true}, 1, 13, 16), 13 + 4 + 3);
    EXPECT_EQ(ComboMinimumHeight({false, false, true, true}, 1, 20, 16), 20 + 4 + 4);
}

TEST(ComboEditLogic, StoredDefaultButtonWidthByKind) {
    EXPECT_EQ(DefaultButtonWidth(ikCustom, 14, 17), 21);
    EXPECT_EQ(DefaultButtonWidth(ikEllipsis, 14, 17), 21);
    EXPECT_EQ(DefaultButtonWidth(ikDefault, 14, 17), 21) << "14 + 6 is below 21";
    EXPECT_EQ(DefaultButtonWidth(ikDefault, 20, 17), 26);
    EXPECT_EQ(DefaultButtonWidth(ikDefault, -1, 17), 21) << "no default image";
    EXPECT_EQ(DefaultButtonWidth(ikDropDown, 14, 17), 17);
}

TEST(ComboEditLogic, OldGlyphKindIdentifiers) {
    EXPECT_EQ(ImageKindFromGlyphKind("gkCustom"), ikCustom);
    EXPECT_EQ(ImageKindFromGlyphKind("GKELLIPSIS"), ikEllipsis);
    EXPECT_EQ(ImageKindFromGlyphKind("gkDropDown"), ikDropDown);
    EXPECT_EQ(ImageKindFromGlyphKind("gkdefault"), ikDefault);
    for (const char* bad : {"", "gk", "ikEllipsis", "gkEllipsis ", "gkEllipsisX"})
        EXPECT_EQ(ImageKindFromGlyphKind(bad), -1) << bad;
}

using TStep = TComboButtonWidth::TStep;

TEST(ComboEditLogic, AWidthBelowTwoHidesAndShowingBringsTheWidthBack) {
    TComboButtonWidth w;
    EXPECT_EQ(w.Set(30, 100), TStep::Resized);
    EXPECT_EQ(w.Set(1, 100), TStep::Hidden);
    EXPECT_FALSE(w.Shown());
    EXPECT_EQ(w.Read(), 30) << "a hidden button reads its remembered width";
    EXPECT_EQ(w.Set(40, 100), TStep::Saved) << "while hidden only the remembered width moves";
    EXPECT_FALSE(w.Shown());
    EXPECT_EQ(w.Show(true, 100), TStep::Resized);
    EXPECT_TRUE(w.Shown());
    EXPECT_EQ(w.Width(), 40);
    EXPECT_EQ(w.Show(false, 100), TStep::Hidden);
    EXPECT_EQ(w.Read(), 40);
    EXPECT_EQ(w.Show(false, 100), TStep::Ignored);
}

TEST(ComboEditLogic, AWidthThatLeavesNoRoomIsIgnoredExceptWhileConstructing) {
    TComboButtonWidth w;
    EXPECT_EQ(w.Set(100, 100), TStep::Ignored);
    EXPECT_EQ(w.Width(), 21);
    EXPECT_EQ(w.Set(99, 100), TStep::Resized);
    EXPECT_EQ(w.Set(200, 10, true), TStep::Resized);
    EXPECT_EQ(w.Width(), 200);
    // Shown again into an edit that became narrower: the host keeps the width it had.
    TComboButtonWidth n;
    n.Set(50, 100);
    n.Show(false, 100);
    n.Set(60, 100);
    EXPECT_EQ(n.Show(true, 40), TStep::Resized);
    EXPECT_EQ(n.Width(), 50);
    EXPECT_TRUE(n.Shown());
}

TEST(ComboEditLogic, EllipsisDots) {
    const TEllipsisGlyph g25 = EllipsisGlyph(25);
    EXPECT_EQ(g25.Width, 19);
    EXPECT_EQ(g25.Height, 4);
    EXPECT_EQ(g25.DotX, (std::array<int, 3>{3, 8, 13}));
    const TEllipsisGlyph g14 = EllipsisGlyph(14); // width 8: gap 1
    EXPECT_EQ(g14.Width, 8);
    EXPECT_EQ(g14.DotX, (std::array<int, 3>{0, 3, 6}));
    // Narrow buttons keep a bitmap at least one pixel wide; dots may fall outside it.
    for (int w : {-5, 0, 1, 6, 7, 8}) {
        const TEllipsisGlyph g = EllipsisGlyph(w);
        EXPECT_GE(g.Width, 1) << w;
        EXPECT_LT(g.DotX[0], g.DotX[1]) << w;
        EXPECT_LT(g.DotX[1], g.DotX[2]) << w;
    }
}

TEST(ComboEditLogic, ReadOnlyAndClipboardRules) {
    struct Case {
        bool own, direct, windowReadOnly, cutPaste;
    };
    for (const Case& c : {Case{false, true, false, true}, Case{true, true, true, false},
                          Case{false, false, true, false}, Case{true, false, true, false}}) {
        EXPECT_EQ(WindowReadOnly(c.own, c.direct), c.windowReadOnly) << c.own << c.direct;
        EXPECT_EQ(MayCutOrPaste(c.own, c.direct), c.cutPaste) << c.own << c.direct;
    }
    EXPECT_EQ(ClipboardCommandsFor(kAllClipboardCommands, true), TClipboardCommands{caCopy});
    EXPECT_EQ(ClipboardCommandsFor(TClipboardCommands{caCut}, true), TClipboardCommands{});
    EXPECT_EQ(ClipboardCommandsFor(kAllClipboardCommands, false), kAllClipboardCommands);
    EXPECT_TRUE(ButtonActionAllowed(false, false));
    EXPECT_FALSE(ButtonActionAllowed(true, false));
    EXPECT_TRUE(ButtonActionAllowed(true, true));
}

TEST(ComboEditLogic, KeyDownDecisions) {
    EXPECT_TRUE(IsFormKeyChord(0x09, {ssCtrl}));
    EXPECT_TRUE(IsFormKeyChord(0x0D, {ssCtrl, ssShift}));
    EXPECT_FALSE(IsFormKeyChord(0x09, {}));
    EXPECT_FALSE(IsFormKeyChord(0x41, {ssCtrl}));
    constexpr std::uint16_t kDown = 0x28;
    EXPECT_TRUE(IsClickKeyChord(kDown, {ssAlt}, 32808, 21));
    EXPECT_TRUE(IsClickKeyChord(kDown, {ssAlt}, 32808, 30))
        << "a hidden button reads its old width";
    EXPECT_FALSE(IsClickKeyChord(kDown, {ssAlt}, 32808, 0));
    EXPECT_FALSE(IsClickKeyChord(kDown, {}, 32808, 21));
    EXPECT_FALSE(IsClickKeyChord(0, {}, 0, 21)) << "no click key";
}

TEST(ComboEditLogic, KeyPressDecisions) {
    struct Case {
        char key;
        bool popup;
        TComboCharStep step;
    };
    const Case cases[] = {
        {'\r', true, {true, true, false, false, false, true}},
        {'\n', true, {true, true, false, false, false, true}},
        {'\x1B', true, {true, false, false, false, false, true}},
        {'\r', false, {false, false, true, true, false, true}},
        {'\x1B', false, {false, false, true, false, false, false}},
        {'\n', false, {false, false, false, false, true, true}},
        {'\t', false, {false, false, false, false, true, true}},
        {'\t', true, {false, false, false, false, true, true}},
        {'a', true, {}},
        {'a', false, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComboCharStep(c.key, c.popup), c.step) << int(c.key) << " popup " << c.popup;
}

TEST(ComboEditLogic, GroupPeersAreToldApartByIdentity) {
    int a = 0, b = 0, c = 0, d = 0;
    const TGroupMember members[] = {{&a, 3}, {&b, 3}, {&c, -1}, {&d, 3}};
    EXPECT_EQ(GroupPeersToClear(&a, 3, members), (std::vector<const void*>{&b, &d}));
    EXPECT_TRUE(GroupPeersToClear(&c, -1, members).empty()) << "group -1 is no group";
    EXPECT_EQ(GroupPeersToClear(&c, 3, members), (std::vector<const void*>{&a, &b, &d}));
}

} // namespace

namespace {

TEST(ComboEditLogic, PopupPlacementAtTheMonitorEdges) {
    const TRect monitor = Rect(0, 0, 800, 600);
    struct Case {
        TPoint edit;
        TTkPopupAlign align;
        TPoint want;
        const char* name;
    };
    // Edit 150 x 21, popup 200 x 100.
    const Case cases[] = {
        {{300, 200}, epaRight, {250, 221}, "room everywhere: below, right edges together"},
        {{300, 200}, epaLeft, {300, 221}, "left-aligned: left edges together"},
        {{300, 550}, epaRight, {250, 450}, "bottom edge: above the edit"},
        {{20, 200}, epaRight, {20, 221}, "left edge: the edit's left instead"},
        {{700, 200},
         epaLeft,
         {600, 221},
         "right edge: the edit's right instead, kept on the monitor"},
        {{-40, 200}, epaRight, {0, 221}, "an edit half off the left: the popup stays on"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PopupPlacement(c.edit, 150, 21, 200, 100, monitor, c.align), c.want) << c.name;
    // A second monitor to the right, at negative height offsets.
    EXPECT_EQ(PopupPlacement({810, -50}, 150, 21, 200, 100, Rect(800, -100, 1600, 500), epaRight),
              (TPoint{810, -29}));
    // A popup wider than the monitor keeps its left edge on it.
    EXPECT_EQ(PopupPlacement({300, 200}, 150, 21, 900, 100, monitor, epaLeft), (TPoint{0, 221}));
}

struct FakeAllocator {
    int failAt = -1; // the call that fails
    int calls = 0;
    std::vector<std::string> live;
    std::vector<std::string> items{"alpha", "beta", "gamma"};
    void* Make(std::uint32_t i) {
        if (calls++ == failAt)
            return nullptr;
        live.push_back(items[i]);
        return new std::string(items[i]);
    }
    void Release(void* p) {
        auto* s = static_cast<std::string*>(p);
        live.erase(std::find(live.begin(), live.end(), *s));
        delete s;
    }
};

TEnumAnswer Next(TStringEnumCursor& c, FakeAllocator& a, std::uint32_t n, void** out,
                 std::uint32_t* fetched) {
    return c.Next(
        3, n, out, fetched, [&](std::uint32_t i) { return a.Make(i); },
        [&](void* p) { a.Release(p); });
}

TEST(ComboEditLogic, StringEnumeratorSteps) {
    FakeAllocator a;
    TStringEnumCursor c;
    void* out[4] = {};
    std::uint32_t fetched = 99;
    EXPECT_EQ(Next(c, a, 0, out, &fetched), TEnumAnswer::Ok) << "zero asked, zero given";
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(Next(c, a, 1, out, nullptr), TEnumAnswer::Ok) << "no count pointer for one string";
    EXPECT_EQ(*static_cast<std::string*>(out[0]), "alpha");
    a.Release(out[0]);
    EXPECT_EQ(Next(c, a, 2, out, nullptr), TEnumAnswer::InvalidArg);
    EXPECT_EQ(Next(c, a, 4, out, &fetched), TEnumAnswer::False) << "past the end";
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(*static_cast<std::string*>(out[1]), "gamma");
    EXPECT_EQ(Next(c, a, 1, nullptr, &fetched), TEnumAnswer::Fail);
    EXPECT_EQ(a.live, (std::vector<std::string>{"beta", "gamma"}));
    a.Release(out[0]);
    a.Release(out[1]);

    c.Reset();
    EXPECT_EQ(c.Skip(3, 2), TEnumAnswer::Ok);
    EXPECT_EQ(c.Index, 2u);
    EXPECT_EQ(c.Skip(3, 2), TEnumAnswer::False);
    EXPECT_EQ(c.Index, 3u);
    c.Index = 1;
    EXPECT_EQ(c.Skip(3, 0xFFFFFFFFu), TEnumAnswer::False) << "no wrap around 32 bits";
    EXPECT_EQ(c.Index, 3u);
    TStringEnumCursor clone = c;
    EXPECT_EQ(clone.Index, 3u) << "a clone keeps the index";
}

TEST(ComboEditLogic, AFailedAllocationFreesWhatTheStepMade) {
    FakeAllocator a;
    a.failAt = 2;
    TStringEnumCursor c;
    void* out[3] = {};
    std::uint32_t fetched = 99;
    EXPECT_EQ(Next(c, a, 3, out, &fetched), TEnumAnswer::OutOfMemory);
    EXPECT_EQ(fetched, 0u);
    EXPECT_TRUE(a.live.empty()) << "the two strings made before the failure are freed";
    EXPECT_EQ(out[0], nullptr);
    EXPECT_EQ(c.Index, 0u) << "nothing was handed out";
}

} // namespace
