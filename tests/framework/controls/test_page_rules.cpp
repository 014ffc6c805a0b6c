// The page control's page arithmetic: tabs and pages with hidden tabs, and the cyclic search.

#include <gtest/gtest.h>

#include <vector>

#include "framework/controls/PageRules.h"

namespace {

TEST(PageRules, TabsAndPagesWithHiddenTabs) {
    const std::vector<TPageState> pages = {{true}, {false}, {true}, {false}, {true}};
    const int tabOf[] = {0, -1, 1, -1, 2};
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(TabIndexOfPage(pages, p), tabOf[p]) << p;
    EXPECT_EQ(PageIndexOfTab(pages, 0), 0);
    EXPECT_EQ(PageIndexOfTab(pages, 1), 2);
    EXPECT_EQ(PageIndexOfTab(pages, 2), 4);
    EXPECT_EQ(PageIndexOfTab(pages, 3), -1);
    EXPECT_EQ(PageIndexOfTab(pages, -1), -1);
    EXPECT_EQ(TabIndexOfPage(pages, 9), -1);
}

TEST(PageRules, CyclicSearch) {
    const std::vector<TPageState> pages = {{true}, {false}, {true}, {true}};
    struct Case {
        int current;
        bool forward, checkTab;
        int want;
    };
    const Case cases[] = {
        {0, true, true, 2},  {2, true, true, 3},
        {3, true, true, 0}, // wraps at the end
        {0, false, true, 3}, {2, false, true, 0},
        {0, true, false, 1}, // hidden tab counts without the check
        {-1, true, true, 0}, {-1, false, true, 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindNextPageIndex(pages, c.current, c.forward, c.checkTab), c.want)
            << c.current << (c.forward ? " forward" : " backward");
    EXPECT_EQ(FindNextPageIndex(std::vector<TPageState>{}, 0, true, true), -1);
    const std::vector<TPageState> hidden = {{false}, {false}};
    EXPECT_EQ(FindNextPageIndex(hidden, 0, true, true), -1);
    const std::vector<TPageState> one = {{true}};
    EXPECT_EQ(FindNextPageIndex(one, 0, true, true), 0) << "the only page is found again";
}

} // namespace
