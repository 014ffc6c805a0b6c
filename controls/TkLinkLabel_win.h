#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/LinkLabelLayout.h"
#include "controls/LinkLabelParser.h"
#include "controls/TkExControls_win.h"

class TStringList;
class TStrings;

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

using TLinkClickEvent = TDelegate<void(TObject* Sender, int LinkNumber, const std::string& LinkText,
                                       const std::string& LinkParam)>;
using TDynamicTagInitEvent = TDelegate<void(TObject* Sender, std::string& Source, int Number)>;

// A window-less label whose caption is written in the link mark-up: wrapped into its width,
// links in their own colours, lit under the mouse when HotLinks is on, clicks reported.
class TTkCustomLinkLabel : public TTkGraphicControl, public IDynamicNodeHandler {
    FW_CLASS(TTkCustomLinkLabel, TTkGraphicControl)
public:
    explicit TTkCustomLinkLabel(TComponent* AOwner);
    ~TTkCustomLinkLabel() override;

    // The caption: setting a different one rebuilds the tree.
    void SetText(const std::string& Value) override;
    // The caption as lines (joined with CR LF, which the mark-up drops).
    TStrings* Text() const noexcept;
    void SetLines(TStrings* Value);

    bool Transparent() const noexcept { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    TTextLayout Layout() const noexcept { return layout_; }
    void SetLayout(TTextLayout Value);
    TColor LinkColor() const { return renderer_->LinkColor(); }
    void SetLinkColor(TColor Value);
    TColor LinkColorClicked() const { return renderer_->LinkColorClicked(); }
    void SetLinkColorClicked(TColor Value);
    TColor LinkColorHot() const { return renderer_->LinkColorHot(); }
    void SetLinkColorHot(TColor Value);
    TFontStyles LinkStyle() const { return renderer_->LinkStyle(); }
    void SetLinkStyle(TFontStyles Value);
    TCursor LinkCursor = crHandPoint;
    bool HotLinks = false;
    bool AutoHeight() const noexcept { return autoHeight_; }
    void SetAutoHeight(bool Value);
    int MarginWidth() const noexcept { return marginWidth_; }
    void SetMarginWidth(int Value);
    int MarginHeight() const noexcept { return marginHeight_; }
    void SetMarginHeight(int Value);

    TDynamicTagInitEvent OnDynamicTagInit;
    TNotifyEvent OnCaptionChanged;
    TLinkClickEvent OnLinkClick;

    TNodeTree* Tree() const noexcept { return tree_.get(); }
    TLinkNode* ActiveLink() const noexcept { return activeLink_; }

    std::string DynamicTextFor(TDynamicNode* Node) override;

protected:
    virtual std::unique_ptr<IParser> NewParser();
    virtual std::unique_ptr<IRenderer> NewRenderer();
    virtual void NotifyCaptionChanged();
    virtual void NotifyLinkClick(int LinkNumber, const std::string& LinkText,
                                 const std::string& LinkParam);
    virtual void NotifyDynamicTagInit(std::string& Source, int Number);

    void Paint() override;
    void Loaded() override;
    void FontChanged() override;
    void TextChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave(TControl* Control) override;

private:
    void TakeFontIntoRoot();
    bool LinkAt(int X, int Y) const;
    void SetLinkStateAt(int X, int Y, std::uint8_t State);
    void ReleaseActiveLink();
    void RedrawLink(TLinkNode* Link);
    // The client area within the margins.
    TRect TextArea() const;

    TStringList* lines_ = nullptr;
    std::unique_ptr<IParser> parser_;
    std::unique_ptr<IRenderer> renderer_;
    std::unique_ptr<TNodeTree> tree_;
    TLinkNode* activeLink_ = nullptr;
    TCursor normalCursor_ = crDefault;
    bool autoHeight_ = true;
    int marginWidth_ = 0;
    int marginHeight_ = 0;
    TTextLayout layout_ = tlTop;
};

class TTkLinkLabel : public TTkCustomLinkLabel {
    FW_CLASS(TTkLinkLabel, TTkCustomLinkLabel)
public:
    using TTkCustomLinkLabel::TTkCustomLinkLabel;
};
