#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "RasterTestSupport.h"
#include "raster/FixedMath.h"
#include "raster/LowLevel.h"

using RasterTest::GuardedRow;

namespace {

struct FillForm {
    const char* name;
    TFillProc fill;
};

std::vector<FillForm> FillForms() {
    std::vector<FillForm> forms = {{"plain", &PlainForms::Fill32}, {"mmx", &MmxForms::Fill32}};
#if RASTER_SSE2_FORMS
    forms.push_back({"sse2", &Sse2Forms::Fill32});
#endif
    return forms;
}

TEST(Fill32, EveryFormFillsExactlyTheCellsNamed) {
    // Counts around the pair, 16-byte and string-store boundaries, at every alignment within 16
    // bytes.
    const int counts[] = {1, 2, 3, 4, 5, 7, 15, 16, 17, 31, 33, 511, 512, 513, 1920};
    for (const auto& form : FillForms()) {
        for (int count : counts) {
            for (int offset = 0; offset < 4; ++offset) {
                GuardedRow row(count + offset, 0x11111111);
                form.fill(row.data() + offset, count, 0xA5C3E1F0);
                for (int i = 0; i < row.size(); ++i) {
                    const TColor32 want = i < offset ? 0x11111111 : 0xA5C3E1F0;
                    ASSERT_EQ(row.data()[i], want)
                        << form.name << " count " << count << " offset " << offset << " cell " << i;
                }
                ASSERT_TRUE(row.GuardsIntact()) << form.name << " count " << count;
            }
        }
    }
}

// A fill that read its count as unsigned would turn -1 into about 16 GiB of writes.
TEST(Fill32, ZeroOrNegativeCountWritesNothingInAnyForm) {
    for (const auto& form : FillForms()) {
        for (int count : {0, -1, -2, INT_MIN}) {
            GuardedRow row(4, 0x22222222);
            form.fill(row.data(), count, 0xFFFFFFFF);
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(row.data()[i], 0x22222222u) << form.name << " count " << count;
            }
            EXPECT_TRUE(row.GuardsIntact()) << form.name << " count " << count;
        }
    }
}

TEST(Move32, CopiesTheCellsAndNothingElse) {
    GuardedRow src(5), dst(5, 0x33333333);
    for (int i = 0; i < 5; ++i) {
        src.data()[i] = 0x100u + i;
    }
    Move32(src.data(), dst.data(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(dst.data()[i], 0x100u + i);
    }
    EXPECT_TRUE(dst.GuardsIntact());
    for (int count : {0, -1, INT_MIN}) {
        Move32(src.data(), dst.data() + 1, count);
        EXPECT_EQ(dst.data()[1], 0x101u) << count;
    }
    EXPECT_TRUE(dst.GuardsIntact());
}

TEST(Move32, OverlapWithDestinationBelowSourceIsAnAscendingCopy) {
    std::vector<TColor32> cells = {0, 1, 2, 3, 4, 5, 6, 7};
    Move32(cells.data() + 2, cells.data(), 6);
    EXPECT_EQ(cells, (std::vector<TColor32>{2, 3, 4, 5, 6, 7, 6, 7}));
    Move32(cells.data(), cells.data(), 8); // the same address: nothing to do
    EXPECT_EQ(cells, (std::vector<TColor32>{2, 3, 4, 5, 6, 7, 6, 7}));
}

TEST(IntegerHelpers, SwapAndOrder) {
    int a = 5, b = -3;
    SwapInts(a, b);
    EXPECT_EQ(a, -3);
    EXPECT_EQ(b, 5);
    OrderInts(a, b); // already ordered
    EXPECT_EQ(a, -3);
    EXPECT_EQ(b, 5);
    a = 7;
    b = -7;
    OrderInts(a, b); // signed comparison
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, 7);
}

TEST(IntegerHelpers, DivModTruncates) {
    struct {
        int dividend, divisor, quotient, remainder;
    } cases[] = {{7, 2, 3, 1}, {-7, 2, -3, -1}, {7, -2, -3, 1}, {-7, -2, 3, -1}, {0, 5, 0, 0}};
    for (const auto& c : cases) {
        int r = 99;
        EXPECT_EQ(DivModInt(c.dividend, c.divisor, r), c.quotient)
            << c.dividend << "/" << c.divisor;
        EXPECT_EQ(r, c.remainder) << c.dividend << "/" << c.divisor;
    }
}

TEST(WrapFunctions, TableOfValues) {
    struct {
        TWrapMode mode;
        int value, min, max, want;
    } cases[] = {
        {wmClamp, 12, 0, 9, 9},   {wmClamp, -3, 0, 9, 0},   {wmClamp, 4, 0, 9, 4},
        {wmClamp, 5, 9, 0, 0}, // max < min: the later min() wins
        {wmRepeat, -1, 0, 9, 9},  {wmRepeat, 10, 0, 9, 0},  {wmRepeat, -10, 0, 9, 0},
        {wmRepeat, -11, 0, 9, 9}, {wmRepeat, 23, 0, 9, 3},  {wmRepeat, 7, 5, 5, 5},
        {wmRepeat, -4, -3, 2, 2}, {wmMirror, -1, 0, 9, 0},  {wmMirror, 10, 0, 9, 9},
        {wmMirror, -2, 0, 9, 1},  {wmMirror, -10, 0, 9, 9}, {wmMirror, -11, 0, 9, 9},
        {wmMirror, 19, 0, 9, 0},  {wmMirror, 20, 0, 9, 0},  {wmMirror, 25, 0, 9, 5},
        {wmMirror, 7, 5, 5, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WrapProcs[c.mode](c.value, c.min, c.max), c.want)
            << "mode " << int(c.mode) << " value " << c.value << " in [" << c.min << ", " << c.max
            << "]";
    }
}

// With max < min the range is empty; this once divided by zero (max = min - 1) or gave values
// outside any sensible range.
TEST(WrapFunctions, EmptyRangeGivesMin) {
    for (int value : {INT_MIN, -5, 0, 3, 5, INT_MAX}) {
        EXPECT_EQ(WrapInt(value, 4, 3), 4) << value;
        EXPECT_EQ(MirrorInt(value, 4, 3), 4) << value;
        EXPECT_EQ(WrapInt(value, 10, -10), 10) << value;
        EXPECT_EQ(MirrorInt(value, 10, -10), 10) << value;
    }
}

TEST(WrapFunctions, RangeAndPeriodProperties) {
    const int ranges[][2] = {{0, 0}, {0, 9}, {-4, 3}, {100, 131}};
    for (const auto& r : ranges) {
        const int lo = r[0], hi = r[1], n = hi - lo + 1;
        for (int v = lo - 5 * n; v <= hi + 5 * n; ++v) {
            const int w = WrapInt(v, lo, hi);
            const int m = MirrorInt(v, lo, hi);
            ASSERT_GE(w, lo);
            ASSERT_LE(w, hi);
            ASSERT_GE(m, lo);
            ASSERT_LE(m, hi);
            ASSERT_EQ(w, WrapInt(v + n, lo, hi)) << v;
            ASSERT_EQ(m, MirrorInt(v + 2 * n, lo, hi)) << v;
            if (v >= lo && v <= hi) {
                ASSERT_EQ(w, v);
                ASSERT_EQ(m, v);
                // Reflection about the range's ends: lo - 1 - k mirrors lo + k.
                ASSERT_EQ(MirrorInt(lo - 1 - (v - lo), lo, hi), v);
                ASSERT_EQ(MirrorInt(hi + 1 + (hi - v), lo, hi), v);
            }
        }
    }
}

TEST(WrapFunctions, FullIntegerRangeDoesNotOverflow) {
    EXPECT_EQ(WrapInt(INT_MIN, INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(WrapInt(INT_MAX, INT_MIN, INT_MAX), INT_MAX);
    EXPECT_EQ(MirrorInt(-5, INT_MIN, INT_MAX), -5);
    EXPECT_EQ(WrapInt(INT_MIN, 0, INT_MAX), 0); // -2^31 is -1 period of 2^31 away from 0
    EXPECT_EQ(MirrorInt(INT_MIN, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(WrapInt(INT_MAX, INT_MIN, -1), -1);
}

TEST(FixedPoint, ConversionsAndDivision) {
    struct {
        TFixed v;
        int floor, ceil, round;
    } cases[] = {
        {0, 0, 0, 0},
        {kFixedOne, 1, 1, 1},
        {kFixedOne + 1, 1, 2, 1},
        {kFixedOne / 2, 0, 1, 0}, // a half rounds down: (v + 0x7FFF) sar 16
        {kFixedOne / 2 + 1, 0, 1, 1},
        {-1, -1, 0, 0},
        {-kFixedOne / 2, -1, 0, -1},
        {-kFixedOne / 2 + 1, -1, 0, 0},
        {-kFixedOne / 2 - 1, -1, 0, -1},
        {-3 * kFixedOne, -3, -3, -3},
        {INT_MAX, 32767, 32768, 32768}, // no overflow at the top of the range
        {INT_MIN, -32768, -32768, -32768},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedToIntFloor(c.v), c.floor) << c.v;
        EXPECT_EQ(FixedToIntCeil(c.v), c.ceil) << c.v;
        EXPECT_EQ(FixedToIntRound(c.v), c.round) << c.v;
    }
    EXPECT_EQ(FixedDivide(1, 2), kFixedOne / 2);
    EXPECT_EQ(FixedDivide(3, 4), 3 * kFixedOne / 4);
    EXPECT_EQ(FixedDivide(-1, 3), -21845);               // truncation towards zero
    EXPECT_EQ(FixedDivide(30000, 1), 30000 * kFixedOne); // needs the 64-bit intermediate
    EXPECT_EQ(FixedDivide(0x40000000, 0x7FFFFFFF), 32768);
}

} // namespace
