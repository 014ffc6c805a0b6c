#pragma once

#include <functional>

#include "framework/controls/StatusPanel.h"

// The parts of a status bar. The bar hears of every change through
// OnUpdate: the panel whose text changed, or nullptr when the parts
// themselves changed (added, deleted, moved, resized).
class TStatusPanels : public TOwnedCollection {
    FW_CLASS(TStatusPanels, TOwnedCollection)
public:
    explicit TStatusPanels(TPersistent* AOwner)
        : TOwnedCollection(AOwner, TCollectionItemClass::Of<TStatusPanel>()) {}

    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusPanel* Items(int Index) const {
        return static_cast<TStatusPanel*>(TCollection::Items(Index));
    }

    std::function<void(TStatusPanel* Panel)> OnUpdate;

protected:
    void Update(TCollectionItem* Item) override {
        if (OnUpdate)
            OnUpdate(static_cast<TStatusPanel*>(Item));
    }
};
