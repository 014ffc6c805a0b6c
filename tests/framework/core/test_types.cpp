#include <gtest/gtest.h>

#include <climits>

#include "framework/core/Types.h"

namespace {

TEST(Types, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        std::int32_t number, numerator, denominator, expected;
    };
    const Case cases[] = {
        {10, 3, 4, 8},        // 7.5 -> 8
        {-10, 3, 4, -8},      // -7.5 -> -8
        {10, -3, 4, -8},      //
        {-10, -3, -4, -8},    //
        {10, 3, -4, -8},      //
        {7, 1, 3, 2},         // 2.33 -> 2
        {8, 1, 3, 3},         // 2.67 -> 3
        {1, 1, 2, 1},         // 0.5 -> 1
        {-1, 1, 2, -1},       // -0.5 -> -1
        {0, 5, 7, 0},         //
        {5, 7, 0, -1},        // division by zero
        {0, 0, 0, -1},        //
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MAX, 2, 1, -1},  // does not fit
        {INT_MIN, 1, 1, INT_MIN},
        {INT_MIN, -1, 1, -1},  // 2^31 does not fit
        {65536, 96, 72, 87381},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortableMulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
}

std::uint32_t FakeSysColor(int index) {
    return 0x00100000u + static_cast<std::uint32_t>(index);
}

TEST(Types, OnlyTopByteFFIsResolvedAsASystemColour) {
    TSysColorResolver previous = SetSysColorResolver(&FakeSysColor);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x0010000F);
    EXPECT_EQ(ColorToRGB(clWindow), 0x00100005);
    EXPECT_EQ(ColorToRGB(clFuchsia), 0x00FF00FF);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    for (std::uint32_t pseudo : {0x80000400u, 0x80000401u, 0x80000402u})
        EXPECT_EQ(ColorToRGB(ColorFromRaw(pseudo)), ColorFromRaw(pseudo));
    EXPECT_TRUE(IsSystemColor(clBtnHighlight));
    EXPECT_FALSE(IsSystemColor(ColorFromRaw(0x80000400)));
    SetSysColorResolver(previous);

    // The built-in table answers without a resolver.
    SetSysColorResolver(nullptr);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(SystemColor(200)), 0);
    SetSysColorResolver(previous);
}

TEST(Types, ColourConstants) {
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnShadow), 0xFF000010u);
    EXPECT_EQ(static_cast<std::uint32_t>(clBtnHighlight), 0xFF000014u);
    EXPECT_EQ(static_cast<std::uint32_t>(clWindow), 0xFF000005u);
    EXPECT_EQ(clBlue, 0x00FF0000);
    EXPECT_EQ(clRed, 0x000000FF);
    EXPECT_EQ(clPurple, 0x00800080);
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clDefault, 0x20000000);
}

TEST(Types, RectanglesAndPoints) {
    TRect r = Bounds(10, 20, 30, 40);
    EXPECT_EQ(r, Rect(10, 20, 40, 60));
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_TRUE(PtInRect(r, Point(10, 20)));
    EXPECT_TRUE(PtInRect(r, Point(39, 59)));
    EXPECT_FALSE(PtInRect(r, Point(40, 30)));
    EXPECT_FALSE(PtInRect(r, Point(20, 60)));
    EXPECT_FALSE(PtInRect(r, Point(9, 30)));

    struct Case {
        TRect a, b, expected;
        bool overlaps;
    };
    const Case cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(5, 5, 10, 10), true},
        {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), TRect{}, false},  // touching edges
        {Rect(0, 0, 10, 10), Rect(2, 2, 4, 4), Rect(2, 2, 4, 4), true},
        {Rect(0, 0, 10, 10), Rect(20, 20, 30, 30), TRect{}, false},
        {Rect(0, 0, 0, 10), Rect(0, 0, 10, 10), TRect{}, false},    // empty input
        {Rect(-5, -5, 5, 5), Rect(-10, 0, 0, 10), Rect(-5, 0, 0, 5), true},
    };
    for (const Case& c : cases) {
        TRect dst = Rect(1, 2, 3, 4);
        EXPECT_EQ(IntersectRect(dst, c.a, c.b), c.overlaps);
        EXPECT_EQ(dst, c.expected);
    }
    TRect alias = Rect(0, 0, 10, 10);
    EXPECT_TRUE(IntersectRect(alias, alias, Rect(5, 5, 20, 20)));
    EXPECT_EQ(alias, Rect(5, 5, 10, 10));
}

TEST(Types, SetsAreBitsOfTheirValues) {
    TShiftState s{ssShift, ssCtrl};
    EXPECT_EQ(s.Raw(), 0b101u);
    EXPECT_TRUE(s.Contains(ssCtrl));
    EXPECT_FALSE(s.Contains(ssAlt));
    s.Include(ssDouble).Exclude(ssShift);
    EXPECT_EQ(s, (TShiftState{ssCtrl, ssDouble}));
    EXPECT_EQ(s | ssAlt, (TShiftState{ssAlt, ssCtrl, ssDouble}));
    EXPECT_EQ((s & TShiftState{ssCtrl, ssLeft}), TShiftState{ssCtrl});
    EXPECT_EQ(s - ssCtrl, TShiftState{ssDouble});
    EXPECT_TRUE(TShiftState{ssCtrl} <= s);
    EXPECT_FALSE(s <= TShiftState{ssCtrl});
    EXPECT_TRUE(TShiftState{}.Empty());
    EXPECT_EQ(TOpenOptions{ofForceShowHidden}.Raw(), 1u << 21);
    EXPECT_EQ(TFontStyles::FromRaw(0b1001), (TFontStyles{fsBold, fsStrikeOut}));
}

TEST(Types, EnumerationValuesAreTheStoredOrdinals) {
    EXPECT_EQ(pfDevice, 0);
    EXPECT_EQ(pf24bit, 6);
    EXPECT_EQ(pfCustom, 8);
    EXPECT_EQ(mrOk, 1);
    EXPECT_EQ(mrCancel, 2);
    EXPECT_EQ(crDefault, 0);
    EXPECT_EQ(crDrag, -12);
    EXPECT_EQ(crMultiDrag, -16);
    EXPECT_EQ(crHandPoint, -21);
    static_assert(sizeof(TCursor) == 2);
    static_assert(sizeof(TRect) == 16 && sizeof(TPoint) == 8);
}

}  // namespace
