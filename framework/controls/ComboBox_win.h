#pragma once

#include <memory>

#include "framework/core/StringList.h"
#include "framework/gui/WinControl_win.h"

enum TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList };

// A combo box (native COMBOBOX, drop-down list by default). Items are kept
// by the object, so they may be filled before the window exists. OnChange
// reports the user's selections only: ItemIndex set from code is silent.
class TComboBox : public TWinControl {
    FW_CLASS(TComboBox, TWinControl)
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStringList* Items() const noexcept { return items_.get(); }
    int ItemIndex() const noexcept { return itemIndex_; }
    // -1 clears the selection; out-of-range values select nothing.
    void SetItemIndex(int Value);
    TComboBoxStyle Style = csDropDownList;
    int DropDownCount = 8;
    TNotifyEvent OnChange;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void Change();

private:
    void ItemsChanged(TObject* Sender);
    void FillWindow();
    int DroppedHeight() const;

    std::unique_ptr<TStringList> items_;
    int itemIndex_ = -1;
};
