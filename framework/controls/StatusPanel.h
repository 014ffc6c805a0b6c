#pragma once

#include <string>

#include "framework/core/Collection.h"

// One part of a status bar: its text and its width in pixels (the last
// part of a bar reaches to the bar's right end whatever its width).
class TStatusPanel : public TCollectionItem {
    FW_CLASS(TStatusPanel, TCollectionItem)
public:
    explicit TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

    const std::string& Text() const noexcept { return text_; }
    void SetText(const std::string& Value);
    int Width() const noexcept { return width_; }
    // Negative widths count as 0.
    void SetWidth(int Value);
    void Assign(TPersistent* Source) override;

private:
    std::string text_;
    int width_ = 50;
};
