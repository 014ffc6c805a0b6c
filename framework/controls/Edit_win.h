#pragma once

#include "framework/controls/ControlActionLink_win.h"
#include "framework/controls/WinControlActionLink_win.h"
#include "framework/gui/WinControl_win.h"

enum TEditBorderStyle : std::uint8_t { ebsNone, ebsSingle };

// A single-line edit (native EDIT). The text is the object's: text set from
// code is stored as given (never read back through the window, which could
// convert it), and OnChange fires once per real change, with or without a
// window.
class TCustomEdit : public TWinControl {
    FW_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    void SetText(const std::string& Value) override;
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool Value);
    // Selects the whole text when the edit gets the focus.
    bool AutoSelect = true;
    bool Modified() const;
    void SetModified(bool Value);
    void SelectAll();
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    // 0: no limit.
    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int Value);
    TEditBorderStyle BorderStyle = ebsSingle;
    TNotifyEvent OnChange;

    void WndProc(TMessage& Message) override;
    TBasicAction* Action() const noexcept { return actions_.Action(); }
    // Links the edit to an action (nullptr unlinks): Caption, Enabled,
    // Visible, Hint, HelpContext and OnClick follow it.
    void SetAction(TBasicAction* Value) { actions_.SetAction(Value); }
    // Applies the action's properties; with CheckDefaults only those at
    // their defaults.
    virtual void ActionChange(TBasicAction* Sender, bool CheckDefaults);
    // Runs the action as a button does (see TButtonControl::Click).
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();
    // The kind of link an action gets (a windowed-control link here).
    virtual TActionLink* NewActionLink() { return new TWinControlActionLink(this); }

private:
    void TextMayHaveChanged();

    bool readOnly_ = false;
    bool modified_ = false;
    int maxLength_ = 0;
    int selStart_ = 0, selLength_ = 0;
    bool settingText_ = false;
    std::string reported_;
    TActionClient actions_ = ControlActionClient(this, [this] { return NewActionLink(); });
};

class TEdit : public TCustomEdit {
    FW_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};
