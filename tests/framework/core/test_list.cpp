#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <random>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/List.h"

namespace {

void* P(std::intptr_t v) {
    return reinterpret_cast<void*>(v);
}
std::intptr_t V(void* p) {
    return reinterpret_cast<std::intptr_t>(p);
}

std::vector<std::intptr_t> Values(const TList& list) {
    std::vector<std::intptr_t> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(V(list.Items(i)));
    return out;
}

TEST(TList, EditingOperations) {
    TList list;
    EXPECT_EQ(list.Add(P(1)), 0);
    EXPECT_EQ(list.Add(P(2)), 1);
    list.Insert(0, P(0));
    list.Insert(3, P(3));  // Count itself is a valid insertion point
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{0, 1, 2, 3}));
    list.Move(0, 3);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 2, 3, 0}));
    list.Exchange(0, 3);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{0, 2, 3, 1}));
    list.Add(P(2));
    EXPECT_EQ(list.IndexOf(P(2)), 1);
    EXPECT_EQ(list.Remove(P(2)), 1);  // first occurrence only
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{0, 3, 1, 2}));
    EXPECT_EQ(list.Remove(P(9)), -1);
    EXPECT_EQ(list.Extract(P(3)), P(3));
    EXPECT_EQ(list.Extract(P(3)), nullptr);
    list.Delete(0);
    EXPECT_EQ(list.First(), P(1));
    EXPECT_EQ(list.Last(), P(2));
    list.SetItems(1, P(7));
    EXPECT_EQ(list[1], P(7));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TList, EveryIndexOutsideTheListRaisesWithTheIndexInTheMessage) {
    TList list;
    list.Add(P(1));
    list.Add(P(2));
    struct Case {
        const char* what;
        std::function<void()> call;
        int index;
    };
    const Case cases[] = {
        {"Items(2)", [&] { list.Items(2); }, 2},
        {"Items(-1)", [&] { list.Items(-1); }, -1},
        {"SetItems(5)", [&] { list.SetItems(5, nullptr); }, 5},
        {"Insert(3)", [&] { list.Insert(3, nullptr); }, 3},
        {"Insert(-1)", [&] { list.Insert(-1, nullptr); }, -1},
        {"Delete(2)", [&] { list.Delete(2); }, 2},
        {"Move(0,2)", [&] { list.Move(0, 2); }, 2},
        {"Exchange(-3,1)", [&] { list.Exchange(-3, 1); }, -3},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " did not raise";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(c.index) + ")")
                << c.what;
        }
    }
    EXPECT_EQ(list.Count(), 2);
    TList empty;
    EXPECT_THROW(empty.First(), EListError);
    EXPECT_THROW(empty.Last(), EListError);
}

TEST(TList, CapacityGrowsAndNeverDropsItems) {
    TList list;
    list.SetCapacity(100);
    EXPECT_GE(list.Capacity(), 100);
    list.Add(P(1));
    list.Add(P(2));
    EXPECT_THROW(list.SetCapacity(1), EListError);
    list.SetCapacity(2);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{1, 2}));
}

TEST(TList, SortIsStable) {
    TList list;
    // value * 10 + original position: sort by the tens only.
    const std::intptr_t input[] = {31, 12, 23, 14, 35, 16, 27};
    for (auto v : input)
        list.Add(P(v));
    list.Sort([](void* a, void* b) { return int(V(a) / 10 - V(b) / 10); });
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{12, 14, 16, 23, 27, 31, 35}));
}

TEST(TList, SortWithAComparatorThatIsNoOrderingStaysInBounds) {
    std::mt19937 random(20261210);
    for (int run = 0; run < 3000; ++run) {
        TList list;
        int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i)
            list.Add(P(i + 1));
        list.Sort([&](void*, void*) { return static_cast<int>(random() % 3) - 1; });
        // Still a permutation of the input: nothing lost, nothing invented.
        std::vector<std::intptr_t> v = Values(list);
        std::sort(v.begin(), v.end());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(v[static_cast<std::size_t>(i)], i + 1) << "run " << run;
    }
}

TEST(TList, SortLeavesTheListAsItWasWhenTheComparatorRaises) {
    TList list;
    for (int i = 5; i > 0; --i)
        list.Add(P(i));
    int calls = 0;
    EXPECT_THROW(list.Sort([&](void*, void*) -> int {
        if (++calls == 4)
            throw EConvertError("comparison failed");
        return -1;
    }),
                 EConvertError);
    EXPECT_EQ(Values(list), (std::vector<std::intptr_t>{5, 4, 3, 2, 1}));
}

}  // namespace
