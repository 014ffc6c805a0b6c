#include "framework/core/Collection.h"

#include <algorithm>

#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TypInfo.h"

// --- TCollectionItem ----------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
    if (Collection != nullptr)
        Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    if (collection_ != nullptr)
        collection_->RemoveItem(this, true);
}

void TCollectionItem::AfterConstruction() {
    TPersistent::AfterConstruction();
    // The class is checked only now: inside the constructors the item still
    // answers its base class.
    if (collection_ != nullptr && !announced_) {
        collection_->CheckItemClass(this);
        collection_->Announce(this);
    }
}

void TCollectionItem::BeforeDestruction() {
    if (collection_ != nullptr)
        collection_->RemoveItem(this, true);
    TPersistent::BeforeDestruction();
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (Value == collection_)
        return;
    if (Value != nullptr)
        Value->CheckItemClass(this);
    if (collection_ != nullptr)
        collection_->RemoveItem(this, false);
    if (Value != nullptr) {
        Value->InsertItem(this);
        Value->Announce(this);
    }
}

int TCollectionItem::Index() const noexcept {
    if (collection_ == nullptr)
        return -1;
    auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    int current = Index();
    if (current < 0 || current == Value)
        return;
    if (Value < 0 || Value >= collection_->Count())
        throw EListError::IndexOutOfBounds(Value);
    auto& items = collection_->items_;
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

void TCollectionItem::SetDisplayName(const std::string&) {
    Changed(false);
}

std::string TCollectionItem::GetDisplayName() const {
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems) {
    if (collection_ != nullptr && collection_->updateCount_ == 0)
        collection_->Update(AllItems ? nullptr : this);
}

TPersistent* TCollectionItem::GetOwner() const {
    return collection_;
}

std::string TCollectionItem::GetNamePath() const {
    if (collection_ == nullptr)
        return ClassName();
    return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

// --- TCollection ----------------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : itemClass_(ItemClass) {}

TCollection::~TCollection() {
    FreeAllItems();
}

void TCollection::BeforeDestruction() {
    FreeAllItems();
    TPersistent::BeforeDestruction();
}

void TCollection::FreeAllItems() noexcept {
    ++updateCount_;  // a dying collection announces nothing
    while (!items_.empty()) {
        TCollectionItem* item = items_.back();
        item->Free();
        if (!items_.empty() && items_.back() == item)
            items_.pop_back();
    }
    --updateCount_;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError::IndexOutOfBounds(Index);
    return items_[static_cast<std::size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) {
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::Add() {
    if (!itemClass_)
        RaiseCannotCreate(nullptr);
    return itemClass_.Create(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count())
        throw EListError::IndexOutOfBounds(Index);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    item->Free();
}

void TCollection::Clear() {
    if (items_.empty())
        return;
    BeginUpdate();
    while (!items_.empty()) {
        TCollectionItem* item = items_.back();
        item->Free();
        if (!items_.empty() && items_.back() == item)
            items_.pop_back();
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const noexcept {
    for (TCollectionItem* item : items_) {
        if (item->id_ == ID)
            return item;
    }
    return nullptr;
}

void TCollection::BeginUpdate() {
    ++updateCount_;
}

void TCollection::EndUpdate() {
    if (updateCount_ <= 0)
        return;
    if (--updateCount_ == 0)
        Changed();
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : source->items_)
            Add()->Assign(item);
    } catch (...) {
        // The update ends on every path; a failure of its Update must not
        // hide the original error.
        CallReporting(this, [&] { EndUpdate(); });
        throw;
    }
    EndUpdate();
}

std::string TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (owner == nullptr)
        return ClassName();
    std::string ownerPath = owner->GetNamePath();
    if (ownerPath.empty())
        return ClassName();
    for (const TPropInfo& prop : owner->ClassType()->Properties()) {
        if (prop.Kind == tkClass && prop.Get(*owner).AsObject() == this)
            return ownerPath + "." + prop.Name;
    }
    return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed() {
    if (updateCount_ == 0)
        Update(nullptr);
}

void TCollection::CheckItemClass(const TCollectionItem* Item) const {
    if (itemClass_ && !Item->InheritsFrom(itemClass_.Class()))
        throw EInvalidCast("A " + Item->ClassName() + " cannot join a collection of " +
                           itemClass_->ClassName());
}

void TCollection::InsertItem(TCollectionItem* Item) {
    items_.push_back(Item);
    Item->collection_ = this;
    Item->id_ = nextId_++;
    Item->announced_ = false;
}

void TCollection::Announce(TCollectionItem* Item) {
    Item->announced_ = true;
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item, bool dying) {
    if (!Item->announced_) {
        // Never announced (refused, or made without completing construction):
        // it leaves silently.
        items_.erase(std::remove(items_.begin(), items_.end(), Item), items_.end());
        Item->collection_ = nullptr;
        return;
    }
    if (dying) {
        CallReporting(this, [&] { Notify(Item, cnExtracting); });
    } else {
        Notify(Item, cnExtracting);
    }
    items_.erase(std::remove(items_.begin(), items_.end(), Item), items_.end());
    Item->collection_ = nullptr;
    if (dying)
        CallReporting(this, [&] { Changed(); });
    else
        Changed();
}

// --- TOwnedCollection -----------------------------------------------------------

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), owner_(AOwner) {}

TOwnedCollection::~TOwnedCollection() = default;
