#include "tests/controls/NavBarTestSupport_win.h"

#include "controls/TkThemes_win.h"

// With the common controls 6 manifest (test_nav_bar_themed_win.rc): the themed look.
namespace {

class NavBarThemedTest : public NavBarPaintTest {
protected:
    void SetUp() override {
        NavBarPaintTest::SetUp();
        ASSERT_TRUE(CurrentThemeServices()->ThemesEnabled());
    }
};

TEST_F(NavBarThemedTest, APageWithoutAnExplorerBarThemeIsFilledNotLeftBlank) {
    TTkNavBar* bar = MakeBar(100, 200);
    TTkNavBarPage* page = bar->Pages()->Add();
    page->Buttons()->Add()->SetCaption("One");
    const bool explorerBar = CurrentThemeServices()->Theme(tcExplorerBar) != nullptr;
    auto shot = Shoot(bar);
    EXPECT_NE(shot.At(50, 150), 0u);
    if (!explorerBar)
        EXPECT_EQ(shot.At(50, 150), Rgb(clBtnShadow));
    // After the bar's colour changes the page follows it and is no longer themed.
    bar->SetColor(clNavy);
    EXPECT_EQ(Shoot(bar).At(50, 150), Rgb(clNavy));
    // Without the themed background a default page shows the bar's colour.
    page->SetParentColor(false);
    page->SetColor(clDefault);
    bar->SetThemedBackground(false);
    EXPECT_EQ(Shoot(bar).At(50, 150), Rgb(clNavy));
}

TEST_F(NavBarThemedTest, TheEmptyBarAndTheFramesAreThemed) {
    TTkNavBar* empty = MakeBar(60, 60);
    TNavDrawTrace trace;
    empty->OnCustomDraw = TTkNavBarCustomDrawEvent(&trace, &TNavDrawTrace::Draw);
    const auto blank = Shoot(empty);
    // The theme draws the background; the custom-draw stage is the classic path's.
    EXPECT_TRUE(trace.calls.empty());
    EXPECT_EQ(blank.Count(Rect(0, 0, 60, 60), 0), 0);

    TTkNavBar* bar = MakeBar(100, 200);
    bar->SetLargeImages(SolidImages(32, {clRed}));
    TTkNavBarPage* page = bar->Pages()->Add();
    page->SetCaption("Header");
    page->Buttons()->Add()->SetCaption("Down");
    page->Buttons()->Items(0)->SetDown(true);
    const auto shot = Shoot(bar);
    const TRect frame = bar->GetButtonFrameRect(0, 0);
    // A themed pressed button, not the classic black and white ring.
    EXPECT_NE(shot.At(frame.Left, frame.Top + 3), Rgb(clBlack));
    EXPECT_NE(shot.At(frame.Right - 1, frame.Bottom - 3), Rgb(clWhite));
    EXPECT_EQ(shot.At((frame.Left + frame.Right) / 2, frame.Top + 3 + 16), Rgb(clRed));
    // The header keeps its rings over the themed background.
    EXPECT_EQ(shot.At(0, 0), Rgb(clBtnHighlight));
    // Drawn over, not left black: only the caption is dark.
    EXPECT_LT(shot.Count(bar->GetPageButtonRect(0), 0), 100 * 19 / 4);
}

} // namespace
