#pragma once

#include <windows.h>

#include <memory>

#include "framework/actionbars/ActionBar.h"
#include "framework/actionbars/ActionPopupMenu_win.h"
#include "framework/actionbars/NativeActionMenu_win.h"
#include "framework/controls/PopupMenu_win.h"
#include "framework/gui/Message_win.h"

class TCustomForm;

// An action bar shown as the native menu bar of a form: its client's items
// are the bar's entries, their items the drop-down menus, drawn in the
// colour map (the bar itself in Color). Alt, F10, the arrows, Enter,
// mnemonics and the mouse work as in any menu bar. The bar hooks the
// form's WindowProc while it is attached.
class TActionMainMenuBar : public TCustomActionBar {
    FW_CLASS(TActionMainMenuBar, TCustomActionBar)
public:
    explicit TActionMainMenuBar(TComponent* AOwner);
    ~TActionMainMenuBar() override;
    void BeforeDestruction() override;

    // Shows the bar on Form (nullptr takes it off the form it is on).
    void SetForm(TCustomForm* Form);
    TCustomForm* Form() const noexcept { return form_; }
    // The bar's background; clDefault takes the colour map's.
    TColor Color = clDefault;
    // Builds the native bar again from the client's items.
    void RecreateControls() override;
    HMENU Handle() const noexcept { return handle_; }

    // A drop-down menu or submenu is opening, before its items are read.
    TActionClientEvent OnPopup;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FormProc(TMessage& Message);
    void Detach() noexcept;

    TCustomForm* form_ = nullptr;
    TWndMethod previous_;
    std::unique_ptr<TNativeActionMenu> menu_;
    HMENU handle_ = nullptr;
    // Held while the bar's menu loop runs: no popup menu opens meanwhile.
    std::unique_ptr<TPopupMenu::TActiveScope> active_;
};
