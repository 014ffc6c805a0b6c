#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Types.h"
#include "raster/Containers.h"

// Micro tiles: the changed area of a buffer kept per 32 x 32 tile as one packed bounding box.
//
// A tile packs a rectangle relative to its tile's top-left corner: bits 24-31 left, 16-23 top,
// 8-15 right, 0-7 bottom (each 0..32, right and bottom exclusive). 0 is the empty tile.
using TMicroTile = std::uint32_t;

inline constexpr int kMicroTileShift = 5;
inline constexpr int kMicroTileSize = 32;
inline constexpr TMicroTile kMicroTileEmpty = 0;
inline constexpr TMicroTile kMicroTileFull = 0x00002020;

constexpr TMicroTile MakeTile(int left, int top, int right, int bottom) {
    return (static_cast<TMicroTile>(left) << 24) | (static_cast<TMicroTile>(top) << 16) |
           (static_cast<TMicroTile>(right) << 8) | static_cast<TMicroTile>(bottom);
}
constexpr int TileLeft(TMicroTile t) {
    return static_cast<int>(t >> 24);
}
constexpr int TileTop(TMicroTile t) {
    return static_cast<int>((t >> 16) & 0xFF);
}
constexpr int TileRight(TMicroTile t) {
    return static_cast<int>((t >> 8) & 0xFF);
}
constexpr int TileBottom(TMicroTile t) {
    return static_cast<int>(t & 0xFF);
}
// Right equal to left or bottom equal to top: counts as empty when added.
constexpr bool TileDegenerate(TMicroTile t) {
    return TileRight(t) == TileLeft(t) || TileBottom(t) == TileTop(t);
}

// Tile := the bounding box of both. Nothing when Tile is full or NewTile empty or degenerate.
void TileUnion(TMicroTile& tile, TMicroTile newTile);

// A grid of tiles over a pixel area. Columns and rows are one more than the area needs, and the
// array holds (columns + 1) x (rows + 1) tiles with a stride of columns: the used bounds may name
// column `columns` and row `rows`, whose cells lie in that slack. The tiles are the grid's own
// (a copy never shares them).
struct TMicroTiles {
    TRect BoundsRect;
    int Columns = 0;
    int Rows = 0;
    // Tile indices, inclusive; none is (Columns, Rows, 0, 0).
    TRect BoundsUsedTiles;
    int Count = 0;
    std::vector<TMicroTile> Tiles;

    bool HasTiles() const noexcept { return !Tiles.empty(); }
    bool UsedEmpty() const noexcept {
        return BoundsUsedTiles.Right < BoundsUsedTiles.Left ||
               BoundsUsedTiles.Bottom < BoundsUsedTiles.Top;
    }
    // The tile at column x and row y (x up to Columns, y up to Rows), nullptr outside the array.
    TMicroTile* At(int x, int y) noexcept;
};

void GridInit(TMicroTiles& g);
void GridDispose(TMicroTiles& g);
// Sizes the grid to cover bounds (an empty or inverted bounds gives a grid of one tile) and
// clears it. Sizes are computed in 64 bits; a grid that would need more than 2^28 tiles raises
// EOutOfMemory before allocating.
void GridSetSize(TMicroTiles& g, const TRect& bounds);
void GridClear(TMicroTiles& g, TMicroTile value = 0);
void GridClearUsed(TMicroTiles& g, TMicroTile value = 0);
// Dst := Src (its own copy of the tiles).
void GridCopy(TMicroTiles& dst, const TMicroTiles& src);
// Rectangles with any int coordinates are safe: they are clipped to the grid.
void GridAddRect(TMicroTiles& g, const TRect& rect, bool wholeTiles);
// The line cut into 32-pixel segments along its major axis, each segment's bounds inflated by
// twice LineWidth. Coordinates of any int value are safe.
void GridAddLine(TMicroTiles& g, int x1, int y1, int x2, int y2, int lineWidth, bool wholeTiles);
void GridUnion(TMicroTiles& dst, const TMicroTiles& src, bool wholeTiles);
// Appends the rectangles of the grid, clipped to its bounds and merged along rows and then
// down columns, to list (unless countOnly); answers their number. Rectangles left without area by
// the clipping are dropped.
int GridToRects(const TMicroTiles& g, TRectList* list, bool countOnly = false);

// Grows R by DX and DY on every side (negated for an inverted side); saturates at the int range.
void InflateArea(TRect& r, int dx, int dy);
