// The integer map: sizing, addressing and the guard on huge sizes.

#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "raster/IntegerMap.h"

namespace {

TEST(IntegerMap, SizesAddressesAndRefusesHugeSizes) {
    TIntegerMap map;
    EXPECT_TRUE(map.Empty());
    EXPECT_EQ(map.ValueAddress(0, 0), nullptr);
    ASSERT_TRUE(map.SetSize(4, 3));
    EXPECT_FALSE(map.Empty());
    *map.ValueAddress(3, 2) = 7;
    EXPECT_EQ(map.ValueAddress(3, 2) - map.ValueAddress(0, 0), 3 + 2 * 4);
    for (auto [x, y] : {std::pair{4, 0}, {0, 3}, {-1, 0}, {0, -1}})
        EXPECT_EQ(map.ValueAddress(x, y), nullptr) << x << "," << y;
    // A new size starts from zeros.
    map.SetSize(2, 2);
    EXPECT_EQ(*map.ValueAddress(1, 1), 0);
    EXPECT_THROW(map.SetSize(100000, 100000), EOutOfMemory);
    EXPECT_EQ(map.Width(), 2);
    EXPECT_EQ(map.Height(), 2);
    map.Delete();
    EXPECT_TRUE(map.Empty());
}

} // namespace
