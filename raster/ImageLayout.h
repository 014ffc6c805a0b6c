#pragma once

// The arithmetic of the paint box and the image control, apart from any window: the size of the
// off-screen buffer, where and how large the bitmap is drawn, the fixed-point map from bitmap to
// control coordinates, the tiles of a tiled bitmap, and the list of paint stages.

#include <cstdint>
#include <vector>

#include "framework/core/Types.h"

enum TBitmapAlign : std::uint8_t { baTopLeft, baCenter, baTile, baCustom };
enum TScaleMode : std::uint8_t {
    smNormal,
    smStretch,
    smScale,
    smResize,
    smOptimal,
    smOptimalScaled
};

// One buffer axis after a resize: a buffer smaller than the wanted size grows to it plus
// `oversize`; one more than `oversize` too large shrinks to it; else it stays. Never below 1.
int BufferExtent(int current, int wanted, int oversize) noexcept;

// What the drawn size depends on.
struct TImageGeometry {
    bool bitmapEmpty = true;
    int bitmapWidth = 0, bitmapHeight = 0;
    int controlWidth = 0, controlHeight = 0;   // the control's Width and Height
    int viewportWidth = 0, viewportHeight = 0; // its viewport's
    TScaleMode scaleMode = smNormal;
    float scale = 1.0f, scaleY = 1.0f;
    TBitmapAlign align = baTopLeft;
    float offsetX = 0.0f, offsetY = 0.0f; // baCustom
};

// The size the bitmap is drawn at; (0, 0) for an empty bitmap or a control with a side of 0.
TSize DrawnBitmapSize(const TImageGeometry& g) noexcept;
// Where the bitmap is drawn, in control coordinates; empty for an empty bitmap.
TRect DrawnBitmapRect(const TImageGeometry& g) noexcept;

// Bitmap to control coordinates: scales in 16.16, shifts in pixels.
struct TImageTransform {
    std::int32_t scaleX = 65536, scaleY = 65536;
    std::int32_t shiftX = 0, shiftY = 0;
    friend constexpr bool operator==(const TImageTransform&, const TImageTransform&) = default;
};

// The transform that maps a bitmap of that size onto `drawn` (scales by the platform's MulDiv
// rule); the identity for an empty bitmap.
TImageTransform TransformFor(const TRect& drawn, int bitmapWidth, int bitmapHeight,
                             bool bitmapEmpty) noexcept;
// X * scaleX div 65536 + shiftX (division toward zero), Y likewise. The product is taken in 64
// bits, so large bitmaps at large scales land where they belong; a result beyond the int range
// is held at its end.
TPoint BitmapToControl(const TImageTransform& t, TPoint p) noexcept;

// Calls f(offset) for the copies of a tile of tileWidth x tileHeight that cover an area of
// areaWidth x areaHeight from (0, 0): columns 0 to areaWidth div tileWidth and rows 0 to
// areaHeight div tileHeight, both inclusive, row by row. None for a tile side of 0 or less (a
// bitmap drawn at no size has nothing to repeat).
template <class F>
void ForEachTile(int areaWidth, int areaHeight, int tileWidth, int tileHeight, F&& f) {
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    const int rows = (areaHeight > 0 ? areaHeight : 0) / tileHeight;
    const int columns = (areaWidth > 0 ? areaWidth : 0) / tileWidth;
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i)
            f(TPoint{i * tileWidth, j * tileHeight});
}

// Paint stage kinds; any other kind has no executor and is skipped.
enum : std::uint32_t {
    psCustom = 1,
    psClearBuffer = 2,
    psClearBackground = 3,
    psDrawBitmap = 4,
    psDrawLayers = 5,
    psControlFrame = 6,
    psBitmapFrame = 7
};

struct TPaintStageRecord {
    bool AtDesignTime = false;
    bool AtRunTime = true;
    std::uint32_t Kind = 0;
    std::uint32_t Parameter = 0;
};

// The stages an image control paints its buffer in, in order.
class TPaintStages {
public:
    // Appends a run-time stage of kind 0 and answers it for filling in; the answer is valid
    // until the next Add or Clear.
    TPaintStageRecord& Add();
    void Clear() noexcept { stages_.clear(); }
    int Count() const noexcept { return static_cast<int>(stages_.size()); }
    // EListError for an index outside the list.
    TPaintStageRecord& Items(int index);
    const TPaintStageRecord& Items(int index) const;

private:
    std::vector<TPaintStageRecord> stages_;
};

// The stages that run, in order (their indexes): those meant for design time or for run time,
// as asked, whose kind has an executor.
std::vector<int> StagesToRun(const TPaintStages& stages, bool designTime);
