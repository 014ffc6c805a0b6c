// The micro-tile grid: its edge cases as a table, and a property test that the rectangles it
// hands out cover every changed pixel, lie inside the buffer and do not overlap, for random area
// reports that include areas outside the buffer and huge coordinates.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "RasterTestSupport.h"
#include "raster/MicroTiles.h"

namespace {

TMicroTiles Grid(int w, int h) {
    TMicroTiles g;
    GridSetSize(g, TRect{0, 0, w, h});
    return g;
}

std::vector<TRect> Rects(const TMicroTiles& g) {
    TRectList list;
    const int n = GridToRects(g, &list);
    std::vector<TRect> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(*list.Items(i));
    EXPECT_EQ(n, list.Count());
    return out;
}

int NonZeroTiles(const TMicroTiles& g) {
    return static_cast<int>(
        std::count_if(g.Tiles.begin(), g.Tiles.end(), [](TMicroTile t) { return t != 0; }));
}

TEST(MicroTiles, TileValuesAndUnion) {
    EXPECT_EQ(MakeTile(0, 0, 32, 32), 0x00002020u);
    struct Case {
        TMicroTile tile, added, expected;
    };
    const Case cases[] = {
        {MakeTile(10, 2, 12, 6), MakeTile(4, 4, 8, 8), MakeTile(4, 2, 12, 8)},
        {MakeTile(10, 2, 12, 6), MakeTile(4, 4, 4, 8), MakeTile(10, 2, 12, 6)}, // degenerate
        {MakeTile(10, 2, 12, 6), MakeTile(4, 4, 8, 4), MakeTile(10, 2, 12, 6)}, // degenerate
        {MakeTile(10, 2, 12, 6), 0, MakeTile(10, 2, 12, 6)},
        {kMicroTileFull, MakeTile(1, 1, 2, 2), kMicroTileFull},
        {0, MakeTile(1, 1, 2, 2), MakeTile(1, 1, 2, 2)},
        {MakeTile(1, 1, 2, 2), kMicroTileFull, kMicroTileFull},
    };
    for (const Case& c : cases) {
        TMicroTile t = c.tile;
        TileUnion(t, c.added);
        EXPECT_EQ(t, c.expected) << std::hex << c.tile << " + " << c.added;
    }
}

TEST(MicroTiles, AddRectEdgeCases) {
    struct Case {
        const char* what;
        TRect rect;
        bool whole;
        std::vector<std::pair<TPoint, TMicroTile>> tiles; // every non-zero tile
        TRect used;
    };
    const TRect none{61, 34, 0, 0}; // 1920 x 1080: 61 columns, 34 rows
    const Case cases[] = {
        {"small", {10, 10, 20, 20}, false, {{{0, 0}, MakeTile(10, 10, 20, 20)}}, {0, 0, 0, 0}},
        {"two full tiles",
         {0, 0, 64, 32},
         false,
         {{{0, 0}, kMicroTileFull}, {{1, 0}, kMicroTileFull}},
         {0, 0, 2, 1}},
        {"inverted", {20, 20, 10, 10}, false, {{{0, 0}, MakeTile(10, 10, 20, 20)}}, {0, 0, 0, 0}},
        {"negative", {-50, -40, -10, -5}, false, {}, none},
        {"beyond the right", {5000, 10, 6000, 20}, false, {}, none},
        {"huge", {INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}, false, {}, none},
        {"whole tiles", {40, 40, 50, 50}, true, {{{1, 1}, kMicroTileFull}}, {1, 1, 1, 1}},
        {"across four tiles",
         {30, 30, 34, 34},
         false,
         {{{0, 0}, MakeTile(30, 30, 32, 32)},
          {{1, 0}, MakeTile(0, 30, 2, 32)},
          {{0, 1}, MakeTile(30, 0, 32, 2)},
          {{1, 1}, MakeTile(0, 0, 2, 2)}},
         {0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        TMicroTiles g = Grid(1920, 1080);
        GridAddRect(g, c.rect, c.whole);
        EXPECT_EQ(NonZeroTiles(g), static_cast<int>(c.tiles.size())) << c.what;
        for (const auto& [at, value] : c.tiles)
            EXPECT_EQ(*g.At(at.X, at.Y), value) << c.what << " tile " << at.X << "," << at.Y;
        EXPECT_EQ(g.BoundsUsedTiles, c.used) << c.what;
    }
}

TEST(MicroTiles, ToRectsMergesAlongRowsThenDownColumns) {
    TMicroTiles g = Grid(1920, 1080);
    *g.At(0, 0) = kMicroTileFull;
    *g.At(1, 0) = kMicroTileFull;
    g.BoundsUsedTiles = TRect{0, 0, 1, 0};
    EXPECT_EQ(Rects(g), (std::vector<TRect>{{0, 0, 64, 32}}));
    *g.At(0, 1) = kMicroTileFull;
    *g.At(1, 1) = kMicroTileFull;
    g.BoundsUsedTiles = TRect{0, 0, 1, 1};
    EXPECT_EQ(Rects(g), (std::vector<TRect>{{0, 0, 64, 64}}));
    // A different width below starts a rectangle of its own.
    *g.At(1, 2) = kMicroTileFull;
    g.BoundsUsedTiles = TRect{0, 0, 1, 2};
    EXPECT_EQ(Rects(g), (std::vector<TRect>{{0, 0, 64, 64}, {32, 64, 64, 96}}));
    EXPECT_EQ(GridToRects(g, nullptr, true), 2);
}

// A full repaint fills every tile, the slack included: clipped to the buffer the slack has no
// area and must not produce rectangles.
TEST(MicroTiles, FullGridGivesTheBufferWithoutEmptyRectangles) {
    for (TSize size : {TSize{100, 50}, TSize{64, 64}, TSize{1, 1}, TSize{1920, 1080}}) {
        TMicroTiles g = Grid(size.cx, size.cy);
        GridClear(g, kMicroTileFull);
        g.BoundsUsedTiles = TRect{0, 0, g.Columns, g.Rows};
        const std::vector<TRect> rects = Rects(g);
        ASSERT_EQ(rects.size(), 1u) << size.cx;
        EXPECT_EQ(rects[0], (TRect{0, 0, size.cx, size.cy}));
    }
    TMicroTiles empty = Grid(0, 0);
    GridAddRect(empty, TRect{0, 0, 10, 10}, false);
    EXPECT_TRUE(Rects(empty).empty());
    TMicroTiles none;
    GridAddRect(none, TRect{0, 0, 10, 10}, true);
    GridAddLine(none, 0, 0, 100, 50, 1, false);
    EXPECT_EQ(GridToRects(none, nullptr), 0);
}

TEST(MicroTiles, CopyOwnsItsTilesAndUnionGrowsTheUsedBounds) {
    TMicroTiles a = Grid(200, 200), b = Grid(200, 200);
    GridAddRect(a, TRect{10, 10, 20, 20}, false);
    GridCopy(b, a);
    GridClearUsed(a, 0);
    EXPECT_EQ(*b.At(0, 0), MakeTile(10, 10, 20, 20));
    EXPECT_EQ(*a.At(0, 0), 0u);
    TMicroTiles c = Grid(200, 200);
    GridAddRect(c, TRect{100, 100, 110, 120}, false);
    GridUnion(c, b, false);
    EXPECT_EQ(c.BoundsUsedTiles, (TRect{0, 0, 3, 3}));
    EXPECT_EQ(*c.At(0, 0), MakeTile(10, 10, 20, 20));
    GridUnion(c, b, true);
    EXPECT_EQ(*c.At(0, 0), kMicroTileFull);
    // Grids of other sizes unite where they overlap and never index beyond the smaller one.
    TMicroTiles small = Grid(40, 40), big = Grid(1000, 1000);
    GridAddRect(big, TRect{0, 0, 1000, 1000}, false);
    GridUnion(small, big, false);
    EXPECT_EQ(small.BoundsUsedTiles, (TRect{0, 0, small.Columns, small.Rows}));
}

TEST(MicroTiles, InflateAreaTurnsWithInvertedSidesAndSaturates) {
    struct Case {
        TRect in;
        int dx, dy;
        TRect out;
    };
    const Case cases[] = {
        {{10, 10, 20, 20}, 2, 3, {8, 7, 22, 23}},
        {{20, 20, 10, 10}, 2, 3, {22, 23, 8, 7}},
        {{INT_MIN, 0, INT_MAX, 0}, 5, 0, {INT_MIN, 0, INT_MAX, 0}},
    };
    for (const Case& c : cases) {
        TRect r = c.in;
        InflateArea(r, c.dx, c.dy);
        EXPECT_EQ(r, c.out);
    }
}

// --- wide lines ------------------------------------------------------------------------------

// A line added the plain way: every one of its 32-pixel segments, inflated by twice the width,
// as a rectangle of its own. Coordinates and widths are kept small enough for int rectangles.
void AddLineSegmentBySegment(TMicroTiles& g, int x1, int y1, int x2, int y2, int width,
                             bool whole) {
    using i64 = long long;
    const i64 d = 2 * i64{width};
    if (x1 == x2 || y1 == y2) {
        GridAddRect(g,
                    TRect{int(std::min(x1, x2) - d), int(std::min(y1, y2) - d),
                          int(std::max(x1, x2) + d), int(std::max(y1, y2) + d)},
                    whole);
        return;
    }
    const i64 dx = i64{x2} - x1, dy = i64{y2} - y1;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const i64 dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
    const i64 majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    const i64 n = std::llabs(dMajor) * 65536 / 32;
    const i64 segments = (n + 0xFFFF) >> 16;
    const i64 majorStep = dMajor < 0 ? -(i64{32} << 16) : (i64{32} << 16);
    const i64 minorStep = (dMinor < 0 ? -1 : 1) * i64(std::uint64_t(std::llabs(dMinor)) * 65536u *
                                                      65536u / std::uint64_t(n));
    const double slope = double(dMinor) / double(std::llabs(dMajor));
    auto minorAt = [&](i64 k) -> i64 {
        if (std::llabs(dMajor) < 32768)
            return (minorStart << 16) + k * minorStep;
        return (minorStart << 16) + i64(std::trunc(double(k) * 2097152.0 * slope));
    };
    auto round = [](i64 v) { return (v + 0x7FFF) >> 16; };
    for (i64 k = 0; k < segments; ++k) {
        const i64 a0 = round((majorStart << 16) + k * majorStep);
        const i64 a1 = round((majorStart << 16) + (k + 1) * majorStep);
        const i64 b0 = round(minorAt(k)), b1 = round(minorAt(k + 1));
        const i64 l = std::min(a0, a1) - d, r = std::max(a0, a1) + d;
        const i64 t = std::min(b0, b1) - d, b = std::max(b0, b1) + d;
        GridAddRect(g,
                    xMajor ? TRect{int(l), int(t), int(r), int(b)}
                           : TRect{int(t), int(l), int(b), int(r)},
                    whole);
    }
}

// Lines wider than the grid are added in one rectangle per run of segments that span it: the
// grid comes out tile for tile as the plain segment walk leaves it, in every direction.
TEST(MicroTiles, WideLinesGiveTheTilesOfTheSegmentWalk) {
    for (int caseIndex : RasterTest::CasesToRun(400)) {
        RasterTest::CaseRng rng = RasterTest::CaseRandom(caseIndex);
        const int w = 1 + static_cast<int>(rng() % 300), h = 1 + static_cast<int>(rng() % 200);
        auto coord = [&](int extent) {
            return static_cast<int>(rng() % static_cast<unsigned>(3 * extent + 2000)) - extent -
                   1000;
        };
        const int x1 = coord(w), y1 = coord(h), x2 = coord(w), y2 = coord(h);
        const int widths[] = {0, 1, 7, 40, 150, 400, 5000};
        const int width = widths[rng() % 7] + static_cast<int>(rng() % 9);
        for (bool whole : {false, true}) {
            TMicroTiles fast = Grid(w, h), plain = Grid(w, h);
            GridAddLine(fast, x1, y1, x2, y2, width, whole);
            AddLineSegmentBySegment(plain, x1, y1, x2, y2, width, whole);
            ASSERT_EQ(fast.Tiles, plain.Tiles)
                << x1 << "," << y1 << " to " << x2 << "," << y2 << " width " << width << " in " << w
                << "x" << h << " whole=" << whole << " " << RasterTest::ReplayHint(caseIndex);
            ASSERT_EQ(fast.BoundsUsedTiles, plain.BoundsUsedTiles)
                << RasterTest::ReplayHint(caseIndex);
        }
    }
}

// The widest lines end at once: a segment walk over them would take hours (a width of INT_MAX
// has 2^28 segments over a 1920 x 1080 grid, each reaching every tile).
TEST(MicroTiles, TheWidestLinesEndAndCoverWhatTheyReach) {
    const int d = 2 * 0xFFFFFF;
    struct Case {
        const char* what;
        int x1, y1, x2, y2, width;
        std::vector<TRect> rects; // for the bottom: 10 or 11, as the rounding of a half falls
    };
    const Case cases[] = {
        {"area report over the screen", 0, 0, 1919, 1079, 0xFFFFFF, {{0, 0, 1920, 1080}}},
        {"int range, widest", INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, {{0, 0, 1920, 1080}}},
        {"steep, backwards", 5, INT_MAX, -7, INT_MIN, INT_MAX, {{0, 0, 1920, 1080}}},
        {"its edge grazes the top",
         INT_MIN,
         -d + 10,
         INT_MAX,
         -d + 11,
         0xFFFFFF,
         {{0, 0, 1920, 10}}},
        {"all of it above", INT_MIN, -2 * d, INT_MAX, -2 * d + 1, 0xFFFFFF, {}},
    };
    for (const Case& c : cases) {
        for (bool whole : {false, true}) {
            TMicroTiles g = Grid(1920, 1080);
            GridAddLine(g, c.x1, c.y1, c.x2, c.y2, c.width, whole);
            std::vector<TRect> rects = Rects(g);
            if (!whole && rects.size() == 1 && rects[0].Bottom == 11)
                rects[0].Bottom = 10;
            if (whole) // whole tiles: the band's row of tiles
                for (TRect& r : rects)
                    if (r.Bottom == 32)
                        r.Bottom = 10;
            EXPECT_EQ(rects, c.rects) << c.what << " whole=" << whole;
        }
    }
}

// --- the property test ---------------------------------------------------------------------

struct Report {
    bool line;
    int x1, y1, x2, y2, width;
};

int RandomCoord(RasterTest::CaseRng& rng, int extent) {
    switch (rng() % 8) {
    case 0:
        return static_cast<int>(rng()); // anywhere in the int range
    case 1:
        return (rng() & 1) ? INT_MAX : INT_MIN;
    case 2:
        return static_cast<int>(rng() % 100000) - 50000;
    default:
        return static_cast<int>(rng() % static_cast<unsigned>(extent + 80)) - 40;
    }
}

// The pixels a report changes, inside the buffer: a rectangle's pixels, or the pixels the
// segment passes through (sampled finely after clipping it to the buffer's neighbourhood).
void MarkChanged(const Report& r, int w, int h, std::vector<char>& mask) {
    if (!r.line) {
        const long long l = std::max<long long>(std::min(r.x1, r.x2), 0);
        const long long t = std::max<long long>(std::min(r.y1, r.y2), 0);
        const long long rr = std::min<long long>(std::max(r.x1, r.x2), w);
        const long long b = std::min<long long>(std::max(r.y1, r.y2), h);
        for (long long y = t; y < b; ++y)
            for (long long x = l; x < rr; ++x)
                mask[static_cast<std::size_t>(y * w + x)] = 1;
        return;
    }
    double t0 = 0, t1 = 1;
    const double x1 = r.x1, y1 = r.y1, dx = double(r.x2) - r.x1, dy = double(r.y2) - r.y1;
    auto clip = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!clip(-dx, x1 + 2) || !clip(dx, w + 2 - x1) || !clip(-dy, y1 + 2) || !clip(dy, h + 2 - y1))
        return;
    const double len = std::hypot(dx * (t1 - t0), dy * (t1 - t0));
    const int steps = static_cast<int>(len * 4) + 2;
    for (int i = 0; i <= steps; ++i) {
        const double t = t0 + (t1 - t0) * i / steps;
        const double x = std::floor(x1 + dx * t), y = std::floor(y1 + dy * t);
        if (x >= 0 && y >= 0 && x < w && y < h)
            mask[static_cast<std::size_t>(y * w + x)] = 1;
    }
}

TEST(MicroTiles, RectanglesCoverEveryChangedPixelInsideTheBuffer) {
    for (int caseIndex : RasterTest::CasesToRun(300)) {
        RasterTest::CaseRng rng = RasterTest::CaseRandom(caseIndex);
        const int w = 1 + static_cast<int>(rng() % 300), h = 1 + static_cast<int>(rng() % 200);
        std::vector<Report> reports(1 + rng() % 40);
        for (Report& r : reports) {
            r.line = rng() % 3 == 0;
            r.x1 = RandomCoord(rng, w);
            r.y1 = RandomCoord(rng, h);
            r.x2 = RandomCoord(rng, w);
            r.y2 = RandomCoord(rng, h);
            r.width = 1 + static_cast<int>(rng() % 4);
        }
        if (std::getenv("QUORVANE_TEST_CASE"))
            for (const Report& r : reports)
                std::printf("%s %d %d %d %d w%d in %dx%d\n", r.line ? "line" : "rect", r.x1, r.y1,
                            r.x2, r.y2, r.width, w, h);
        std::vector<char> changed(static_cast<std::size_t>(w) * h, 0);
        for (const Report& r : reports)
            MarkChanged(r, w, h, changed);

        std::vector<char> exactCover;
        for (bool whole : {false, true}) {
            // Reports go into one grid; a second grid is united in, as the optimiser does.
            TMicroTiles g = Grid(w, h), other = Grid(w, h);
            for (std::size_t i = 0; i < reports.size(); ++i) {
                const Report& r = reports[i];
                TMicroTiles& into = i % 2 ? other : g;
                if (r.line)
                    GridAddLine(into, r.x1, r.y1, r.x2, r.y2, r.width, whole);
                else
                    GridAddRect(into, TRect{r.x1, r.y1, r.x2, r.y2}, whole);
            }
            GridUnion(g, other, whole);
            std::vector<char> cover(changed.size(), 0);
            for (const TRect& rect : Rects(g)) {
                ASSERT_TRUE(rect.Left >= 0 && rect.Top >= 0 && rect.Right <= w &&
                            rect.Bottom <= h && rect.Left < rect.Right && rect.Top < rect.Bottom)
                    << "rect " << rect.Left << "," << rect.Top << "," << rect.Right << ","
                    << rect.Bottom << " in " << w << "x" << h << " "
                    << RasterTest::ReplayHint(caseIndex);
                for (int y = rect.Top; y < rect.Bottom; ++y)
                    for (int x = rect.Left; x < rect.Right; ++x) {
                        char& c = cover[static_cast<std::size_t>(y) * w + x];
                        ASSERT_EQ(c, 0) << "overlap at " << x << "," << y << " "
                                        << RasterTest::ReplayHint(caseIndex);
                        c = 1;
                    }
            }
            for (std::size_t i = 0; i < changed.size(); ++i)
                ASSERT_TRUE(!changed[i] || cover[i])
                    << "pixel " << i % w << "," << i / w << " not covered (whole=" << whole << ") "
                    << RasterTest::ReplayHint(caseIndex);
            if (!whole)
                exactCover = cover;
            else
                for (std::size_t i = 0; i < cover.size(); ++i)
                    ASSERT_TRUE(!exactCover[i] || cover[i]) << RasterTest::ReplayHint(caseIndex);
        }
    }
}

} // namespace
