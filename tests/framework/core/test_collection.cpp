#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TypInfo.h"

namespace {

class TTestItem : public TCollectionItem {
    FW_CLASS(TTestItem, TCollectionItem)
public:
    explicit TTestItem(TCollection* c) : TCollectionItem(c) {}
    int Value = 0;
    bool FailAssign = false;

    void Assign(TPersistent* Source) override {
        auto* src = dynamic_cast<TTestItem*>(Source);
        if (src == nullptr) {
            TCollectionItem::Assign(Source);
            return;
        }
        if (src->FailAssign)
            throw EConvertError("cannot copy this item");
        Value = src->Value;
    }
    void SetValue(int v) {
        Value = v;
        Changed(false);
    }

protected:
    std::string GetDisplayName() const override { return "Item " + std::to_string(Value); }
};

class TOtherItem : public TCollectionItem {
    FW_CLASS(TOtherItem, TCollectionItem)
public:
    explicit TOtherItem(TCollection* c) : TCollectionItem(c) {}
};

// Records Update and Notify calls as text.
class TRecordingCollection : public TOwnedCollection {
    FW_CLASS(TRecordingCollection, TOwnedCollection)
public:
    explicit TRecordingCollection(TPersistent* owner = nullptr)
        : TOwnedCollection(owner, TCollectionItemClass::Of<TTestItem>()) {}
    std::vector<std::string> Log;

protected:
    void Update(TCollectionItem* Item) override {
        // Items are whole when the collection hears of them.
        Log.push_back(Item == nullptr ? "update all"
                                      : "update " + Item->ClassName() + " " + Item->DisplayName());
    }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
        static const char* const names[] = {"added", "extracting", "deleting"};
        Log.push_back(std::string(names[Action]) + " " + Item->ClassName());
    }
};

TTestItem* AddItem(TCollection& c, int value) {
    auto* item = static_cast<TTestItem*>(c.Add());
    item->Value = value;
    return item;
}

std::vector<int> Values(const TCollection& c) {
    std::vector<int> out;
    for (int i = 0; i < c.Count(); ++i)
        out.push_back(static_cast<TTestItem*>(c.Items(i))->Value);
    return out;
}

TEST(TCollection, AddInsertDeleteAnnounceWholeItems) {
    TRecordingCollection c;
    AddItem(c, 1);
    AddItem(c, 3);
    auto* two = static_cast<TTestItem*>(c.Insert(1));
    two->Value = 2;
    EXPECT_EQ(Values(c), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(two->Index(), 1);
    EXPECT_EQ(c.FindItemID(two->ID()), two);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added TTestItem", "update all", "added TTestItem",
                                               "update all", "added TTestItem", "update all",
                                               "update all"}));
    c.Log.clear();
    c.Delete(0);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"deleting TTestItem", "extracting TTestItem",
                                               "update all"}));
    EXPECT_EQ(Values(c), (std::vector<int>{2, 3}));
    EXPECT_THROW(c.Items(2), EListError);
    EXPECT_THROW(c.Delete(-1), EListError);
    EXPECT_THROW(c.Insert(3), EListError);
    EXPECT_EQ(c.Count(), 2);  // the bad Insert made nothing
}

TEST(TCollection, IdsAreNeverReused) {
    TRecordingCollection c;
    int first = AddItem(c, 1)->ID();
    c.Delete(0);
    EXPECT_NE(AddItem(c, 2)->ID(), first);
    EXPECT_EQ(c.FindItemID(first), nullptr);
}

TEST(TCollection, NestedUpdatesAnnounceOnceAtTheOuterEnd) {
    TRecordingCollection c;
    auto* item = AddItem(c, 1);
    c.Log.clear();
    c.BeginUpdate();
    c.BeginUpdate();
    item->SetValue(5);
    AddItem(c, 2);
    c.EndUpdate();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added TTestItem"}));
    c.EndUpdate();
    EXPECT_EQ(c.Log, (std::vector<std::string>{"added TTestItem", "update all"}));
    EXPECT_EQ(c.UpdateCount(), 0);
    c.EndUpdate();  // unmatched: ignored
    EXPECT_EQ(c.UpdateCount(), 0);
    c.Log.clear();
    item->SetValue(6);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"update TTestItem Item 6"}));
}

TEST(TCollection, ItemsMoveByIndexAndBetweenCollections) {
    TRecordingCollection a, b;
    AddItem(a, 1);
    AddItem(a, 2);
    auto* three = AddItem(a, 3);
    three->SetIndex(0);
    EXPECT_EQ(Values(a), (std::vector<int>{3, 1, 2}));
    EXPECT_THROW(three->SetIndex(3), EListError);
    a.Log.clear();
    three->SetCollection(&b);
    EXPECT_EQ(Values(a), (std::vector<int>{1, 2}));
    EXPECT_EQ(Values(b), (std::vector<int>{3}));
    EXPECT_EQ(three->Collection(), &b);
    EXPECT_EQ(a.Log, (std::vector<std::string>{"extracting TTestItem", "update all"}));
    three->SetCollection(nullptr);
    EXPECT_EQ(three->Index(), -1);
    three->Free();
}

TEST(TCollection, ItemsOfAnotherClassAreRefused) {
    TRecordingCollection c;
    EXPECT_THROW(Create<TOtherItem>(&c), EInvalidCast);
    EXPECT_EQ(c.Count(), 0);
    auto* stray = Create<TOtherItem>(nullptr);
    EXPECT_THROW(stray->SetCollection(&c), EInvalidCast);
    EXPECT_EQ(c.Count(), 0);
    stray->Free();
}

TEST(TCollection, AssignCopiesEveryItemInsideOneUpdate) {
    TRecordingCollection source, dest;
    AddItem(source, 7);
    AddItem(source, 8);
    AddItem(dest, 1);
    dest.Log.clear();
    dest.Assign(&source);
    EXPECT_EQ(Values(dest), (std::vector<int>{7, 8}));
    int updates = static_cast<int>(std::count(dest.Log.begin(), dest.Log.end(), "update all"));
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(dest.Log.back(), "update all");
}

TEST(TCollection, AssignEndsItsUpdateWhenAnItemsAssignmentRaises) {
    TRecordingCollection source, dest;
    AddItem(source, 1);
    AddItem(source, 2)->FailAssign = true;
    AddItem(source, 3);
    dest.Log.clear();
    EXPECT_THROW(dest.Assign(&source), EConvertError);
    EXPECT_EQ(dest.UpdateCount(), 0);
    EXPECT_EQ(dest.Log.back(), "update all");
    // Later changes are announced again.
    dest.Log.clear();
    AddItem(dest, 9);
    EXPECT_EQ(dest.Log.back(), "update all");
}

TEST(TCollection, AssignFromSomethingElseIsAConversionError) {
    TRecordingCollection c;
    auto* other = Create<TComponent>(nullptr);
    EXPECT_THROW(c.Assign(other), EConvertError);
    EXPECT_THROW(c.Assign(nullptr), EConvertError);
    other->Free();
}

TEST(TCollection, ClearFreesTheItemsInsideOneUpdate) {
    TRecordingCollection c;
    AddItem(c, 1);
    AddItem(c, 2);
    c.Log.clear();
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.Log, (std::vector<std::string>{"extracting TTestItem", "extracting TTestItem",
                                               "update all"}));
}

// An owner that publishes its collection, for name paths.
class TLayerHost : public TComponent {
    FW_CLASS(TLayerHost, TComponent)
public:
    explicit TLayerHost(TComponent* owner) : TComponent(owner), layers_(this) {}
    TRecordingCollection* GetLayers() const { return const_cast<TRecordingCollection*>(&layers_); }
    static const TPropList& PublishedProperties() {
        static const TPropList list =
            TPropList(TInherited::PublishedProperties()).Class("Layers", &TLayerHost::GetLayers);
        return list;
    }

private:
    TRecordingCollection layers_;
};

TEST(TCollection, OwnedCollectionAnswersItsOwnerAndNamesItsItems) {
    auto* host = Create<TLayerHost>(nullptr);
    host->SetName("Image1");
    TRecordingCollection* layers = host->GetLayers();
    EXPECT_EQ(layers->GetOwner(), host);
    AddItem(*layers, 1);
    auto* second = AddItem(*layers, 2);
    EXPECT_EQ(layers->GetNamePath(), "Image1.Layers");
    EXPECT_EQ(second->GetNamePath(), "Image1.Layers[1]");
    EXPECT_EQ(second->GetOwner(), layers);
    EXPECT_EQ(second->DisplayName(), "Item 2");

    TRecordingCollection loose;
    EXPECT_EQ(loose.GetNamePath(), "TRecordingCollection");
    host->Free();
}

}  // namespace
