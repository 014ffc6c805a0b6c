// The pointer map, rectangle list, class list and the property copier.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "framework/core/Exceptions.h"
#include "raster/Containers.h"
#include "raster/Resamplers.h"

namespace {

const void* Key(std::uintptr_t v) {
    return reinterpret_cast<const void*>(v);
}

TEST(PointerMap, AddFindRemoveAndMissingKey) {
    TPointerMap map;
    bool isNew = false;
    void** slot = map.Add(Key(0x1234), isNew);
    EXPECT_TRUE(isNew);
    EXPECT_EQ(*slot, nullptr);
    *slot = Key(7) == nullptr ? nullptr : const_cast<void*>(Key(7));
    map.Add(Key(0x1234), isNew);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(map.Count(), 1);
    EXPECT_EQ(map.Data(Key(0x1234)), Key(7));
    int bucket = -1, index = -1;
    ASSERT_TRUE(map.Find(Key(0x1234), bucket, index));
    EXPECT_EQ(bucket, 0x12);
    try {
        map.Data(Key(0xABCDEF));
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Item not found ($0ABCDEF)");
    }
    EXPECT_EQ(map.Remove(Key(0x1234)), Key(7));
    EXPECT_EQ(map.Remove(Key(0x1234)), nullptr);
    EXPECT_EQ(map.Count(), 0);
}

TEST(PointerMap, ManyKeysInOneBucketAndTheIteratorOrder) {
    TPointerMap map;
    // 100 keys sharing bucket 255 (bits 8-15 all set), plus one in bucket 0.
    for (std::uintptr_t i = 0; i < 100; ++i)
        map.SetData(Key(0xFF00 + (i << 16)), const_cast<void*>(Key(i + 1)));
    map.SetData(Key(0x10), const_cast<void*>(Key(999)));
    EXPECT_EQ(map.Count(), 101);
    TPointerMapIterator it(map);
    std::vector<std::uintptr_t> data;
    while (it.Next())
        data.push_back(reinterpret_cast<std::uintptr_t>(it.Data()));
    ASSERT_EQ(data.size(), 101u);
    EXPECT_EQ(data[0], 999u) << "bucket 0 first";
    EXPECT_EQ(data[1], 100u) << "within a bucket, last pair first";
    EXPECT_EQ(data[100], 1u);
    // Removing from the middle keeps the others findable.
    map.Remove(Key(0xFF00 + (50u << 16)));
    EXPECT_EQ(map.Data(Key(0xFF00 + (51u << 16))), Key(52));
    map.Clear();
    EXPECT_EQ(map.Count(), 0);
    TPointerMapIterator empty(map);
    EXPECT_FALSE(empty.Next());
}

TEST(PointerMap, ClearHandsEveryPairToDelete) {
    struct Freeing : TPointerMap {
        std::set<const void*> freed;
        void* Delete(int bucket, int index) override {
            void* data = TPointerMap::Delete(bucket, index);
            freed.insert(data);
            return data;
        }
        ~Freeing() override { Clear(); }
    } map;
    map.SetData(Key(0x100), const_cast<void*>(Key(1)));
    map.SetData(Key(0x200), const_cast<void*>(Key(2)));
    map.SetData(Key(0x10200), const_cast<void*>(Key(3)));
    map.Clear();
    EXPECT_EQ(map.freed, (std::set<const void*>{Key(1), Key(2), Key(3)}));
    EXPECT_EQ(map.Count(), 0);
}

TEST(RectList, GrowthDeleteCountAndItems) {
    TRectList list;
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(list.Add(TRect{i, 0, i + 1, 1}), i);
    EXPECT_EQ(list.Count(), 300);
    EXPECT_GE(list.Capacity(), 300);
    list.Delete(0);
    EXPECT_EQ(list.Items(0)->Left, 1);
    EXPECT_EQ(list.Items(299), nullptr);
    EXPECT_EQ(list.Items(-1), nullptr);
    EXPECT_THROW(list.Delete(299), EListError);
    list.SetCount(2);
    EXPECT_EQ(list.Count(), 2);
    list.SetCount(4);
    EXPECT_EQ(*list.Items(3), TRect{});
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 10);
    EXPECT_EQ(list.Items(0), nullptr);
}

TEST(ClassList, FindsTheFirstExactName) {
    TClassList list;
    list.Add(TNearestResampler::StaticClass());
    list.Add(TBitmap32Resampler::StaticClass());
    list.Add(TNearestResampler::StaticClass());
    EXPECT_EQ(list.Find("TNearestResampler"), TNearestResampler::StaticClass());
    EXPECT_EQ(list.Find("TBitmap32Resampler"), TBitmap32Resampler::StaticClass());
    EXPECT_EQ(list.Find("tnearestresampler"), nullptr);
    EXPECT_EQ(list.Find(""), nullptr);
    EXPECT_EQ(list.Count(), 3);
}

TEST(CopyPublishedProperties, CopiesTheResamplerSettings) {
    TNearestResampler a(nullptr), b(nullptr);
    a.SetPixelAccessMode(pamWrap);
    CopyPublishedProperties(&a, &b);
    EXPECT_EQ(b.PixelAccessMode(), pamWrap);
    a.SetPixelAccessMode(pamUnsafe);
    CopyPublishedProperties(&a, &b, TTypeKinds{tkString});
    EXPECT_EQ(b.PixelAccessMode(), pamWrap) << "kinds not asked for are left";
}

} // namespace
