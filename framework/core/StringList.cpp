#include "framework/core/StringList.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>

#include "framework/core/Exceptions.h"

namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

TStringList::~TStringList() = default;

void TStringList::Insert(int index, const std::string& text) {
    CheckIndex(index, true);
    if (items_.size() >= static_cast<std::size_t>(INT_MAX))
        throw EOutOfMemory();
    Changing();
    items_.insert(items_.begin() + index, Item{text, nullptr});
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty())
        return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Assign(TPersistent* Source) {
    TStrings::Assign(Source);
    if (auto* source = dynamic_cast<TStringList*>(Source))
        caseSensitive_ = source->caseSensitive_;
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    const int count = Count();
    if (count < 2)
        return;
    // Sort a permutation, comparing entries where they stand; every index
    // handed to compare comes from order[], which only ever holds 0 .. count-1.
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> merged(order.size());
    const std::size_t n = order.size();
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t low = 0; low < n; low += 2 * width) {
            const std::size_t middle = std::min(low + width, n);
            const std::size_t high = std::min(low + 2 * width, n);
            std::size_t a = low;
            std::size_t b = middle;
            std::size_t k = low;
            while (a < middle && b < high) {
                // Taking the right run only when it is strictly smaller keeps the sort stable.
                if (compare(this, order[b], order[a]) < 0)
                    merged[k++] = order[b++];
                else
                    merged[k++] = order[a++];
            }
            while (a < middle)
                merged[k++] = order[a++];
            while (b < high)
                merged[k++] = order[b++];
        }
        order.swap(merged);
    }
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (const int index : order)
        sorted.push_back(std::move(items_[static_cast<std::size_t>(index)]));
    Changing();
    items_ = std::move(sorted);
    Changed();
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& text) {
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].text = text;
    Changed();
}

TObject* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].object = object;
    Changed();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    if (caseSensitive_)
        return a.compare(b);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}
