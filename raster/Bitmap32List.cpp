#include "raster/Bitmap32List.h"

#include "raster/Bitmap32.h"

TBitmap32Item::TBitmap32Item(TCollection* Collection)
    : TCollectionItem(Collection), bitmap_(Create<TBitmap32>()) {}

TBitmap32Item::~TBitmap32Item() {
    bitmap_->Free();
}

void TBitmap32Item::SetBitmap(TBitmap32* Value) {
    bitmap_->Assign(Value);
}

void TBitmap32Item::AssignTo(TPersistent* Dest) {
    if (auto* item = dynamic_cast<TBitmap32Item*>(Dest)) {
        item->bitmap_->Assign(bitmap_);
        return;
    }
    TCollectionItem::AssignTo(Dest);
}

TBitmap32Collection::TBitmap32Collection(TBitmap32List* AOwner)
    : TOwnedCollection(AOwner, TCollectionItemClass::Of<TBitmap32Item>()) {}

TBitmap32List::TBitmap32List(TComponent* AOwner)
    : TComponent(AOwner), bitmaps_(Create<TBitmap32Collection>(this)) {}

TBitmap32List::~TBitmap32List() {
    bitmaps_->Free();
}

TBitmap32* TBitmap32List::Bitmap(int Index) const {
    return bitmaps_->Items(Index)->Bitmap();
}
