#include "framework/controls/StatusPanel.h"

void TStatusPanel::SetText(const std::string& Value) {
    if (text_ == Value)
        return;
    text_ = Value;
    Changed(false);
}

void TStatusPanel::SetWidth(int Value) {
    Value = Value < 0 ? 0 : Value;
    if (width_ == Value)
        return;
    width_ = Value;
    // Every later part moves.
    Changed(true);
}

void TStatusPanel::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStatusPanel*>(Source);
    if (source == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    text_ = source->text_;
    width_ = source->width_;
    Changed(true);
}
