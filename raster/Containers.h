#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/TypInfo.h"
#include "framework/core/Types.h"

// Containers of the library: a map from pointers to pointers, a growable rectangle list, a list
// of classes looked up by name, and the published-property copier.

// 256 buckets of (key, data) pairs; a key's bucket is bits 8-15 of its address.
class TPointerMap {
public:
    struct TPair {
        const void* Key = nullptr;
        void* Data = nullptr;
    };

    TPointerMap() = default;
    TPointerMap(const TPointerMap&) = delete;
    TPointerMap& operator=(const TPointerMap&) = delete;
    // Clears (so that an override of Delete could free the data: call Clear in a derived
    // destructor for that).
    virtual ~TPointerMap();

    // The data slot of key and true when the key is new (its data nullptr then); an existing key
    // answers its slot and false. The slot stays valid until the next change of the map.
    void** Add(const void* key, bool& isNew);
    void** Add(const void* key) {
        bool isNew;
        return Add(key, isNew);
    }
    // True with the key's bucket and index when present.
    bool Find(const void* key, int& bucket, int& index) const;
    bool Contains(const void* key) const {
        int b, i;
        return Find(key, b, i);
    }
    // The key's data; raises EListError "Item not found ($0%x)" when absent.
    void* Data(const void* key) const;
    void SetData(const void* key, void* data);
    // Removes the key; its data, or nullptr when absent.
    void* Remove(const void* key);
    // Removes the pair at bucket/index and answers its data; with a total count of 0 only
    // answers the data.
    virtual void* Delete(int bucket, int index);
    // Every pair goes through Delete, last to first.
    void Clear();
    int Count() const noexcept { return count_; }

    static int BucketOf(const void* key) noexcept {
        return static_cast<int>((reinterpret_cast<std::uintptr_t>(key) >> 8) & 0xFF);
    }
    const std::vector<TPair>& Bucket(int b) const { return buckets_[b]; }

private:
    std::vector<TPair> buckets_[256];
    int count_ = 0;
};

// Walks a map: buckets 0 to 255, within a bucket from the last pair to the first.
class TPointerMapIterator {
public:
    explicit TPointerMapIterator(const TPointerMap& map) : map_(map) {}
    // The next pair into Key/Data; false when none is left.
    bool Next();
    const void* Key() const noexcept { return key_; }
    void* Data() const noexcept { return data_; }

private:
    const TPointerMap& map_;
    int bucket_ = 0;
    int index_ = -1; // pairs of the current bucket not yet visited; -1 before it starts
    const void* key_ = nullptr;
    void* data_ = nullptr;
};

// A growable array of rectangles.
class TRectList {
public:
    TRectList() = default;
    TRectList(const TRectList&) = delete;
    TRectList& operator=(const TRectList&) = delete;
    virtual ~TRectList() = default;

    int Add(const TRect& r);
    // Raises EListError for an index out of range.
    void Delete(int index);
    // The entry's address, nullptr out of range.
    TRect* Items(int index) noexcept;
    // Count 0, capacity 10.
    virtual void Clear();
    int Count() const noexcept { return count_; }
    int Capacity() const noexcept { return static_cast<int>(items_.size()); }
    // Reallocates to n entries (a smaller n drops entries from the end). Negative counts as 0.
    void SetCapacity(int n);
    // New entries are zero.
    void SetCount(int n);

private:
    std::vector<TRect> items_; // the capacity is items_.size()
    int count_ = 0;
};

// Classes in order of addition, found by their exact (case-sensitive) name.
class TClassList {
public:
    int Add(TClass cls);
    // The first class whose name equals name, nullptr when none.
    TClass Find(const std::string& name) const;
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    TClass Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    void Clear() { items_.clear(); }

private:
    std::vector<TClass> items_;
};

// Copies Source's published properties of the kinds given to Dest, in declaration order; a
// class-typed property lets Dest's object take Source's object's state when both exist.
void CopyPublishedProperties(const TObject* source, TObject* dest, TTypeKinds kinds = tkAny);
