#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/LinkLabelLayout.h"
#include "controls/LinkLabelParser.h"

namespace {

struct TOut {
    int x, y;
    std::string text;
    bool bold;
    std::uint32_t color;
    friend bool operator==(const TOut&, const TOut&) = default;
};

std::ostream& operator<<(std::ostream& os, const TOut& o) {
    return os << "(" << o.x << "," << o.y << ",\"" << o.text << "\"" << (o.bold ? ",bold" : "")
              << "," << std::hex << o.color << std::dec << ")";
}

// Every character 6 pixels wide (7 when bold), lines 10 high; drawing is recorded.
class FakeCanvas : public ITextCanvas {
public:
    TFontStyles style;
    TColor color = static_cast<TColor>(0);
    std::vector<TOut> outs;
    TFontStyles FontStyle() const override { return style; }
    void SetFontStyle(TFontStyles s) override { style = s; }
    void SetFontColor(TColor c) override { color = c; }
    int TextWidth(const std::string& t) override {
        return static_cast<int>(t.size()) * (style.Contains(fsBold) ? 7 : 6);
    }
    int TextHeight(const std::string&) override { return 10; }
    void TextOut(int x, int y, const std::string& t) override {
        if (!t.empty())
            outs.push_back({x, y, t, style.Contains(fsBold), static_cast<std::uint32_t>(color)});
    }
};

struct TLaidOut {
    std::unique_ptr<TNodeTree> tree;
    std::vector<TOut> outs;
    int height;
};

TLaidOut Lay(const std::string& caption, int right) {
    TDefaultParser parser;
    TLaidOut r;
    r.tree = parser.ParseCaption(caption);
    FakeCanvas canvas;
    TDefaultRenderer renderer;
    renderer.DrawTree(&canvas, Rect(0, 0, right, 1000), r.tree.get());
    r.outs = canvas.outs;
    r.height = renderer.TextHeight();
    return r;
}

// The root's colour (clWindowText) and the link colour.
constexpr std::uint32_t kBlack = 0xFF000008, kBlue = 0xFF0000;

TEST(LinkLabelLayout, WordsCarryTheirTrailingBlank) {
    TWordEnumerator words("ab  c d ");
    std::vector<std::string> got;
    while (words.More())
        got.push_back(words.TakeWord());
    EXPECT_EQ(got, (std::vector<std::string>{"ab ", " ", "c ", "d "}));
    EXPECT_EQ(words.WordCount(), 4);
    EXPECT_THROW(words.TakeWord(), ETextHandlerError);
    words.Restart();
    EXPECT_EQ(words.PeekWord(), "ab ");
}

TEST(LinkLabelLayout, LinesWrapAtTheRightEdge) {
    struct Case {
        const char* what;
        const char* caption;
        int right;
        std::vector<TOut> outs;
        int height;
    } cases[] = {
        {"wraps",
         "aaa bbb ccc ddd",
         59,
         {{0, 0, "aaa bbb", false, kBlack}, {0, 10, "ccc ddd", false, kBlack}},
         20},
        {"an exact fit wraps",
         "aaa bbb",
         42,
         {{0, 0, "aaa", false, kBlack}, {0, 10, "bbb", false, kBlack}},
         20},
        {"one pixel more fits", "aaa bbb", 43, {{0, 0, "aaa bbb", false, kBlack}}, 10},
        {"the first word never wraps",
         "toolongword next",
         20,
         {{0, 0, "toolongword", false, kBlack}, {0, 10, "next", false, kBlack}},
         20},
        {"breaks and paragraphs",
         "a<BR>b<P>c",
         100,
         {{0, 0, "a", false, kBlack}, {0, 10, "b", false, kBlack}, {0, 30, "c", false, kBlack}},
         40},
        {"a word across styles wraps whole",
         "xx aaaa<B>bb</B>",
         50,
         {{0, 0, "xx", false, kBlack},
          {0, 10, "aaaa", false, kBlack},
          {24, 10, "bb", true, kBlack}},
         20},
        {"it fits whole too",
         "xx aaaa<B>bb</B>",
         57,
         {{0, 0, "xx aaaa", false, kBlack}, {42, 0, "bb", true, kBlack}},
         10},
        {"links are blue",
         "go <LINK>there</LINK> now",
         200,
         {{0, 0, "go", false, kBlack},
          {18, 0, "there", false, kBlue},
          {48, 0, " now", false, kBlack}},
         10},
        {"blank runs are words of their own", "a   b", 200, {{0, 0, "a   b", false, kBlack}}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TLaidOut r = Lay(c.caption, c.right);
        EXPECT_EQ(r.outs, c.outs);
        EXPECT_EQ(r.height, c.height);
    }
}

TEST(LinkLabelLayout, ALinkOverTwoLinesGathersBothRectangles) {
    const TLaidOut r = Lay("<LINK=p>aaa bbb ccc</LINK>", 59);
    EXPECT_EQ(r.outs,
              (std::vector<TOut>{{0, 0, "aaa bbb", false, kBlue}, {0, 10, "ccc", false, kBlue}}));
    EXPECT_EQ(r.tree->Root()->LinkRects, (TLinkRectList{Rect(0, 0, 48, 10), Rect(0, 10, 18, 20)}));
    EXPECT_TRUE(r.tree->HasNodeOfClassAt({5, 15}, ncLinkNode));
    EXPECT_FALSE(r.tree->HasNodeOfClassAt({30, 15}, ncLinkNode));
    auto* link = r.tree->FindNodeOfClassAt({5, 15}, ncLinkNode);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Origin, (TPoint{0, 0}));
}

// Drawing one link again where the whole text put it gives the same pieces, in the state's
// colour, also when the root stands elsewhere (as on the control, inside its margins).
TEST(LinkLabelLayout, ARedrawnLinkPaintsWhatTheWholeTextPainted) {
    const char* captions[] = {
        "see <LINK=a>this link</LINK> here",
        "aaa bbb <B>cc<LINK>dd ee ff gg</LINK></B> hh",
        "x<BR><LINK>one two three four five six</LINK>",
        "lead <LINK>li<B>nk</B>ed</LINK>tail more words",
        "<LINK>start</LINK> then more text that wraps",
    };
    for (const char* caption : captions) {
        for (int right : {30, 45, 61, 80, 200}) {
            SCOPED_TRACE(std::string(caption) + " / " + std::to_string(right));
            TLaidOut r = Lay(caption, right);
            std::vector<TOut> linkOuts;
            for (TOut o : r.outs) {
                if (o.color == kBlue) {
                    o.x += 5;
                    o.y += 7;
                    o.color = 0x800080; // as drawn hot
                    linkOuts.push_back(o);
                }
            }
            auto* link = static_cast<TLinkNode*>(r.tree->Root()->FirstNodeOfClass(ncLinkNode));
            ASSERT_NE(link, nullptr);
            link->State = 2;
            r.tree->Root()->Origin = {5, 7};
            FakeCanvas canvas;
            TDefaultRenderer renderer;
            renderer.RedrawArea(&canvas, Rect(5, 7, right + 5, 1007), link);
            EXPECT_EQ(canvas.outs, linkOuts);
        }
    }
}

TEST(LinkLabelLayout, WordWidthsAreMeasuredOnceAndForgotten) {
    TDefaultParser parser;
    auto tree = parser.ParseCaption("one two");
    struct Counting : FakeCanvas {
        int measures = 0;
        int TextWidth(const std::string& t) override {
            ++measures;
            return FakeCanvas::TextWidth(t);
        }
    } canvas;
    TDefaultRenderer renderer;
    renderer.DrawTree(&canvas, Rect(0, 0, 200, 100), tree.get());
    const int first = canvas.measures;
    canvas.measures = 0;
    renderer.DrawTree(&canvas, Rect(0, 0, 200, 100), tree.get());
    EXPECT_LT(canvas.measures, first);
    auto* node = static_cast<TStringNode*>(tree->Root()->Children()[0]);
    EXPECT_EQ(node->WordInfoCount(), 2);
    tree->ForgetWordWidths();
    EXPECT_EQ(node->WordInfoCount(), 0);
}

TEST(LinkLabelLayout, DeepCaptionsLayOutWithoutExhaustingTheStack) {
    std::string caption;
    for (int i = 0; i < 100000; ++i)
        caption += "<I>";
    caption += "deep text";
    const TLaidOut r = Lay(caption, 200);
    ASSERT_EQ(r.outs.size(), 1u);
    EXPECT_EQ(r.outs[0].text, "deep text");
}

} // namespace
