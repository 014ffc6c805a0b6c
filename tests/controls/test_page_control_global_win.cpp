// The page control without tabs under the real mouse and keyboard: pages switched by code, no tab
// row with every tab hidden, the narrowed border, Ctrl+Tab and Ctrl+Shift+Tab over enabled pages,
// a right click that selects, a click on a disabled page's tab that does not, the active page kept
// across a new window, and the left page's window given up with ReduceMemoryUse.

#include <gtest/gtest.h>
#include <windows.h>
// (after windows.h, which it needs)
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "controls/TkComCtrls_win.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/gui/HintWindow_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

void Keys(std::vector<WORD> held, WORD key) {
    std::vector<INPUT> in;
    auto add = [&](WORD vk, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    for (WORD h : held)
        add(h, false);
    add(key, false);
    add(key, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        add(*it, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

struct Changes : TObject {
    int count = 0;
    void Changed(TObject*) { ++count; }
};

class PageControlTest : public ControlsTest {
protected:
    TTkPageControl* Control(int pages = 4) {
        auto* p = Create<TTkPageControl>(form);
        p->SetBounds(10, 10, 300, 200);
        p->SetParent(form);
        p->OnChange = TNotifyEvent(&changes, &Changes::Changed);
        for (int i = 0; i < pages; ++i) {
            auto* sheet = Create<TTabSheet>(form);
            sheet->SetText("Page " + std::to_string(i));
            sheet->SetPageControl(p);
            auto* edit = Create<TEdit>(form);
            edit->SetBounds(10, 10, 100, 21);
            edit->SetParent(sheet);
            edits.push_back(edit);
        }
        return p;
    }
    POINT TabCentre(TTkPageControl* p, int tab) {
        RECT r{};
        SendMessageA(p->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&r));
        const TPoint s = p->ClientToScreen(Point((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        return POINT{s.X, s.Y};
    }
    Changes changes;
    std::vector<TEdit*> edits;
};

TEST_F(PageControlTest, HiddenTabsLeaveNoTabRowAndPagesSwitchByCode) {
    auto* p = Control();
    p->SetHideAllTabs(true);
    ShowForm();
    EXPECT_EQ(TabCtrl_GetItemCount(p->Handle()), 0);
    for (int i = 0; i < 4; ++i) {
        p->SetActivePageIndex(i);
        EXPECT_EQ(p->ActivePageIndex(), i);
        EXPECT_TRUE(IsWindowVisible(p->Pages(i)->Handle())) << i;
        for (int j = 0; j < 4; ++j)
            if (j != i)
                EXPECT_FALSE(p->Pages(j)->Visible()) << i << " " << j;
    }
    EXPECT_EQ(p->Pages(3)->BoundsRect(), Rect(4, 4, 296, 196)) << "no tab row above the page";
    p->SetClientBorderWidth(0);
    PumpFor(50);
    EXPECT_EQ(p->Pages(3)->BoundsRect(), Rect(0, 0, 300, 200)) << "the page covers the border";
    EXPECT_EQ(p->ActivePageIndex(), 3) << "a new window keeps the active page";
    EXPECT_TRUE(IsWindowVisible(p->Pages(3)->Handle()));
    EXPECT_EQ(changes.count, 0) << "changes by code are not the user's";
    // Tabs shown again keep each page's own choice.
    p->Pages(1)->SetTabVisible(false);
    p->SetHideAllTabs(false);
    EXPECT_EQ(TabCtrl_GetItemCount(p->Handle()), 0) << "hidden tabs stay hidden";
    for (int i = 0; i < 4; ++i)
        p->Pages(i)->SetTabVisible(i != 1);
    EXPECT_EQ(TabCtrl_GetItemCount(p->Handle()), 3);
    EXPECT_EQ(p->Pages(2)->TabIndex(), 1);
}

TEST_F(PageControlTest, CtrlTabCyclesTheEnabledPages) {
    auto* p = Control();
    p->HandleGlobalTab = true;
    p->Pages(2)->SetEnabled(false);
    ShowForm();
    edits[0]->SetFocus();
    PumpFor(50);
    Keys({VK_CONTROL, VK_SHIFT}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 1) << "Ctrl+Shift+Tab: the next page";
    Keys({VK_CONTROL, VK_SHIFT}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 3) << "past the disabled page";
    Keys({VK_CONTROL, VK_SHIFT}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 0) << "wrapping";
    Keys({VK_CONTROL}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 3) << "Ctrl+Tab: the previous page";
    Keys({VK_CONTROL}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 1) << "past the disabled page";
    EXPECT_EQ(changes.count, 5);
    form->KeyPreview = true;
    Keys({VK_CONTROL}, VK_TAB);
    PumpFor(100);
    EXPECT_EQ(p->ActivePageIndex(), 1) << "a form that previews keys keeps them";
}

TEST_F(PageControlTest, ClicksOnTabs) {
    auto* p = Control();
    p->Pages(2)->SetEnabled(false);
    p->RightClickSelect = true;
    p->ReduceMemoryUse = true;
    ShowForm();
    ASSERT_TRUE(p->Pages(0)->HandleAllocated());
    ASSERT_TRUE(mouse_input::Click(TabCentre(p, 1)));
    PumpFor(150);
    EXPECT_EQ(p->ActivePageIndex(), 1);
    EXPECT_FALSE(p->Pages(0)->HandleAllocated()) << "the page left gave up its window";
    ASSERT_TRUE(mouse_input::Click(TabCentre(p, 2)));
    PumpFor(150);
    EXPECT_EQ(p->ActivePageIndex(), 1) << "a disabled page is not chosen";
    ASSERT_TRUE(mouse_input::Click(TabCentre(p, 3), mouse_input::Button::Right));
    PumpFor(150);
    EXPECT_EQ(p->ActivePageIndex(), 3) << "a right click selects";
    ASSERT_TRUE(mouse_input::Click(TabCentre(p, 0)));
    PumpFor(150);
    EXPECT_EQ(p->ActivePageIndex(), 0);
    EXPECT_TRUE(IsWindowVisible(p->Pages(0)->Handle())) << "shown again with a new window";
    EXPECT_EQ(changes.count, 3);
}

// A painter as a descendant writes one: each tab filled with one colour.
class TLimePainter : public TTkTabControlPainter {
    FW_CLASS(TLimePainter, TTkTabControlPainter)
public:
    using TTkTabControlPainter::TTkTabControlPainter;
    std::vector<std::string> drawn;
    void DrawTab(TTkPageControl*, TCanvas* Canvas, TCustomImageList*, int,
                 const std::string& Caption, const TRect& Rect, bool Active,
                 bool Enabled) override {
        drawn.push_back(Caption + (Active ? "*" : "") + (Enabled ? "" : "-"));
        Canvas->Brush()->SetColor(clLime);
        Canvas->FillRect(Rect);
    }
};

TEST_F(PageControlTest, APainterDrawsTheTabsUntilItIsFreed) {
    auto* p = Control();
    p->Pages(1)->SetTabVisible(false);
    p->Pages(2)->SetEnabled(false);
    auto* painter = Create<TLimePainter>(form);
    p->SetTabPainter(painter);
    EXPECT_EQ(painter->ClientCount(), 1);
    ShowForm();
    RedrawWindow(p->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    auto tabPixel = [&](int tab) {
        RECT r{};
        SendMessageA(p->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&r));
        HDC dc = GetDC(p->Handle());
        const COLORREF c = GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ReleaseDC(p->Handle(), dc);
        return c;
    };
    EXPECT_EQ(tabPixel(1), RGB(0, 255, 0)) << "the painter's tab";
    // Tab 1 is page 2 (page 1's tab is hidden): its caption and disabled state reach the painter.
    EXPECT_NE(std::find(painter->drawn.begin(), painter->drawn.end(), "Page 2-"),
              painter->drawn.end());
    EXPECT_NE(std::find(painter->drawn.begin(), painter->drawn.end(), "Page 0*"),
              painter->drawn.end());
    // The tab images reach the system's control, and go when the list goes.
    auto* images = Create<TImageList>(form);
    p->SetImages(images);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(p->Handle(), TCM_GETIMAGELIST, 0, 0)),
              images->Handle());
    images->Free();
    EXPECT_EQ(p->Images(), nullptr);
    EXPECT_EQ(SendMessageA(p->Handle(), TCM_GETIMAGELIST, 0, 0), 0);
    painter->Free();
    EXPECT_EQ(p->TabPainter(), nullptr);
    RedrawWindow(p->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(100);
    EXPECT_NE(tabPixel(1), RGB(0, 255, 0)) << "the system draws the tabs again";
    EXPECT_EQ(p->ActivePageIndex(), 0);
}

TEST_F(PageControlTest, TheHintOverATabFollowsTheSource) {
    auto* p = Control(2);
    p->Pages(1)->SetHint("second page|long");
    ShowForm();
    RECT tab{};
    SendMessageA(p->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    auto ask = [&](TTkHintSource source, const std::string& mainHint) {
        p->HintSource = source;
        p->SetHint(mainHint);
        THintInfo info;
        info.HintControl = p;
        info.CursorPos = Point((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        info.CursorRect = p->ClientRect();
        info.HintStr = mainHint;
        const bool vetoed = p->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
        return std::make_pair(vetoed ? std::string("<vetoed>") : info.HintStr, info.CursorRect);
    };
    const TRect tabRect = Rect(tab.left, tab.top, tab.right, tab.bottom);
    EXPECT_EQ(ask(hsDefault, "main").first, "main");
    EXPECT_EQ(ask(hsForceMain, "main|more").first, "main");
    auto page = ask(hsForceChildren, "main");
    EXPECT_EQ(page.first, "second page");
    EXPECT_EQ(page.second, tabRect) << "the hint stays over the tab";
    EXPECT_EQ(ask(hsPreferMain, "").first, "second page") << "no control hint: the page's";
    EXPECT_EQ(ask(hsPreferMain, "main").first, "main");
    EXPECT_EQ(ask(hsPreferChildren, "main").first, "second page");
}

// For a look at the control with hidden tabs in a form (run with --gtest_also_run_disabled_tests).
TEST_F(PageControlTest, DISABLED_Showcase) {
    auto* p = Control();
    p->SetHideAllTabs(true);
    p->SetActivePageIndex(2);
    auto* shown = Create<TTkPageControl>(form);
    shown->SetBounds(10, 220, 300, 80);
    shown->SetParent(form);
    for (int i = 0; i < 3; ++i) {
        auto* sheet = Create<TTabSheet>(form);
        sheet->SetText("Tab " + std::to_string(i));
        sheet->SetPageControl(shown);
    }
    ShowForm();
    PumpFor(4000);
}

} // namespace
