#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "raster/BlendTables.h"

namespace {

TEST(Tables, SpotValues) {
    EXPECT_EQ(MulTable[255][255], 255);
    EXPECT_EQ(MulTable[0][200], 0);
    EXPECT_EQ(MulTable[128][128], 64); // 64.25
    EXPECT_EQ(MulTable[255][1], 1);
    EXPECT_EQ(MulTable[1][127], 0);     // 0.498
    EXPECT_EQ(MulTable[1][128], 1);     // 0.502
    EXPECT_EQ(DivTable[200][100], 128); // Round(127.5) goes to the even 128
    EXPECT_EQ(DivTable[2][1], 128);     // Round(127.5) again
    EXPECT_EQ(DivTable[6][1], 42);      // Round(42.5) goes to the even 42
    EXPECT_EQ(DivTable[255][255], 255);
    EXPECT_EQ(DivTable[128][64], 128); // 127.5
    EXPECT_EQ(DivTable[1][1], 255);
    EXPECT_EQ(DivTable[1][2], 254); // 510 keeps its low 8 bits
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(DivTable[0][i], 0) << i;
    }
}

// Every entry against floating-point division rounded by the default (ties-to-even) mode. The
// exact ties (halves) are representable, and no other quotient comes close enough to a half for
// the floating-point error to matter, so this is an independent check of the integer rounding.
TEST(Tables, EveryEntryIsTheRoundedQuotient) {
    for (int j = 0; j < 256; ++j) {
        for (int i = 0; i < 256; ++i) {
            const auto mul = static_cast<int>(std::nearbyint(i * j / 255.0));
            ASSERT_EQ(MulTable[j][i], mul) << "MulTable[" << j << "][" << i << "]";
            const int div = j == 0 ? 0 : static_cast<int>(std::nearbyint(i * 255.0 / j)) & 0xFF;
            ASSERT_EQ(DivTable[j][i], div) << "DivTable[" << j << "][" << i << "]";
            if (j > 0 && i <= j) {
                ASSERT_LE(std::nearbyint(i * 255.0 / j), 255.0);
            }
        }
    }
}

TEST(Tables, AlphaTableHoldsEachWeightInFourLanes) {
    for (int w = 0; w < 256; ++w) {
        for (int lane = 0; lane < 4; ++lane) {
            ASSERT_EQ(AlphaTable[w].lane[lane], w) << w;
        }
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(&AlphaTable[w]) % 8, 0u) << w;
    }
    EXPECT_EQ(AlphaBias, &AlphaTable[128]);
    EXPECT_EQ(sizeof AlphaTable, 256u * 8u);
}

} // namespace
