#include "controls/TkLinkLabel_win.h"

#include "controls/TkThemes_win.h"
#include "framework/core/StringList.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Font_win.h"

namespace {

// The layout's canvas seam over a framework canvas.
class TCanvasText : public ITextCanvas {
public:
    explicit TCanvasText(TCanvas* canvas) : canvas_(canvas) {}
    TFontStyles FontStyle() const override { return canvas_->Font()->Style(); }
    void SetFontStyle(TFontStyles Style) override {
        if (!(canvas_->Font()->Style() == Style))
            canvas_->Font()->SetStyle(Style);
    }
    void SetFontColor(TColor Color) override { canvas_->Font()->SetColor(Color); }
    int TextWidth(const std::string& Text) override { return canvas_->TextWidth(Text); }
    int TextHeight(const std::string& Text) override { return canvas_->TextHeight(Text); }
    void TextOut(int X, int Y, const std::string& Text) override {
        if (!Text.empty())
            canvas_->TextOut(X, Y, Text);
    }

private:
    TCanvas* canvas_;
};

} // namespace

TTkCustomLinkLabel::TTkCustomLinkLabel(TComponent* AOwner) : TTkGraphicControl(AOwner) {
    lines_ = new TStringList();
    ControlStyle.Include(csOpaque).Include(csReplicatable);
    AddThemeStyleFlags(this, 0x40000);
    SetBounds(Left(), Top(), 160, 17);
    tree_ = std::make_unique<TNodeTree>();
    parser_ = NewParser();
    parser_->AttachDynamicSource(this);
    renderer_ = NewRenderer();
    TakeFontIntoRoot();
}

TTkCustomLinkLabel::~TTkCustomLinkLabel() {
    activeLink_ = nullptr;
    tree_.reset();
    lines_->Free();
}

std::unique_ptr<IParser> TTkCustomLinkLabel::NewParser() {
    return std::make_unique<TDefaultParser>();
}

std::unique_ptr<IRenderer> TTkCustomLinkLabel::NewRenderer() {
    return std::make_unique<TDefaultRenderer>();
}

TStrings* TTkCustomLinkLabel::Text() const noexcept {
    return lines_;
}

void TTkCustomLinkLabel::SetLines(TStrings* Value) {
    lines_->Assign(Value);
    SetText(lines_->Text());
}

void TTkCustomLinkLabel::SetText(const std::string& Value) {
    if (Value == Caption())
        return;
    lines_->Clear();
    lines_->Add(Value);
    activeLink_ = nullptr;
    tree_.reset();
    parser_->ResetTagCounters();
    tree_ = parser_->ParseCaption(Value);
    TakeFontIntoRoot();
    // Stores the caption and repaints (the text-changed notification).
    TTkGraphicControl::SetText(Value);
    NotifyCaptionChanged();
}

void TTkCustomLinkLabel::TakeFontIntoRoot() {
    if (tree_ == nullptr)
        return;
    tree_->Root()->Styles = Font()->Style();
    tree_->Root()->Color = Font()->Color();
}

std::string TTkCustomLinkLabel::DynamicTextFor(TDynamicNode* Node) {
    if (Node == nullptr)
        return {};
    std::string source;
    NotifyDynamicTagInit(source, Node->Number);
    return source;
}

void TTkCustomLinkLabel::NotifyCaptionChanged() {
    if (OnCaptionChanged)
        OnCaptionChanged(this);
}

void TTkCustomLinkLabel::NotifyLinkClick(int LinkNumber, const std::string& LinkText,
                                         const std::string& LinkParam) {
    if (OnLinkClick)
        OnLinkClick(this, LinkNumber, LinkText, LinkParam);
}

void TTkCustomLinkLabel::NotifyDynamicTagInit(std::string& Source, int Number) {
    if (OnDynamicTagInit)
        OnDynamicTagInit(this, Source, Number);
}

void TTkCustomLinkLabel::SetTransparent(bool Value) {
    if (Value == Transparent())
        return;
    if (Value) {
        ControlStyle.Exclude(csOpaque);
        RemoveThemeStyleFlags(this, 0x40000);
    } else {
        ControlStyle.Include(csOpaque);
        AddThemeStyleFlags(this, 0x40000);
    }
    Invalidate();
}

void TTkCustomLinkLabel::SetLayout(TTextLayout Value) {
    if (layout_ == Value)
        return;
    layout_ = Value;
    Invalidate();
}

void TTkCustomLinkLabel::SetAutoHeight(bool Value) {
    if (autoHeight_ == Value)
        return;
    autoHeight_ = Value;
    Invalidate();
}

void TTkCustomLinkLabel::SetLinkColor(TColor Value) {
    if (renderer_->LinkColor() == Value)
        return;
    renderer_->SetLinkColor(Value);
    Invalidate();
}

void TTkCustomLinkLabel::SetLinkColorClicked(TColor Value) {
    if (renderer_->LinkColorClicked() != Value)
        renderer_->SetLinkColorClicked(Value);
}

void TTkCustomLinkLabel::SetLinkColorHot(TColor Value) {
    renderer_->SetLinkColorHot(Value);
}

void TTkCustomLinkLabel::SetLinkStyle(TFontStyles Value) {
    if (renderer_->LinkStyle() == Value)
        return;
    renderer_->SetLinkStyle(Value);
    Invalidate();
}

void TTkCustomLinkLabel::SetMarginWidth(int Value) {
    if (marginWidth_ == Value)
        return;
    marginWidth_ = Value;
    Resize();
    Invalidate();
}

void TTkCustomLinkLabel::SetMarginHeight(int Value) {
    if (marginHeight_ == Value)
        return;
    marginHeight_ = Value;
    Resize();
    Invalidate();
}

void TTkCustomLinkLabel::FontChanged() {
    TTkGraphicControl::FontChanged();
    TakeFontIntoRoot();
    if (tree_ != nullptr)
        tree_->ForgetWordWidths();
    Invalidate();
}

void TTkCustomLinkLabel::TextChanged() {
    TTkGraphicControl::TextChanged();
    Invalidate();
}

void TTkCustomLinkLabel::Loaded() {
    TTkGraphicControl::Loaded();
    normalCursor_ = Cursor();
}

void TTkCustomLinkLabel::Paint() {
    if (tree_ == nullptr)
        return;
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    const TRect client = ClientRect();
    if (!Transparent()) {
        canvas->Brush()->SetColor(Color());
        canvas->Brush()->SetStyle(bsSolid);
        PaintControlBackgroundWithBrush(this, canvas, client, true);
    }
    canvas->Brush()->SetStyle(bsClear);

    const int width = client.Width() - 2 * marginWidth_ + 1;
    const int height = client.Height() - 2 * marginHeight_ + 1;
    if (width < 1 || height < 1)
        return;
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    TCanvas* off = bitmap.Canvas();
    off->Font()->Assign(canvas->Font());
    off->Pen()->Assign(canvas->Pen());
    off->Brush()->SetColor(Color());
    off->FillRect(Rect(0, 0, width, height));
    off->Brush()->SetStyle(bsClear);
    TCanvasText text(off);
    tree_->Root()->Origin = {0, 0};
    renderer_->DrawTree(&text, Rect(0, 0, width - 1, height - 1), tree_.get());
    const int textHeight = renderer_->TextHeight();

    if (autoHeight_ && (Align() == alNone || Align() == alTop || Align() == alBottom)) {
        const int wanted = textHeight + 2 * marginHeight_;
        if (wanted != ClientHeight()) {
            const int before = ClientHeight();
            SetClientHeight(wanted);
            // A height the constraints refuse must not keep the label from drawing.
            if (ClientHeight() != before)
                return;
        }
    }

    const TRect r = TextArea();
    int top = r.Top;
    if (layout_ == tlCenter)
        top = std::max(r.Top + (r.Height() - textHeight) / 2, marginHeight_);
    else if (layout_ == tlBottom)
        top = std::max(r.Bottom - textHeight, marginHeight_);
    tree_->Root()->Origin = {r.Left, top};
    bitmap.SetTransparentColor(Color());
    bitmap.SetTransparent(true);
    canvas->Draw(r.Left, top, &bitmap);
}

bool TTkCustomLinkLabel::LinkAt(int X, int Y) const {
    if (tree_ == nullptr)
        return false;
    const TPoint origin = tree_->Root()->Origin;
    return tree_->HasNodeOfClassAt({X - origin.X, Y - origin.Y}, ncLinkNode);
}

void TTkCustomLinkLabel::RedrawLink(TLinkNode* Link) {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    TCanvasText text(canvas);
    renderer_->RedrawArea(&text, TextArea(), Link);
}

TRect TTkCustomLinkLabel::TextArea() const {
    const TRect client = ClientRect();
    return Rect(client.Left + marginWidth_, client.Top + marginHeight_, client.Right - marginWidth_,
                client.Bottom - marginHeight_);
}

void TTkCustomLinkLabel::SetLinkStateAt(int X, int Y, std::uint8_t State) {
    if (!LinkAt(X, Y))
        return;
    const TPoint origin = tree_->Root()->Origin;
    auto* link =
        static_cast<TLinkNode*>(tree_->FindNodeOfClassAt({X - origin.X, Y - origin.Y}, ncLinkNode));
    if (link == nullptr || (link == activeLink_ && link->State == State))
        return;
    ReleaseActiveLink();
    link->State = State;
    activeLink_ = link;
    RedrawLink(link);
}

void TTkCustomLinkLabel::ReleaseActiveLink() {
    if (activeLink_ == nullptr)
        return;
    TLinkNode* link = activeLink_;
    link->State = 0;
    RedrawLink(link);
    activeLink_ = nullptr;
}

void TTkCustomLinkLabel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkGraphicControl::MouseDown(Button, Shift, X, Y);
    SetLinkStateAt(X, Y, 1);
}

void TTkCustomLinkLabel::MouseMove(TShiftState Shift, int X, int Y) {
    TTkGraphicControl::MouseMove(Shift, X, Y);
    const bool free = activeLink_ == nullptr || activeLink_->State != 1;
    if (LinkAt(X, Y)) {
        SetCursor(LinkCursor);
        if (HotLinks && free)
            SetLinkStateAt(X, Y, 2);
    } else {
        SetCursor(normalCursor_);
        if (HotLinks && free)
            ReleaseActiveLink();
    }
}

void TTkCustomLinkLabel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TTkGraphicControl::MouseUp(Button, Shift, X, Y);
    if (LinkAt(X, Y)) {
        const TPoint origin = tree_->Root()->Origin;
        if (auto* link = static_cast<TLinkNode*>(
                tree_->FindNodeOfClassAt({X - origin.X, Y - origin.Y}, ncLinkNode))) {
            const int number = link->Number;
            const std::string text = link->PlainText();
            const std::string param = link->LinkParam();
            ReleaseActiveLink();
            NotifyLinkClick(number, text, param);
            return;
        }
    }
    ReleaseActiveLink();
}

void TTkCustomLinkLabel::MouseLeave(TControl* Control) {
    if (ComponentState().Contains(csDesigning))
        return;
    TTkGraphicControl::MouseLeave(Control);
    if (HotLinks && (activeLink_ == nullptr || activeLink_->State != 1))
        ReleaseActiveLink();
}
