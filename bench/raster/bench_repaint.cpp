// The micro-tile repaint rectangles for 10,000 small changed rectangles on a 1920x1080 buffer,
// beside repainting the plain bounding box of all of them and repainting each one. One line per
// way and layout:
//   repaint: case=LAYOUT/WAY rects_in=N rects_out=M covered_px=P ours_ms=A copy_ms=C ...
// ours_ms is the time to find the rectangles (the grid's adds and conversion for the tiles, the
// bounding box's min/max, nothing for each), copy_ms the time to copy the rectangles' pixels
// between two buffers of that size (what a repaint costs at least). The tiles line adds the exact
// union (union_px, ratio = covered / union: the target is at most 1.5) and saved_copy_ms, the
// copy time of the pixels it saves against the bounding box (the target: ours_ms below it).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "raster/MicroTiles.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRects = 10000;

using Clock = std::chrono::steady_clock;

double BestMs(const std::function<void()>& work, int rounds = 15) {
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

std::vector<TRect> Scattered(std::mt19937& rng, int minSide, int maxSide) {
    std::uniform_int_distribution<int> side(minSide, maxSide), x(0, kWidth - 1), y(0, kHeight - 1);
    std::vector<TRect> rects;
    for (int i = 0; i < kRects; ++i) {
        const int l = x(rng), t = y(rng);
        rects.push_back(
            TRect{l, t, std::min(l + side(rng), kWidth), std::min(t + side(rng), kHeight)});
    }
    return rects;
}

// 100 spots of 100 rectangles each, as moving objects or typing leave them.
std::vector<TRect> Clustered(std::mt19937& rng) {
    std::uniform_int_distribution<int> cx(0, kWidth - 160), cy(0, kHeight - 160), off(0, 140),
        side(2, 16);
    std::vector<TRect> rects;
    for (int c = 0; c < 100; ++c) {
        const int x0 = cx(rng), y0 = cy(rng);
        for (int i = 0; i < kRects / 100; ++i) {
            const int l = x0 + off(rng), t = y0 + off(rng);
            rects.push_back(TRect{l, t, l + side(rng), t + side(rng)});
        }
    }
    return rects;
}

long long Area(const std::vector<TRect>& rects) {
    long long a = 0;
    for (const TRect& r : rects)
        a += static_cast<long long>(r.Right - r.Left) * (r.Bottom - r.Top);
    return a;
}

long long UnionArea(const std::vector<TRect>& rects) {
    std::vector<char> mask(static_cast<std::size_t>(kWidth) * kHeight, 0);
    for (const TRect& r : rects)
        for (int y = r.Top; y < r.Bottom; ++y)
            std::memset(&mask[static_cast<std::size_t>(y) * kWidth + r.Left], 1,
                        static_cast<std::size_t>(r.Right - r.Left));
    return std::count(mask.begin(), mask.end(), 1);
}

std::vector<std::uint32_t> gFrom(static_cast<std::size_t>(kWidth) * kHeight, 0x11223344);
std::vector<std::uint32_t> gTo(static_cast<std::size_t>(kWidth) * kHeight, 0);

double CopyMs(const std::vector<TRect>& rects) {
    return BestMs([&] {
        for (const TRect& r : rects)
            for (int y = r.Top; y < r.Bottom; ++y)
                std::memcpy(&gTo[static_cast<std::size_t>(y) * kWidth + r.Left],
                            &gFrom[static_cast<std::size_t>(y) * kWidth + r.Left],
                            static_cast<std::size_t>(r.Right - r.Left) * 4);
    });
}

void Run(const std::string& layout, const std::vector<TRect>& input) {
    // The tiles: what the optimiser does with the reported areas each paint.
    TMicroTiles grid;
    GridSetSize(grid, TRect{0, 0, kWidth, kHeight});
    TRectList list;
    const double oursMs = BestMs([&] {
        GridClearUsed(grid, 0);
        list.Clear();
        for (const TRect& r : input)
            GridAddRect(grid, r, false);
        GridToRects(grid, &list);
    });
    std::vector<TRect> tiles;
    for (int i = 0; i < list.Count(); ++i)
        tiles.push_back(*list.Items(i));
    const long long covered = Area(tiles);
    const long long exact = UnionArea(input);

    TRect box = input.front();
    const double boxMs = BestMs([&] {
        TRect b = input.front();
        for (const TRect& r : input) {
            b.Left = std::min(b.Left, r.Left);
            b.Top = std::min(b.Top, r.Top);
            b.Right = std::max(b.Right, r.Right);
            b.Bottom = std::max(b.Bottom, r.Bottom);
        }
        box = b;
    });
    const std::vector<TRect> boxList{box};
    const long long boxArea = Area(boxList);

    const double tilesCopy = CopyMs(tiles);
    // The pixels the tiles save against the bounding box, copied as whole rows.
    const long long saved = boxArea - covered;
    const int savedRows = static_cast<int>(saved / kWidth);
    const std::vector<TRect> savedRect{TRect{0, 0, kWidth, savedRows}};
    const double savedCopy = saved > 0 ? CopyMs(savedRect) : 0.0;

    std::printf("repaint: case=%s/tiles rects_in=%d rects_out=%d covered_px=%lld ours_ms=%.3f "
                "copy_ms=%.3f union_px=%lld ratio=%.2f saved_px=%lld saved_copy_ms=%.3f\n",
                layout.c_str(), kRects, list.Count(), covered, oursMs, tilesCopy, exact,
                static_cast<double>(covered) / static_cast<double>(exact), saved, savedCopy);
    std::printf("repaint: case=%s/bbox rects_in=%d rects_out=1 covered_px=%lld ours_ms=%.3f "
                "copy_ms=%.3f\n",
                layout.c_str(), kRects, boxArea, boxMs, CopyMs(boxList));
    std::printf("repaint: case=%s/each rects_in=%d rects_out=%d covered_px=%lld ours_ms=0.000 "
                "copy_ms=%.3f\n",
                layout.c_str(), kRects, kRects, Area(input), CopyMs(input));
    std::fflush(stdout);
}

} // namespace

int main() {
    std::mt19937 rng(20261210);
    Run("scattered_2to16", Scattered(rng, 2, 16));
    Run("scattered_8to48", Scattered(rng, 8, 48));
    Run("clustered_2to16", Clustered(rng));
    return 0;
}
