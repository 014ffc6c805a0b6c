#pragma once

// The link label's node tree: what a caption in the label's mark-up becomes. Area nodes (bold,
// italic, underlined, coloured runs, links, dynamic text, the root) hold string, break and
// unknown-tag nodes and further area nodes; the queries find nodes by class and by point.
// Every walk over a tree keeps its own stack, so trees of any depth are safe.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/TkTypes.h"
#include "framework/core/Types.h"

FW_DECLARE_EXCEPTION(ENodeError, ETkException);
FW_DECLARE_EXCEPTION(EGenericToolsError, ETkException);

// Groups class operations only: constructing one raises EGenericToolsError.
class TStaticObject {
public:
    TStaticObject();
};

class TStringTools : public TStaticObject {
public:
    static bool StartsWithText(const std::string& text, const std::string& prefix);
    static bool EndsWithText(const std::string& text, const std::string& suffix);
    // Every CR LF pair removed.
    static std::string DeleteLineBreaks(const std::string& text);
    // Every occurrence of Find (exact case) replaced, left to right in one pass; true when
    // something was replaced.
    static bool ReplaceEvery(const std::string& find, const std::string& replacement,
                             std::string& text);
};

class TGraphicTools : public TStaticObject {
public:
    // All four edges included.
    static bool RectHoldsPoint(const TRect& r, TPoint p) noexcept;
};

// The node classes, by their type numbers.
enum TNodeClass : std::uint8_t {
    ncNode,
    ncParentNode,
    ncAreaNode,
    ncStyleNode,
    ncColorNode,
    ncLinkNode,
    ncDynamicNode,
    ncRootNode,
    ncStringNode,
    ncActionNode,
    ncUnknownNode
};

class TParentNode;
class TRootNode;
class TNode;

using TNodeList = std::vector<TNode*>;
// The rectangles of a link's text (the raster library has a rectangle list of its own).
using TLinkRectList = std::vector<TRect>;

class TNode {
public:
    TNode() = default;
    virtual ~TNode() = default;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    TParentNode* Parent() const noexcept { return parent_; }
    TRootNode* Root() const noexcept { return root_; }
    // The type number of the node's exact class; ENodeError for any other class.
    int GetNodeType() const;
    // Of the class or a class below it.
    bool IsOfClass(TNodeClass Class) const noexcept;

private:
    friend class TParentNode;
    friend class TNodeTree;
    TParentNode* parent_ = nullptr;
    TRootNode* root_ = nullptr;
};

// A cursor over a list of nodes.
class INodeCursor {
public:
    virtual ~INodeCursor() = default;
    virtual bool More() const = 0;
    // ENodeError "No more nodes to return" past the end.
    virtual TNode* Next() = 0;
    virtual void Restart() = 0;
};
using INodeCursorPtr = std::shared_ptr<INodeCursor>;

class TTopLevelNodeEnumerator : public INodeCursor {
public:
    explicit TTopLevelNodeEnumerator(TNodeList Nodes) : nodes_(std::move(Nodes)) {}
    bool More() const override { return index_ < nodes_.size(); }
    TNode* Next() override;
    void Restart() override { index_ = 0; }

private:
    TNodeList nodes_;
    std::size_t index_ = 0;
};

class IRectCursor {
public:
    virtual ~IRectCursor() = default;
    virtual bool More() const = 0;
    // ENodeError "No more records to return" past the end.
    virtual TRect Next() = 0;
};
using IRectCursorPtr = std::shared_ptr<IRectCursor>;

class TRectEnumerator : public IRectCursor {
public:
    explicit TRectEnumerator(TLinkRectList Rects) : rects_(std::move(Rects)) {}
    bool More() const override { return index_ < rects_.size(); }
    TRect Next() override;

private:
    TLinkRectList rects_;
    std::size_t index_ = 0;
};

class TParentNode : public TNode {
public:
    ~TParentNode() override;
    const TNodeList& Children() const noexcept { return children_; }
    bool OwnsChildNodes = true;
    // Appends Node, whose Parent becomes this node and whose Root (and that of every node
    // below it) becomes ARoot.
    void AppendChild(TNode* Node, TRootNode* ARoot);
    // Frees the children (last first) when the node owns them; forgets them in any case.
    void FreeChildNodes();
    // Depth first in document order; nullptr for none.
    TNode* FirstNodeOfClass(TNodeClass Class) const;
    // The nodes of the class not inside another one of it, in document order.
    INodeCursorPtr OutermostNodesOfClass(TNodeClass Class) const;

private:
    TNodeList children_;
};

class TAreaNode : public TParentNode {
public:
    TPoint Origin{};
    TFontStyles Styles;
    TColor Color = static_cast<TColor>(0);

    virtual TFontStyles AreaStyles() const { return Styles; }
    virtual TColor AreaColor() const { return Color; }
    // One of its top-level nodes of the class is an area node holding P.
    virtual bool HasNodeOfClassAt(TPoint P, TNodeClass Class) const;

    // The texts of the string nodes below, joined.
    std::string PlainText() const;
    // P lies in a line rectangle of a string node below.
    bool ContainsPoint(TPoint P) const;
    // The innermost-first search of the area nodes holding P for one of the class.
    TAreaNode* FindNodeOfClassAt(TPoint P, TNodeClass Class) const;
    // The line rectangles of every string node below.
    IRectCursorPtr TextRects() const;
};

class TStyleNode : public TAreaNode {
public:
    explicit TStyleNode(TFontStyle AStyle) : Style(AStyle) {}
    TFontStyle Style;
};

class TColorNode : public TAreaNode {
public:
    // clNone leaves the node's colour as it is (0).
    explicit TColorNode(TColor AColor);
};

// The pseudo colours of a link by its state, which the label maps to its link colours (they
// are not system colours).
inline constexpr TColor kLinkNormalColor = static_cast<TColor>(0x80000400);
inline constexpr TColor kLinkClickedColor = static_cast<TColor>(0x80000401);
inline constexpr TColor kLinkHotColor = static_cast<TColor>(0x80000402);

class TLinkNode : public TAreaNode {
public:
    TLinkNode(int ANumber, std::string AParam) : Number(ANumber), param_(std::move(AParam)) {}
    std::uint8_t State = 0; // 0 normal, 1 clicked, 2 hot
    int Number;
    const std::string& LinkParam() const noexcept { return param_; }
    void SetLinkParam(const std::string& Value) { param_ = Value; }
    TColor AreaColor() const override;

private:
    std::string param_;
};

class TDynamicNode : public TAreaNode {
public:
    explicit TDynamicNode(int ANumber) : Number(ANumber) {}
    int Number;
};

class TRootNode : public TAreaNode {
public:
    TLinkRectList LinkRects;
    // For links with gathered rectangles: one of them holds P.
    bool HasNodeOfClassAt(TPoint P, TNodeClass Class) const override;
    // LinkRects: the line rectangles below each top-level link, in order.
    void GatherLinkRects();
};

struct TWordInfo {
    bool EndsWithBlank = false;
    int BlankWidth = 0;
    int WordWidth = 0;
};

class TStringNode : public TNode {
public:
    explicit TStringNode(std::string AText) : Text(std::move(AText)) {}
    std::string Text;
    TLinkRectList LineRects;
    bool Continued = false;

    void AddLineRect(const TRect& R) { LineRects.push_back(R); }
    void ClearLineRects() { LineRects.clear(); }
    void StoreWordInfo(const TWordInfo& Info) { wordInfos_.push_back(Info); }
    // ENodeError "TStringNode.GetWordInfo: Index out of bounds" outside the stored ones.
    const TWordInfo& GetWordInfo(int Index) const;
    bool HasWordInfoAt(int Index) const noexcept;
    void ClearWordInfos() { wordInfos_.clear(); }
    int WordInfoCount() const noexcept { return static_cast<int>(wordInfos_.size()); }
    bool ContainsPoint(TPoint P) const;

private:
    std::vector<TWordInfo> wordInfos_;
};

class TActionNode : public TNode {
public:
    explicit TActionNode(std::uint8_t AAction) : Action(AAction) {}
    std::uint8_t Action; // 0 line break, 1 paragraph break
};

class TUnknownNode : public TNode {
public:
    explicit TUnknownNode(std::string ATag) : Tag(std::move(ATag)) {}
    std::string Tag;
};

// Owns its root: Styles empty, colour clWindowText.
class TNodeTree {
public:
    TNodeTree();
    ~TNodeTree();
    TNodeTree(const TNodeTree&) = delete;
    TNodeTree& operator=(const TNodeTree&) = delete;

    TRootNode* Root() const noexcept { return root_; }
    TAreaNode* FindNodeOfClassAt(TPoint P, TNodeClass Class) const {
        return root_->FindNodeOfClassAt(P, Class);
    }
    INodeCursorPtr OutermostNodesOfClass(TNodeClass Class) const {
        return root_->OutermostNodesOfClass(Class);
    }
    bool HasNodeOfClassAt(TPoint P, TNodeClass Class) const {
        return root_->HasNodeOfClassAt(P, Class);
    }
    // Clears the word information of every string node (the font changed).
    void ForgetWordWidths();

private:
    TRootNode* root_;
};
