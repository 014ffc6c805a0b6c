#pragma once

// The link label's mark-up: an enumerator that cuts a caption into begin tags, end tags and
// text runs, and the parser that builds the node tree from them. An end tag closes the
// innermost open node whatever its name; one at the top level ends the caption.

#include <memory>
#include <string>
#include <vector>

#include "controls/LinkLabelNodes.h"

enum TElementKind : std::uint8_t { ekBeginTag, ekEndTag, ekText };

struct TElement {
    TElementKind Kind = ekText;
    std::string Text;
    friend bool operator==(const TElement&, const TElement&) = default;
};

class IElementEnumerator {
public:
    virtual ~IElementEnumerator() = default;
    virtual bool Exhausted() const = 0;
    // EParserError "TElementEnumerator.GetNextElement: No more elements to return" at the end.
    virtual TElement PeekElement() = 0;
    virtual TElement TakeElement() = 0;
};

class TElementEnumerator : public IElementEnumerator {
public:
    explicit TElementEnumerator(std::string AText) : text_(std::move(AText)) {}
    bool Exhausted() const override { return position_ >= text_.size(); }
    TElement PeekElement() override { return GetNextElement(false); }
    TElement TakeElement() override { return GetNextElement(true); }

private:
    TElement GetNextElement(bool Move);

    std::string text_;
    std::size_t position_ = 0; // of the next element
    std::size_t cachedAt_ = std::string::npos;
    TElement cached_;
    std::size_t cachedNext_ = 0; // the position after the cached element
};

// Supplies the mark-up of dynamic tags (the label).
class IDynamicNodeHandler {
public:
    virtual ~IDynamicNodeHandler() = default;
    // Empty for none.
    virtual std::string DynamicTextFor(TDynamicNode* Node) = 0;
};

// The numbers handed to links and dynamic tags; one set is shared by a parser and the parsers
// of the dynamic text it expands.
struct TTagCounters {
    int Links = 0;
    int Dynamics = 0;
};

class IParser {
public:
    virtual ~IParser() = default;
    // A new tree, the caller's; CR LF pairs are dropped first.
    virtual std::unique_ptr<TNodeTree> ParseCaption(const std::string& Text) = 0;
    // The lines joined with CR LF, parsed as a caption.
    virtual std::unique_ptr<TNodeTree> ParseLines(const std::vector<std::string>& Lines) = 0;
    // Parses Source into Node (dynamic tags inside it stay empty).
    virtual void ExpandDynamicNode(TDynamicNode* Node, const std::string& Source) = 0;
    virtual void AttachDynamicSource(IDynamicNodeHandler* Source) = 0;
    // Both counters back to 0, before a caption is parsed.
    virtual void ResetTagCounters() = 0;
};

class TDefaultParser : public IParser {
public:
    // Counters: shared ones (nullptr: the parser's own).
    explicit TDefaultParser(std::shared_ptr<TTagCounters> Counters = nullptr);

    std::unique_ptr<TNodeTree> ParseCaption(const std::string& Text) override;
    std::unique_ptr<TNodeTree> ParseLines(const std::vector<std::string>& Lines) override;
    void ExpandDynamicNode(TDynamicNode* Node, const std::string& Source) override;
    void AttachDynamicSource(IDynamicNodeHandler* Source) override { source_ = Source; }
    void ResetTagCounters() override { *counters_ = {}; }
    const TTagCounters& Counters() const noexcept { return *counters_; }

protected:
    // The node a begin tag makes (see the tag table in the .cpp).
    virtual TNode* MakeTagNode(const std::string& Tag);

private:
    void ParseNode(TRootNode* Root, IElementEnumerator& Elements);

    std::shared_ptr<TTagCounters> counters_;
    IDynamicNodeHandler* source_ = nullptr;
};

// The tag table's entry a tag matches, -1 for none: 0 B, 1 I, 2 U, 3 COLOR=, 4 LINK=, 5 BR,
// 6 P, 7 DYNAMIC.
int LookUpTag(const std::string& Tag);
