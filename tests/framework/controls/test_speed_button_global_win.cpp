// The framework's speed button under the real mouse: the click on release over the button only,
// the states while held, groups that keep one button down, and the glyph's transparent colour.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/controls/SpeedButton_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Clicks : TObject {
    std::vector<std::string> log;
    void Click(TObject* s) { log.push_back(static_cast<TControl*>(s)->Caption()); }
};

class FwSpeedButtonTest : public ControlsTest {
protected:
    TSpeedButton* Button(const std::string& caption, int x) {
        auto* b = Create<TSpeedButton>(form);
        b->SetCaption(caption);
        b->SetBounds(x, 20, 40, 25);
        b->OnClick = TNotifyEvent(&clicks, &Clicks::Click);
        b->SetParent(form);
        return b;
    }
    static POINT At(TControl* b, int dx = 20, int dy = 12) {
        const TPoint p = b->ClientToScreen(Point(dx, dy));
        return POINT{p.X, p.Y};
    }
    void ClickAt(POINT p) {
        ASSERT_TRUE(mouse_input::Click(p));
        PumpFor(150);
    }
    Clicks clicks;
};

TEST_F(FwSpeedButtonTest, TheClickComesOnReleaseOverTheButtonOnly) {
    TSpeedButton* b = Button("A", 20);
    ShowForm();
    ASSERT_TRUE(mouse_input::Press(At(b)));
    PumpFor(100);
    EXPECT_EQ(b->State(), TSpeedButtonState::Down);
    EXPECT_TRUE(clicks.log.empty()) << "nothing on the press";
    // Held and moved off: up; back on: down again; released outside: no click.
    ASSERT_TRUE(mouse_input::MoveTo(At(b, 20, 40)));
    PumpFor(100);
    EXPECT_EQ(b->State(), TSpeedButtonState::Up);
    ASSERT_TRUE(mouse_input::MoveTo(At(b, 10, 10)));
    PumpFor(100);
    EXPECT_EQ(b->State(), TSpeedButtonState::Down);
    ASSERT_TRUE(mouse_input::MoveTo(At(b, 20, 40)));
    PumpFor(50);
    ASSERT_TRUE(mouse_input::Release(At(b, 20, 40)));
    PumpFor(100);
    EXPECT_TRUE(clicks.log.empty());
    EXPECT_EQ(b->State(), TSpeedButtonState::Up);
    // Released inside: one click.
    ClickAt(At(b));
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"A"}));
    EXPECT_EQ(b->State(), TSpeedButtonState::Up);
    EXPECT_FALSE(b->Down()) << "outside a group a button never stays down";
    // A disabled button does nothing.
    b->SetEnabled(false);
    EXPECT_EQ(b->State(), TSpeedButtonState::Disabled);
    ClickAt(At(b));
    EXPECT_EQ(clicks.log.size(), 1u);
}

TEST_F(FwSpeedButtonTest, AGroupKeepsOneButtonDown) {
    TSpeedButton* a = Button("A", 20);
    TSpeedButton* c = Button("B", 70);
    TSpeedButton* other = Button("C", 120);
    for (TSpeedButton* b : {a, c})
        b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    other->SetDown(true);
    ShowForm();
    ClickAt(At(a));
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), TSpeedButtonState::Exclusive);
    ClickAt(At(c));
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_EQ(a->State(), TSpeedButtonState::Up);
    EXPECT_TRUE(other->Down()) << "another group is left alone";
    // Without all-up the down button stays down when clicked again; with it, it goes up.
    ClickAt(At(c));
    EXPECT_TRUE(c->Down());
    c->SetAllowAllUp(true);
    ClickAt(At(c));
    EXPECT_FALSE(c->Down());
    EXPECT_EQ(clicks.log, (std::vector<std::string>{"A", "B", "B", "B"}));
    // Down set in code releases the group as well.
    a->SetDown(true);
    c->SetDown(true);
    EXPECT_FALSE(a->Down());
}

TEST_F(FwSpeedButtonTest, TheGlyphsBottomLeftColourIsTransparent) {
    auto* glyph = Create<TBitmap>();
    glyph->SetPixelFormat(pf24bit);
    glyph->SetSize(8, 8);
    glyph->Canvas()->Brush()->SetColor(clFuchsia);
    glyph->Canvas()->FillRect(Rect(0, 0, 8, 8));
    glyph->Canvas()->Brush()->SetColor(clBlue);
    glyph->Canvas()->FillRect(Rect(2, 2, 6, 6));
    TSpeedButton* b = Button("", 20);
    b->SetGlyph(glyph);
    glyph->Free();
    ShowForm();
    auto pixels = [&] {
        return DrawnPixels([b](HDC dc) { b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); },
                           40, 25);
    };
    auto count = [](const std::vector<COLORREF>& p, COLORREF c) {
        int n = 0;
        for (COLORREF x : p)
            n += x == c ? 1 : 0;
        return n;
    };
    const auto up = pixels();
    EXPECT_EQ(count(up, RGB(255, 0, 255)), 0);
    EXPECT_EQ(count(up, RGB(0, 0, 255)), 16);
    // The glyph sits in the middle, on the face colour.
    EXPECT_EQ(up[static_cast<std::size_t>(12) * 40 + 20], RGB(0, 0, 255));
    const COLORREF face = static_cast<COLORREF>(ColorToRGB(clBtnFace)) & 0xFFFFFF;
    EXPECT_EQ(up[static_cast<std::size_t>(9) * 40 + 17], face);
    // Disabled: the shape embossed, no blue left.
    b->SetEnabled(false);
    const auto off = pixels();
    EXPECT_EQ(count(off, RGB(0, 0, 255)), 0);
    EXPECT_EQ(count(off, RGB(255, 0, 255)), 0);
    const COLORREF shadow = static_cast<COLORREF>(ColorToRGB(clBtnShadow)) & 0xFFFFFF;
    EXPECT_GE(count(off, shadow), 16);
}

} // namespace
