#include "raster/Containers.h"

#include <algorithm>

#include "framework/core/Exceptions.h"

TPointerMap::~TPointerMap() {
    Clear();
}

void** TPointerMap::Add(const void* key, bool& isNew) {
    int b, i;
    if (Find(key, b, i)) {
        isNew = false;
        return &buckets_[b][static_cast<std::size_t>(i)].Data;
    }
    std::vector<TPair>& bucket = buckets_[BucketOf(key)];
    if (bucket.size() == bucket.capacity()) {
        const std::size_t n = bucket.size();
        bucket.reserve(n + (n > 64 ? n / 4 : n > 8 ? 16 : 4));
    }
    bucket.push_back(TPair{key, nullptr});
    ++count_;
    isNew = true;
    return &bucket.back().Data;
}

bool TPointerMap::Find(const void* key, int& bucket, int& index) const {
    bucket = BucketOf(key);
    const std::vector<TPair>& pairs = buckets_[bucket];
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].Key == key) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

void* TPointerMap::Data(const void* key) const {
    int b, i;
    if (!Find(key, b, i))
        throw Exception::CreateFmt<EListError>(
            "Item not found ($0%x)",
            {static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(key))});
    return buckets_[b][static_cast<std::size_t>(i)].Data;
}

void TPointerMap::SetData(const void* key, void* data) {
    *Add(key) = data;
}

void* TPointerMap::Remove(const void* key) {
    int b, i;
    if (!Find(key, b, i))
        return nullptr;
    return Delete(b, i);
}

void* TPointerMap::Delete(int bucket, int index) {
    std::vector<TPair>& pairs = buckets_[bucket];
    void* data = pairs.at(static_cast<std::size_t>(index)).Data;
    if (count_ == 0)
        return data;
    if (pairs.size() == 1)
        std::vector<TPair>().swap(pairs);
    else
        pairs.erase(pairs.begin() + index);
    --count_;
    return data;
}

void TPointerMap::Clear() {
    // The total goes to 0 first: Delete then only answers the data (for an override to free),
    // and the buckets are emptied below in one go.
    count_ = 0;
    for (int b = 255; b >= 0; --b) {
        for (int i = static_cast<int>(buckets_[b].size()) - 1; i >= 0; --i)
            Delete(b, i);
        std::vector<TPair>().swap(buckets_[b]);
    }
}

bool TPointerMapIterator::Next() {
    while (bucket_ < 256) {
        const std::vector<TPointerMap::TPair>& pairs = map_.Bucket(bucket_);
        if (index_ < 0)
            index_ = static_cast<int>(pairs.size());
        if (index_ > 0) {
            --index_;
            key_ = pairs[static_cast<std::size_t>(index_)].Key;
            data_ = pairs[static_cast<std::size_t>(index_)].Data;
            return true;
        }
        ++bucket_;
        index_ = -1;
    }
    return false;
}

int TRectList::Add(const TRect& r) {
    if (count_ == Capacity()) {
        const int c = Capacity();
        SetCapacity(c + (c > 128 ? c / 4 : c < 9 ? 8 : 32));
    }
    items_[static_cast<std::size_t>(count_)] = r;
    return count_++;
}

void TRectList::Delete(int index) {
    if (index < 0 || index >= count_)
        throw EListError::IndexOutOfBounds(index);
    std::move(items_.begin() + index + 1, items_.begin() + count_, items_.begin() + index);
    --count_;
}

TRect* TRectList::Items(int index) noexcept {
    if (index < 0 || index >= count_)
        return nullptr;
    return &items_[static_cast<std::size_t>(index)];
}

void TRectList::Clear() {
    count_ = 0;
    SetCapacity(10);
}

void TRectList::SetCapacity(int n) {
    n = std::max(n, 0);
    items_.resize(static_cast<std::size_t>(n));
    count_ = std::min(count_, n);
}

void TRectList::SetCount(int n) {
    n = std::max(n, 0);
    if (n > Capacity())
        SetCapacity(n);
    for (int i = count_; i < n; ++i)
        items_[static_cast<std::size_t>(i)] = TRect{};
    count_ = n;
}

int TClassList::Add(TClass cls) {
    items_.push_back(cls);
    return static_cast<int>(items_.size()) - 1;
}

TClass TClassList::Find(const std::string& name) const {
    for (TClass cls : items_) {
        if (cls != nullptr && name == cls->Name)
            return cls;
    }
    return nullptr;
}

void CopyPublishedProperties(const TObject* source, TObject* dest, TTypeKinds kinds) {
    if (source == nullptr || dest == nullptr)
        return;
    CopyPropertiesByName(source, dest, kinds);
}
