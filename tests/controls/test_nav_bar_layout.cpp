// The side bar's layout: headers and the page area for several pages, the row height and the
// button, frame and caption rectangles for large and small buttons with and without images, the
// manager's bar, and the hit test (inside the page area, from the top button on).

#include <gtest/gtest.h>

#include "controls/NavBarLayout.h"

namespace {

TEST(NavBarLayout, HeadersAndPageAreaMoveWithTheActivePage) {
    TNavBarGeometry bar{100, 200, 19, 3, 0};
    EXPECT_EQ(NavPageButtonRect(bar, 0), Rect(0, 0, 100, 19));
    EXPECT_EQ(NavPageButtonRect(bar, 1), Rect(0, 162, 100, 181));
    EXPECT_EQ(NavPageButtonRect(bar, 2), Rect(0, 181, 100, 200));
    EXPECT_EQ(NavPageRect(bar, 0), Rect(0, 19, 100, 162));
    bar.ActivePage = 2;
    EXPECT_EQ(NavPageButtonRect(bar, 1), Rect(0, 19, 100, 38));
    EXPECT_EQ(NavPageButtonRect(bar, 2), Rect(0, 38, 100, 57));
    EXPECT_EQ(NavPageRect(bar, 2), Rect(0, 57, 100, 200)) << "no header left at the bottom";
    EXPECT_EQ(NavPageButtonRect(bar, 3), TRect{}) << "an invalid page";
    EXPECT_EQ(NavPageRect(bar, -1), TRect{});
}

TEST(NavBarLayout, RowHeights) {
    const int t = 14;
    struct Case {
        TNavPageGeometry page;
        bool valid;
        int want;
    };
    const Case cases[] = {
        {{olbsLarge, true, 48, 48, 11}, true, 11 + 48 + 8 + 4},
        {{olbsLarge, true, 8, 8, 11}, true, 27 + 4},    // max(T, F + 8 + 8) = 27
        {{olbsLarge, true, 2, 2, -1}, true, t + 4},     // the text height wins
        {{olbsLarge, false, 0, 0, -11}, true, 11 + 12}, // font height taken as its absolute value
        {{olbsSmall, true, 16, 16, 11}, true, 16 + 8},
        {{olbsSmall, true, 8, 8, 11}, true, 11 + 8},
        {{olbsSmall, false, 0, 0, 11}, true, 11 + 8},
        {{olbsLarge, true, 48, 48, 11}, false, t + 4}, // no such page
    };
    for (const Case& c : cases)
        EXPECT_EQ(NavButtonHeight(c.valid, c.page, t), c.want);
}

TEST(NavBarLayout, TheManagersBar) {
    // One page, no headers, four large 48 x 48 buttons.
    const TNavBarGeometry bar{120, 300, 0, 1, 0};
    const TNavPageGeometry page{olbsLarge, true, 48, 48, 11, 0, 4};
    const int t = 13, h = 11 + 48 + 8 + 4;
    EXPECT_EQ(NavPageButtonRect(bar, 0), Rect(0, 0, 120, 0)) << "a header of no height";
    EXPECT_EQ(NavPageRect(bar, 0), Rect(0, 0, 120, 300)) << "the whole client area";
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(NavButtonRect(bar, 0, page, t, b, 40), Bounds(34, 4 + h * b, 52, h)) << b;
        EXPECT_EQ(NavButtonFrameRect(bar, 0, page, t, b), Bounds(33, h * b + 5, 54, 54)) << b;
    }
    const TRect text = NavButtonTextRect(bar, 0, page, t, 1, 40);
    EXPECT_EQ(text, Rect(34, 4 + h + h - 11 - 2 - 4, 86, 4 + h + h - 4));
    EXPECT_EQ(NavButtonRect(bar, 0, page, t, 4, 40), TRect{}) << "no fifth button";
}

TEST(NavBarLayout, SmallButtonsAndButtonsWithoutImages) {
    const TNavBarGeometry bar{100, 200, 19, 1, 0};
    const TNavPageGeometry small{olbsSmall, true, 16, 16, 11, 0, 3};
    const int t = 13, h = 24;
    EXPECT_EQ(NavButtonRect(bar, 0, small, t, 1, 30), Bounds(4, 4 + 19 + h, 54, h));
    EXPECT_EQ(NavButtonFrameRect(bar, 0, small, t, 1), Bounds(4, 19 + h + 4, 20, 20));
    // Caption: left 26, top moved by (24 - 11) / 2 = 6, height 13, then up by (13 - 24) / 4 = -2.
    EXPECT_EQ(NavButtonTextRect(bar, 0, small, t, 1, 30),
              Rect(26, 4 + 19 + h + 6 - 2, 60, 4 + 19 + h + 6 + 13 - 2));
    const TNavPageGeometry plain{olbsLarge, false, 0, 0, 11, 1, 3};
    // Scrolled by one: button 1 sits at the page's top.
    EXPECT_EQ(NavButtonRect(bar, 0, plain, t, 1, 30), Bounds(0, 19, 100, 23 + 4));
    EXPECT_EQ(NavButtonFrameRect(bar, 0, plain, t, 1), Bounds(0, 19 + 5, 100, 23));
    EXPECT_EQ(NavButtonTextRect(bar, 0, plain, t, 1, 30), NavButtonRect(bar, 0, plain, t, 1, 30));
}

TEST(NavBarLayout, HitTest) {
    const TNavBarGeometry bar{120, 200, 19, 2, 0};
    // Large buttons with images: button 0's caption 40 wide gives 52 (left 34); row height 71.
    TNavPageGeometry page{olbsLarge, true, 48, 48, 11, 0, 4};
    const int t = 13, h = 71;
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 19 + 4 + 10}, 40), 0);
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 19 + 4 + h + 10}, 40), 1);
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {100, 19 + 4 + h + 10}, 40), -1)
        << "every row has button 0's horizontal extent";
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 5}, 40), -1) << "the header is no button";
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 190}, 40), -1)
        << "below the page area: the bottom header";
    // Scrolled by two: the first row is button 2; the buttons above it are never found.
    page.TopButtonIndex = 2;
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 19 + 4 + 10}, 40), 2);
    EXPECT_EQ(NavButtonAtPos(bar, page, t, {60, 19 + 4 + h + 10}, 40), 3);
    const TNavPageGeometry empty{olbsLarge, true, 48, 48, 11, 0, 0};
    EXPECT_EQ(NavButtonAtPos(bar, empty, t, {60, 30}, 40), -1);
    TNavBarGeometry none = bar;
    none.ActivePage = 5;
    EXPECT_EQ(NavButtonAtPos(none, page, t, {60, 30}, 40), -1);
}

} // namespace
