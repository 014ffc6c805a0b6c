#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/Strings.h"

class TStringList;

// Orders the entries at Index1 and Index2 of List: below 0, 0 or above 0.
// It need not be a strict weak ordering; CustomSort stays in bounds anyway.
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

// The class library's plain string list: strings with objects (not owned),
// kept in the order they were added, duplicates allowed.
class TStringList : public TStrings {
    FW_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    void Insert(int index, const std::string& text) override;
    // Removes the entry at index; -1 or an index >= Count raises EListError.
    void Delete(int index) override;
    void Clear() override;
    // Also copies CaseSensitive from a TStringList source.
    void Assign(TPersistent* Source) override;

    // Whether IndexOf tells upper from lower case (default false). Without it
    // only the ASCII letters fold, so the result does not depend on a locale.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value) { caseSensitive_ = value; }

    // Sorts with compare, which is called with indexes of the list as it was
    // before the sort (the list does not change until the order is known).
    // An index-bounded, stable merge sort: no comparator, however
    // inconsistent, can make it read outside the list. When compare raises,
    // the list is left as it was.
    void CustomSort(const TStringListSortCompare& compare);

    // Fired before and after every change (held back inside BeginUpdate /
    // EndUpdate, then fired once each).
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void SetUpdateState(bool updating) override;
    int CompareStrings(const std::string& a, const std::string& b) const override;

    virtual void Changing();
    virtual void Changed();

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };

    std::vector<Item> items_;
    bool caseSensitive_ = false;
};
