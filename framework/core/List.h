#pragma once

#include <functional>
#include <vector>

#include "framework/core/Object.h"

// A list of untyped pointers with checked indexes: every index outside
// 0..Count-1 raises EListError "List index out of bounds (%d)". The list owns
// nothing it points to.
class TList : public TObject {
    FW_CLASS(TList, TObject)
public:
    // Answers <0, 0 or >0 as a orders before, with or after b.
    using TListSortCompare = std::function<int(void* a, void* b)>;

    TList() = default;
    ~TList() override;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Growing the capacity keeps the items; a capacity below Count raises
    // EListError.
    int Capacity() const noexcept { return static_cast<int>(items_.capacity()); }
    void SetCapacity(int value);

    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }

    // Appends item and answers its index.
    int Add(void* item);
    // Inserts at 0..Count.
    void Insert(int index, void* item);
    void Delete(int index);
    // Deletes the first occurrence and answers its index, or -1.
    int Remove(void* item);
    // Removes the first occurrence and answers it, or nullptr when absent.
    void* Extract(void* item);
    // The first occurrence's index, or -1.
    int IndexOf(void* item) const noexcept;
    void Move(int curIndex, int newIndex);
    void Exchange(int index1, int index2);
    void Clear() noexcept;
    // EListError on an empty list.
    void* First() const;
    void* Last() const;

    // A stable merge sort that stays within the list whatever compare
    // answers (it may be no ordering at all). Should compare raise, the list
    // is left as it was.
    void Sort(const TListSortCompare& compare);

private:
    void CheckIndex(int index) const;
    std::vector<void*> items_;
};

// A stable, index-bounded merge sort of items by compare; the building block
// of every sort in the class library that takes a caller's comparator. It
// only ever looks at positions inside the vector, and any answers of compare
// give some permutation of the input.
void BoundedMergeSort(std::vector<void*>& items, const TList::TListSortCompare& compare);
