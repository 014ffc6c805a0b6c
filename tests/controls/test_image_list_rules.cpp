#include <gtest/gtest.h>

#include "controls/ImageListRules.h"

namespace {

TEST(ImageListRules, ScreenDepthMapsToFormatAndFlags) {
    struct Case {
        int depth;
        TPixelFormat format;
        std::uint32_t flag;
    };
    const Case cases[] = {
        {32, pf32bit, kIlcColor32},   {24, pf24bit, kIlcColor24},  {16, pf16bit, kIlcColor16},
        {15, pf15bit, kIlcColor16},   {8, pf8bit, kIlcColor8},     {4, pf4bit, kIlcColor4},
        {1, pf1bit, kIlcColorDdb},    {7, pfDevice, kIlcColorDdb}, {0, pfDevice, kIlcColorDdb},
        {-8, pfDevice, kIlcColorDdb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        const TPixelFormat screen = PixelFormatFromDepth(c.depth);
        EXPECT_EQ(screen, c.format);
        // pfDevice stands for the screen's format.
        EXPECT_EQ(ImageListCreateFlags(pfDevice, screen, false), c.flag);
        EXPECT_EQ(ImageListCreateFlags(pfDevice, screen, true), c.flag | kIlcMask);
    }
}

TEST(ImageListRules, FixedFormatsIgnoreTheScreen) {
    EXPECT_EQ(ImageListCreateFlags(pf24bit, pf32bit, false), kIlcColor24);
    EXPECT_EQ(ImageListCreateFlags(pfCustom, pf32bit, true), kIlcColorDdb | kIlcMask);
    EXPECT_EQ(ImageListCreateFlags(pf1bit, pf32bit, false), kIlcColorDdb);
}

TEST(ImageListRules, OneBitAndCustomAreRefused) {
    for (int f = pfDevice; f <= pfCustom; ++f) {
        const auto format = static_cast<TPixelFormat>(f);
        EXPECT_EQ(IsIgnoredImageListFormat(format), format == pf1bit || format == pfCustom) << f;
    }
}

TEST(ImageListRules, StoredDataIsWrittenOnlyWithoutASource) {
    struct Case {
        TTkImageListMode mode;
        bool picture;
        int lines;
        int items;
        bool stored;
    };
    const Case cases[] = {
        {imClassic, false, 0, 0, true},      {imClassic, true, 2, 3, true},
        {imPicture, false, 0, 0, true},      {imPicture, true, 0, 0, false},
        {imPicture, false, 2, 3, true},      {imResourceIds, false, 0, 0, true},
        {imResourceIds, false, 1, 0, false}, {imResourceIds, true, 0, 3, true},
        {imItemList, false, 0, 0, true},     {imItemList, false, 0, 1, false},
        {imItemList, true, 2, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << c.picture << c.lines << c.items);
        TTkImageSourceState state{c.mode, c.picture, c.lines, c.items};
        EXPECT_EQ(StoresImageData(state), c.stored);
        EXPECT_EQ(HasImageSource(state), !c.stored);
    }
}

TEST(ImageListRules, OnlyAPictureWithAnImageOrAnExplicitChangeRebuilds) {
    EXPECT_FALSE(RebuildsFromPicture(false, false)); // a new mode over an empty picture
    EXPECT_TRUE(RebuildsFromPicture(false, true));   // the picture was emptied on purpose
    EXPECT_TRUE(RebuildsFromPicture(true, false));
}

TEST(ImageListRules, StripCellsAndTheirKeyPixels) {
    struct Case {
        int bitmapWidth, cellWidth, cells;
    };
    const Case cases[] = {{40, 16, 2}, {10, 16, 1}, {32, 16, 2}, {16, 16, 1},
                          {0, 16, 0},  {16, 0, 0},  {-5, 16, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(StripCellCount(c.bitmapWidth, c.cellWidth), c.cells)
            << c.bitmapWidth << "/" << c.cellWidth;

    // Each cell keys on its own bottom-left pixel, in the list's height.
    EXPECT_EQ(StripKeyPixel(0, 16, 16, 40, 16), (TPoint{0, 15}));
    EXPECT_EQ(StripKeyPixel(1, 16, 16, 40, 16), (TPoint{16, 15}));
    // A bitmap shorter than the list, or a cell beyond it: no key pixel.
    EXPECT_FALSE(StripKeyPixel(0, 16, 16, 40, 8).has_value());
    EXPECT_FALSE(StripKeyPixel(3, 16, 16, 40, 16).has_value());
    EXPECT_FALSE(StripKeyPixel(0, 16, 0, 40, 16).has_value());
    EXPECT_FALSE(StripKeyPixel(1 << 30, 1 << 30, 16, 40, 16).has_value());
}

TEST(ImageListRules, BracketDeliversOneChangePerRebuild) {
    TTkChangeBracket b;
    EXPECT_TRUE(b.Change()); // outside a bracket: at once
    int delivered = 0;
    b.Begin();
    b.Begin();
    for (int i = 0; i < 5; ++i)
        delivered += b.Change() ? 1 : 0;
    delivered += b.End() ? 1 : 0;
    EXPECT_EQ(delivered, 0);
    delivered += b.End() ? 1 : 0;
    EXPECT_EQ(delivered, 1);

    // A bracket without changes delivers nothing, even after an old change.
    b.Begin();
    EXPECT_FALSE(b.End());

    // Raise/Lower record a change but never deliver it themselves.
    b.Raise();
    EXPECT_FALSE(b.Change());
    b.Lower();
    EXPECT_EQ(b.Count(), 0);
    EXPECT_TRUE(b.Pending());

    // An unbalanced End does not go below 0.
    TTkChangeBracket c;
    EXPECT_FALSE(c.End());
    EXPECT_EQ(c.Count(), 0);
}

} // namespace
