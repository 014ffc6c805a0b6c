#pragma once

#include "framework/core/Collection.h"
#include "framework/core/Component.h"

class TBitmap32;
class TBitmap32List;

// One image of a bitmap list; it owns its bitmap, and writing Bitmap copies into it.
class TBitmap32Item : public TCollectionItem {
    FW_CLASS(TBitmap32Item, TCollectionItem)
public:
    explicit TBitmap32Item(TCollection* Collection);
    ~TBitmap32Item() override;

    TBitmap32* Bitmap() const noexcept { return bitmap_; }
    // Copies Value's pixels and settings into the item's own bitmap.
    void SetBitmap(TBitmap32* Value);
    // Into another item: its bitmap takes this one's. Anything else is the class library's
    // impossible copy.
    void AssignTo(TPersistent* Dest) override;

private:
    TBitmap32* bitmap_;
};

// The images of a bitmap list; its owner is the list.
class TBitmap32Collection : public TOwnedCollection {
    FW_CLASS(TBitmap32Collection, TOwnedCollection)
public:
    explicit TBitmap32Collection(TBitmap32List* AOwner);

    TBitmap32Item* Add() { return static_cast<TBitmap32Item*>(TCollection::Add()); }
    // EListError outside 0..Count-1.
    TBitmap32Item* Items(int Index) const {
        return static_cast<TBitmap32Item*>(TCollection::Items(Index));
    }
};

// A non-visual list of 32-bit bitmaps, such as the looks of the band's buttons.
class TBitmap32List : public TComponent {
    FW_CLASS(TBitmap32List, TComponent)
public:
    explicit TBitmap32List(TComponent* AOwner);
    ~TBitmap32List() override;

    TBitmap32Collection* Bitmaps() const noexcept { return bitmaps_; }
    // The bitmap of item Index; EListError outside 0..Count-1.
    TBitmap32* Bitmap(int Index) const;

private:
    TBitmap32Collection* bitmaps_;
};
