#pragma once

// The link label's text layout and renderer apart from any window: a greedy line breaker that
// wraps a node tree into a rectangle, word by word (a word carries its one trailing blank, and
// runs that touch without a blank wrap as one word), and the renderer that walks the tree with
// the styles and colours of its areas. The drawing goes through a canvas seam.

#include <memory>
#include <string>
#include <vector>

#include "controls/LinkLabelNodes.h"

FW_DECLARE_EXCEPTION(ETextHandlerError, ETkException);

// What the layout asks of a canvas.
class ITextCanvas {
public:
    virtual ~ITextCanvas() = default;
    virtual TFontStyles FontStyle() const = 0;
    virtual void SetFontStyle(TFontStyles Style) = 0;
    virtual void SetFontColor(TColor Color) = 0;
    virtual int TextWidth(const std::string& Text) = 0;
    virtual int TextHeight(const std::string& Text) = 0;
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
};

// The words of a text, each with its one trailing blank.
class TWordEnumerator {
public:
    explicit TWordEnumerator(std::string AText = {}) : text_(std::move(AText)) {}
    bool More() const noexcept { return position_ < text_.size(); }
    // ETextHandlerError "TWordEnumerator.GetNext: No more words to return" at the end.
    std::string TakeWord();
    std::string PeekWord() const;
    int WordCount() const noexcept { return count_; }
    void SetText(const std::string& AText);
    void Restart() noexcept {
        position_ = 0;
        count_ = 0;
    }
    const std::string& WholeText() const noexcept { return text_; }

private:
    std::size_t WordEnd() const;
    std::string text_;
    std::size_t position_ = 0;
    int count_ = 0;
};

// Told where an area's first text is drawn.
class IStartingPosObserver {
public:
    virtual ~IStartingPosObserver() = default;
    virtual void AreaStartsAt(int X, int Y, TAreaNode* Area) = 0;
};

class ITextHandler {
public:
    virtual ~ITextHandler() = default;
    virtual bool BufferEmpty() const = 0;
    virtual int CurrentX() const = 0;
    virtual int CurrentY() const = 0;
    virtual void WatchAreaStart(IStartingPosObserver* Observer, TAreaNode* Area) = 0;
    virtual void AddText(TStringNode* Node, TFontStyles Styles, TColor Color) = 0;
    virtual void LineBreak() = 0;
    virtual void ParagraphBreak() = 0;
    virtual void EmptyBuffer() = 0;
    // The current Y plus a line.
    virtual int TextHeight() const = 0;
};

class TTextHandler : public ITextHandler {
public:
    // Positions are relative to Root's origin, starting at (StartX, StartY).
    TTextHandler(const TRect& ARect, ITextCanvas* ACanvas, TRootNode* ARoot, int StartX = 0,
                 int StartY = 0);

    bool BufferEmpty() const override { return buffer_.empty(); }
    int CurrentX() const override { return x_; }
    int CurrentY() const override { return y_; }
    void WatchAreaStart(IStartingPosObserver* Observer, TAreaNode* Area) override;
    void AddText(TStringNode* Node, TFontStyles Styles, TColor Color) override;
    void LineBreak() override;
    void ParagraphBreak() override;
    void EmptyBuffer() override;
    int TextHeight() const override { return y_ + lineHeight_; }
    int LineHeight() const noexcept { return lineHeight_; }

private:
    struct TElement {
        bool Action = false;
        std::uint8_t ActionKind = 0;
        TStringNode* Node = nullptr;
        TFontStyles Styles;
        TColor Color = static_cast<TColor>(0);
    };
    struct TObserver {
        IStartingPosObserver* Observer;
        TAreaNode* Area;
        TStringNode* First;
    };
    void DrawElement(std::size_t Index);
    TWordInfo MeasureWord(std::size_t Index, const std::string& Word, int Number, bool HasMore);
    void DrawLine(const std::string& Line, TStringNode* Node);

    int x_ = 0;
    int y_ = 0;
    std::vector<TElement> buffer_;
    TRect rect_;
    ITextCanvas* canvas_;
    TRootNode* root_;
    int lineHeight_ = 0;
    std::vector<TObserver> observers_;
};

class IRenderer {
public:
    virtual ~IRenderer() = default;
    virtual TColor LinkColor() const = 0;
    virtual void SetLinkColor(TColor Value) = 0;
    virtual TColor LinkColorClicked() const = 0;
    virtual void SetLinkColorClicked(TColor Value) = 0;
    virtual TColor LinkColorHot() const = 0;
    virtual void SetLinkColorHot(TColor Value) = 0;
    virtual TFontStyles LinkStyle() const = 0;
    virtual void SetLinkStyle(TFontStyles Value) = 0;
    // Lays the tree out in Rect (the root's origin at its top left) and gathers the links.
    virtual void DrawTree(ITextCanvas* Canvas, const TRect& Rect, TNodeTree* Tree) = 0;
    // Draws one area again where the last layout put it.
    virtual void RedrawArea(ITextCanvas* Canvas, const TRect& Rect, TAreaNode* Area) = 0;
    // The height of the last layout.
    virtual int TextHeight() const = 0;
};

class TDefaultRenderer : public IRenderer, public IStartingPosObserver {
public:
    TColor LinkColor() const override { return linkColor_; }
    void SetLinkColor(TColor Value) override { linkColor_ = Value; }
    TColor LinkColorClicked() const override { return linkColorClicked_; }
    void SetLinkColorClicked(TColor Value) override { linkColorClicked_ = Value; }
    TColor LinkColorHot() const override { return linkColorHot_; }
    void SetLinkColorHot(TColor Value) override { linkColorHot_ = Value; }
    TFontStyles LinkStyle() const override { return linkStyle_; }
    void SetLinkStyle(TFontStyles Value) override { linkStyle_ = Value; }
    void DrawTree(ITextCanvas* Canvas, const TRect& Rect, TNodeTree* Tree) override;
    void RedrawArea(ITextCanvas* Canvas, const TRect& Rect, TAreaNode* Area) override;
    int TextHeight() const override { return textHeight_; }

    void AreaStartsAt(int X, int Y, TAreaNode* Area) override;

protected:
    virtual void DrawArea(TAreaNode* Area, TFontStyles Styles, TColor Color);
    // The link pseudo colours become the link colours.
    virtual TColor ResolveColor(TColor Color) const;

private:
    ITextHandler* handler_ = nullptr;
    TColor linkColor_ = clBlue;
    TColor linkColorClicked_ = clRed;
    TColor linkColorHot_ = clPurple;
    TFontStyles linkStyle_{fsUnderline};
    int textHeight_ = 0;
};
