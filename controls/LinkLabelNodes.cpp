#include "controls/LinkLabelNodes.h"

#include <typeinfo>
#include <utility>

TStaticObject::TStaticObject() {
    throw EGenericToolsError("This class cannot be instantiated");
}

bool TStringTools::StartsWithText(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool TStringTools::EndsWithText(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string TStringTools::DeleteLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

bool TStringTools::ReplaceEvery(const std::string& find, const std::string& replacement,
                                std::string& text) {
    if (find.empty())
        return false;
    std::string out;
    bool replaced = false;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(find, from);
        if (at == std::string::npos)
            break;
        out.append(text, from, at - from);
        out += replacement;
        from = at + find.size();
        replaced = true;
    }
    if (replaced) {
        out.append(text, from, std::string::npos);
        text = std::move(out);
    }
    return replaced;
}

bool TGraphicTools::RectHoldsPoint(const TRect& r, TPoint p) noexcept {
    return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Visits the nodes below Start in document order. Visit answers whether to go on and, through
// Enter, whether to walk into a parent node it was given.
template <class F> void WalkBelow(const TParentNode* start, F&& visit) {
    struct Level {
        const TParentNode* parent;
        std::size_t next;
    };
    std::vector<Level> stack{{start, 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.parent->Children().size()) {
            stack.pop_back();
            continue;
        }
        TNode* node = level.parent->Children()[level.next++];
        bool enter = true;
        if (!visit(node, enter))
            return;
        auto* parent = dynamic_cast<const TParentNode*>(node);
        if (enter && parent != nullptr)
            stack.push_back({parent, 0});
    }
}

} // namespace

int TNode::GetNodeType() const {
    const std::type_info& t = typeid(*this);
    const std::type_info* classes[] = {
        &typeid(TNode),       &typeid(TParentNode), &typeid(TAreaNode),    &typeid(TStyleNode),
        &typeid(TColorNode),  &typeid(TLinkNode),   &typeid(TDynamicNode), &typeid(TRootNode),
        &typeid(TStringNode), &typeid(TActionNode), &typeid(TUnknownNode)};
    for (int i = 0; i < static_cast<int>(std::size(classes)); ++i)
        if (t == *classes[i])
            return i;
    throw ENodeError("TNode.GetNodeType: Unknown class");
}

bool TNode::IsOfClass(TNodeClass Class) const noexcept {
    switch (Class) {
    case ncNode:
        return true;
    case ncParentNode:
        return dynamic_cast<const TParentNode*>(this) != nullptr;
    case ncAreaNode:
        return dynamic_cast<const TAreaNode*>(this) != nullptr;
    case ncStyleNode:
        return dynamic_cast<const TStyleNode*>(this) != nullptr;
    case ncColorNode:
        return dynamic_cast<const TColorNode*>(this) != nullptr;
    case ncLinkNode:
        return dynamic_cast<const TLinkNode*>(this) != nullptr;
    case ncDynamicNode:
        return dynamic_cast<const TDynamicNode*>(this) != nullptr;
    case ncRootNode:
        return dynamic_cast<const TRootNode*>(this) != nullptr;
    case ncStringNode:
        return dynamic_cast<const TStringNode*>(this) != nullptr;
    case ncActionNode:
        return dynamic_cast<const TActionNode*>(this) != nullptr;
    case ncUnknownNode:
        return dynamic_cast<const TUnknownNode*>(this) != nullptr;
    }
    return false;
}

TNode* TTopLevelNodeEnumerator::Next() {
    if (!More())
        throw ENodeError("No more nodes to return");
    return nodes_[index_++];
}

TRect TRectEnumerator::Next() {
    if (!More())
        throw ENodeError("No more records to return");
    return rects_[index_++];
}

TParentNode::~TParentNode() {
    FreeChildNodes();
}

void TParentNode::AppendChild(TNode* Node, TRootNode* ARoot) {
    children_.push_back(Node);
    Node->parent_ = this;
    Node->root_ = ARoot;
    // Nodes that already have children (spliced dynamic text) move to this tree with them.
    if (auto* parent = dynamic_cast<TParentNode*>(Node)) {
        WalkBelow(parent, [ARoot](TNode* below, bool&) {
            below->root_ = ARoot;
            return true;
        });
    }
}

void TParentNode::FreeChildNodes() {
    TNodeList doomed;
    doomed.swap(children_);
    if (!OwnsChildNodes)
        return;
    // Last first; a child's own children join the list instead of being freed from inside its
    // destructor, so no depth of nesting deepens the call stack.
    while (!doomed.empty()) {
        TNode* node = doomed.back();
        doomed.pop_back();
        if (auto* parent = dynamic_cast<TParentNode*>(node)) {
            if (parent->OwnsChildNodes)
                doomed.insert(doomed.end(), parent->children_.begin(), parent->children_.end());
            parent->children_.clear();
        }
        delete node;
    }
}

TNode* TParentNode::FirstNodeOfClass(TNodeClass Class) const {
    TNode* found = nullptr;
    WalkBelow(this, [&](TNode* node, bool&) {
        if (node->IsOfClass(Class)) {
            found = node;
            return false;
        }
        return true;
    });
    return found;
}

INodeCursorPtr TParentNode::OutermostNodesOfClass(TNodeClass Class) const {
    TNodeList list;
    WalkBelow(this, [&](TNode* node, bool& enter) {
        if (node->IsOfClass(Class)) {
            list.push_back(node);
            enter = false;
        }
        return true;
    });
    return std::make_shared<TTopLevelNodeEnumerator>(std::move(list));
}

bool TAreaNode::HasNodeOfClassAt(TPoint P, TNodeClass Class) const {
    for (TNode* child : Children()) {
        auto* area = dynamic_cast<TAreaNode*>(child);
        if (area != nullptr && child->IsOfClass(Class) && area->ContainsPoint(P))
            return true;
    }
    return false;
}

std::string TAreaNode::PlainText() const {
    std::string text;
    WalkBelow(this, [&](TNode* node, bool&) {
        if (auto* s = dynamic_cast<TStringNode*>(node))
            text += s->Text;
        return true;
    });
    return text;
}

bool TAreaNode::ContainsPoint(TPoint P) const {
    bool inside = false;
    WalkBelow(this, [&](TNode* node, bool&) {
        if (auto* s = dynamic_cast<TStringNode*>(node); s != nullptr && s->ContainsPoint(P)) {
            inside = true;
            return false;
        }
        return true;
    });
    return inside;
}

TAreaNode* TAreaNode::FindNodeOfClassAt(TPoint P, TNodeClass Class) const {
    // The area nodes holding P, from the top level inwards, each level in order: the first of
    // the class is the answer.
    std::vector<std::pair<const TAreaNode*, std::size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [area, index] = stack.back();
        if (index >= area->Children().size()) {
            stack.pop_back();
            continue;
        }
        auto* child = dynamic_cast<TAreaNode*>(area->Children()[index++]);
        if (child == nullptr || !child->ContainsPoint(P))
            continue;
        if (child->IsOfClass(Class))
            return child;
        stack.push_back({child, 0});
    }
    return nullptr;
}

IRectCursorPtr TAreaNode::TextRects() const {
    TLinkRectList rects;
    WalkBelow(this, [&](TNode* node, bool&) {
        if (auto* s = dynamic_cast<TStringNode*>(node))
            rects.insert(rects.end(), s->LineRects.begin(), s->LineRects.end());
        return true;
    });
    return std::make_shared<TRectEnumerator>(std::move(rects));
}

TColorNode::TColorNode(TColor AColor) {
    if (AColor != clNone)
        Color = AColor;
}

TColor TLinkNode::AreaColor() const {
    switch (State) {
    case 0:
        return kLinkNormalColor;
    case 1:
        return kLinkClickedColor;
    case 2:
        return kLinkHotColor;
    default:
        return Color;
    }
}

bool TRootNode::HasNodeOfClassAt(TPoint P, TNodeClass Class) const {
    if (Class == ncLinkNode && !LinkRects.empty()) {
        for (const TRect& r : LinkRects)
            if (TGraphicTools::RectHoldsPoint(r, P))
                return true;
        return false;
    }
    return TAreaNode::HasNodeOfClassAt(P, Class);
}

void TRootNode::GatherLinkRects() {
    LinkRects.clear();
    for (TNode* child : Children()) {
        auto* link = dynamic_cast<TLinkNode*>(child);
        if (link == nullptr)
            continue;
        IRectCursorPtr rects = link->TextRects();
        while (rects->More())
            LinkRects.push_back(rects->Next());
    }
}

const TWordInfo& TStringNode::GetWordInfo(int Index) const {
    if (!HasWordInfoAt(Index))
        throw ENodeError("TStringNode.GetWordInfo: Index out of bounds");
    return wordInfos_[static_cast<std::size_t>(Index)];
}

bool TStringNode::HasWordInfoAt(int Index) const noexcept {
    return Index >= 0 && Index < static_cast<int>(wordInfos_.size());
}

bool TStringNode::ContainsPoint(TPoint P) const {
    for (const TRect& r : LineRects)
        if (TGraphicTools::RectHoldsPoint(r, P))
            return true;
    return false;
}

TNodeTree::TNodeTree() : root_(new TRootNode()) {
    root_->Color = clWindowText;
    root_->root_ = root_;
}

TNodeTree::~TNodeTree() {
    delete root_;
}

void TNodeTree::ForgetWordWidths() {
    WalkBelow(root_, [](TNode* node, bool&) {
        if (auto* s = dynamic_cast<TStringNode*>(node))
            s->ClearWordInfos();
        return true;
    });
}
