#include "raster/MicroTiles.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "framework/core/Exceptions.h"

// Coordinates arrive from layer paint code and may hold any int value, so every computation
// that could leave the int range is done in 64 bits and clamped to the grid before it indexes.

namespace {

using i64 = std::int64_t;

constexpr i64 kMaxTiles = i64{1} << 28;

i64 Clamp64(i64 v, i64 lo, i64 hi) {
    return std::min(std::max(v, lo), hi);
}

int ClampInt(i64 v) {
    return static_cast<int>(Clamp64(v, INT_MIN, INT_MAX));
}

// Rounds a 64-bit 16.16 value to the nearest integer, halves up, as FixedToIntRound does.
i64 RoundFixed64(i64 v) {
    return (v + 0x7FFF) >> 16;
}

i64 FloorDiv(i64 a, i64 b) {
    i64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

i64 CeilDiv(i64 a, i64 b) {
    return -FloorDiv(-a, b);
}

struct Rect64 {
    i64 left, top, right, bottom;
};

// Whether the rectangle (in either orientation) covers every pixel of the grid's tiles, so that
// the grid holds every tile full once it is added.
bool CoversGrid(const TMicroTiles& g, const Rect64& r) {
    return std::min(r.left, r.right) <= 0 && std::min(r.top, r.bottom) <= 0 &&
           std::max(r.left, r.right) >= i64{g.Columns} * kMicroTileSize &&
           std::max(r.top, r.bottom) >= i64{g.Rows} * kMicroTileSize;
}

void AddRect64(TMicroTiles& g, Rect64 r, bool wholeTiles) {
    if (!g.HasTiles())
        return;
    if (r.right < r.left)
        std::swap(r.left, r.right);
    if (r.bottom < r.top)
        std::swap(r.top, r.bottom);
    r.left = std::max<i64>(r.left, 0);
    r.top = std::max<i64>(r.top, 0);
    r.right = std::min<i64>(r.right, i64{g.Columns} * kMicroTileSize);
    r.bottom = std::min<i64>(r.bottom, i64{g.Rows} * kMicroTileSize);
    if (r.right < r.left || r.bottom < r.top)
        return;
    const int left = static_cast<int>(r.left), top = static_cast<int>(r.top);
    const int right = static_cast<int>(r.right), bottom = static_cast<int>(r.bottom);
    const int cl = left >> kMicroTileShift, rt = top >> kMicroTileShift;
    const int cr = right >> kMicroTileShift, rb = bottom >> kMicroTileShift;
    const int l = left & 31, t = top & 31, rr = right & 31, b = bottom & 31;
    for (int y = rt; y <= rb; ++y) {
        for (int x = cl; x <= cr; ++x) {
            TMicroTile* tile = g.At(x, y);
            if (tile == nullptr)
                continue;
            if (wholeTiles) {
                *tile = kMicroTileFull;
                continue;
            }
            // Edge tiles take the rectangle's offsets, inner sides reach the tile's border.
            TileUnion(*tile, MakeTile(x == cl ? l : 0, y == rt ? t : 0, x == cr ? rr : 32,
                                      y == rb ? b : 32));
        }
    }
    TRect& used = g.BoundsUsedTiles;
    used.Left = std::min(used.Left, cl);
    used.Top = std::min(used.Top, rt);
    used.Right = std::max(used.Right, cr);
    used.Bottom = std::max(used.Bottom, rb);
}

Rect64 Inflated(i64 l, i64 t, i64 r, i64 b, i64 dx, i64 dy) {
    if (r < l)
        dx = -dx;
    if (b < t)
        dy = -dy;
    return Rect64{l - dx, t - dy, r + dx, b + dy};
}

} // namespace

void TileUnion(TMicroTile& tile, TMicroTile newTile) {
    if (tile == kMicroTileFull || newTile == 0 || TileDegenerate(newTile))
        return;
    if (tile != 0 && newTile != kMicroTileFull) {
        tile = MakeTile(std::min(TileLeft(tile), TileLeft(newTile)),
                        std::min(TileTop(tile), TileTop(newTile)),
                        std::max(TileRight(tile), TileRight(newTile)),
                        std::max(TileBottom(tile), TileBottom(newTile)));
    } else {
        tile = newTile;
    }
}

TMicroTile* TMicroTiles::At(int x, int y) noexcept {
    if (x < 0 || y < 0 || x > Columns || y > Rows)
        return nullptr;
    const i64 index = i64{y} * Columns + x;
    if (index >= static_cast<i64>(Tiles.size()))
        return nullptr;
    return &Tiles[static_cast<std::size_t>(index)];
}

void GridInit(TMicroTiles& g) {
    g = TMicroTiles{};
}

void GridDispose(TMicroTiles& g) {
    std::vector<TMicroTile>().swap(g.Tiles);
    g.Count = 0;
}

void GridSetSize(TMicroTiles& g, const TRect& bounds) {
    const i64 width = std::max<i64>(i64{bounds.Right} - bounds.Left, 0);
    const i64 height = std::max<i64>(i64{bounds.Bottom} - bounds.Top, 0);
    const i64 columns = (width >> kMicroTileShift) + 1;
    const i64 rows = (height >> kMicroTileShift) + 1;
    const i64 count = (columns + 1) * (rows + 1);
    if (count > kMaxTiles)
        throw EOutOfMemory();
    g.BoundsRect = bounds;
    g.Columns = static_cast<int>(columns);
    g.Rows = static_cast<int>(rows);
    g.Count = static_cast<int>(count);
    g.Tiles.assign(static_cast<std::size_t>(count), 0);
    GridClear(g, 0);
}

void GridClear(TMicroTiles& g, TMicroTile value) {
    g.BoundsUsedTiles = TRect{g.Columns, g.Rows, 0, 0};
    std::fill(g.Tiles.begin(), g.Tiles.end(), value);
}

void GridClearUsed(TMicroTiles& g, TMicroTile value) {
    const TRect used = g.BoundsUsedTiles;
    for (int y = used.Top; y <= used.Bottom; ++y) {
        for (int x = used.Left; x <= used.Right; ++x) {
            if (TMicroTile* tile = g.At(x, y))
                *tile = value;
        }
    }
    g.BoundsUsedTiles = TRect{g.Columns, g.Rows, 0, 0};
}

void GridCopy(TMicroTiles& dst, const TMicroTiles& src) {
    if (&dst != &src)
        dst = src;
}

void GridAddRect(TMicroTiles& g, const TRect& rect, bool wholeTiles) {
    AddRect64(g, Rect64{rect.Left, rect.Top, rect.Right, rect.Bottom}, wholeTiles);
}

void GridAddLine(TMicroTiles& g, int x1, int y1, int x2, int y2, int lineWidth, bool wholeTiles) {
    if (!g.HasTiles())
        return;
    const i64 d = 2 * i64{lineWidth};
    if (x1 == x2 || y1 == y2) {
        AddRect64(g, Inflated(x1, y1, x2, y2, d, d), wholeTiles);
        return;
    }
    const i64 dx = i64{x2} - x1, dy = i64{y2} - y1;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const i64 dMajor = xMajor ? dx : dy, dMinor = xMajor ? dy : dx;
    const i64 majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    const i64 majorLen = dMajor < 0 ? -dMajor : dMajor;
    const i64 minorLen = dMinor < 0 ? -dMinor : dMinor;
    // In 16.16: the major step is 32 pixels; N is the major extent in segments, and the minor
    // step the minor extent per segment. The unsigned product fits for any pair of ints.
    const i64 n = majorLen * 65536 / 32;
    const i64 segments = (n + 0xFFFF) >> 16;
    const i64 majorStep = dMajor < 0 ? -(i64{32} << 16) : (i64{32} << 16);
    const i64 minorMagnitude = static_cast<i64>(
        (static_cast<std::uint64_t>(minorLen) * 65536u * 65536u) / static_cast<std::uint64_t>(n));
    const i64 minorStep = dMinor < 0 ? -minorMagnitude : minorMagnitude;
    // Within the 16.16 range the minor position is the sum of fixed steps. A longer line's step
    // is too coarse for that (its error adds up over millions of segments), so its position is
    // taken from the exact slope at each segment instead.
    const bool fixedSteps = majorLen < 32768;
    const double slope = static_cast<double>(dMinor) / static_cast<double>(majorLen);
    auto minorAt = [&](i64 k) -> i64 {
        if (fixedSteps)
            return (minorStart << 16) + k * minorStep;
        return (minorStart << 16) +
               static_cast<i64>(std::trunc(static_cast<double>(k) * 2097152.0 * slope));
    };
    // Only segments whose inflated bounds can meet the grid along the major axis are added (the
    // others would be clipped away): this keeps a line of huge coordinates cheap.
    const i64 size = i64{xMajor ? g.Columns : g.Rows} * kMicroTileSize;
    i64 kFirst, kLast;
    if (dMajor > 0) {
        kFirst = FloorDiv(-d - 64 - majorStart, 32);
        kLast = FloorDiv(size + d + 32 - majorStart, 32);
    } else {
        kFirst = FloorDiv(majorStart - size - d - 64, 32);
        kLast = FloorDiv(majorStart + d + 32, 32);
    }
    kFirst = std::max<i64>(kFirst, 0);
    kLast = std::min<i64>(kLast, segments - 1);
    // A segment whose inflated bounds reach over the whole grid along the major axis adds a band
    // across the grid. Consecutive bands overlap (neighbours share an end), so a run of them adds
    // exactly the band from the run's first end to its last: one rectangle for the run. Only a
    // line wider than half the grid has such a run, and everything outside it is at most two
    // grids long, so the walk is bounded by the grid for every width.
    i64 runFirst, runLast;
    if (dMajor > 0) { // segment k spans majorStart + 32k .. majorStart + 32k + 32
        runFirst = CeilDiv(size - d - 32 - majorStart, 32);
        runLast = FloorDiv(d - majorStart, 32);
    } else { // segment k spans majorStart - 32k - 32 .. majorStart - 32k
        runFirst = CeilDiv(majorStart - 32 - d, 32);
        runLast = FloorDiv(majorStart + d - size, 32);
    }
    runFirst = std::max(runFirst, kFirst);
    runLast = std::min(runLast, kLast);
    auto add = [&](i64 from, i64 to) { // the rectangle between the ends of segments from..to
        const i64 a0 = RoundFixed64((majorStart << 16) + from * majorStep);
        const i64 a1 = RoundFixed64((majorStart << 16) + (to + 1) * majorStep);
        const i64 b0 = RoundFixed64(minorAt(from)), b1 = RoundFixed64(minorAt(to + 1));
        const Rect64 r = xMajor ? Inflated(a0, b0, a1, b1, d, d) : Inflated(b0, a0, b1, a1, d, d);
        AddRect64(g, r, wholeTiles);
        return CoversGrid(g, r);
    };
    for (i64 k = kFirst; k <= kLast; ++k) {
        const bool run = k == runFirst && runFirst <= runLast;
        if (add(k, run ? runLast : k))
            return; // the grid is full: nothing more can change it
        if (run)
            k = runLast;
    }
}

void GridUnion(TMicroTiles& dst, const TMicroTiles& src, bool wholeTiles) {
    if (!src.HasTiles() || !dst.HasTiles() || src.UsedEmpty())
        return;
    const TRect used = src.BoundsUsedTiles;
    auto& s = const_cast<TMicroTiles&>(src);
    for (int y = used.Top; y <= used.Bottom; ++y) {
        for (int x = used.Left; x <= used.Right; ++x) {
            const TMicroTile* from = s.At(x, y);
            TMicroTile* to = dst.At(x, y);
            if (from == nullptr || to == nullptr)
                continue;
            if (wholeTiles) {
                if (*from != 0 && !TileDegenerate(*from))
                    *to = kMicroTileFull;
            } else {
                TileUnion(*to, *from);
            }
        }
    }
    TRect& d = dst.BoundsUsedTiles;
    d.Left = std::min(d.Left, std::max(used.Left, 0));
    d.Top = std::min(d.Top, std::max(used.Top, 0));
    d.Right = std::max(d.Right, std::min(used.Right, dst.Columns));
    d.Bottom = std::max(d.Bottom, std::min(used.Bottom, dst.Rows));
}

int GridToRects(const TMicroTiles& g, TRectList* list, bool countOnly) {
    if (!g.HasTiles() || g.UsedEmpty())
        return 0;
    auto& grid = const_cast<TMicroTiles&>(g);
    const TRect b = g.BoundsRect;
    const TRect used = g.BoundsUsedTiles;
    // For each tile position, the rectangle that may continue downwards from it.
    std::vector<int> below(g.Tiles.size(), -1);
    auto scratch = [&](int x, int y) -> int* {
        const i64 index = i64{y} * g.Columns + x;
        if (x < 0 || y < 0 || index >= static_cast<i64>(below.size()))
            return nullptr;
        return &below[static_cast<std::size_t>(index)];
    };
    std::vector<TRect> rects;
    for (int y = used.Top; y <= used.Bottom; ++y) {
        for (int x = used.Left; x <= used.Right; ++x) {
            const TMicroTile* tile = grid.At(x, y);
            if (tile == nullptr || *tile == 0)
                continue;
            const TMicroTile first = *tile;
            const int x0 = x;
            const int top = std::clamp(y * 32 + TileTop(first), b.Top, b.Bottom);
            const int bottom = std::clamp(y * 32 + TileBottom(first), b.Top, b.Bottom);
            const int left = std::clamp(x * 32 + TileLeft(first), b.Left, b.Right);
            TMicroTile last = first;
            while (TileRight(last) == 32 && x < used.Right) {
                const TMicroTile* next = grid.At(x + 1, y);
                if (next == nullptr || TileLeft(*next) != 0 || TileTop(*next) != TileTop(first) ||
                    TileBottom(*next) != TileBottom(first) || *next == 0)
                    break;
                ++x;
                last = *next;
            }
            const int right = std::clamp(x * 32 + TileRight(last), b.Left, b.Right);
            // A tile in the slack beyond the bounds clips to nothing: no rectangle for it.
            if (right <= left || bottom <= top)
                continue;
            int* entry = scratch(x0, y);
            int index = entry != nullptr ? *entry : -1;
            if (index >= 0 && rects[static_cast<std::size_t>(index)].Left == left &&
                rects[static_cast<std::size_t>(index)].Right == right &&
                rects[static_cast<std::size_t>(index)].Bottom == top) {
                rects[static_cast<std::size_t>(index)].Bottom = bottom;
            } else {
                index = static_cast<int>(rects.size());
                rects.push_back(TRect{left, top, right, bottom});
            }
            if (y < used.Bottom) {
                if (int* down = scratch(x0, y + 1))
                    *down = index;
            }
        }
    }
    if (!countOnly && list != nullptr) {
        for (const TRect& r : rects)
            list->Add(r);
    }
    return static_cast<int>(rects.size());
}

void InflateArea(TRect& r, int dx, int dy) {
    const Rect64 g = Inflated(r.Left, r.Top, r.Right, r.Bottom, dx, dy);
    r = TRect{ClampInt(g.left), ClampInt(g.top), ClampInt(g.right), ClampInt(g.bottom)};
}
