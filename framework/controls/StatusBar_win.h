#pragma once

#include "framework/controls/StatusPanels.h"
#include "framework/gui/WinControl_win.h"

// The status line at the bottom of a form (native msctls_statusbar32,
// placed by the align layout, not by itself). With SimplePanel it shows
// SimpleText alone, else its Panels side by side.
class TStatusBar : public TWinControl {
    FW_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    bool SimplePanel() const noexcept { return simplePanel_; }
    void SetSimplePanel(bool Value);
    const std::string& SimpleText() const noexcept { return simpleText_; }
    void SetSimpleText(const std::string& Value);
    // The text the window shows in its simple part (for checks).
    std::string WindowSimpleText();
    // The parts shown while SimplePanel is false; kept before the window
    // exists.
    TStatusPanels* Panels() const noexcept { return panels_; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void UpdatePanels(TStatusPanel* Panel);

    TStatusPanels* panels_ = nullptr;
    bool simplePanel_ = true;
    std::string simpleText_;
};
