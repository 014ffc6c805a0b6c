#include "framework/core/List.h"

#include <algorithm>

#include "framework/core/Exceptions.h"

TList::~TList() = default;

void TList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
}

void TList::SetCapacity(int value) {
    if (value < Count())
        throw Exception::CreateFmt<EListError>("List capacity out of bounds (%d)", {value});
    if (value > Capacity()) {
        items_.reserve(static_cast<std::size_t>(value));
    } else if (value < Capacity()) {
        std::vector<void*> shrunk;
        shrunk.reserve(static_cast<std::size_t>(value));
        shrunk.assign(items_.begin(), items_.end());
        items_.swap(shrunk);
    }
}

void* TList::Items(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item) {
    CheckIndex(index);
    items_[static_cast<std::size_t>(index)] = item;
}

int TList::Add(void* item) {
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count())
        throw EListError::IndexOutOfBounds(index);
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
    int index = IndexOf(item);
    if (index >= 0)
        items_.erase(items_.begin() + index);
    return index;
}

void* TList::Extract(void* item) {
    return Remove(item) >= 0 ? item : nullptr;
}

int TList::IndexOf(void* item) const noexcept {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex)
        return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[static_cast<std::size_t>(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
}

void TList::Clear() noexcept {
    items_.clear();
    items_.shrink_to_fit();
}

void* TList::First() const {
    return Items(0);
}

void* TList::Last() const {
    return Items(Count() - 1);
}

void TList::Sort(const TListSortCompare& compare) {
    std::vector<void*> sorted = items_;
    BoundedMergeSort(sorted, compare);
    items_.swap(sorted);
}

void BoundedMergeSort(std::vector<void*>& items, const TList::TListSortCompare& compare) {
    // Bottom-up, so no recursion; every access is bounded by explicit run
    // ends, never by what compare answered before.
    const std::size_t n = items.size();
    if (n < 2)
        return;
    std::vector<void*> buffer(n);
    std::vector<void*>* from = &items;
    std::vector<void*>* to = &buffer;
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t left = 0; left < n; left += 2 * width) {
            std::size_t mid = std::min(left + width, n);
            std::size_t right = std::min(left + 2 * width, n);
            std::size_t i = left, j = mid, k = left;
            while (i < mid && j < right) {
                // Taking the left element unless the right one is strictly
                // smaller keeps the sort stable.
                if (compare((*from)[j], (*from)[i]) < 0)
                    (*to)[k++] = (*from)[j++];
                else
                    (*to)[k++] = (*from)[i++];
            }
            while (i < mid)
                (*to)[k++] = (*from)[i++];
            while (j < right)
                (*to)[k++] = (*from)[j++];
        }
        std::swap(from, to);
    }
    if (from != &items)
        items.swap(*from);
}
