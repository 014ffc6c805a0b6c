#pragma once

#include "framework/gui/WinControl_win.h"

// The status line at the bottom of a form (native msctls_statusbar32,
// placed by the align layout, not by itself). With SimplePanel it shows
// SimpleText alone.
class TStatusBar : public TWinControl {
    FW_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);

    bool SimplePanel() const noexcept { return simplePanel_; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const noexcept { return simpleText_; }
    void SetSimpleText(const std::string& Value);
    // The text the window shows in its simple part (for checks).
    std::string WindowSimpleText();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    bool simplePanel_ = true;
    std::string simpleText_;
};
