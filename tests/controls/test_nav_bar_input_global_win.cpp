// The side bar under the real mouse and keyboard: headers choose pages, buttons click with a
// hot frame that follows the mouse and a sunken one while pressed, the scroll buttons appear
// when the buttons do not fit and repeat while held, and an accelerator clicks its button.

#include <functional>
#include <string>
#include <vector>

#include "tests/controls/NavBarTestSupport_win.h"
#include "tests/fixtures/MouseInput_win.h"

namespace {

struct TClicks {
    std::vector<int> buttons;
    std::vector<int> pages;
    void Button(TObject*, int index) { buttons.push_back(index); }
    void Page(TObject*, int index) { pages.push_back(index); }
};

class NavBarInputTest : public NavBarPaintTest {
protected:
    TTkNavBar* Bar(int width, int height) {
        TTkNavBar* bar = MakeBar(width, height);
        bar->SetBounds(20, 20, width, height);
        bar->OnButtonClick = TNavBarButtonClick(&clicks, &TClicks::Button);
        bar->OnPageChange = TNavBarPageChange(&clicks, &TClicks::Page);
        return bar;
    }
    static POINT At(TControl* c, int x, int y) {
        const TPoint p = c->ClientToScreen(Point(x, y));
        return {p.X, p.Y};
    }
    void ClickAt(POINT p) {
        ASSERT_TRUE(mouse_input::Click(p));
        RunFor(150);
    }
    TClicks clicks;
};

TEST_F(NavBarInputTest, HeadersChooseThePageWhenPressedAndReleasedOnThem) {
    TTkNavBar* bar = Bar(100, 200);
    for (const char* caption : {"One", "Two", "Three"})
        bar->Pages()->Add()->SetCaption(caption);
    ShowForm();
    ClickAt(At(bar, 50, 190)); // the bottom header, page 2
    EXPECT_EQ(bar->ActivePageIndex(), 2);
    EXPECT_EQ(clicks.pages, (std::vector<int>{2}));
    // Page 1's header is at the top now; pressed there and released in the page area: nothing.
    ASSERT_TRUE(mouse_input::Press(At(bar, 50, 28)));
    RunFor(100);
    EXPECT_EQ(bar->PressedPage(), 1);
    EXPECT_EQ(bar->DownPage(), 1);
    ASSERT_TRUE(mouse_input::MoveTo(At(bar, 50, 120)));
    RunFor(100);
    EXPECT_EQ(bar->DownPage(), -1);
    ASSERT_TRUE(mouse_input::Release(At(bar, 50, 120)));
    RunFor(100);
    EXPECT_EQ(bar->ActivePageIndex(), 2);
    // Pressed, moved off and back on, released: the page changes.
    ASSERT_TRUE(mouse_input::Press(At(bar, 50, 28)));
    RunFor(50);
    ASSERT_TRUE(mouse_input::MoveTo(At(bar, 50, 120)));
    RunFor(50);
    ASSERT_TRUE(mouse_input::MoveTo(At(bar, 40, 28)));
    RunFor(50);
    EXPECT_EQ(bar->DownPage(), 1);
    ASSERT_TRUE(mouse_input::Release(At(bar, 40, 28)));
    RunFor(100);
    EXPECT_EQ(bar->ActivePageIndex(), 1);
    // A disabled header cannot be chosen.
    bar->Pages()->Items(2)->SetEnabled(false);
    ClickAt(At(bar, 50, 190));
    EXPECT_EQ(bar->ActivePageIndex(), 1);
}

TEST_F(NavBarInputTest, ButtonsClickWithAHotFrameAndASunkenOneWhilePressed) {
    // The manager's bar: one page without headers, four large buttons with 48 x 48 images.
    TTkNavBar* bar = Bar(122, 320);
    bar->SetPageButtonHeight(0);
    bar->SetLargeImages(SolidImages(48, {clTeal, clOlive, clPurple, clNavy}));
    TTkNavBarPage* page = bar->Pages()->Add();
    for (const char* caption : {"Desktops", "Settings", "Wallpapers", "About"})
        page->Buttons()->Add()->SetCaption(caption);
    ShowForm();
    for (int b = 0; b < 4; ++b) {
        const TRect f = bar->GetButtonFrameRect(0, b);
        ClickAt(At(bar, (f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2));
    }
    EXPECT_EQ(clicks.buttons, (std::vector<int>{0, 1, 2, 3}));

    // Hovering: the hot frame, white at the top left, black at the bottom right.
    clicks.buttons.clear();
    const TRect f1 = bar->GetButtonFrameRect(0, 1);
    ASSERT_TRUE(mouse_input::MoveTo(At(bar, (f1.Left + f1.Right) / 2, f1.Top + 10)));
    ASSERT_TRUE(RunUntil([&] { return bar->HotButton() == 1; }));
    EXPECT_EQ(bar->HotFrame(), f1);
    auto shot = Shoot(bar);
    EXPECT_EQ(shot.At(f1.Left, f1.Top + 10), Rgb(clWhite));
    EXPECT_EQ(shot.At(f1.Right - 1, f1.Bottom - 10), Rgb(clBlack));
    // Pressed: sunken.
    ASSERT_TRUE(mouse_input::Press(At(bar, (f1.Left + f1.Right) / 2, f1.Top + 10)));
    ASSERT_TRUE(RunUntil([&] { return bar->PressedButton() == 1; }));
    shot = Shoot(bar);
    EXPECT_EQ(shot.At(f1.Left, f1.Top + 10), Rgb(clBlack));
    EXPECT_EQ(shot.At(f1.Right - 1, f1.Bottom - 10), Rgb(clWhite));
    // Released over another button: no click, that one is hot.
    const TRect f2 = bar->GetButtonFrameRect(0, 2);
    ASSERT_TRUE(mouse_input::MoveTo(At(bar, (f2.Left + f2.Right) / 2, f2.Top + 10)));
    RunFor(50);
    ASSERT_TRUE(mouse_input::Release(At(bar, (f2.Left + f2.Right) / 2, f2.Top + 10)));
    RunFor(100);
    EXPECT_TRUE(clicks.buttons.empty());
    EXPECT_EQ(bar->HotButton(), 2);
    EXPECT_EQ(bar->PressedButton(), -1);
    // Leaving the bar takes the frame away.
    ASSERT_TRUE(mouse_input::MoveTo(At(form, 300, 200)));
    ASSERT_TRUE(RunUntil([&] { return bar->HotButton() == -1; }));
    shot = Shoot(bar);
    EXPECT_EQ(shot.At(f2.Left, f2.Top + 10), Rgb(clBtnShadow));
    // A disabled button does not click.
    page->Buttons()->Items(3)->SetEnabled(false);
    const TRect f3 = bar->GetButtonFrameRect(0, 3);
    ClickAt(At(bar, (f3.Left + f3.Right) / 2, (f3.Top + f3.Bottom) / 2));
    EXPECT_TRUE(clicks.buttons.empty());
}

TEST_F(NavBarInputTest, ScrollButtonsAppearOnOverflowAndRepeatWhileHeld) {
    TTkNavBar* bar = Bar(100, 200);
    TTkNavBarPage* page = bar->Pages()->Add();
    for (int i = 0; i < 20; ++i)
        page->Buttons()->Add()->SetCaption("Item " + std::to_string(i));
    ShowForm();
    RunFor(100);
    TTkThemedTopBottomButton* up = bar->UpButton();
    TTkThemedTopBottomButton* down = bar->DownButton();
    const TRect area = bar->GetPageRect(0);
    EXPECT_FALSE(up->Visible());
    ASSERT_TRUE(down->Visible());
    EXPECT_EQ(down->BoundsRect(), Rect(80, area.Bottom - 20, 96, area.Bottom - 4));
    EXPECT_TRUE(down->Enabled());

    ClickAt(At(down, 8, 8));
    EXPECT_EQ(page->TopButtonIndex(), 1);
    RunFor(50);
    ASSERT_TRUE(up->Visible());
    EXPECT_EQ(up->BoundsRect(), Rect(80, area.Top + 4, 96, area.Top + 20));
    ClickAt(At(up, 8, 8));
    EXPECT_EQ(page->TopButtonIndex(), 0);
    RunFor(50);
    EXPECT_FALSE(up->Visible());

    // Held for a second: about seven repeats (400, 500 ... 1000 ms) and one on release; the
    // timers of a loaded machine may fire late, so the bounds are loose.
    ASSERT_TRUE(mouse_input::Press(At(down, 8, 8)));
    RunFor(1050);
    EXPECT_TRUE(down->Repeating());
    ASSERT_TRUE(mouse_input::Release(At(down, 8, 8)));
    RunFor(100);
    EXPECT_FALSE(down->Repeating());
    EXPECT_GE(page->TopButtonIndex(), 3);
    EXPECT_LE(page->TopButtonIndex(), 8);

    // Held long enough to reach the end: never past the last button, and the down button goes.
    ASSERT_TRUE(mouse_input::Press(At(down, 8, 8)));
    RunUntil([&] { return !down->Visible(); }, 4000);
    ASSERT_TRUE(mouse_input::Release(At(down, 8, 8)));
    RunFor(100);
    EXPECT_FALSE(down->Visible());
    EXPECT_FALSE(down->Repeating()) << "hiding frees the timer";
    EXPECT_LE(page->TopButtonIndex(), 19);
    const int h = bar->GetButtonHeight(0);
    EXPECT_GE((area.Bottom - area.Top), h * (20 - page->TopButtonIndex()));

    // A page area of 20 pixels or less has none.
    bar->SetBounds(20, 20, 100, 19 + 20);
    RunFor(100);
    Shoot(bar);
    EXPECT_FALSE(up->Visible());
    EXPECT_FALSE(down->Visible());
}

TEST_F(NavBarInputTest, AnAcceleratorClicksItsButtonOrChoosesItsPage) {
    TTkNavBar* bar = Bar(100, 200);
    TTkNavBarPage* page = bar->Pages()->Add();
    page->SetCaption("&Home");
    page->Buttons()->Add()->SetCaption("&Desktops");
    page->Buttons()->Add()->SetCaption("&Settings");
    bar->Pages()->Add()->SetCaption("&Zone");
    ShowForm();
    mouse_input::Key('S');
    ASSERT_TRUE(RunUntil([&] { return !clicks.buttons.empty(); }));
    EXPECT_EQ(clicks.buttons, (std::vector<int>{1}));
    mouse_input::Key('Z');
    ASSERT_TRUE(RunUntil([&] { return bar->ActivePageIndex() == 1; }));
    // The context-menu request remembers what was under the mouse.
    const TPoint header = bar->ClientToScreen(Point(50, 10));
    bar->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar->Handle()),
                 MAKELPARAM(header.X, header.Y));
    EXPECT_EQ(bar->PopupObject(), bar->Pages()->Items(0));
}

TEST_F(NavBarInputTest, DISABLED_ShowcaseScrolledHotAndPressed) {
    form->SetBounds(40, 40, 300, 300);
    TTkNavBar* bar = Bar(122, 220);
    bar->SetLargeImages(SolidImages(32, {clRed, clGreen, clBlue}));
    for (const char* caption : {"Mail", "Notes"}) {
        TTkNavBarPage* page = bar->Pages()->Add();
        page->SetCaption(caption);
        for (int i = 0; i < 6; ++i) {
            TTkNavBarButton* b = page->Buttons()->Add();
            b->SetCaption(std::string(caption) + " " + std::to_string(i + 1));
            b->SetImageIndex(i % 3);
        }
    }
    ShowForm();
    bar->Pages()->Items(0)->SetTopButtonIndex(1);
    const TRect f = bar->GetButtonFrameRect(0, 2);
    mouse_input::MoveTo(At(bar, (f.Left + f.Right) / 2, f.Top + 10));
    RunFor(300);
    mouse_input::Press(At(bar, (f.Left + f.Right) / 2, f.Top + 10));
    RunFor(60000);
}

} // namespace
