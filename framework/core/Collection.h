#pragma once

#include <string>
#include <vector>

#include "framework/core/Persistent.h"

class TCollection;

enum TCollectionNotification : std::uint8_t { cnAdded, cnExtracting, cnDeleting };

// An element of a TCollection. Create items through the collection (Add,
// Insert) or a TCollectionItemClass: the collection hears of a new item
// (Notify cnAdded, then Update) only once its construction is complete.
class TCollectionItem : public TPersistent {
    FW_CLASS(TCollectionItem, TPersistent)
public:
    using TConstructorArgs = TCtorArgs<TCollection*>;

    // Joins Collection (when given) at the end, with the next ID. Completing
    // the construction raises EInvalidCast (and frees the item) when its
    // class is not the collection's item class or one below it.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    void AfterConstruction() override;
    // Leaves the collection (Notify cnExtracting, then Update) while the item
    // is whole.
    void BeforeDestruction() override;

    TCollection* Collection() const noexcept { return collection_; }
    // Moves the item to the end of Value (nullptr: out of any collection).
    virtual void SetCollection(TCollection* Value);

    // The position in the collection, -1 outside one.
    int Index() const noexcept;
    // Moves the item to Value (EListError outside 0..Count-1), then
    // announces a change of all items.
    virtual void SetIndex(int Value);

    // Unique within the collection, never reused.
    int ID() const noexcept { return id_; }

    std::string DisplayName() const { return GetDisplayName(); }
    virtual void SetDisplayName(const std::string& Value);

    TPersistent* GetOwner() const override;
    // "<collection path>[<index>]", or the class name outside a collection.
    std::string GetNamePath() const override;

protected:
    // The class name by default.
    virtual std::string GetDisplayName() const;
    // Tells the collection (outside an update): Update(nullptr) when
    // AllItems, else Update(this).
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
    bool announced_ = false;
};

using TCollectionItemClass = TClassOf<TCollectionItem>;

// An owning, ordered list of items of one class, with nested updates:
// between BeginUpdate and the matching EndUpdate changes are not announced;
// the outermost EndUpdate calls Update(nullptr) once.
class TCollection : public TPersistent {
    FW_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    // Frees the items without announcing anything.
    void BeforeDestruction() override;

    TCollectionItemClass ItemClass() const noexcept { return itemClass_; }
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // EListError outside 0..Count-1.
    TCollectionItem* Items(int Index) const;
    // Items(Index)->Assign(Value).
    void SetItems(int Index, TCollectionItem* Value);

    // A new item of ItemClass at the end.
    TCollectionItem* Add();
    // A new item at Index (0..Count, else EListError before anything is made).
    TCollectionItem* Insert(int Index);
    // Notify cnDeleting, then frees the item.
    void Delete(int Index);
    // Frees every item inside one update.
    void Clear();
    TCollectionItem* FindItemID(int ID) const noexcept;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }

    // From another collection: clears, then adds and assigns one item per
    // source item, all inside one update that ends even when an item's
    // assignment raises. Anything else goes to the base.
    void Assign(TPersistent* Source) override;

    // "<owner path>.<property name>", or the class name when the owner or
    // the property holding the collection is unknown.
    std::string GetNamePath() const override;

protected:
    // Called outside updates when Item (nullptr: all items, or the list)
    // changed. Does nothing by default.
    virtual void Update(TCollectionItem* Item);
    // Called when an item was added, is leaving or is being deleted.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Update(nullptr) unless inside an update.
    void Changed();

private:
    friend class TCollectionItem;
    void CheckItemClass(const TCollectionItem* Item) const;
    void InsertItem(TCollectionItem* Item);
    void Announce(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item, bool dying);
    void FreeAllItems() noexcept;

    TCollectionItemClass itemClass_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;
};

// A collection that answers its owner, for names and storing.
class TOwnedCollection : public TCollection {
    FW_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass);
    ~TOwnedCollection() override;
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};
