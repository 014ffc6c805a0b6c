#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/LinkLabelParser.h"

namespace {

// A compact picture of a tree: S"text", B/I/U[...], C<colour>[...], L<number>:<param>[...],
// D<number>[...], BR, P, ?<tag>.
std::string Dump(const TNode* node);

std::string DumpChildren(const TParentNode* parent) {
    std::string out = "[";
    for (std::size_t i = 0; i < parent->Children().size(); ++i) {
        if (i > 0)
            out += ",";
        out += Dump(parent->Children()[i]);
    }
    return out + "]";
}

std::string Dump(const TNode* node) {
    if (auto* s = dynamic_cast<const TStringNode*>(node))
        return "S\"" + s->Text + "\"";
    if (auto* a = dynamic_cast<const TActionNode*>(node))
        return a->Action == 0 ? "BR" : "P";
    if (auto* u = dynamic_cast<const TUnknownNode*>(node))
        return "?" + u->Tag;
    if (auto* st = dynamic_cast<const TStyleNode*>(node))
        return std::string(st->Style == fsBold     ? "B"
                           : st->Style == fsItalic ? "I"
                                                   : "U") +
               DumpChildren(st);
    if (auto* c = dynamic_cast<const TColorNode*>(node))
        return "C" + std::to_string(static_cast<std::uint32_t>(c->Color)) + DumpChildren(c);
    if (auto* l = dynamic_cast<const TLinkNode*>(node))
        return "L" + std::to_string(l->Number) + ":" + l->LinkParam() + DumpChildren(l);
    if (auto* d = dynamic_cast<const TDynamicNode*>(node))
        return "D" + std::to_string(d->Number) + DumpChildren(d);
    if (auto* r = dynamic_cast<const TRootNode*>(node))
        return DumpChildren(r);
    return "node";
}

std::string Parse(const std::string& caption) {
    TDefaultParser parser;
    return Dump(parser.ParseCaption(caption)->Root());
}

// Every node below the root names the root as its Root and its parent as its Parent.
void ExpectRooted(const TNodeTree& tree) {
    std::vector<const TParentNode*> stack{tree.Root()};
    while (!stack.empty()) {
        const TParentNode* p = stack.back();
        stack.pop_back();
        for (TNode* child : p->Children()) {
            EXPECT_EQ(child->Root(), tree.Root());
            EXPECT_EQ(child->Parent(), p);
            if (auto* q = dynamic_cast<const TParentNode*>(child))
                stack.push_back(q);
        }
    }
}

TEST(LinkLabelParser, CaptionsBecomeTrees) {
    const std::string red = std::to_string(static_cast<std::uint32_t>(clRed));
    struct Case {
        const char* caption;
        std::string tree;
    } cases[] = {
        {"Hello <b>big</B> world", "[S\"Hello \",B[S\"big\"],S\" world\"]"},
        {"<LINK=x>a</LINK><LINK>b</LINK>", "[L0:x[S\"a\"],L1:[S\"b\"]]"},
        {"a</B>b", "[S\"a\"]"},
        // FOO opens nothing, so its end tag closes the bold node and the last one ends all.
        {"<B>x<FOO>y</FOO>z</B>w", "[B[S\"x\",?FOO,S\"y\"],S\"z\"]"},
        {"1 &lt; 2 &gt; 0 &amp; &LT;", "[S\"1 < 2 > 0 &amp; &LT;\"]"},
        {"&&lt;lt;", "[S\"&<lt;\"]"},
        {"one\r\ntwo", "[S\"onetwo\"]"},
        {"a\rb\nc", "[S\"a\rb\nc\"]"},
        {"<COLOR=clRed>r</COLOR><color=nothing>k</color>", "[C" + red + "[S\"r\"],C0[S\"k\"]]"},
        {"<COLOR=$0000FF>r", "[C" + red + "[S\"r\"]]"},
        {"<COLORFUL>x", "[C0[S\"x\"]]"},
        {"a<br>b<Br>c<BR>d<BRX>e<p>f",
         "[S\"a\",BR,S\"b\",BR,S\"c\",BR,S\"d\",?BRX,S\"e\",P,S\"f\"]"},
        {"ab<B", "[S\"ab\",?]"},
        {"ab<", "[S\"ab\",?]"},
        {"ab</", "[S\"ab\"]"},
        {"<B>unclosed<I>too", "[B[S\"unclosed\",I[S\"too\"]]]"},
        {"<B>x</>y", "[B[S\"x\"],S\"y\"]"},
        {"<LINK=http://a.b/c?d=e>go", "[L0:http://a.b/c?d=e[S\"go\"]]"},
        {"<link=>empty", "[L0:[S\"empty\"]]"},
        {"<DYNAMIC>kept</DYNAMIC>after", "[D0[],S\"kept\"]"},
        {"<B>bold<u>", "[B[S\"bold\",U[]]]"},
        {"", "[]"},
        {"<>", "[?]"},
        {"<<>>", "[?<,S\">\"]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(Parse(c.caption), c.tree);
    }
}

TEST(LinkLabelParser, TheElementEnumeratorCutsAndCaches) {
    TElementEnumerator e("a<B>b</x>");
    EXPECT_EQ(e.PeekElement(), (TElement{ekText, "a"}));
    EXPECT_EQ(e.PeekElement(), (TElement{ekText, "a"}));
    EXPECT_EQ(e.TakeElement(), (TElement{ekText, "a"}));
    EXPECT_EQ(e.TakeElement(), (TElement{ekBeginTag, "B"}));
    EXPECT_EQ(e.TakeElement(), (TElement{ekText, "b"}));
    EXPECT_EQ(e.TakeElement(), (TElement{ekEndTag, "x"}));
    EXPECT_TRUE(e.Exhausted());
    try {
        e.TakeElement();
        FAIL();
    } catch (const EParserError& error) {
        EXPECT_EQ(error.Message(), "TElementEnumerator.GetNextElement: No more elements to return");
    }
}

TEST(LinkLabelParser, TagsMatchTheTable) {
    struct Case {
        const char* tag;
        int entry;
    } cases[] = {{"b", 0},      {"I", 1},     {"u", 2},      {"COLOR=clRed", 3}, {"color", 3},
                 {"ColorX", 3}, {"COLO", -1}, {"LINK=x", 4}, {"link", 4},        {"LIN", -1},
                 {"br", 5},     {"BRX", -1},  {"p", 6},      {"DYNAMIC", 7},     {"dynamic=", -1},
                 {"", -1},      {"BB", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(LookUpTag(c.tag), c.entry);
    }
}

class Source : public IDynamicNodeHandler {
public:
    std::vector<std::string> texts;
    std::string DynamicTextFor(TDynamicNode* node) override {
        return node->Number < static_cast<int>(texts.size()) ? texts[node->Number] : "";
    }
};

TEST(LinkLabelParser, DynamicTextIsSplicedInWithItsOwnLinksCounted) {
    TDefaultParser parser;
    Source source;
    source.texts = {"<LINK=in>x</LINK> <DYNAMIC>", "", "<B>b"};
    parser.AttachDynamicSource(&source);
    // A dynamic tag opens nothing; the one inside dynamic text stays empty but takes a number.
    auto tree = parser.ParseCaption("<LINK=a>1</LINK><DYNAMIC><LINK=b>2<DYNAMIC><DYNAMIC>");
    EXPECT_EQ(Dump(tree->Root()), "[L0:a[S\"1\"],D0[L1:in[S\"x\"],S\" \",D1[]],"
                                  "L2:b[S\"2\",D2[B[S\"b\"]],D3[]]]");
    ExpectRooted(*tree);
    EXPECT_EQ(parser.Counters().Links, 3);
    // The counters run on until they are reset.
    auto again = parser.ParseCaption("<LINK>x");
    EXPECT_EQ(Dump(again->Root()), "[L3:[S\"x\"]]");
    parser.ResetTagCounters();
    EXPECT_EQ(Dump(parser.ParseCaption("<LINK>x")->Root()), "[L0:[S\"x\"]]");
    // Lines are joined without a blank.
    EXPECT_EQ(Dump(parser.ParseLines({"one", "two"})->Root()), "[S\"onetwo\"]");
}

TEST(LinkLabelParser, TreeQueries) {
    TDefaultParser parser;
    auto tree = parser.ParseCaption("<B>a<LINK=1>b<I>c</I></LINK></B>d<LINK=2>e</LINK><U>f");
    TRootNode* root = tree->Root();
    EXPECT_EQ(root->PlainText(), "abcdef");
    INodeCursorPtr links = tree->OutermostNodesOfClass(ncLinkNode);
    std::vector<std::string> params;
    while (links->More())
        params.push_back(static_cast<TLinkNode*>(links->Next())->LinkParam());
    EXPECT_EQ(params, (std::vector<std::string>{"1", "2"}));
    EXPECT_THROW(links->Next(), ENodeError);
    links->Restart();
    EXPECT_TRUE(links->More());
    // Area nodes are outermost: the bold node, the second link and the underline.
    INodeCursorPtr areas = tree->OutermostNodesOfClass(ncAreaNode);
    int count = 0;
    while (areas->More()) {
        areas->Next();
        ++count;
    }
    EXPECT_EQ(count, 3);
    auto* first = static_cast<TLinkNode*>(root->FirstNodeOfClass(ncLinkNode));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->LinkParam(), "1");
    EXPECT_EQ(first->PlainText(), "bc");
    EXPECT_EQ(root->FirstNodeOfClass(ncDynamicNode), nullptr);

    // Points: give the strings rectangles as a layout would.
    auto* c =
        static_cast<TStringNode*>(static_cast<TParentNode*>(first->Children()[1])->Children()[0]);
    c->AddLineRect(Rect(10, 0, 20, 10));
    EXPECT_EQ(tree->FindNodeOfClassAt({15, 5}, ncLinkNode), first);
    EXPECT_EQ(tree->FindNodeOfClassAt({15, 5}, ncStyleNode), first->Parent());
    EXPECT_EQ(tree->FindNodeOfClassAt({20, 10}, ncLinkNode), first) << "edges belong to it";
    EXPECT_EQ(tree->FindNodeOfClassAt({21, 5}, ncLinkNode), nullptr);
    // Only top-level nodes count for HasNodeOfClassAt, until the link rectangles are gathered.
    EXPECT_FALSE(tree->HasNodeOfClassAt({15, 5}, ncLinkNode));
    EXPECT_TRUE(tree->HasNodeOfClassAt({15, 5}, ncStyleNode));
    auto* e =
        static_cast<TStringNode*>(static_cast<TParentNode*>(root->Children()[2])->Children()[0]);
    e->AddLineRect(Rect(30, 0, 40, 10));
    root->GatherLinkRects();
    EXPECT_EQ(root->LinkRects, (TLinkRectList{Rect(30, 0, 40, 10)}));
    EXPECT_TRUE(tree->HasNodeOfClassAt({35, 5}, ncLinkNode));
    EXPECT_FALSE(tree->HasNodeOfClassAt({15, 5}, ncLinkNode));
    IRectCursorPtr rects = root->TextRects();
    EXPECT_EQ(rects->Next(), Rect(10, 0, 20, 10));
    EXPECT_EQ(rects->Next(), Rect(30, 0, 40, 10));
    EXPECT_THROW(rects->Next(), ENodeError);

    // Word information and its bounds.
    c->StoreWordInfo({true, 3, 12});
    EXPECT_EQ(c->GetWordInfo(0).WordWidth, 12);
    EXPECT_THROW(c->GetWordInfo(1), ENodeError);
    EXPECT_THROW(c->GetWordInfo(-1), ENodeError);
    tree->ForgetWordWidths();
    EXPECT_FALSE(c->HasWordInfoAt(0));
}

TEST(LinkLabelParser, NodeTypesColoursAndTools) {
    struct Custom : TStringNode {
        Custom() : TStringNode("x") {}
    };
    TDefaultParser parser;
    auto tree = parser.ParseCaption("<B>a</B><LINK>b</LINK><BR><Q>");
    EXPECT_EQ(tree->Root()->GetNodeType(), 7);
    EXPECT_EQ(tree->Root()->Children()[0]->GetNodeType(), 3);
    EXPECT_EQ(tree->Root()->Children()[2]->GetNodeType(), 9);
    EXPECT_EQ(tree->Root()->Children()[3]->GetNodeType(), 10);
    Custom custom;
    EXPECT_THROW(custom.GetNodeType(), ENodeError);
    EXPECT_TRUE(custom.IsOfClass(ncStringNode));
    EXPECT_EQ(tree->Root()->AreaColor(), clWindowText);

    auto* link = static_cast<TLinkNode*>(tree->Root()->Children()[1]);
    for (auto [state, color] : {std::pair{0, 0x80000400u}, std::pair{1, 0x80000401u},
                                std::pair{2, 0x80000402u}, std::pair{3, 0u}}) {
        link->State = static_cast<std::uint8_t>(state);
        EXPECT_EQ(static_cast<std::uint32_t>(link->AreaColor()), color);
    }

    EXPECT_THROW(TStringTools(), EGenericToolsError);
    EXPECT_THROW(TGraphicTools(), EGenericToolsError);
    EXPECT_TRUE(TStringTools::StartsWithText("abc", "ab"));
    EXPECT_FALSE(TStringTools::StartsWithText("a", "ab"));
    EXPECT_TRUE(TStringTools::EndsWithText("abc", "bc"));
    EXPECT_EQ(TStringTools::DeleteLineBreaks("a\r\n\r\nb\n\rc\r"), "ab\n\rc\r");
    std::string text = "xaaax";
    EXPECT_TRUE(TStringTools::ReplaceEvery("aa", "b", text));
    EXPECT_EQ(text, "xbax");
    EXPECT_FALSE(TStringTools::ReplaceEvery("q", "b", text));
}

TEST(LinkLabelParser, DeepNestingNeitherOverflowsNorLeaks) {
    std::string caption;
    for (int i = 0; i < 200000; ++i)
        caption += "<B>";
    caption += "deep";
    TDefaultParser parser;
    auto tree = parser.ParseCaption(caption);
    EXPECT_EQ(tree->Root()->PlainText(), "deep");
    auto* deepest = tree->Root()->FirstNodeOfClass(ncStringNode);
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->Root(), tree->Root());
    EXPECT_EQ(tree->FindNodeOfClassAt({0, 0}, ncLinkNode), nullptr);
    tree.reset();
}

} // namespace
