// The image control's arithmetic: the drawn size and rectangle for every scale mode and
// alignment, the buffer's slack, the tiles of a tiled bitmap, the map from bitmap to control
// coordinates at the ends of int, and the paint stage list.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "framework/core/Exceptions.h"
#include "raster/ImageLayout.h"

namespace {

TImageGeometry Geometry(int bw, int bh, int cw, int ch, TScaleMode mode,
                        TBitmapAlign align = baTopLeft, float scale = 1.0f) {
    TImageGeometry g;
    g.bitmapEmpty = bw <= 0 || bh <= 0;
    g.bitmapWidth = bw;
    g.bitmapHeight = bh;
    g.controlWidth = g.viewportWidth = cw;
    g.controlHeight = g.viewportHeight = ch;
    g.scaleMode = mode;
    g.align = align;
    g.scale = g.scaleY = scale;
    return g;
}

TEST(ImageLayout, DrawnRectangleForEveryModeAndAlignment) {
    struct Case {
        const char* what;
        TImageGeometry g;
        TRect rect;
    };
    TImageGeometry custom = Geometry(10, 10, 50, 50, smNormal, baCustom);
    custom.offsetX = 2.5f; // halves go to the even neighbour
    custom.offsetY = -1.5f;
    const Case cases[] = {
        {"preview: stretched", Geometry(1024, 768, 125, 92, smStretch), {0, 0, 125, 92}},
        {"normal", Geometry(300, 200, 125, 92, smNormal), {0, 0, 300, 200}},
        {"resize, wide bitmap", Geometry(200, 100, 100, 100, smResize), {0, 0, 100, 50}},
        {"resize, wide control", Geometry(200, 100, 300, 100, smResize), {0, 0, 200, 100}},
        {"optimal, smaller bitmap", Geometry(50, 40, 100, 100, smOptimal), {0, 0, 50, 40}},
        {"optimal, a pixel too wide", Geometry(101, 40, 100, 100, smOptimal), {0, 0, 100, 40}},
        {"optimal, a pixel too high", Geometry(50, 101, 100, 100, smOptimal), {0, 0, 50, 100}},
        {"scale 1.5, halves to even",
         Geometry(3, 5, 100, 100, smScale, baTopLeft, 1.5f),
         {0, 0, 4, 8}},
        {"optimal scaled, fits",
         Geometry(30, 20, 100, 100, smOptimalScaled, baTopLeft, 2.0f),
         {0, 0, 60, 40}},
        {"optimal scaled, too large",
         Geometry(60, 20, 100, 100, smOptimalScaled, baTopLeft, 2.0f),
         {0, 0, 100, 33}},
        {"help picture centred",
         Geometry(300, 200, 302, 201, smNormal, baCenter),
         {1, 0, 301, 200}},
        {"centred, larger than the control",
         Geometry(11, 11, 4, 4, smNormal, baCenter),
         {-3, -3, 8, 8}},
        {"tiled", Geometry(16, 16, 100, 100, smNormal, baTile), {0, 0, 16, 16}},
        {"custom offset", custom, {2, -2, 12, 8}},
        {"empty bitmap", Geometry(0, 0, 100, 100, smStretch), {0, 0, 0, 0}},
        {"control of no width", Geometry(10, 10, 0, 100, smNormal, baCenter), {0, 50, 0, 50}},
        {"scale to nothing", Geometry(10, 10, 100, 100, smScale, baTopLeft, 0.001f), {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DrawnBitmapRect(c.g), c.rect) << c.what;
        const TSize size = DrawnBitmapSize(c.g);
        EXPECT_EQ(size.cx, c.rect.Width()) << c.what;
        EXPECT_EQ(size.cy, c.rect.Height()) << c.what;
    }
}

TEST(ImageLayout, BufferGrowsWithSlackAndShrinksOnlyWhenFarTooLarge) {
    struct Case {
        int current, wanted, expected;
    };
    const Case cases[] = {
        {200, 201, 241}, {200, 161, 200}, {200, 160, 200}, {200, 159, 159}, {200, 0, 1},
        {0, 0, 1},       {1, 1, 1},       {0, 192, 232},   {200, -5, 1},    {10, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BufferExtent(c.current, c.wanted, 40), c.expected)
            << c.current << " -> " << c.wanted;
}

std::vector<TPoint> Tiles(int aw, int ah, int tw, int th) {
    std::vector<TPoint> out;
    ForEachTile(aw, ah, tw, th, [&](TPoint p) { out.push_back(p); });
    return out;
}

TEST(ImageLayout, TilesCoverTheAreaAndATileOfNoSizeHasNone) {
    const std::vector<TPoint> grid = Tiles(100, 50, 30, 20);
    ASSERT_EQ(grid.size(), 4u * 3u); // columns 0..3, rows 0..2
    EXPECT_EQ(grid.front(), (TPoint{0, 0}));
    EXPECT_EQ(grid[1], (TPoint{30, 0}));
    EXPECT_EQ(grid[4], (TPoint{0, 20}));
    EXPECT_EQ(grid.back(), (TPoint{90, 40}));
    EXPECT_EQ(Tiles(90, 40, 30, 20).size(), 4u * 3u) << "an exact fit still adds the edge tiles";
    EXPECT_EQ(Tiles(0, 0, 30, 20).size(), 1u);
    EXPECT_TRUE(Tiles(100, 100, 0, 20).empty());
    EXPECT_TRUE(Tiles(100, 100, 30, 0).empty());
    EXPECT_TRUE(Tiles(100, 100, -3, -3).empty());
}

TEST(ImageLayout, BitmapToControlMapsInSixtyFourBits) {
    const TImageTransform preview = TransformFor({0, 0, 125, 92}, 1024, 768, false);
    EXPECT_EQ(preview.scaleX, 8000); // MulDiv(125, 65536, 1024)
    EXPECT_EQ(preview.scaleY, 7851); // 92 * 65536 / 768 = 7850.67, rounded
    EXPECT_EQ(TransformFor({5, 6, 7, 8}, 0, 0, true), TImageTransform{});
    const TImageTransform centred = TransformFor({1, 0, 301, 200}, 300, 200, false);
    EXPECT_EQ(centred, (TImageTransform{65536, 65536, 1, 0}));
    const TImageTransform twice{131072, 131072, 3, -4};
    struct Case {
        TImageTransform t;
        TPoint in, out;
    };
    const Case cases[] = {
        {preview, {100, 50}, {12, 5}},
        {preview, {-100, -50}, {-12, -5}}, // toward zero
        {preview, {1024, 768}, {125, 92}},
        {centred, {0, 0}, {1, 0}},
        // A 32-bit product would wrap here (40000 * 131072 > 2^31).
        {twice, {40000, 30000}, {80003, 59996}},
        {twice, {INT_MAX, INT_MIN}, {INT_MAX, INT_MIN}},
        {TImageTransform{}, {INT_MIN, INT_MAX}, {INT_MIN, INT_MAX}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BitmapToControl(c.t, c.in), c.out) << c.in.X << "," << c.in.Y;
}

TEST(ImageLayout, PaintStagesRunInOrderAndSkipUnknownKinds) {
    TPaintStages stages;
    EXPECT_EQ(stages.Count(), 0);
    TPaintStageRecord& first = stages.Add();
    EXPECT_FALSE(first.AtDesignTime);
    EXPECT_TRUE(first.AtRunTime);
    EXPECT_EQ(first.Kind, 0u);
    EXPECT_EQ(first.Parameter, 0u);
    first.Kind = psClearBackground;
    first.AtDesignTime = true;
    const std::uint32_t kinds[] = {psControlFrame, psDrawBitmap, 0, 8, psDrawLayers, psCustom};
    for (std::uint32_t kind : kinds)
        stages.Add().Kind = kind;
    stages.Items(1).AtRunTime = false; // a design-time frame
    stages.Items(1).AtDesignTime = true;
    EXPECT_EQ(stages.Count(), 7);
    EXPECT_EQ(StagesToRun(stages, false), (std::vector<int>{0, 2, 5, 6}));
    EXPECT_EQ(StagesToRun(stages, true), (std::vector<int>{0, 1}));
    EXPECT_THROW(stages.Items(7), EListError);
    EXPECT_THROW(stages.Items(-1), EListError);
    stages.Clear();
    EXPECT_EQ(stages.Count(), 0);
    EXPECT_TRUE(StagesToRun(stages, false).empty());
}

} // namespace
