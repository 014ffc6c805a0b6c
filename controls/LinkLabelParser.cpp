#include "controls/LinkLabelParser.h"

#include "framework/core/ColorIdents.h"
#include "framework/core/SysUtils.h"

namespace {

const char* const kTags[] = {"B", "I", "U", "COLOR=", "LINK=", "BR", "P", "DYNAMIC"};

std::string ReplaceEntities(std::string text) {
    TStringTools::ReplaceEvery("&lt;", "<", text);
    TStringTools::ReplaceEvery("&gt;", ">", text);
    return text;
}

} // namespace

TElement TElementEnumerator::GetNextElement(bool Move) {
    if (Exhausted())
        throw EParserError("TElementEnumerator.GetNextElement: No more elements to return");
    if (cachedAt_ != position_) {
        const std::size_t length = text_.size();
        const std::size_t p = position_;
        TElement e;
        std::size_t next = 0;
        if (text_[p] == '<') {
            const bool end = p + 1 < length && text_[p + 1] == '/';
            e.Kind = end ? ekEndTag : ekBeginTag;
            const std::size_t start = p + (end ? 2 : 1);
            // The scan never looks at the last character: that one is taken for the closing
            // bracket whatever it is.
            std::size_t stop = start;
            while (stop + 1 < length && text_[stop] != '>')
                ++stop;
            if (stop < start)
                stop = start;
            e.Text = start < length ? text_.substr(start, stop - start) : std::string();
            next = stop + 1;
        } else {
            e.Kind = ekText;
            std::size_t stop = text_.find('<', p);
            if (stop == std::string::npos)
                stop = length;
            e.Text = text_.substr(p, stop - p);
            next = stop;
        }
        cached_ = std::move(e);
        cachedAt_ = position_;
        cachedNext_ = next;
    }
    if (Move)
        position_ = cachedNext_;
    return cached_;
}

int LookUpTag(const std::string& Tag) {
    const std::string upper = UpperCase(Tag);
    for (int i = 0; i < static_cast<int>(std::size(kTags)); ++i) {
        const std::string entry = kTags[i];
        if (upper == entry)
            return i;
        if (entry.find('=') != std::string::npos &&
            upper.compare(0, entry.size() - 1, entry, 0, entry.size() - 1) == 0 &&
            upper.size() >= entry.size() - 1)
            return i;
    }
    return -1;
}

TDefaultParser::TDefaultParser(std::shared_ptr<TTagCounters> Counters)
    : counters_(Counters != nullptr ? std::move(Counters) : std::make_shared<TTagCounters>()) {}

TNode* TDefaultParser::MakeTagNode(const std::string& Tag) {
    const std::size_t equals = Tag.find('=');
    const std::string value = equals == std::string::npos ? std::string() : Tag.substr(equals + 1);
    switch (LookUpTag(Tag)) {
    case 0:
        return new TStyleNode(fsBold);
    case 1:
        return new TStyleNode(fsItalic);
    case 2:
        return new TStyleNode(fsUnderline);
    case 3: {
        TColor color = clNone;
        try {
            color = StringToColor(value);
        } catch (const Exception&) {
            color = clNone;
        }
        return new TColorNode(color);
    }
    case 4:
        return new TLinkNode(counters_->Links++, value);
    case 5:
        return new TActionNode(0);
    case 6:
        return new TActionNode(1);
    case 7: {
        auto* node = new TDynamicNode(counters_->Dynamics++);
        if (source_ != nullptr) {
            try {
                const std::string text = source_->DynamicTextFor(node);
                if (!text.empty())
                    ExpandDynamicNode(node, text);
            } catch (...) {
                delete node;
                throw;
            }
        }
        return node;
    }
    default:
        return new TUnknownNode(Tag);
    }
}

void TDefaultParser::ParseNode(TRootNode* Root, IElementEnumerator& Elements) {
    // One level per open tag, kept here rather than on the call stack: a caption may nest as
    // deep as it likes.
    std::vector<TParentNode*> open{Root};
    while (!open.empty()) {
        TParentNode* parent = open.back();
        if (!Elements.Exhausted() && Elements.PeekElement().Kind != ekEndTag) {
            const TElement element = Elements.TakeElement();
            TNode* node = element.Kind == ekBeginTag
                              ? MakeTagNode(element.Text)
                              : new TStringNode(ReplaceEntities(element.Text));
            TRootNode* root = parent == Root ? Root : parent->Root();
            parent->AppendChild(node, root);
            auto* opened = dynamic_cast<TParentNode*>(node);
            if (element.Kind == ekBeginTag && opened != nullptr &&
                dynamic_cast<TDynamicNode*>(node) == nullptr)
                open.push_back(opened);
            continue;
        }
        // The end tag that closes this level (at the top level: the end of the caption).
        if (!Elements.Exhausted())
            Elements.TakeElement();
        open.pop_back();
        if (parent == Root)
            break;
    }
}

std::unique_ptr<TNodeTree> TDefaultParser::ParseCaption(const std::string& Text) {
    auto tree = std::make_unique<TNodeTree>();
    TElementEnumerator elements(TStringTools::DeleteLineBreaks(Text));
    ParseNode(tree->Root(), elements);
    return tree;
}

std::unique_ptr<TNodeTree> TDefaultParser::ParseLines(const std::vector<std::string>& Lines) {
    std::string text;
    for (const std::string& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return ParseCaption(text);
}

void TDefaultParser::ExpandDynamicNode(TDynamicNode* Node, const std::string& Source) {
    TDefaultParser inner(counters_);
    std::unique_ptr<TNodeTree> temporary = inner.ParseCaption(Source);
    TRootNode* root = temporary->Root();
    root->OwnsChildNodes = false;
    const TNodeList children = root->Children();
    for (TNode* child : children)
        Node->AppendChild(child, Node->Root());
    // The temporary root forgets the moved nodes without freeing them.
}
