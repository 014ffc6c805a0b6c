#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "controls/TkNavBar_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Font_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

// Counts the requests to repaint.
class TCountingNavBar : public TTkNavBar {
public:
    using TTkNavBar::TTkNavBar;
    void Invalidate() override {
        ++invalidations;
        TTkNavBar::Invalidate();
    }
    int invalidations = 0;
};

class NavBarTest : public ControlsTest {
protected:
    // A borderless bar of the given client size.
    TCountingNavBar* MakeBar(int width = 100, int height = 200) {
        auto* bar = Create<TCountingNavBar>(form);
        bar->SetBorderStyle(bsNone);
        bar->SetParent(form);
        bar->SetBounds(0, 0, width, height);
        return bar;
    }
    static TTkNavBarPage* AddPage(TTkCustomNavBar* bar, const std::string& caption,
                                  int buttons = 0) {
        TTkNavBarPage* page = bar->Pages()->Add();
        page->SetCaption(caption);
        for (int i = 0; i < buttons; ++i)
            page->Buttons()->Add()->SetCaption(caption + " " + std::to_string(i));
        return page;
    }
    TImageList* Images(int size) {
        auto* list = TCustomImageList::CreateWithSize<TImageList>(form, size, size);
        return list;
    }
};

struct TEventLog {
    std::vector<std::pair<std::string, int>> entries;
    bool allow = true;
    void Changing(TObject*, int index, bool& allowChange) {
        entries.emplace_back("changing", index);
        allowChange = allow;
    }
    void Change(TObject*, int index) { entries.emplace_back("change", index); }
    void ButtonClick(TObject*, int index) { entries.emplace_back("bar click", index); }
    void Click(TObject* sender) {
        entries.emplace_back("button click", static_cast<TTkNavBarButton*>(sender)->Index());
    }
};

TEST_F(NavBarTest, DefaultsOfTheBarAndOfANewPage) {
    auto* bar = Create<TTkNavBar>(form);
    EXPECT_EQ(bar->Width(), 100);
    EXPECT_EQ(bar->Height(), 220);
    EXPECT_EQ(bar->Color(), clBtnShadow);
    EXPECT_EQ(bar->BorderStyle(), bsSingle);
    EXPECT_EQ(bar->ButtonSize(), olbsLarge);
    EXPECT_EQ(bar->PageButtonHeight(), 19);
    EXPECT_TRUE(bar->ThemedBackground());
    EXPECT_EQ(bar->ActivePageIndex(), 0);
    EXPECT_TRUE(bar->DoubleBuffered);
    EXPECT_FALSE(bar->ControlStyle.Contains(csAcceptsControls));
    EXPECT_TRUE(bar->ControlStyle.Contains(csNeedsBorderPaint));

    bar->Font()->SetColor(clMaroon);
    bar->SetButtonSize(olbsSmall);
    TTkNavBarPage* page = bar->Pages()->Add();
    EXPECT_TRUE(page->ParentColor());
    EXPECT_EQ(page->Color(), clDefault);
    EXPECT_FALSE(page->ParentFont());
    EXPECT_EQ(page->Font()->Color(), static_cast<TColor>(0xFFFFFF));
    EXPECT_EQ(page->Font()->Height(), bar->Font()->Height());
    EXPECT_EQ(page->DownFont()->Color(), clMaroon);
    EXPECT_EQ(page->ButtonSize(), olbsSmall);
    EXPECT_TRUE(page->ParentButtonSize());
    EXPECT_EQ(page->Alignment(), taCenter);
    EXPECT_EQ(page->ImageIndex(), -1);
    EXPECT_TRUE(page->Enabled());
    TTkNavBarButton* button = page->Buttons()->Add();
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->ImageIndex(), 0);
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->AutoToggle);

    // The display names: the caption, else the item's default.
    EXPECT_EQ(button->DisplayName(), "TTkNavBarButton");
    button->SetCaption("Mail");
    EXPECT_EQ(button->DisplayName(), "Mail");
    page->SetCaption("Folders");
    EXPECT_EQ(page->DisplayName(), "Folders");

    // A page made outside a bar has the defaults of its own.
    auto* loose = new TTkNavBarPage(nullptr);
    EXPECT_EQ(loose->ButtonSize(), olbsLarge);
    EXPECT_EQ(loose->Font()->Color(), static_cast<TColor>(0xFFFFFF));
    loose->Free();
}

TEST_F(NavBarTest, HeadersAndThePageAreaFollowTheActivePage) {
    auto* bar = MakeBar(100, 200);
    for (const char* caption : {"One", "Two", "Three"})
        AddPage(bar, caption);
    struct Case {
        int active;
        int headerTops[3];
        int pageTop, pageBottom;
    } cases[] = {
        {0, {0, 162, 181}, 19, 162},
        {1, {0, 19, 181}, 38, 181},
        {2, {0, 19, 38}, 57, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.active);
        bar->SetActivePageIndex(c.active);
        ASSERT_EQ(bar->ActivePageIndex(), c.active);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(bar->GetPageButtonRect(i),
                      Rect(0, c.headerTops[i], 100, c.headerTops[i] + 19));
        EXPECT_EQ(bar->GetPageRect(c.active), Rect(0, c.pageTop, 100, c.pageBottom));
    }
    EXPECT_EQ(bar->GetPageButtonRect(3), TRect{});
    EXPECT_EQ(bar->GetPageRect(-1), TRect{});

    // Without headers one page has the whole client area.
    auto* single = MakeBar(80, 150);
    AddPage(single, "Only");
    single->SetPageButtonHeight(0);
    EXPECT_EQ(single->GetPageRect(0), Rect(0, 0, 80, 150));
}

TEST_F(NavBarTest, TheManagersBarLaysOutFourLargeButtons) {
    // As the manager window has it: 122 wide with a client edge, one page without headers,
    // four large buttons with 48 x 48 images.
    auto* bar = Create<TTkNavBar>(form);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 122, 300);
    bar->Handle();
    bar->SetPageButtonHeight(0);
    bar->SetLargeImages(Images(48));
    TTkNavBarPage* page = bar->Pages()->Add();
    for (const char* caption : {"Desktops", "Settings", "Wallpapers", "About"})
        page->Buttons()->Add()->SetCaption(caption);
    ASSERT_EQ(bar->ClientRect(), Rect(0, 0, 118, 296));
    EXPECT_EQ(bar->GetButtonHeight(0), 71);
    for (int b = 0; b < 4; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(bar->GetButtonFrameRect(0, b), Bounds(32, 5 + 71 * b, 54, 54));
        const TRect r = bar->GetButtonRect(0, b);
        EXPECT_EQ(r.Top, 4 + 71 * b);
        EXPECT_EQ(r.Bottom - r.Top, 71);
        // Centred on the client width.
        EXPECT_LE(std::abs((r.Left + r.Right) - 118), 1);
        const TRect text = bar->GetButtonTextRect(0, b);
        EXPECT_EQ(text.Bottom, r.Bottom - 4);
        EXPECT_EQ(text.Top, r.Bottom - 11 - 2 - 4);
        // The middle of the image finds the button.
        EXPECT_EQ(bar->ButtonAtPos(59, 30 + 71 * b), b);
    }
    EXPECT_EQ(bar->ButtonAtPos(59, 5 + 71 * 4 + 10), -1);
    EXPECT_EQ(bar->ButtonAtPos(2, 30), -1);
    EXPECT_EQ(bar->GetButtonRect(0, 4), TRect{});
    EXPECT_EQ(bar->GetButtonRect(1, 0), TRect{});
}

TEST_F(NavBarTest, TheHitTestKeepsToThePageAreaAndTheVisibleButtons) {
    auto* bar = MakeBar(100, 200);
    AddPage(bar, "One", 6);
    AddPage(bar, "Two", 1);
    const int h = bar->GetButtonHeight(0);
    const TRect area = bar->GetPageRect(0);
    ASSERT_EQ(area, Rect(0, 19, 100, 181));
    // Rows without images reach 4 pixels into the next one, which the earlier row wins.
    EXPECT_EQ(bar->ButtonAtPos(50, 19 + 2), 0);
    EXPECT_EQ(bar->ButtonAtPos(50, 19 + h + 2), 0);
    EXPECT_EQ(bar->ButtonAtPos(50, 19 + h + 5), 1);
    bar->Pages()->Items(0)->SetTopButtonIndex(2);
    EXPECT_EQ(bar->Pages()->Items(0)->TopButtonIndex(), 2);
    EXPECT_EQ(bar->ButtonAtPos(50, 19 + 2), 2);
    // The header above holds the scrolled-off buttons' places: nothing is found there, nor
    // over the header at the bottom.
    EXPECT_EQ(bar->ButtonAtPos(50, 10), -1);
    EXPECT_EQ(bar->ButtonAtPos(50, 190), -1);
    // Scroll positions outside the buttons are ignored.
    bar->Pages()->Items(0)->SetTopButtonIndex(6);
    EXPECT_EQ(bar->Pages()->Items(0)->TopButtonIndex(), 2);
    bar->Pages()->Items(0)->SetTopButtonIndex(-1);
    EXPECT_EQ(bar->Pages()->Items(0)->TopButtonIndex(), 2);
}

TEST_F(NavBarTest, PageChangesAskFirstAndARefusalLeavesAllAsItWas) {
    auto* bar = MakeBar();
    AddPage(bar, "One");
    AddPage(bar, "Two");
    AddPage(bar, "Three");
    TEventLog log;
    bar->OnPageChanging = TNavBarPageChanging(&log, &TEventLog::Changing);
    bar->OnPageChange = TNavBarPageChange(&log, &TEventLog::Change);

    bar->SetActivePageIndex(2);
    EXPECT_EQ(bar->ActivePageIndex(), 2);
    using Log = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(log.entries, (Log{{"changing", 2}, {"change", 2}}));

    log.entries.clear();
    log.allow = false;
    bar->invalidations = 0;
    bar->SetActivePageIndex(0);
    EXPECT_EQ(bar->ActivePageIndex(), 2);
    EXPECT_EQ(log.entries, (Log{{"changing", 0}}));
    EXPECT_EQ(bar->invalidations, 0);

    // Indexes that name no page are ignored without a question or a repaint; the same index
    // asks nothing but repaints.
    log.entries.clear();
    for (int index : {-1, 3, 100})
        bar->SetActivePageIndex(index);
    EXPECT_EQ(bar->invalidations, 0);
    bar->SetActivePageIndex(2);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(bar->invalidations, 1);

    // A stored index whose page went reads as the first page.
    bar->Pages()->Delete(2);
    EXPECT_EQ(bar->ActivePageIndex(), 0);
    bar->Pages()->Clear();
    EXPECT_EQ(bar->ActivePageIndex(), 0);
}

TEST_F(NavBarTest, DownReleasesOnlyTheButtonsOfItsOwnPage) {
    auto* bar = MakeBar();
    TTkNavBarPage* one = AddPage(bar, "One", 3);
    TTkNavBarPage* two = AddPage(bar, "Two", 2);
    two->Buttons()->Items(0)->SetDown(true);
    one->Buttons()->Items(0)->SetDown(true);
    one->Buttons()->Items(2)->SetDown(true);
    EXPECT_FALSE(one->Buttons()->Items(0)->Down());
    EXPECT_FALSE(one->Buttons()->Items(1)->Down());
    EXPECT_TRUE(one->Buttons()->Items(2)->Down());
    EXPECT_TRUE(two->Buttons()->Items(0)->Down());
    // Releasing does not press another.
    one->Buttons()->Items(2)->SetDown(false);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(one->Buttons()->Items(i)->Down());
}

TEST_F(NavBarTest, AButtonClickTogglesClicksAndTellsTheBar) {
    auto* bar = MakeBar();
    TTkNavBarPage* page = AddPage(bar, "One", 3);
    TEventLog log;
    bar->OnButtonClick = TNavBarButtonClick(&log, &TEventLog::ButtonClick);
    for (int i = 0; i < 3; ++i)
        page->Buttons()->Items(i)->OnClick = TNotifyEvent(&log, &TEventLog::Click);
    page->Buttons()->Items(1)->AutoToggle = true;

    bar->DoButtonClick(1);
    EXPECT_TRUE(page->Buttons()->Items(1)->Down());
    bar->DoButtonClick(1);
    EXPECT_FALSE(page->Buttons()->Items(1)->Down());
    bar->DoButtonClick(0);
    EXPECT_FALSE(page->Buttons()->Items(0)->Down());
    using Log = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(log.entries, (Log{{"button click", 1},
                                {"bar click", 1},
                                {"button click", 1},
                                {"bar click", 1},
                                {"button click", 0},
                                {"bar click", 0}}));
    log.entries.clear();
    for (int index : {-1, 3})
        bar->DoButtonClick(index);
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(NavBarTest, PagesFollowTheBarsColourAndFontWhileTheySaySo) {
    auto* bar = MakeBar();
    TTkNavBarPage* follows = AddPage(bar, "Follows");
    TTkNavBarPage* own = AddPage(bar, "Own");
    own->SetColor(clTeal);
    EXPECT_FALSE(own->ParentColor());

    bar->SetColor(clNavy);
    EXPECT_EQ(follows->Color(), clNavy);
    EXPECT_TRUE(follows->ParentColor());
    EXPECT_EQ(own->Color(), clTeal);
    // Following again takes the bar's colour at once.
    own->SetParentColor(true);
    EXPECT_EQ(own->Color(), clNavy);
    EXPECT_TRUE(own->ParentColor());

    follows->SetParentFont(true);
    EXPECT_TRUE(follows->ParentFont());
    EXPECT_EQ(follows->Font()->Color(), bar->Font()->Color());
    // Two changes of the bar's font in a row both arrive.
    bar->Font()->SetHeight(-15);
    bar->Font()->SetName("Arial");
    EXPECT_EQ(follows->Font()->Height(), -15);
    EXPECT_EQ(follows->Font()->Name(), "Arial");
    EXPECT_TRUE(follows->ParentFont());
    EXPECT_NE(own->Font()->Height(), -15);
    // A change of the page's own font ends the following.
    follows->Font()->SetHeight(-9);
    EXPECT_FALSE(follows->ParentFont());
    bar->Font()->SetHeight(-20);
    EXPECT_EQ(follows->Font()->Height(), -9);
}

TEST_F(NavBarTest, TheBarsButtonSizeReachesThePagesThatFollowIt) {
    auto* bar = MakeBar();
    TTkNavBarPage* follows = AddPage(bar, "Follows");
    TTkNavBarPage* own = AddPage(bar, "Own");
    own->SetButtonSize(olbsSmall);
    EXPECT_FALSE(own->ParentButtonSize());
    bar->SetButtonSize(olbsSmall);
    EXPECT_EQ(follows->ButtonSize(), olbsSmall);
    EXPECT_TRUE(follows->ParentButtonSize());
    own->SetButtonSize(olbsLarge);
    bar->SetButtonSize(olbsLarge);
    EXPECT_EQ(follows->ButtonSize(), olbsLarge);
    EXPECT_EQ(own->ButtonSize(), olbsLarge);
    bar->SetButtonSize(olbsSmall);
    EXPECT_EQ(own->ButtonSize(), olbsLarge);
    // Small buttons get a smaller row.
    AddPage(bar, "Small", 1);
    EXPECT_LT(bar->GetButtonHeight(2), bar->GetButtonHeight(1) + 100);
}

TEST_F(NavBarTest, ChangesRepaintOnceAfterAnUpdate) {
    auto* bar = MakeBar();
    TTkNavBarPage* page = AddPage(bar, "One", 2);
    bar->invalidations = 0;
    page->SetCaption("Renamed");
    page->SetCaption("Renamed");
    EXPECT_EQ(bar->invalidations, 1);
    bar->invalidations = 0;
    bar->Pages()->BeginUpdate();
    page->SetCaption("Again");
    page->SetEnabled(false);
    page->Font()->SetHeight(-14);
    EXPECT_EQ(bar->invalidations, 0);
    bar->Pages()->EndUpdate();
    EXPECT_EQ(bar->invalidations, 1);
    // The buttons collection reports to the page, a button's own change to the bar.
    bar->invalidations = 0;
    page->Buttons()->Add();
    EXPECT_EQ(bar->invalidations, 1);
    page->Buttons()->Items(0)->SetCaption("First");
    EXPECT_EQ(bar->invalidations, 2);
    page->Buttons()->Items(0)->SetCaption("First");
    EXPECT_EQ(bar->invalidations, 2);
}

TEST_F(NavBarTest, AssignmentCopiesPagesButtonsAndKeepsTheTargetsFontAndScroll) {
    auto* source = MakeBar();
    TTkNavBarPage* s = AddPage(source, "Mail", 3);
    s->SetColor(clOlive);
    s->SetEnabled(false);
    s->SetAlignment(taLeftJustify);
    s->SetImageIndex(4);
    s->DownFont()->SetHeight(-17);
    s->Buttons()->Items(1)->SetDown(true);
    s->Buttons()->Items(1)->AutoToggle = true;
    s->Buttons()->Items(2)->Tag = 42;
    s->Buttons()->Items(2)->SetImageIndex(7);
    s->Buttons()->Items(0)->SetEnabled(false);
    AddPage(source, "Notes", 1);

    auto* target = MakeBar();
    TTkNavBarPage* t = AddPage(target, "Old", 5);
    t->SetTopButtonIndex(2);
    t->Font()->SetHeight(-19);
    t->Assign(s);
    EXPECT_EQ(t->Caption(), "Mail");
    EXPECT_EQ(t->Color(), clOlive);
    EXPECT_FALSE(t->ParentColor());
    EXPECT_FALSE(t->Enabled());
    EXPECT_EQ(t->DownFont()->Height(), -17);
    EXPECT_EQ(t->Font()->Height(), -19);
    EXPECT_EQ(t->TopButtonIndex(), 2);
    EXPECT_EQ(t->Alignment(), taCenter);
    EXPECT_EQ(t->ImageIndex(), -1);
    ASSERT_EQ(t->Buttons()->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        TTkNavBarButton* a = s->Buttons()->Items(i);
        TTkNavBarButton* b = t->Buttons()->Items(i);
        EXPECT_NE(a, b);
        EXPECT_EQ(b->Caption(), a->Caption());
        EXPECT_EQ(b->Down(), a->Down());
        EXPECT_EQ(b->AutoToggle, a->AutoToggle);
        EXPECT_EQ(b->Tag, a->Tag);
        EXPECT_EQ(b->ImageIndex(), a->ImageIndex());
        EXPECT_EQ(b->Enabled(), a->Enabled());
    }

    // Whole bars: the target's pages become copies of the source's.
    auto* other = MakeBar();
    AddPage(other, "Gone", 2);
    other->SetPages(source->Pages());
    ASSERT_EQ(other->Pages()->Count(), 2);
    EXPECT_EQ(other->Pages()->Items(0)->Caption(), "Mail");
    EXPECT_EQ(other->Pages()->Items(0)->Buttons()->Count(), 3);
    EXPECT_EQ(other->Pages()->Items(1)->Caption(), "Notes");
    EXPECT_EQ(other->Pages()->Items(1)->NavBar(), other);
    // Anything else is refused as the class library refuses it.
    auto* font = new TFont();
    EXPECT_ANY_THROW(t->Assign(font));
    EXPECT_ANY_THROW(t->Buttons()->Items(0)->Assign(font));
    font->Free();
}

TEST_F(NavBarTest, FreedImageListsAndButtonsLeaveNothingBehind) {
    auto* bar = MakeBar();
    TImageList* large = Images(32);
    TImageList* pages = Images(16);
    bar->SetLargeImages(large);
    bar->SetPageImages(pages);
    AddPage(bar, "One", 2);
    const int withImages = bar->GetButtonHeight(0);
    bar->invalidations = 0;
    large->Free();
    EXPECT_EQ(bar->LargeImages(), nullptr);
    EXPECT_NE(bar->GetButtonHeight(0), withImages);
    EXPECT_GE(bar->invalidations, 1);
    // A change of a list in use repaints the bar.
    pages->Handle();
    bar->invalidations = 0;
    pages->SetWidth(20);
    EXPECT_GE(bar->invalidations, 1);
    pages->Free();
    EXPECT_EQ(bar->PageImages(), nullptr);

    bar->invalidations = 0;
    bar->Pages()->Items(0)->Buttons()->Delete(0);
    EXPECT_GE(bar->invalidations, 1);
    EXPECT_EQ(bar->Pages()->Items(0)->Buttons()->Count(), 1);
}

TEST_F(NavBarTest, TheBorderIsAClientEdgeOrNothing) {
    auto* bar = Create<TTkNavBar>(form);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 100, 100);
    HWND first = bar->Handle();
    EXPECT_NE(GetWindowLongA(first, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(GetWindowLongA(first, GWL_STYLE) & WS_BORDER, 0);
    bar->SetBorderStyle(bsNone);
    HWND second = bar->Handle();
    EXPECT_EQ(GetWindowLongA(second, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(bar->ClientRect(), Rect(0, 0, 100, 100));
    bar->Ctl3D = false;
    bar->SetBorderStyle(bsSingle);
    EXPECT_NE(GetWindowLongA(bar->Handle(), GWL_STYLE) & WS_BORDER, 0);
    EXPECT_EQ(GetWindowLongA(bar->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

} // namespace
