#include <gtest/gtest.h>

#include <vector>

#include "framework/gui/AlignLayout.h"

namespace {

TAlignEntry Entry(TAlign align, TRect bounds, bool visible = true) {
    TAlignEntry e;
    e.Align = align;
    e.Bounds = bounds;
    e.Visible = visible;
    return e;
}

// The manager window's frame: menu bar, tool bar and splitter on top; side
// bar and splitter on the left; page control in the client; status bar at
// the bottom. Listed in a scrambled order to show kinds and positions, not
// the list, decide.
TEST(AlignLayout, ManagerFrameOrderByKindThenPosition) {
    std::vector<TAlignEntry> e = {
        Entry(alClient, Bounds(0, 0, 10, 10)),   // 0 page control
        Entry(alTop, Bounds(0, 30, 50, 3)),      // 1 splitter (below the tool bar)
        Entry(alBottom, Bounds(0, 400, 50, 19)), // 2 status bar
        Entry(alLeft, Bounds(120, 0, 4, 50)),    // 3 splitter (right of the side bar)
        Entry(alTop, Bounds(0, 0, 50, 20)),      // 4 menu bar
        Entry(alLeft, Bounds(0, 0, 120, 50)),    // 5 side bar
        Entry(alTop, Bounds(0, 20, 50, 26)),     // 6 tool bar
    };
    auto r = AlignLayout(Rect(0, 0, 600, 460), 0, e);
    EXPECT_EQ(r[4], Rect(0, 0, 600, 20));
    EXPECT_EQ(r[6], Rect(0, 20, 600, 46));
    EXPECT_EQ(r[1], Rect(0, 46, 600, 49));
    EXPECT_EQ(r[2], Rect(0, 441, 600, 460));
    EXPECT_EQ(r[5], Rect(0, 49, 120, 441));
    EXPECT_EQ(r[3], Rect(120, 49, 124, 441));
    EXPECT_EQ(r[0], Rect(124, 49, 600, 441));
}

TEST(AlignLayout, BottomAndRightStackFromTheEdgeInward) {
    std::vector<TAlignEntry> e = {
        Entry(alBottom, Bounds(0, 50, 10, 5)), // upper one: placed second
        Entry(alBottom, Bounds(0, 90, 10, 7)), // lower one: placed at the edge
        Entry(alRight, Bounds(10, 0, 3, 10)),  // further left: placed second
        Entry(alRight, Bounds(80, 0, 4, 10)),
    };
    auto r = AlignLayout(Rect(0, 0, 100, 100), 0, e);
    EXPECT_EQ(r[1], Rect(0, 93, 100, 100));
    EXPECT_EQ(r[0], Rect(0, 88, 100, 93));
    EXPECT_EQ(r[3], Rect(96, 0, 100, 88));
    EXPECT_EQ(r[2], Rect(93, 0, 96, 88));
}

TEST(AlignLayout, EqualPositionsKeepListOrder) {
    std::vector<TAlignEntry> e = {
        Entry(alTop, Bounds(0, 0, 10, 5)),
        Entry(alTop, Bounds(0, 0, 10, 8)),
    };
    auto r = AlignLayout(Rect(0, 0, 40, 40), 0, e);
    EXPECT_EQ(r[0], Rect(0, 0, 40, 5));
    EXPECT_EQ(r[1], Rect(0, 5, 40, 13));
}

TEST(AlignLayout, BorderWidthInsetsAllSides) {
    for (int border : {1, 4, 10}) {
        std::vector<TAlignEntry> e = {Entry(alClient, Bounds(0, 0, 1, 1))};
        auto r = AlignLayout(Rect(0, 0, 100, 60), border, e);
        EXPECT_EQ(r[0], Rect(border, border, 100 - border, 60 - border)) << border;
    }
}

TEST(AlignLayout, InvisibleNoneAndCustomKeepBoundsAndTakeNoRoom) {
    std::vector<TAlignEntry> e = {
        Entry(alTop, Bounds(0, 0, 10, 30), false),
        Entry(alNone, Bounds(5, 6, 7, 8)),
        Entry(alCustom, Bounds(1, 2, 3, 4)),
        Entry(alTop, Bounds(0, 0, 10, 10)),
    };
    auto r = AlignLayout(Rect(0, 0, 50, 50), 0, e);
    EXPECT_EQ(r[0], Bounds(0, 0, 10, 30));
    EXPECT_EQ(r[1], Bounds(5, 6, 7, 8));
    EXPECT_EQ(r[2], Bounds(1, 2, 3, 4));
    EXPECT_EQ(r[3], Rect(0, 0, 50, 10));
}

TEST(AlignLayout, OverfullContainerGivesTheClientZeroSize) {
    std::vector<TAlignEntry> e = {
        Entry(alLeft, Bounds(0, 0, 80, 10)),
        Entry(alRight, Bounds(0, 0, 80, 10)),
        Entry(alClient, Bounds(0, 0, 10, 10)),
    };
    auto r = AlignLayout(Rect(0, 0, 100, 20), 0, e);
    EXPECT_EQ(r[0], Rect(0, 0, 80, 20));
    EXPECT_EQ(r[1], Rect(20, 0, 100, 20));
    EXPECT_EQ(r[2].Width(), 0);
    EXPECT_EQ(r[2].Height(), 20);
}

TEST(AlignLayout, ConstraintsLimitTheAlignedSize) {
    TAlignEntry top = Entry(alTop, Bounds(0, 0, 10, 5));
    top.MinHeight = 12;
    top.MaxWidth = 30;
    TAlignEntry client = Entry(alClient, Bounds(0, 0, 10, 10));
    client.MaxHeight = 20;
    std::vector<TAlignEntry> e = {top, client};
    auto r = AlignLayout(Rect(0, 0, 100, 100), 0, e);
    EXPECT_EQ(r[0], Rect(0, 0, 30, 12));
    EXPECT_EQ(r[1], Rect(0, 12, 100, 32));
}

TEST(AlignLayout, ConstrainSizeTable) {
    struct Case {
        int size, min, max, want;
    };
    for (Case c : {Case{5, 0, 0, 5}, Case{5, 10, 0, 10}, Case{50, 0, 20, 20}, Case{-3, 0, 0, 0},
                   Case{15, 10, 20, 15}}) {
        EXPECT_EQ(ConstrainSize(c.size, c.min, c.max), c.want)
            << c.size << " " << c.min << " " << c.max;
    }
}

} // namespace
