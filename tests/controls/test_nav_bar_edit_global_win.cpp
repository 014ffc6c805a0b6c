// The side bar's in-place caption editor under the real keyboard and mouse: Enter takes the
// text (as the handler allows), Escape and a click outside drop it, and an edit ends unharmed
// when its item or the bar goes.

#include <functional>
#include <string>
#include <vector>

#include "tests/controls/NavBarTestSupport_win.h"
#include "tests/fixtures/MouseInput_win.h"

namespace {

struct TEditLog {
    std::vector<std::pair<int, std::string>> calls;
    bool allow = true;
    std::string replace;
    void Edit(TObject*, std::string& text, int index, bool& allowed) {
        calls.emplace_back(index, text);
        if (!replace.empty())
            text = replace;
        allowed = allow;
    }
};

class NavBarEditTest : public NavBarPaintTest {
protected:
    void Type(const char* keys) {
        for (const char* k = keys; *k != 0; ++k)
            mouse_input::Key(static_cast<WORD>(*k));
        RunFor(150);
    }
    TTkNavBar* Bar() {
        TTkNavBar* bar = MakeBar(120, 200);
        bar->SetBounds(20, 20, 120, 200);
        for (const char* caption : {"Mail", "Notes"}) {
            TTkNavBarPage* page = bar->Pages()->Add();
            page->SetCaption(caption);
            for (const char* b : {"Inbox", "Sent", "Drafts"})
                page->Buttons()->Add()->SetCaption(b);
        }
        bar->OnEditButton = TNavBarEditCaption(&log, &TEditLog::Edit);
        bar->OnEditPage = TNavBarEditCaption(&log, &TEditLog::Edit);
        return bar;
    }
    TEditLog log;
};

TEST_F(NavBarEditTest, EnterTakesTheTextAsTheHandlerAllows) {
    TTkNavBar* bar = Bar();
    ShowForm();
    TTkNavBarButtons* buttons = bar->Pages()->Items(0)->Buttons();
    bar->EditButton(buttons->Items(1));
    TTkNavBarEdit* editor = bar->Editor();
    ASSERT_TRUE(editor->Visible());
    EXPECT_EQ(editor->Text(), "Sent");
    EXPECT_EQ(editor->Item(), buttons->Items(1));
    TRect expected = bar->GetButtonTextRect(0, 1);
    expected.Left = std::max(expected.Left, 0);
    expected.Right = std::min(expected.Right, 120);
    EXPECT_EQ(editor->BoundsRect(), expected);
    ASSERT_TRUE(RunUntil([&] { return GetFocus() == editor->Handle(); }));
    Type("OUT");
    mouse_input::Key(VK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return !editor->Visible(); }));
    EXPECT_EQ(buttons->Items(1)->Caption(), "out");
    EXPECT_EQ(log.calls, (std::vector<std::pair<int, std::string>>{{1, "out"}}));
    EXPECT_EQ(editor->Item(), nullptr);

    // Refused: the old caption stays.
    log.allow = false;
    bar->EditButton(buttons->Items(2));
    RunFor(100);
    Type("X");
    mouse_input::Key(VK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return !editor->Visible(); }));
    EXPECT_EQ(buttons->Items(2)->Caption(), "Drafts");

    // A handler that changes the text: the changed text is taken. Pages too.
    log.allow = true;
    log.replace = "Archive";
    bar->EditPage(bar->Pages()->Items(1));
    EXPECT_EQ(editor->Text(), "Notes");
    const TRect header = bar->GetPageButtonRect(1);
    EXPECT_EQ(editor->BoundsRect(),
              Rect(header.Left + 2, header.Top + 2, header.Right - 2, header.Bottom - 2));
    RunFor(100);
    Type("Q");
    mouse_input::Key(VK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return !editor->Visible(); }));
    EXPECT_EQ(bar->Pages()->Items(1)->Caption(), "Archive");
    EXPECT_EQ(log.calls.back(), (std::pair<int, std::string>{1, "q"}));
}

TEST_F(NavBarEditTest, EscapeAndAClickOutsideDropTheEdit) {
    TTkNavBar* bar = Bar();
    ShowForm();
    TTkNavBarEdit* editor = bar->Editor();
    bar->EditPage(bar->Pages()->Items(0));
    RunFor(100);
    Type("GONE");
    mouse_input::Key(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([&] { return !editor->Visible(); }));
    EXPECT_EQ(bar->Pages()->Items(0)->Caption(), "Mail");

    TTkNavBarButton* button = bar->Pages()->Items(0)->Buttons()->Items(0);
    bar->EditButton(button);
    RunFor(100);
    Type("LOST");
    const TPoint away = form->ClientToScreen(Point(300, 250));
    ASSERT_TRUE(mouse_input::Click({away.X, away.Y}));
    ASSERT_TRUE(RunUntil([&] { return !editor->Visible(); }));
    EXPECT_EQ(button->Caption(), "Inbox");
    EXPECT_TRUE(log.calls.empty());

    // An unknown kind only remembers the item.
    bar->Perform(CM_BAREDITSTART, reinterpret_cast<WPARAM>(button), 2);
    EXPECT_EQ(editor->Item(), button);
    EXPECT_FALSE(editor->Visible());
}

TEST_F(NavBarEditTest, AnEditEndsWhenItsItemOrTheBarGoes) {
    TTkNavBar* bar = Bar();
    ShowForm();
    TTkNavBarEdit* editor = bar->Editor();
    TTkNavBarButtons* buttons = bar->Pages()->Items(0)->Buttons();
    bar->EditButton(buttons->Items(0));
    RunFor(100);
    buttons->Delete(0);
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(editor->Item(), nullptr);
    mouse_input::Key(VK_RETURN);
    RunFor(150);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(buttons->Items(0)->Caption(), "Sent");

    // The page of the edited button goes.
    bar->EditButton(buttons->Items(1));
    bar->Pages()->Delete(0);
    EXPECT_FALSE(editor->Visible());
    EXPECT_EQ(editor->Item(), nullptr);

    // The bar goes while a page is edited.
    bar->EditPage(bar->Pages()->Items(0));
    RunFor(100);
    Type("AB");
    bar->Free();
    mouse_input::Key(VK_RETURN);
    RunFor(150);
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(NavBarEditTest, DISABLED_ShowcaseEditing) {
    form->SetBounds(40, 40, 300, 300);
    TTkNavBar* bar = Bar();
    ShowForm();
    bar->EditButton(bar->Pages()->Items(0)->Buttons()->Items(1));
    RunFor(200);
    Type("RENAMED");
    RunFor(60000);
}

} // namespace
