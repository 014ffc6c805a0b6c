#include <gtest/gtest.h>

#include <string>

#include "controls/GlyphLayout.h"

namespace {

constexpr TRect kFace{0, 0, 60, 40};
constexpr TSize kGlyph{16, 16};
constexpr TSize kText{20, 13};

TEST(GlyphLayout, PositionsOverLayoutsMarginsAndSpacings) {
    struct Case {
        TButtonLayout layout;
        int margin, spacing;
        TSize text;
        bool mark;
        TPoint glyph;
        TRect textRect;
    };
    const Case cases[] = {
        // Automatic margin and spacing: three equal parts of the free length (24 / 3).
        {blGlyphLeft, -1, -1, kText, false, {8, 12}, {32, 14, 52, 27}},
        {blGlyphLeft, 4, -1, kText, false, {4, 12}, {30, 14, 50, 27}},
        {blGlyphLeft, -1, 2, kText, false, {11, 12}, {29, 14, 49, 27}},
        {blGlyphLeft, 4, 2, kText, false, {4, 12}, {22, 14, 42, 27}},
        {blGlyphRight, -1, -1, kText, false, {36, 12}, {8, 14, 28, 27}},
        {blGlyphRight, 4, -1, kText, false, {40, 12}, {10, 14, 30, 27}},
        {blGlyphRight, -1, 2, kText, false, {33, 12}, {11, 14, 31, 27}},
        {blGlyphRight, 4, 2, kText, false, {40, 12}, {18, 14, 38, 27}},
        {blGlyphTop, -1, -1, kText, false, {22, 3}, {20, 22, 40, 35}},
        {blGlyphTop, 4, -1, kText, false, {22, 4}, {20, 24, 40, 37}},
        {blGlyphTop, -1, 2, kText, false, {22, 5}, {20, 23, 40, 36}},
        {blGlyphTop, 4, 2, kText, false, {22, 4}, {20, 22, 40, 35}},
        {blGlyphBottom, -1, -1, kText, false, {22, 21}, {20, 5, 40, 18}},
        {blGlyphBottom, 4, 2, kText, false, {22, 20}, {20, 5, 40, 18}},
        // No caption: the spacing is 0 and the glyph is centred.
        {blGlyphLeft, -1, -1, {0, 0}, false, {22, 12}, {38, 20, 38, 20}},
        {blGlyphTop, -1, -1, {0, 0}, false, {22, 12}, {30, 28, 30, 28}},
        {blGlyphLeft, 4, 2, {0, 0}, false, {4, 12}, {20, 20, 20, 20}},
        // The mark widens the caption beside a left glyph, the glyph otherwise.
        {blGlyphLeft, -1, -1, kText, true, {5, 12}, {26, 14, 55, 27}},
        {blGlyphTop, -1, -1, kText, true, {19, 3}, {20, 22, 40, 35}},
        {blGlyphRight, 4, 2, kText, true, {34, 12}, {12, 14, 32, 27}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "layout " << int(c.layout) << " M " << c.margin << " S " << c.spacing
                     << " text " << c.text.cx << " mark " << c.mark);
        const TGlyphLayoutResult r = LayoutGlyphAndCaption(kFace, kGlyph, c.text, c.layout,
                                                           c.margin, c.spacing, c.mark, {}, false);
        EXPECT_EQ(r.GlyphPos, c.glyph);
        EXPECT_EQ(r.TextRect, c.textRect);
    }
}

TEST(GlyphLayout, FaceOriginAndPressedOffset) {
    const TRect face{10, 5, 70, 45};
    const TGlyphLayoutResult plain =
        LayoutGlyphAndCaption(face, kGlyph, kText, blGlyphLeft, -1, -1, false, {1, 1}, false);
    EXPECT_EQ(plain.GlyphPos, (TPoint{19, 18}));
    EXPECT_EQ(plain.TextRect, (TRect{43, 20, 63, 33}));
    // A themed face moves the glyph only.
    const TGlyphLayoutResult themed =
        LayoutGlyphAndCaption(face, kGlyph, kText, blGlyphLeft, -1, -1, false, {1, 1}, true);
    EXPECT_EQ(themed.GlyphPos, (TPoint{19, 18}));
    EXPECT_EQ(themed.TextRect, (TRect{42, 19, 62, 32}));
}

TEST(GlyphLayout, CaptionRoom) {
    struct Case {
        TRect face;
        TButtonLayout layout;
        int margin, spacing;
        bool mark;
        TSize room;
    };
    const Case cases[] = {
        {kFace, blGlyphLeft, -1, -1, false, {44, 40}},
        {kFace, blGlyphRight, 4, 2, true, {29, 40}},
        {kFace, blGlyphTop, 4, 2, true, {60, 18}},
        {kFace, blGlyphBottom, -1, -1, false, {60, 24}},
        {{0, 0, 10, 10}, blGlyphLeft, 4, 2, true, {0, 10}}, // floored at 0
        {{0, 0, 10, 10}, blGlyphTop, -1, -1, false, {10, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GlyphCaptionRoom(c.face, kGlyph, c.layout, c.margin, c.spacing, c.mark), c.room)
            << int(c.layout);
}

TEST(GlyphLayout, OddSizesStayArithmetic) {
    // Empty and huge glyphs, negative margins on a tiny face: positions only.
    const TSize sizes[] = {{0, 0}, {1 << 20, 1 << 20}, {-3, -3}};
    for (TSize g : sizes)
        for (int l = blGlyphLeft; l <= blGlyphBottom; ++l)
            for (int m : {-1, -7, 0})
                for (int s : {-1, -9, 0}) {
                    const auto layout = static_cast<TButtonLayout>(l);
                    const TSize room = GlyphCaptionRoom({0, 0, 4, 4}, g, layout, m, s, true);
                    EXPECT_GE(room.cx, 0);
                    EXPECT_GE(room.cy, 0);
                    LayoutGlyphAndCaption({0, 0, 4, 4}, g, {3, 3}, layout, m, s, true, {}, false);
                }
}

TEST(GlyphLayout, CaptionPreparation) {
    auto tenPerChar = [](std::string_view s) {
        int w = 0;
        for (char c : s)
            w += c == '.' ? 2 : 10;
        return w;
    };
    EXPECT_EQ(PrepareCaption("abcdef\nxy  \n", 59, false, tenPerChar), "abcd...\r\nxy");
    EXPECT_EQ(PrepareCaption("abc\r\ndef", 59, false, tenPerChar), "abc\r\ndef");
    EXPECT_EQ(PrepareCaption("abcdef\nxy", 59, true, tenPerChar), "abcdef\nxy");
    EXPECT_EQ(PrepareCaption("", 59, false, tenPerChar), "");
    EXPECT_EQ(PrepareCaption(std::string(300, 'a'), 5000, true, tenPerChar).size(), 255u);
}

TEST(GlyphLayout, NumGlyphsFromTheBitmapShape) {
    struct Case {
        int width, height, current, result;
    };
    const Case cases[] = {
        {64, 16, 1, 4}, {112, 16, 3, 1}, {60, 16, 2, 2}, {16, 16, 3, 1},
        {80, 16, 1, 5}, {96, 16, 2, 1},  {0, 0, 2, 2},   {16, 0, 2, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectNumGlyphs(c.width, c.height, c.current), c.result)
            << c.width << "x" << c.height;
}

TEST(GlyphLayout, GreyLevels) {
    EXPECT_EQ(GreyPixel(clWhite), clWhite);
    EXPECT_EQ(GreyPixel(clBlack), clBlack);
    EXPECT_EQ(GreyPixel(clRed), ColorFromRaw(0x4C4C4C));  // 77 * 255 >> 8
    EXPECT_EQ(GreyPixel(clLime), ColorFromRaw(0x959595)); // 150 * 255 >> 8
    EXPECT_EQ(GreyPixel(clBlue), ColorFromRaw(0x1C1C1C)); // 29 * 255 >> 8
}

TEST(GlyphLayout, DropDownMarkIsASevenPixelTriangle) {
    const std::vector<TPoint> pixels = DropDownMarkPixels(10, 5);
    ASSERT_EQ(pixels.size(), 16u);
    auto has = [&](int x, int y) {
        return std::find(pixels.begin(), pixels.end(), TPoint{x, y}) != pixels.end();
    };
    for (int x = 10; x <= 16; ++x)
        EXPECT_TRUE(has(x, 4));
    EXPECT_FALSE(has(10, 5));
    EXPECT_TRUE(has(11, 5) && has(15, 5));
    EXPECT_FALSE(has(16, 5));
    EXPECT_TRUE(has(12, 6) && has(14, 6));
    EXPECT_FALSE(has(11, 6) || has(15, 6));
    EXPECT_TRUE(has(13, 7));
    EXPECT_FALSE(has(12, 7) || has(13, 8));
}

TEST(GlyphSlots, FreedSlotsAreTakenAgainAndDoubleReleaseIsHarmless) {
    TTkSlotSet slots;
    bool appended = false;
    EXPECT_EQ(slots.Acquire(appended), 0);
    EXPECT_TRUE(appended);
    EXPECT_EQ(slots.Acquire(appended), 1);
    EXPECT_EQ(slots.Acquire(appended), 2);
    slots.Release(1);
    EXPECT_EQ(slots.Acquire(appended), 1);
    EXPECT_FALSE(appended);
    EXPECT_EQ(slots.UsedCount(), 3);
    slots.Release(2);
    slots.Release(2); // released twice: the count must not fall for it
    slots.Release(-1);
    slots.Release(99);
    EXPECT_EQ(slots.UsedCount(), 2);
    EXPECT_EQ(slots.Size(), 3);
}

// A list that only counts its used slots.
struct FakeList {
    FakeList(int w, int h) : width(w), height(h) { ++alive; }
    ~FakeList() { --alive; }
    int Width() const { return width; }
    int Height() const { return height; }
    int UsedCount() const { return slots.UsedCount(); }
    int width, height;
    TTkSlotSet slots;
    static inline int alive = 0;
};

TEST(GlyphSlots, CacheSharesOneListPerSizeAndFreesEmptyOnes) {
    {
        TTkGlyphListCache<FakeList> cache;
        FakeList* a = cache.Acquire(16, 16);
        FakeList* b = cache.Acquire(16, 16);
        FakeList* c = cache.Acquire(24, 16);
        EXPECT_EQ(a, b);
        EXPECT_NE(a, c);
        EXPECT_EQ(cache.Count(), 2);
        bool appended = false;
        const int slotA = a->slots.Acquire(appended);
        const int slotB = b->slots.Acquire(appended);
        // The first drawer lets go: the list still holds the second's image.
        a->slots.Release(slotA);
        cache.Return(a);
        EXPECT_EQ(cache.Count(), 2);
        b->slots.Release(slotB);
        cache.Return(b);
        cache.Return(c);
        EXPECT_TRUE(cache.Empty());
        EXPECT_EQ(FakeList::alive, 0);
        // Returning nothing, or a list twice, is harmless.
        cache.Return(nullptr);
        EXPECT_NE(cache.Acquire(16, 16), nullptr);
    }
    EXPECT_EQ(FakeList::alive, 0);
}

} // namespace
