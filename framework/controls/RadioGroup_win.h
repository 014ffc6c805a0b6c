#pragma once

#include <memory>
#include <vector>

#include "framework/controls/GroupBox_win.h"
#include "framework/core/StringList.h"

class TGroupButton;

// A group box of radio buttons, one per item, laid out in Columns. A change
// of ItemIndex, by the user or from code, fires OnClick once.
class TRadioGroup : public TCustomGroupBox {
    FW_CLASS(TRadioGroup, TCustomGroupBox)
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    void BeforeDestruction() override;

    TStringList* Items() const noexcept { return items_.get(); }
    int ItemIndex() const noexcept { return itemIndex_; }
    void SetItemIndex(int Value);
    int Columns() const noexcept { return columns_; }
    void SetColumns(int Value);
    int ButtonCount() const noexcept { return static_cast<int>(buttons_.size()); }
    // The radio button of item Index.
    TWinControl* Buttons(int Index) const;

    void Resize() override;

private:
    friend class TGroupButton;
    void ItemsChanged(TObject* Sender);
    void UpdateButtons();
    void ArrangeButtons();

    std::unique_ptr<TStringList> items_;
    std::vector<TGroupButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};
