// The link label on a form: wrapped text with links in their colour and underlined, the hot
// colour under the real mouse, the link event of a click, and a label whose height is held by
// its constraints still drawing.

#include <functional>
#include <string>
#include <vector>

#include "controls/TkLinkLabel_win.h"
#include "framework/graphics/Font_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

struct TClick {
    int number = -1;
    std::string text, param;
    int captions = 0;
    void Link(TObject*, int n, const std::string& t, const std::string& p) {
        number = n;
        text = t;
        param = p;
    }
    void Caption(TObject*) { ++captions; }
};

class LinkLabelTest : public ControlsTest {
protected:
    TTkLinkLabel* Label(const std::string& caption, int width) {
        auto* label = Create<TTkLinkLabel>(form);
        label->SetBounds(20, 20, width, 17);
        label->SetParent(form);
        label->OnLinkClick = TLinkClickEvent(&click, &TClick::Link);
        label->OnCaptionChanged = TNotifyEvent(&click, &TClick::Caption);
        label->SetCaption(caption);
        return label;
    }
    // The form's client area as its paint draws it, the label's children included.
    std::vector<COLORREF> Shot() {
        return DrawnPixels(
            [this](HDC dc) { form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); }, 400, 300);
    }
    static int Count(const std::vector<COLORREF>& p, const TRect& r, COLORREF c) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += p[static_cast<std::size_t>(y) * 400 + x] == c ? 1 : 0;
        return n;
    }
    // A link rectangle of the label in form coordinates.
    static TRect OnForm(TTkLinkLabel* label, const TRect& r) {
        const TPoint o = label->Tree()->Root()->Origin;
        return Rect(label->Left() + o.X + r.Left, label->Top() + o.Y + r.Top,
                    label->Left() + o.X + r.Right, label->Top() + o.Y + r.Bottom);
    }
    TClick click;
};

TEST_F(LinkLabelTest, WrappedTextWithLinksInTheirColourAndUnderlined) {
    TTkLinkLabel* label = Label(
        "Visit <LINK=home>our page</LINK> or write <LINK=mail>to us</LINK> today please", 120);
    ShowForm();
    RunFor(100);
    EXPECT_EQ(click.captions, 1);
    const TLinkRectList& links = label->Tree()->Root()->LinkRects;
    ASSERT_GE(links.size(), 2u);
    // Wrapped: more than one line, and the height followed the text.
    const int line = label->Canvas()->TextHeight("Yy");
    EXPECT_GT(label->ClientHeight(), line);
    EXPECT_EQ(label->ClientHeight() % line, 0);
    const auto shot = Shot();
    for (const TRect& r : links) {
        // A link whose first word wrapped leaves an empty piece at the end of the line before.
        if (r.Right == r.Left)
            continue;
        const TRect f = OnForm(label, r);
        EXPECT_GT(Count(shot, f, RGB(0, 0, 255)), 0);
        // The underline: a long run of link colour on one of the rectangle's lower rows.
        int best = 0;
        for (int y = f.Bottom - 4; y < f.Bottom; ++y)
            best = std::max(best, Count(shot, Rect(f.Left, y, f.Right, y + 1), RGB(0, 0, 255)));
        EXPECT_GE(best, (f.Right - f.Left) / 2);
    }
    // Plain text is in the font's colour.
    EXPECT_GT(Count(shot, Rect(20, 20, 50, 20 + line), RGB(0, 0, 0)), 0);

    // The same caption again fires nothing.
    label->SetCaption(label->Caption());
    EXPECT_EQ(click.captions, 1);
}

TEST_F(LinkLabelTest, AHotLinkUnderTheMouseAndAClickOnIt) {
    TTkLinkLabel* label = Label("Write <LINK=mail>to us</LINK> or <LINK>not</LINK>", 300);
    label->HotLinks = true;
    ShowForm();
    RunFor(100);
    const TLinkRectList& links = label->Tree()->Root()->LinkRects;
    ASSERT_EQ(links.size(), 2u);
    const TRect first = OnForm(label, links[0]);
    const TPoint at = form->ClientToScreen(Point((first.Left + first.Right) / 2, first.Top + 4));
    ASSERT_TRUE(mouse_input::MoveTo({at.X, at.Y}));
    ASSERT_TRUE(RunUntil([&] { return label->ActiveLink() != nullptr; }));
    EXPECT_EQ(label->ActiveLink()->State, 2);
    EXPECT_EQ(label->Cursor(), crHandPoint);
    // Drawn hot on the screen: purple.
    RunFor(50);
    HDC dc = GetDC(form->Handle());
    int purple = 0;
    for (int y = first.Top; y < first.Bottom; ++y)
        for (int x = first.Left; x < first.Right; ++x)
            purple += GetPixel(dc, x, y) == RGB(128, 0, 128) ? 1 : 0;
    ReleaseDC(form->Handle(), dc);
    EXPECT_GT(purple, 0);

    ASSERT_TRUE(mouse_input::Click({at.X, at.Y}));
    ASSERT_TRUE(RunUntil([&] { return click.number >= 0; }));
    EXPECT_EQ(click.number, 0);
    EXPECT_EQ(click.text, "to us");
    EXPECT_EQ(click.param, "mail");
    const TRect second = OnForm(label, links[1]);
    const TPoint at2 =
        form->ClientToScreen(Point((second.Left + second.Right) / 2, second.Top + 4));
    ASSERT_TRUE(mouse_input::Click({at2.X, at2.Y}));
    ASSERT_TRUE(RunUntil([&] { return click.number == 1; }));
    EXPECT_EQ(click.text, "not");
    EXPECT_EQ(click.param, "");
    // Off the links: the normal cursor, no link active.
    const TPoint away = form->ClientToScreen(Point(300, 250));
    ASSERT_TRUE(mouse_input::MoveTo({away.X, away.Y}));
    ASSERT_TRUE(RunUntil([&] { return label->ActiveLink() == nullptr; }));
}

TEST_F(LinkLabelTest, AHeightHeldByConstraintsStillDraws) {
    TTkLinkLabel* label = Label("<LINK>one</LINK> two three four five six seven eight", 60);
    TSizeConstraints c;
    c.MaxHeight = 17;
    label->SetConstraints(c);
    ShowForm();
    RunFor(100);
    EXPECT_EQ(label->Height(), 17);
    const auto shot = Shot();
    EXPECT_GT(Count(shot, Rect(20, 20, 80, 37), RGB(0, 0, 255)), 0);
    EXPECT_GT(Count(shot, Rect(20, 20, 80, 37), RGB(0, 0, 0)), 0);
}

TEST_F(LinkLabelTest, DISABLED_Showcase) {
    form->SetBounds(40, 40, 360, 220);
    TTkLinkLabel* label =
        Label("Quorvane keeps <B>four desktops</B>. Read the <LINK=help>help pages</LINK>, visit "
              "<LINK=web>the web page</LINK> or <LINK=mail>write to us</LINK>.<P><I>Thank you.</I>",
              300);
    label->HotLinks = true;
    ShowForm();
    RunFor(200);
    const TRect r = OnForm(label, label->Tree()->Root()->LinkRects[1]);
    const TPoint at = form->ClientToScreen(Point((r.Left + r.Right) / 2, r.Top + 4));
    mouse_input::MoveTo({at.X, at.Y});
    RunFor(60000);
}

} // namespace
