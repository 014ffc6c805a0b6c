#include "framework/controls/RadioGroup_win.h"

#include <algorithm>

#include "framework/controls/ButtonControl_win.h"
#include "framework/gui/Messages.h"

// One radio button of a radio group; its click asks the group to select it.
class TGroupButton : public TButtonControl {
    FW_CLASS(TGroupButton, TButtonControl)
public:
    TGroupButton(TRadioGroup* Group, int Index) : TButtonControl(nullptr), group_(Group), index_(Index) {}
    bool Checked() const override { return checked_; }
    void SetChecked(bool Value) override {
        checked_ = Value;
        if (HandleAllocated())
            SendMessageA(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void WndProc(TMessage& Message) override {
        if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
            group_->SetItemIndex(index_);
            return;
        }
        TButtonControl::WndProc(Message);
    }

protected:
    void CreateParams(TCreateParams& Params) override {
        TButtonControl::CreateParams(Params);
        Params.WinClassName = "BUTTON";
        Params.Style |= BS_RADIOBUTTON;
    }
    void CreateWnd() override {
        TButtonControl::CreateWnd();
        SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    TRadioGroup* group_;
    int index_;
    bool checked_ = false;
};

TRadioGroup::TRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner), items_(std::make_unique<TStringList>()) {
    items_->OnChange = TNotifyEvent(this, &TRadioGroup::ItemsChanged);
    SetTabStop(true);
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

void TRadioGroup::BeforeDestruction() {
    items_->OnChange = nullptr;
    TCustomGroupBox::BeforeDestruction();
    // The buttons are parented here but owned by nobody.
    for (TGroupButton* b : buttons_)
        b->Free();
    buttons_.clear();
}

TWinControl* TRadioGroup::Buttons(int Index) const { return buttons_.at(static_cast<size_t>(Index)); }

void TRadioGroup::ItemsChanged(TObject*) {
    if (itemIndex_ >= items_->Count())
        itemIndex_ = -1;
    UpdateButtons();
}

void TRadioGroup::UpdateButtons() {
    while (static_cast<int>(buttons_.size()) > items_->Count()) {
        buttons_.back()->Free();
        buttons_.pop_back();
    }
    while (static_cast<int>(buttons_.size()) < items_->Count()) {
        auto* b = new TGroupButton(this, static_cast<int>(buttons_.size()));
        CompleteConstruction(b);
        b->SetParent(this);
        buttons_.push_back(b);
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->SetCaption(items_->Strings(static_cast<int>(i)));
        buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
    }
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (buttons_.empty())
        return;
    const int top = CaptionHeight() + 2;
    const int cols = std::max(columns_, 1);
    const int rows = (static_cast<int>(buttons_.size()) + cols - 1) / cols;
    const int colWidth = std::max((Width() - 10) / cols, 1);
    const int rowHeight = std::max((Height() - top - 4) / std::max(rows, 1), 1);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const int col = static_cast<int>(i) / rows;
        const int row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(8 + col * colWidth, top + row * rowHeight, colWidth - 4, std::min(rowHeight, 20));
    }
}

void TRadioGroup::Resize() {
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 16);
    if (Value == columns_)
        return;
    columns_ = Value;
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int Value) {
    if (Value < -1 || Value >= items_->Count())
        Value = -1;
    if (Value == itemIndex_)
        return;
    itemIndex_ = Value;
    for (size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->SetChecked(static_cast<int>(i) == Value);
    Click();
}
