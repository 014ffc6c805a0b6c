// The tool bar with the real mouse: check buttons that follow their actions, a drop-down button
// whose menu opens from its arrow and from code, and states that reach the native buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "framework/controls/Action.h"
#include "framework/controls/MenuItem_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/controls/ToolBar_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct Counter : TObject {
    int clicks = 0, popups = 0;
    void Click(TObject*) { ++clicks; }
    void Popup(TObject*) { ++popups; }
};

class ToolBarTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        bar = Create<TToolBar>(form);
        bar->SetBounds(0, 0, 400, 36);
        bar->SetButtonSize(31, 31);
    }
    TToolButton* Add(TToolButtonStyle style) {
        auto* b = Create<TToolButton>(form);
        b->SetStyle(style);
        b->SetToolBar(bar);
        return b;
    }
    POINT Centre(TToolButton* b, int dx = 0) {
        const RECT r = bar->ButtonRect(b);
        POINT p{(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
        ClientToScreen(bar->Handle(), &p);
        return p;
    }
    LRESULT State(TToolButton* b) {
        return SendMessageA(bar->Handle(), TB_GETSTATE, static_cast<WPARAM>(b->CommandId()), 0);
    }
    TToolBar* bar = nullptr;
    Counter counter;
};

TEST_F(ToolBarTest, ButtonsMadeBeforeTheWindowKeepTheirStatesAndHints) {
    TToolButton* hidden = Add(tbsButton);
    hidden->SetVisible(false);
    Add(tbsSeparator);
    TToolButton* off = Add(tbsCheck);
    off->SetEnabled(false);
    off->SetDown(true);
    off->SetHint("Desktop 1");
    bar->SetParent(form);
    ShowForm();
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_NE(State(hidden) & TBSTATE_HIDDEN, 0);
    EXPECT_EQ(State(off) & TBSTATE_ENABLED, 0);
    EXPECT_NE(State(off) & TBSTATE_CHECKED, 0);
    EXPECT_TRUE(off->Down());
    // Kept over a new window.
    bar->RecreateWnd();
    EXPECT_NE(State(hidden) & TBSTATE_HIDDEN, 0);
    EXPECT_NE(State(off) & TBSTATE_CHECKED, 0);
}

TEST_F(ToolBarTest, ACheckButtonFollowsItsActionAndAClickRunsIt) {
    auto* action = Create<TAction>(form);
    action->SetHint("Desktop 2");
    action->OnExecute = TNotifyEvent(&counter, &Counter::Click);
    TToolButton* b = Add(tbsCheck);
    b->SetAction(action);
    bar->SetParent(form);
    ShowForm();
    EXPECT_EQ(b->Hint(), "Desktop 2");
    action->SetChecked(true);
    EXPECT_TRUE(b->Down());
    action->SetChecked(false);
    EXPECT_FALSE(b->Down());
    ASSERT_TRUE(mouse_input::Click(Centre(b)));
    PumpUntil([&] { return counter.clicks > 0; });
    EXPECT_EQ(counter.clicks, 1);
    // A disabled or hidden action: the button follows, and a click does nothing.
    action->SetEnabled(false);
    EXPECT_EQ(State(b) & TBSTATE_ENABLED, 0);
    b->Click();
    EXPECT_EQ(counter.clicks, 1);
    action->SetVisible(false);
    EXPECT_NE(State(b) & TBSTATE_HIDDEN, 0);
}

struct MenuWatch {
    // Waits for the process's menu window and closes it with Escape, from another thread.
    static void DismissWhenOpen(bool& seen) {
        for (int i = 0; i < 300 && !seen; ++i) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu != nullptr && IsWindowVisible(menu))
                seen = true;
            else
                Sleep(10);
        }
        Sleep(100);
        mouse_input::Key(VK_ESCAPE);
    }
};

TEST_F(ToolBarTest, TheDropDownMenuOpensFromItsArrowAndFromCode) {
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(form);
    item->SetCaption("Desktop 1");
    menu->Items()->Add(item);
    menu->OnPopup = TNotifyEvent(&counter, &Counter::Popup);
    TToolButton* b = Add(tbsDropDown);
    b->SetDropdownMenu(menu);
    bar->SetParent(form);
    ShowForm();
    bool seen = false;
    std::thread watch([&] { MenuWatch::DismissWhenOpen(seen); });
    const RECT r = bar->ButtonRect(b);
    // The arrow is the right part of the button.
    ASSERT_TRUE(mouse_input::Click(Centre(b, (r.right - r.left) / 2 - 4)));
    PumpUntil([&] { return counter.popups > 0 && seen; }, 5000);
    watch.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(counter.popups, 1);

    seen = false;
    std::thread watch2([&] { MenuWatch::DismissWhenOpen(seen); });
    EXPECT_TRUE(b->CheckMenuDropdown());
    watch2.join();
    EXPECT_TRUE(seen);
    EXPECT_EQ(counter.popups, 2);
    // No menu: nothing to open.
    EXPECT_FALSE(Add(tbsButton)->CheckMenuDropdown());
}

} // namespace
