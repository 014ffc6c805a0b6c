#include "tests/controls/NavBarTestSupport_win.h"

#include "framework/controls/Action.h"
#include "framework/graphics/Font_win.h"
#include "framework/graphics/Picture_win.h"

// Without the common controls 6 manifest: the classic look.
namespace {

TEST_F(NavBarPaintTest, TheStagesComeInOrderWithTheirArguments) {
    TTkNavBar* bar = MakeBar(100, 200);
    for (const char* caption : {"One", "Two", "Three"})
        bar->Pages()->Add()->SetCaption(caption);
    TTkNavBarPage* page = bar->Pages()->Items(1);
    page->Buttons()->Add()->SetCaption("Plain");
    page->Buttons()->Add()->SetCaption("Pressed");
    page->Buttons()->Items(1)->SetDown(true);
    bar->SetActivePageIndex(1);
    TNavDrawTrace trace;
    bar->OnCustomDraw = TTkNavBarCustomDrawEvent(&trace, &TNavDrawTrace::Draw);
    Shoot(bar);

    const int h = bar->GetButtonHeight(1);
    const TRect row0 = bar->GetButtonRect(1, 0);
    const TRect row1 = Rect(row0.Left, row0.Top + h, row0.Right, row0.Bottom + h);
    const std::vector<TNavDrawCall> expected = {
        {odsPageButton, Rect(0, 0, 100, 19), 0, false, false},
        {odsPageButton, Rect(0, 19, 100, 38), 1, false, true},
        {odsPage, Rect(0, 38, 100, 181), 1, false, true},
        {odsButton, row0, 0, false, false},
        {odsButtonFrame, bar->GetButtonFrameRect(1, 1), 1, true, true},
        {odsButton, row1, 1, true, false},
        {odsPageButton, Rect(0, 181, 100, 200), 2, false, false},
    };
    EXPECT_EQ(trace.calls, expected);

    // Without pages only the background is announced.
    TTkNavBar* empty = MakeBar(60, 60);
    TNavDrawTrace emptyTrace;
    empty->OnCustomDraw = TTkNavBarCustomDrawEvent(&emptyTrace, &TNavDrawTrace::Draw);
    const auto shot = Shoot(empty);
    EXPECT_EQ(emptyTrace.calls,
              (std::vector<TNavDrawCall>{{odsBackground, Rect(0, 0, 60, 60), -1, false, false}}));
    EXPECT_EQ(shot.Count(Rect(0, 0, 60, 60), Rgb(clBtnShadow)), 60 * 60);
}

TEST_F(NavBarPaintTest, AHandlerTakesOverOneElementAtATime) {
    TTkNavBar* bar = MakeBar(100, 200);
    bar->Pages()->Add()->SetCaption("One");
    bar->Pages()->Add()->SetCaption("Two");
    bar->Pages()->Items(0)->Buttons()->Add()->SetCaption("Caption");
    TNavDrawTrace trace;
    bar->OnCustomDraw = TTkNavBarCustomDrawEvent(&trace, &TNavDrawTrace::Draw);
    const TRect area = bar->GetPageRect(0);
    const TRect text = bar->GetButtonTextRect(0, 0);

    // The bar's own page area with the caption on it.
    auto shot = Shoot(bar);
    EXPECT_EQ(shot.Count(area, Rgb(clLime)), 0);
    EXPECT_GT(shot.Count(text, 0xFFFFFF), 0);

    // The page taken over: the handler's fill, and the bar still draws the caption on it.
    trace.own = {odsPage};
    shot = Shoot(bar);
    EXPECT_GT(shot.Count(area, Rgb(clLime)), 0);
    EXPECT_GT(shot.Count(text, 0xFFFFFF), 0);
    EXPECT_EQ(shot.At(50, 100), Rgb(clLime));

    // The button taken over as well: no caption of the bar's.
    trace.own = {odsPage, odsButton};
    trace.ownColor = clYellow;
    shot = Shoot(bar);
    EXPECT_EQ(shot.Count(text, 0xFFFFFF), 0);

    // A header taken over keeps the bar's rings off it.
    trace.own = {odsPageButton};
    trace.ownColor = clFuchsia;
    shot = Shoot(bar);
    EXPECT_EQ(shot.Count(bar->GetPageButtonRect(0), Rgb(clFuchsia)), 100 * 19);
    EXPECT_EQ(shot.Count(bar->GetPageButtonRect(1), Rgb(clFuchsia)), 100 * 19);
}

TEST_F(NavBarPaintTest, ClassicHeadersHaveTheirRingsAndADisabledCaptionIsEmbossed) {
    struct Case {
        TFormBorderStyle border;
        std::vector<std::pair<TPoint, TColor>> probes; // header pixels, header at the top
    };
    for (TFormBorderStyle border : {bsNone, bsSingle}) {
        SCOPED_TRACE(int(border));
        TTkNavBar* bar = MakeBar(100, 120);
        bar->SetBorderStyle(border);
        bar->SetBounds(0, 0, 100, 120);
        bar->Pages()->Add()->SetCaption("Header");
        const TRect r = bar->GetPageButtonRect(0);
        const int w = r.Right;
        auto shot = Shoot(bar);
        EXPECT_EQ(shot.At(0, 0), Rgb(clBtnHighlight));
        EXPECT_EQ(shot.At(w - 1, 18), Rgb(border == bsSingle ? cl3DDkShadow : clBtnShadow));
        if (border == bsSingle) {
            EXPECT_EQ(shot.At(1, 1), Rgb(clBtnFace));
            EXPECT_EQ(shot.At(w - 2, 17), Rgb(clBtnShadow));
        }
        EXPECT_EQ(shot.At(4, 9), Rgb(clBtnFace));
        // An enabled caption is in the bar font's colour, nothing grey.
        const TRect inside = Rect(2, 2, w - 2, 17);
        EXPECT_GT(shot.Count(inside, Rgb(bar->Font()->Color())), 0);
        EXPECT_EQ(shot.Count(inside, Rgb(clGrayText)), 0);

        bar->Pages()->Items(0)->SetEnabled(false);
        shot = Shoot(bar);
        const int grey = shot.Count(inside, Rgb(clGrayText));
        const int white = shot.Count(inside, 0xFFFFFF);
        EXPECT_GT(grey, 0);
        EXPECT_GT(white, 0);
        EXPECT_EQ(shot.Count(inside, Rgb(bar->Font()->Color())), 0);
        bar->Free();
    }
}

TEST_F(NavBarPaintTest, ThePageFollowsTheBarsColourAndItsPicture) {
    TTkNavBar* bar = MakeBar(100, 200);
    TTkNavBarPage* page = bar->Pages()->Add();
    EXPECT_EQ(Shoot(bar).At(50, 100), Rgb(clBtnShadow));
    bar->SetColor(clNavy);
    EXPECT_EQ(page->Color(), clNavy);
    EXPECT_EQ(Shoot(bar).At(50, 100), Rgb(clNavy));
    page->SetColor(clMaroon);
    EXPECT_EQ(Shoot(bar).At(50, 100), Rgb(clMaroon));

    // A picture is tiled over the page.
    auto* tile = Create<TBitmap>();
    tile->SetPixelFormat(pf24bit);
    tile->SetSize(8, 8);
    tile->Canvas()->Brush()->SetColor(clBlue);
    tile->Canvas()->FillRect(Rect(0, 0, 8, 8));
    tile->Canvas()->Brush()->SetColor(clYellow);
    tile->Canvas()->FillRect(Rect(0, 0, 4, 8));
    page->Picture()->SetGraphic(tile);
    tile->Free();
    const auto shot = Shoot(bar);
    const TRect area = bar->GetPageRect(0);
    const int pixels = (area.Right - area.Left) * (area.Bottom - area.Top);
    EXPECT_EQ(shot.Count(area, Rgb(clBlue)) + shot.Count(area, Rgb(clYellow)), pixels);
    // Tiles side by side: four yellow columns, then four blue ones.
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(shot.At(x, 50), Rgb(x % 8 < 4 ? clYellow : clBlue)) << x;
}

TEST_F(NavBarPaintTest, LargeAndSmallButtonsShowImageCaptionAndFrames) {
    TTkNavBar* bar = MakeBar(100, 240);
    bar->SetPageButtonHeight(0);
    bar->SetLargeImages(SolidImages(32, {clRed, clGreen}));
    bar->SetSmallImages(SolidImages(16, {clRed, clGreen}));
    TTkNavBarPage* page = bar->Pages()->Add();
    page->Buttons()->Add()->SetCaption("Red");
    page->Buttons()->Add()->SetCaption("Green");
    page->Buttons()->Items(1)->SetImageIndex(1);
    page->Buttons()->Items(1)->SetDown(true);

    auto shot = Shoot(bar);
    for (int b = 0; b < 2; ++b) {
        SCOPED_TRACE(b);
        const TRect row = bar->GetButtonRect(0, b);
        const int cx = (row.Left + row.Right) / 2;
        EXPECT_EQ(shot.At(cx, row.Top + 4 + 16), Rgb(b == 0 ? clRed : clGreen));
        EXPECT_GT(shot.Count(bar->GetButtonTextRect(0, b), 0xFFFFFF), 0);
    }
    // The Down button carries a sunken frame: black top-left, white bottom-right.
    const TRect frame = bar->GetButtonFrameRect(0, 1);
    EXPECT_EQ(shot.At(frame.Left, frame.Top + 3), Rgb(clBlack));
    EXPECT_EQ(shot.At(frame.Right - 1, frame.Bottom - 3), Rgb(clWhite));
    // The other has none.
    const TRect free = bar->GetButtonFrameRect(0, 0);
    EXPECT_EQ(shot.At(free.Left, free.Top + 3), Rgb(clBtnShadow));

    // A disabled button: its image greyed, its caption grey.
    page->Buttons()->Items(0)->SetEnabled(false);
    shot = Shoot(bar);
    const TRect row = bar->GetButtonRect(0, 0);
    const int cx = (row.Left + row.Right) / 2;
    EXPECT_LT(shot.Count(Rect(cx - 16, row.Top + 4, cx + 16, row.Top + 36), Rgb(clRed)), 32 * 32);
    EXPECT_EQ(shot.Count(bar->GetButtonTextRect(0, 0), 0xFFFFFF), 0);
    EXPECT_GT(shot.Count(bar->GetButtonTextRect(0, 0), Rgb(clGrayText)), 0);

    // Small buttons: the image at the row's left + 2, the caption beside it.
    page->SetButtonSize(olbsSmall);
    shot = Shoot(bar);
    const TRect small = bar->GetButtonRect(0, 1);
    EXPECT_EQ(small.Left, 4);
    EXPECT_EQ(shot.At(small.Left + 2 + 8, small.Top + 2 + 8), Rgb(clGreen));
    // The Down button's caption is in the page's DownFont, the bar font's colour; the
    // caption runs past its rectangle's right (no clipping).
    TRect text = bar->GetButtonTextRect(0, 1);
    EXPECT_GE(text.Left, 16 + 10);
    text.Right = 100;
    EXPECT_GT(shot.Count(text, Rgb(bar->Font()->Color())), 0);
}

TEST_F(NavBarPaintTest, TheActionLinkCarriesCaptionEnabledStateImageAndHandler) {
    TTkNavBar* bar = MakeBar();
    TTkNavBarButton* button = bar->Pages()->Add()->Buttons()->Add();
    auto* action = Create<TAction>(form);
    action->SetCaption("Open");
    action->SetImageIndex(3);
    action->SetEnabled(false);
    struct Counter {
        int runs = 0;
        void Run(TObject*) { ++runs; }
    } counter;
    action->OnExecute = TNotifyEvent(&counter, &Counter::Run);
    button->SetAction(action);
    EXPECT_EQ(button->Caption(), "Open");
    EXPECT_EQ(button->ImageIndex(), 3);
    EXPECT_FALSE(button->Enabled());
    button->Click();
    EXPECT_EQ(counter.runs, 1);

    // Later changes follow while the button still agrees with the action.
    action->SetCaption("Open again");
    action->SetEnabled(true);
    action->SetImageIndex(5);
    EXPECT_EQ(button->Caption(), "Open again");
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->ImageIndex(), 5);
    button->SetCaption("Mine");
    action->SetCaption("Theirs");
    EXPECT_EQ(button->Caption(), "Mine");
    EXPECT_EQ(button->ImageIndex(), 5);

    // The action going leaves the button without one, with what it showed.
    action->Free();
    EXPECT_EQ(button->Action(), nullptr);
    EXPECT_EQ(button->Caption(), "Mine");

    // Removing the action from a button stops the following.
    auto* other = Create<TAction>(form);
    button->SetAction(other);
    button->SetAction(nullptr);
    other->SetCaption("Elsewhere");
    EXPECT_NE(button->Caption(), "Elsewhere");
    other->Free();
}

TEST_F(NavBarPaintTest, DISABLED_Showcase) {
    form->SetBounds(40, 40, 520, 420);
    form->SetCaption("Side bar");
    TImageList* large = SolidImages(32, {clRed, clGreen, clBlue});
    TImageList* small = SolidImages(16, {clRed, clGreen, clBlue});
    TImageList* manager = SolidImages(48, {clTeal, clOlive, clPurple, clNavy});
    TTkNavBar* bars[3] = {};
    for (int n = 0; n < 3; ++n) {
        TTkNavBar* bar = Create<TTkNavBar>(form);
        bar->SetParent(form);
        bar->SetBounds(10 + n * 165, 10, 122 + (n == 1 ? 30 : 0), 360);
        bar->SetLargeImages(n == 2 ? manager : large);
        bar->SetSmallImages(small);
        bar->SetPageImages(small);
        bars[n] = bar;
    }
    for (const char* caption : {"Mail", "Calendar", "Contacts"}) {
        TTkNavBarPage* page = bars[0]->Pages()->Add();
        page->SetCaption(caption);
        for (int i = 0; i < 3; ++i) {
            TTkNavBarButton* b = page->Buttons()->Add();
            b->SetCaption(std::string(caption) + " " + std::to_string(i + 1));
            b->SetImageIndex(i);
        }
    }
    bars[0]->SetActivePageIndex(1);
    bars[0]->Pages()->Items(1)->Buttons()->Items(1)->SetDown(true);
    bars[0]->Pages()->Items(2)->SetEnabled(false);
    TTkNavBarPage* smallPage = bars[1]->Pages()->Add();
    smallPage->SetCaption("Small buttons");
    smallPage->SetImageIndex(0);
    smallPage->SetAlignment(taLeftJustify);
    smallPage->SetButtonSize(olbsSmall);
    for (int i = 0; i < 5; ++i) {
        TTkNavBarButton* b = smallPage->Buttons()->Add();
        b->SetCaption("Item " + std::to_string(i + 1));
        b->SetImageIndex(i % 3);
        b->SetEnabled(i != 3);
    }
    bars[1]->Pages()->Add()->SetCaption("Second");
    bars[2]->SetPageButtonHeight(0);
    TTkNavBarPage* desks = bars[2]->Pages()->Add();
    for (const char* caption : {"Desktops", "Settings", "Wallpapers", "About"}) {
        TTkNavBarButton* b = desks->Buttons()->Add();
        b->SetCaption(caption);
        b->SetImageIndex(desks->Buttons()->Count() - 1);
    }
    ShowForm();
    PumpFor(60000);
}

} // namespace
