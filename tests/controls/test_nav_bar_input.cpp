#include <gtest/gtest.h>

#include <vector>

#include "controls/NavBarInput.h"

namespace {

bool Inside(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Two pages (page 0 active, its header at the top, page 1's at the bottom) and three buttons
// on page 0, the third disabled.
class FakeView : public INavInputView {
public:
    std::vector<TRect> headers = {Rect(0, 0, 100, 19), Rect(0, 181, 100, 200)};
    std::vector<bool> pageEnabled = {true, true};
    std::vector<TRect> buttons = {Rect(0, 19, 100, 60), Rect(0, 60, 100, 100),
                                  Rect(0, 100, 100, 140)};
    std::vector<bool> buttonEnabled = {true, true, false};
    int active = 0;
    bool themed = false;

    int PageAt(TPoint p) override {
        for (int i = 0; i < static_cast<int>(headers.size()); ++i)
            if (Inside(headers[i], p))
                return i;
        return -1;
    }
    int ButtonAt(TPoint p) override {
        for (int i = 0; i < static_cast<int>(buttons.size()); ++i)
            if (Inside(buttons[i], p))
                return i;
        return -1;
    }
    TRect HeaderRect(int page) override { return headers[page]; }
    bool PageEnabled(int page) override { return pageEnabled[page]; }
    bool ButtonEnabled(int b) override { return buttonEnabled[b]; }
    TRect FrameRect(int b) override {
        const TRect r = buttons[b];
        return Rect(r.Left + 20, r.Top + 2, r.Right - 20, r.Bottom - 2);
    }
    int ActivePage() override { return active; }
    bool Themed() override { return themed; }
};

constexpr TPoint kHeader0{50, 10}, kHeader1{50, 190}, kButton0{50, 30}, kButton1{50, 80},
    kButton2{50, 120}, kEmpty{50, 160};

using Repaints = std::vector<TNavRepaint>;

TEST(NavBarInput, AButtonClicksOnlyWhenPressedAndReleasedOnIt) {
    FakeView v;
    TNavInputState s;
    auto e = NavMouseDown(s, v, kButton0, false);
    EXPECT_EQ(s.HotButton, 0);
    EXPECT_EQ(s.PressedButton, 0);
    EXPECT_EQ(s.HotFrame, v.FrameRect(0));
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(0), false}}));
    e = NavMouseUp(s, v, kButton0, false);
    EXPECT_EQ(e.ClickButton, 0);
    EXPECT_EQ(s.PressedButton, -1);
    EXPECT_EQ(s.HotButton, 0);

    // Pressed on one, released on another: no click, the other is hot.
    NavMouseDown(s, v, kButton0, false);
    e = NavMouseUp(s, v, kButton1, false);
    EXPECT_EQ(e.ClickButton, -1);
    EXPECT_EQ(s.HotButton, 1);
    EXPECT_EQ(s.PressedButton, -1);
    EXPECT_EQ(s.HotFrame, v.FrameRect(1));
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(1), false}}));

    // Released where no button is: nothing hot, the old frame repainted away.
    NavMouseDown(s, v, kButton0, false);
    e = NavMouseUp(s, v, kEmpty, false);
    EXPECT_EQ(e.ClickButton, -1);
    EXPECT_EQ(s.HotButton, -1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(0), false}}));

    // The right button does nothing here.
    TNavInputState before = s;
    EXPECT_TRUE(NavMouseDown(s, v, kButton1, true).Repaint.empty());
    EXPECT_EQ(s, before);
    EXPECT_EQ(NavMouseUp(s, v, kButton1, true).ClickButton, -1);
}

TEST(NavBarInput, DisabledButtonsAndPagesAreIgnored) {
    FakeView v;
    TNavInputState s;
    auto e = NavMouseDown(s, v, kButton2, false);
    EXPECT_EQ(s.PressedButton, -1);
    EXPECT_EQ(NavMouseUp(s, v, kButton2, false).ClickButton, -1);

    v.pageEnabled[0] = false;
    s = {};
    NavMouseDown(s, v, kButton0, false);
    EXPECT_EQ(s.PressedButton, -1);
    EXPECT_EQ(NavMouseUp(s, v, kButton0, false).ClickButton, -1);
    e = NavMouseMove(s, v, kButton1);
    EXPECT_EQ(s.HotButton, -1);

    // A disabled header cannot be pressed, so releasing on it changes nothing.
    v.pageEnabled = {true, false};
    s = {};
    NavMouseDown(s, v, kHeader1, false);
    EXPECT_EQ(s.PressedPage, -1);
    EXPECT_EQ(NavMouseUp(s, v, kHeader1, false).ChangePage, -1);
}

TEST(NavBarInput, AHeaderChangesThePageWhenPressedAndReleasedOnIt) {
    FakeView v;
    TNavInputState s;
    auto e = NavMouseDown(s, v, kHeader1, false);
    EXPECT_EQ(s.PressedPage, 1);
    EXPECT_EQ(s.DownPage, 1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}}));
    // Off it: no longer drawn down, still pressed; back on: drawn down again.
    e = NavMouseMove(s, v, kEmpty);
    EXPECT_EQ(s.DownPage, -1);
    EXPECT_EQ(s.PressedPage, 1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}}));
    e = NavMouseMove(s, v, kHeader1);
    EXPECT_EQ(s.DownPage, 1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}}));
    e = NavMouseUp(s, v, kHeader1, false);
    EXPECT_EQ(e.ChangePage, 1);
    EXPECT_EQ(s.PressedPage, -1);

    // Released off it: nothing.
    s = {};
    NavMouseDown(s, v, kHeader1, false);
    NavMouseMove(s, v, kButton0);
    EXPECT_EQ(NavMouseUp(s, v, kButton0, false).ChangePage, -1);

    // The active page's header: pressed, but nothing drawn and no change.
    s = {};
    e = NavMouseDown(s, v, kHeader0, false);
    EXPECT_EQ(s.PressedPage, 0);
    EXPECT_EQ(s.DownPage, -1);
    EXPECT_TRUE(e.Repaint.empty());
    EXPECT_EQ(NavMouseUp(s, v, kHeader0, false).ChangePage, -1);

    // A press elsewhere ends a pressed header and repaints it.
    s = {};
    NavMouseDown(s, v, kHeader1, false);
    e = NavMouseDown(s, v, kEmpty, false);
    EXPECT_EQ(s.PressedPage, -1);
    EXPECT_EQ(s.DownPage, -1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}}));
}

TEST(NavBarInput, MovesRepaintOnlyTheFramesThatChange) {
    FakeView v;
    TNavInputState s;
    auto e = NavMouseMove(s, v, kButton0);
    EXPECT_EQ(s.HotButton, 0);
    EXPECT_EQ(e.Repaint, (Repaints{{TRect{}, true}, {v.FrameRect(0), false}}));
    e = NavMouseMove(s, v, Point(60, 31));
    EXPECT_TRUE(e.Repaint.empty()) << "still the same button";
    e = NavMouseMove(s, v, kButton1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(0), true}, {v.FrameRect(1), false}}));
    // Onto a disabled button: the frame goes.
    e = NavMouseMove(s, v, kButton2);
    EXPECT_EQ(s.HotButton, -1);
    EXPECT_EQ(s.HotFrame, TRect{});
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(1), false}}));
    e = NavMouseMove(s, v, kEmpty);
    EXPECT_TRUE(e.Repaint.empty());

    // With themes the header under the mouse is hot.
    v.themed = true;
    e = NavMouseMove(s, v, kHeader1);
    EXPECT_EQ(s.HotPage, 1);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}}));
    e = NavMouseMove(s, v, kHeader0);
    EXPECT_EQ(s.HotPage, 0);
    EXPECT_EQ(e.Repaint, (Repaints{{v.headers[1], false}, {v.headers[0], false}}));
}

TEST(NavBarInput, LeavingDropsTheHotItemsButKeepsThePressedOnes) {
    FakeView v;
    v.themed = true;
    TNavInputState s;
    NavMouseDown(s, v, kHeader1, false);
    NavMouseMove(s, v, kHeader1);
    auto e = NavMouseLeave(s, v);
    EXPECT_EQ(s.DownPage, -1);
    EXPECT_EQ(s.HotPage, -1);
    EXPECT_EQ(s.PressedPage, 1);
    EXPECT_EQ(e.Repaint, (Repaints{{TRect{}, false}, {v.headers[1], false}}));

    s = {};
    NavMouseDown(s, v, kButton0, false);
    e = NavMouseLeave(s, v);
    EXPECT_EQ(s.HotButton, -1);
    EXPECT_EQ(s.PressedButton, 0);
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(0), false}}));
    e = NavMouseEnter(s);
    EXPECT_EQ(e.Repaint, (Repaints{{v.FrameRect(0), false}}));
}

TEST(NavBarInput, ScrollButtonsShowOnlyWhenTheButtonsDoNotFit) {
    struct Case {
        const char* what;
        bool valid;
        int buttons, top;
        TRect page;
        int h;
        bool up, down;
    } cases[] = {
        {"all fit", true, 3, 0, Rect(0, 19, 100, 181), 50, false, false},
        {"overflow", true, 4, 0, Rect(0, 19, 100, 181), 50, false, true},
        {"scrolled, rest fits", true, 4, 1, Rect(0, 19, 100, 181), 50, true, false},
        {"scrolled, rest overflows", true, 6, 1, Rect(0, 19, 100, 181), 50, true, true},
        {"exactly fits", true, 4, 0, Rect(0, 0, 100, 200), 50, false, false},
        {"page of 20 pixels", true, 9, 3, Rect(0, 19, 100, 39), 50, false, false},
        {"page of 21 pixels", true, 9, 3, Rect(0, 19, 100, 40), 50, true, true},
        {"no buttons", true, 0, 0, Rect(0, 19, 100, 181), 50, false, false},
        {"no page", false, 5, 1, Rect(0, 19, 100, 181), 50, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TNavScrollButtons b =
            NavScrollButtonPlaces(c.valid, true, 2, c.buttons, c.top, c.page, c.h, 100);
        EXPECT_EQ(b.UpVisible, c.up);
        EXPECT_EQ(b.DownVisible, c.down);
        if (c.up)
            EXPECT_EQ(b.Up, Rect(80, c.page.Top + 4, 96, c.page.Top + 20));
        if (c.down)
            EXPECT_EQ(b.Down, Rect(80, c.page.Bottom - 20, 96, c.page.Bottom - 4));
    }
    EXPECT_FALSE(
        NavScrollButtonPlaces(true, false, 1, 5, 1, Rect(0, 0, 100, 100), 50, 100).Enabled);
}

TEST(NavBarInput, AcceleratorsPickAnEnabledButtonFirstThenAPage) {
    const std::vector<TNavAccelItem> buttons = {{"&Mail", false}, {"&Map"}, {"&Notes"}};
    const std::vector<TNavAccelItem> pages = {{"&Home"}, {"&Mine"}, {"&Zone", false}};
    struct Case {
        char key;
        bool usable;
        TNavAccelChoice choice;
    } cases[] = {
        {'m', true, {true, 1}}, // the disabled first button is passed over
        {'M', true, {true, 1}}, // without regard to case
        {'n', true, {true, 2}},
        {'m', false, {false, 1}}, // the active page unusable: the pages only
        {'h', true, {false, 0}},
        {'z', true, {}}, // a disabled page does not answer
        {'q', true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(NavAccelerator(c.key, c.usable, buttons, pages), c.choice);
    }
}

} // namespace
