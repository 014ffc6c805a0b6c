#include "controls/LinkLabelLayout.h"

// ---------------------------------------------------------------------------------------------
// Words

std::size_t TWordEnumerator::WordEnd() const {
    const std::size_t blank = text_.find(' ', position_);
    return blank == std::string::npos ? text_.size() : blank + 1;
}

std::string TWordEnumerator::TakeWord() {
    if (!More())
        throw ETextHandlerError("TWordEnumerator.GetNext: No more words to return");
    const std::size_t end = WordEnd();
    std::string word = text_.substr(position_, end - position_);
    position_ = end;
    ++count_;
    return word;
}

std::string TWordEnumerator::PeekWord() const {
    if (!More())
        throw ETextHandlerError("TWordEnumerator.GetNext: No more words to return");
    return text_.substr(position_, WordEnd() - position_);
}

void TWordEnumerator::SetText(const std::string& AText) {
    text_ = AText;
    Restart();
}

// ---------------------------------------------------------------------------------------------
// The line breaker

namespace {

bool StartsWithBlank(const std::string& s) {
    return !s.empty() && s.front() == ' ';
}
bool EndsWithBlank(const std::string& s) {
    return !s.empty() && s.back() == ' ';
}
std::string TrimTrailingBlanks(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// The first string node below Area in document order.
TStringNode* FirstStringNode(TAreaNode* Area) {
    return static_cast<TStringNode*>(Area->FirstNodeOfClass(ncStringNode));
}

} // namespace

TTextHandler::TTextHandler(const TRect& ARect, ITextCanvas* ACanvas, TRootNode* ARoot, int StartX,
                           int StartY)
    : x_(StartX), y_(StartY), rect_(ARect), canvas_(ACanvas), root_(ARoot) {
    const TFontStyles style = canvas_->FontStyle();
    canvas_->SetFontStyle({});
    lineHeight_ = canvas_->TextHeight("Yy");
    canvas_->SetFontStyle(style);
}

void TTextHandler::WatchAreaStart(IStartingPosObserver* Observer, TAreaNode* Area) {
    observers_.push_back({Observer, Area, FirstStringNode(Area)});
}

void TTextHandler::AddText(TStringNode* Node, TFontStyles Styles, TColor Color) {
    if (StartsWithBlank(Node->Text))
        EmptyBuffer();
    TElement e;
    e.Node = Node;
    e.Styles = Styles;
    e.Color = Color;
    buffer_.push_back(e);
    if (EndsWithBlank(Node->Text))
        EmptyBuffer();
}

void TTextHandler::LineBreak() {
    TElement e;
    e.Action = true;
    e.ActionKind = 0;
    buffer_.push_back(e);
    EmptyBuffer();
}

void TTextHandler::ParagraphBreak() {
    TElement e;
    e.Action = true;
    e.ActionKind = 1;
    buffer_.push_back(e);
    EmptyBuffer();
}

void TTextHandler::EmptyBuffer() {
    for (std::size_t i = 0; i < buffer_.size(); ++i) {
        const TElement& e = buffer_[i];
        if (e.Action) {
            x_ = 0;
            y_ += e.ActionKind == 0 ? lineHeight_ : 2 * lineHeight_;
            continue;
        }
        if (e.Node == nullptr)
            throw ETextHandlerError(
                "TTextHandler.EmptyBuffer: Unsupported TParentTextElement descendant encountered");
        DrawElement(i);
    }
    buffer_.clear();
}

TWordInfo TTextHandler::MeasureWord(std::size_t Index, const std::string& Word, int Number,
                                    bool HasMore) {
    const TElement& e = buffer_[Index];
    TWordInfo info;
    info.WordWidth = e.Node->Continued && Number == 1 ? 0 : canvas_->TextWidth(Word);
    info.EndsWithBlank = EndsWithBlank(Word);
    info.BlankWidth = canvas_->TextWidth(" ");
    if (HasMore || (e.Node->Continued && Number == 1))
        return info;
    // The word runs on into the next elements while no blank separates them: it is measured
    // whole, so it wraps as one.
    for (std::size_t i = Index + 1; i < buffer_.size(); ++i) {
        const TElement& before = buffer_[i - 1];
        const TElement& next = buffer_[i];
        if (before.Action || next.Action || before.Node == nullptr || next.Node == nullptr ||
            EndsWithBlank(before.Node->Text) || StartsWithBlank(next.Node->Text))
            break;
        TWordEnumerator words(next.Node->Text);
        const std::string first = words.More() ? words.TakeWord() : std::string();
        canvas_->SetFontStyle(next.Styles);
        info.WordWidth += canvas_->TextWidth(first);
        next.Node->Continued = true;
        if (i == buffer_.size() - 1) {
            info.EndsWithBlank = EndsWithBlank(first);
            info.BlankWidth = canvas_->TextWidth(" ");
        }
        if (words.More())
            break;
    }
    canvas_->SetFontStyle(e.Styles);
    return info;
}

void TTextHandler::DrawLine(const std::string& Line, TStringNode* Node) {
    canvas_->TextOut(x_ + root_->Origin.X, y_ + root_->Origin.Y, TrimTrailingBlanks(Line));
    Node->AddLineRect(Rect(x_, y_, x_ + canvas_->TextWidth(Line), y_ + lineHeight_));
}

void TTextHandler::DrawElement(std::size_t Index) {
    TStringNode* node = buffer_[Index].Node;
    for (std::size_t i = 0; i < observers_.size();) {
        if (observers_[i].First == node) {
            const TObserver o = observers_[i];
            observers_.erase(observers_.begin() + static_cast<std::ptrdiff_t>(i));
            o.Observer->AreaStartsAt(x_, y_, o.Area);
        } else {
            ++i;
        }
    }
    canvas_->SetFontStyle(buffer_[Index].Styles);
    canvas_->SetFontColor(buffer_[Index].Color);
    TWordEnumerator words(node->Text);
    std::string line;
    int width = 0;
    node->ClearLineRects();
    while (words.More()) {
        const std::string w = words.TakeWord();
        const int n = words.WordCount();
        TWordInfo info;
        if (node->HasWordInfoAt(n - 1)) {
            info = node->GetWordInfo(n - 1);
        } else {
            info = MeasureWord(Index, w, n, words.More());
            node->StoreWordInfo(info);
        }
        const int c = info.WordWidth;
        width += c;
        const int visible = width - (info.EndsWithBlank ? info.BlankWidth : 0);
        // Positions are the root's: the very start of the text is (0, 0) in every layout.
        const bool atStart = x_ == 0 && y_ == 0 && n == 1;
        const bool wrap = visible + x_ + root_->Origin.X >= rect_.Right && w != " " && !atStart &&
                          !(node->Continued && n == 1);
        if (wrap) {
            DrawLine(line, node);
            line.clear();
            x_ = 0;
            width = c;
            y_ += lineHeight_;
        } else if (node->Continued && n == 1 && words.More()) {
            width += canvas_->TextWidth(w);
        }
        line += w;
    }
    DrawLine(line, node);
    x_ += canvas_->TextWidth(line);
}

// ---------------------------------------------------------------------------------------------
// The renderer

void TDefaultRenderer::AreaStartsAt(int X, int Y, TAreaNode* Area) {
    Area->Origin = {X, Y};
}

TColor TDefaultRenderer::ResolveColor(TColor Color) const {
    switch (static_cast<std::uint32_t>(Color)) {
    case 0x80000400u:
        return linkColor_;
    case 0x80000401u:
        return linkColorClicked_;
    case 0x80000402u:
        return linkColorHot_;
    default:
        return Color;
    }
}

void TDefaultRenderer::DrawArea(TAreaNode* Area, TFontStyles Styles, TColor Color) {
    // Nested areas are walked here with a stack of their own, each with the styles and colour
    // derived for it, so a deep caption cannot exhaust the call stack.
    struct Level {
        TAreaNode* area;
        TFontStyles styles;
        TColor color;
        std::size_t next;
    };
    auto enter = [this](TAreaNode* area, TFontStyles styles, TColor color) {
        if (handler_->BufferEmpty())
            area->Origin = {handler_->CurrentX(), handler_->CurrentY()};
        else
            handler_->WatchAreaStart(this, area);
        area->Styles = styles;
        area->Color = ResolveColor(color);
        return Level{area, styles, area->Color, 0};
    };
    std::vector<Level> stack{enter(Area, Styles, Color)};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.area->Children().size()) {
            stack.pop_back();
            continue;
        }
        TNode* child = level.area->Children()[level.next++];
        TFontStyles styles = level.styles;
        TColor color = level.color;
        if (auto* s = dynamic_cast<TStyleNode*>(child)) {
            styles.Include(s->Style);
        } else if (auto* c = dynamic_cast<TColorNode*>(child)) {
            color = c->Color;
        } else if (dynamic_cast<TLinkNode*>(child) != nullptr) {
            styles = styles | linkStyle_;
            color = linkColor_;
        } else if (auto* text = dynamic_cast<TStringNode*>(child)) {
            handler_->AddText(text, styles, color);
        } else if (auto* action = dynamic_cast<TActionNode*>(child)) {
            if (action->Action == 0)
                handler_->LineBreak();
            else
                handler_->ParagraphBreak();
        }
        if (auto* area = dynamic_cast<TAreaNode*>(child))
            stack.push_back(enter(area, styles, color));
    }
}

void TDefaultRenderer::RedrawArea(ITextCanvas* Canvas, const TRect& Rect, TAreaNode* Area) {
    TRootNode* root = Area->Root() != nullptr ? Area->Root() : dynamic_cast<TRootNode*>(Area);
    if (root == nullptr)
        return;
    const bool isRoot = Area == root;
    TTextHandler handler(Rect, Canvas, root, isRoot ? 0 : Area->Origin.X,
                         isRoot ? 0 : Area->Origin.Y);
    handler_ = &handler;
    try {
        DrawArea(Area, Area->AreaStyles(), Area->AreaColor());
        handler.EmptyBuffer();
    } catch (...) {
        handler_ = nullptr;
        throw;
    }
    textHeight_ = handler.TextHeight();
    handler_ = nullptr;
}

void TDefaultRenderer::DrawTree(ITextCanvas* Canvas, const TRect& Rect, TNodeTree* Tree) {
    TRootNode* root = Tree->Root();
    root->Origin = {Rect.Left, Rect.Top};
    RedrawArea(Canvas, Rect, root);
    root->GatherLinkRects();
}
