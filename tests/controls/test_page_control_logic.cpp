// The toolkit page control's decisions: where Ctrl+Tab goes (hidden and disabled pages, all
// disabled) and the page area for a border width (the clamp included).

#include <gtest/gtest.h>

#include <vector>

#include "controls/PageControlLogic.h"

namespace {

TEST(PageControlLogic, CtrlTabTargets) {
    // Page 1 hidden, page 2 disabled.
    const std::vector<TPageState> pages = {
        {true, true}, {false, true}, {true, false}, {true, true}};
    struct Case {
        int active;
        bool shift;
        int want;
        const char* name;
    };
    const Case cases[] = {
        {0, true, 3, "forwards with Shift: past the disabled and the hidden page"},
        {3, true, 0, "wraps"},
        {0, false, 3, "backwards without Shift"},
        {3, false, 0, "backwards past the disabled page"},
        {-1, true, 0, "no active page: the first one"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GlobalTabTarget(pages, c.active, c.shift), c.want) << c.name;
    const std::vector<TPageState> allDisabled = {{true, true}, {true, false}, {true, false}};
    EXPECT_EQ(GlobalTabTarget(allDisabled, 0, true), -1) << "back at the active page: nothing";
    const std::vector<TPageState> noneEnabled = {{true, false}, {true, false}};
    EXPECT_EQ(GlobalTabTarget(noneEnabled, -1, true), -1)
        << "cannot loop when every page is disabled";
    EXPECT_EQ(GlobalTabTarget(std::vector<TPageState>{}, -1, false), -1);
}

TEST(PageControlLogic, PageAreaForBorder) {
    const TRect area = Rect(4, 24, 196, 146);
    EXPECT_EQ(PageAreaForBorder(area, 4), area);
    EXPECT_EQ(PageAreaForBorder(area, 0), Rect(0, 20, 200, 150)) << "4 pixels larger on every side";
    EXPECT_EQ(PageAreaForBorder(area, 6), Rect(6, 26, 194, 144));
    const TRect clamped = PageAreaForBorder(Rect(0, 0, 10, 8), 100);
    EXPECT_GE(clamped.Width(), 0);
    EXPECT_GE(clamped.Height(), 0);
    EXPECT_EQ(clamped, Rect(5, 4, 5, 4));
}

TEST(PageControlLogic, TheHintOverATab) {
    using H = TTabHint;
    struct Case {
        TTkHintSource source;
        const char* main;
        bool found;
        const char* page;
        H want;
    };
    const Case cases[] = {
        {hsDefault, "main", true, "page", H::Framework},
        {hsForceMain, "", true, "page", H::Main},
        {hsForceMain, "main", false, "", H::Main},
        {hsForceChildren, "main", true, "", H::Page},
        {hsForceChildren, "main", false, "", H::Framework},
        {hsPreferMain, "main", true, "page", H::Main},
        {hsPreferMain, "", true, "page", H::Page},
        {hsPreferMain, "", false, "page", H::Framework},
        {hsPreferChildren, "main", true, "page", H::Page},
        {hsPreferChildren, "main", true, "", H::Framework},
        {hsPreferChildren, "", false, "", H::Framework},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseTabHint(c.source, c.main, c.found, c.page), c.want)
            << int(c.source) << " main '" << c.main << "' page " << c.found << " '" << c.page
            << "'";
}

} // namespace
