#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/LinkLabelParser.h"

namespace {

// The bytes after the first NUL are the text of every dynamic tag.
class TFuzzSource : public IDynamicNodeHandler {
public:
    explicit TFuzzSource(std::string text) : text_(std::move(text)) {}
    std::string DynamicTextFor(TDynamicNode*) override { return text_; }

private:
    std::string text_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 2048)
        return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = input.find('\0');
    const std::string caption = input.substr(0, nul);
    TFuzzSource source(nul == std::string::npos ? std::string() : input.substr(nul + 1));
    TDefaultParser parser;
    parser.AttachDynamicSource(&source);
    std::unique_ptr<TNodeTree> tree = parser.ParseCaption(caption);

    // Every node knows its parent and the tree's root; the walk keeps its own stack.
    std::vector<const TParentNode*> stack{tree->Root()};
    while (!stack.empty()) {
        const TParentNode* p = stack.back();
        stack.pop_back();
        for (auto it = p->Children().rbegin(); it != p->Children().rend(); ++it) {
            const TNode* child = *it;
            if (child->Root() != tree->Root() || child->Parent() != p)
                std::abort();
            child->GetNodeType();
            if (auto* q = dynamic_cast<const TParentNode*>(child))
                stack.push_back(q);
        }
    }
    // The plain text is made of the caption's and the dynamic text's characters only.
    const std::size_t dynamicSize = size - caption.size();
    if (tree->Root()->PlainText().size() > caption.size() * (1 + dynamicSize))
        std::abort();
    INodeCursorPtr links = tree->OutermostNodesOfClass(ncLinkNode);
    while (links->More())
        static_cast<TLinkNode*>(links->Next())->PlainText();
    tree->Root()->GatherLinkRects();
    tree->ForgetWordWidths();
    return 0;
}
