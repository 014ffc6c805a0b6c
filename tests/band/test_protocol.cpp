// The band's arithmetic: messages per button, the stored desktop count, the buttons and widths
// per count and taskbar edge, the looks per active desktop and the button places.
#include <gtest/gtest.h>

#include "band/BandProtocol.h"

using namespace band;

TEST(BandProtocol, MessagesForButtons) {
    struct Case {
        int n;
        std::uint32_t switchMsg, menuMsg;
    } cases[] = {{0, 0, 0},         {1, 0x401, 0x408}, {2, 0x402, 0x409}, {3, 0x403, 0x40A},
                 {4, 0x404, 0x40B}, {5, 0, 0},         {-1, 0, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(SwitchMessage(c.n), c.switchMsg) << c.n;
        EXPECT_EQ(DeskMenuMessage(c.n), c.menuMsg) << c.n;
    }
}

TEST(BandProtocol, StoredDesktopCount) {
    struct Case {
        const char* text;
        int count;
    } cases[] = {{"3", 3}, {"2", 2},  {"7", 7},   {"", 4},
                 {"x", 4}, {"3x", 4}, {"-1", -1}, {"99999999999", 4}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseNumDesks(c.text), c.count) << '"' << c.text << '"';
}

TEST(BandProtocol, ButtonsAndWidthPerCount) {
    const TButtonSet start{true, true, 67};
    struct Case {
        int count;
        bool third, fourth;
        int width;
    } cases[] = {{2, false, false, 33}, {3, true, false, 50}, {4, true, true, 67},
                 {7, true, true, 67},   {0, true, true, 67},  {1, true, true, 67}};
    for (const Case& c : cases) {
        const TButtonSet s = ButtonsFor(c.count, start);
        EXPECT_EQ(s.ThirdVisible, c.third) << c.count;
        EXPECT_EQ(s.FourthVisible, c.fourth) << c.count;
        EXPECT_EQ(s.Width, c.width) << c.count;
    }
    // An unknown count keeps whatever the band had, not the start.
    const TButtonSet two = ButtonsFor(2, start);
    EXPECT_EQ(ButtonsFor(9, two).Width, 33);
}

TEST(BandProtocol, WidthTheShellIsTold) {
    struct Case {
        bool third, fourth;
        TEdge edge;
        int width;
    } cases[] = {{true, true, TEdge::Bottom, 67},   {true, false, TEdge::Top, 50},
                 {false, false, TEdge::Bottom, 33}, {false, true, TEdge::Bottom, 33},
                 {true, true, TEdge::Left, 24},     {true, false, TEdge::Right, 24},
                 {true, true, TEdge::Unknown, 67}};
    for (const Case& c : cases)
        EXPECT_EQ(BandInfoWidth(c.third, c.fourth, c.edge), c.width);
}

TEST(BandProtocol, LooksPerActiveDesktop) {
    // Desktop 2 active: images 1, 2, 5, 7 on buttons 1 to 4.
    const int expected2[] = {1, 2, 5, 7};
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(ButtonImage(n, 2), expected2[n - 1]) << n;
    for (int active = 1; active <= 4; ++active)
        EXPECT_EQ(ButtonImage(active, active), 2 * active - 2);
    EXPECT_EQ(ButtonImage(0, 1), -1);
    EXPECT_EQ(ButtonImage(5, 1), -1);
}

TEST(BandProtocol, ButtonPlacesAlongEitherTaskbar) {
    for (int n = 1; n <= 4; ++n) {
        const TPoint2 h = ButtonOrigin(n, false);
        EXPECT_EQ(h.X, (n - 1) * 17);
        EXPECT_EQ(h.Y, 8);
        // Stacked, they fit the 24 pixels a vertical taskbar gives the band.
        const TPoint2 v = ButtonOrigin(n, true);
        EXPECT_EQ(v.Y, (n - 1) * 17);
        EXPECT_LE(v.X + kButtonSize, kVerticalWidth);
        EXPECT_GE(v.X, 0);
    }
}
