#include "raster/ImageLayout.h"

#include <climits>
#include <cmath>

#include "framework/core/Exceptions.h"
#include "raster/RasterTypes.h"

namespace {

int HoldInt(std::int64_t v) noexcept {
    return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

TScaleMode EffectiveMode(const TImageGeometry& g) noexcept {
    const int vw = g.viewportWidth, vh = g.viewportHeight;
    const int bw = g.bitmapWidth, bh = g.bitmapHeight;
    switch (g.scaleMode) {
    case smOptimal:
        return vw < bw || vh < bh ? smResize : smNormal;
    case smOptimalScaled:
        return vw < RoundToInt(double(bw) * g.scale) || vh < RoundToInt(double(bh) * g.scaleY)
                   ? smResize
                   : smScale;
    default:
        return g.scaleMode;
    }
}

} // namespace

int BufferExtent(int current, int wanted, int oversize) noexcept {
    if (wanted < 0)
        wanted = 0;
    std::int64_t size = current;
    if (current < wanted)
        size = std::int64_t{wanted} + oversize;
    else if (wanted < std::int64_t{current} - oversize)
        size = wanted;
    if (size < 1)
        size = 1;
    return HoldInt(size);
}

TSize DrawnBitmapSize(const TImageGeometry& g) noexcept {
    if (g.bitmapEmpty || g.bitmapWidth <= 0 || g.bitmapHeight <= 0 || g.controlWidth == 0 ||
        g.controlHeight == 0)
        return {0, 0};
    const int vw = g.viewportWidth, vh = g.viewportHeight;
    const int bw = g.bitmapWidth, bh = g.bitmapHeight;
    TSize s{};
    switch (EffectiveMode(g)) {
    case smStretch:
        s = {vw, vh};
        break;
    case smResize: {
        // The two ratios are single floats; their products with the sides are not.
        const float sx = static_cast<float>(double(vw) / bw);
        const float sy = static_cast<float>(double(vh) / bh);
        s = sx >= sy ? TSize{RoundToInt(double(bw) * sy), vh}
                     : TSize{vw, RoundToInt(double(bh) * sx)};
        break;
    }
    case smScale:
        s = {RoundToInt(double(bw) * g.scale), RoundToInt(double(bh) * g.scaleY)};
        break;
    default:
        s = {bw, bh};
        break;
    }
    if (s.cx <= 0)
        s.cx = 0;
    if (s.cy <= 0)
        s.cy = 0;
    return s;
}

TRect DrawnBitmapRect(const TImageGeometry& g) noexcept {
    if (g.bitmapEmpty)
        return {};
    const TSize size = DrawnBitmapSize(g);
    std::int64_t dx = 0, dy = 0;
    if (g.align == baCenter) {
        dx = (std::int64_t{g.controlWidth} - size.cx) / 2;
        dy = (std::int64_t{g.controlHeight} - size.cy) / 2;
    } else if (g.align == baCustom) {
        dx = RoundToInt(g.offsetX);
        dy = RoundToInt(g.offsetY);
    }
    return {HoldInt(dx), HoldInt(dy), HoldInt(dx + size.cx), HoldInt(dy + size.cy)};
}

TImageTransform TransformFor(const TRect& drawn, int bitmapWidth, int bitmapHeight,
                             bool bitmapEmpty) noexcept {
    if (bitmapEmpty || bitmapWidth <= 0 || bitmapHeight <= 0)
        return {};
    TImageTransform t;
    t.shiftX = drawn.Left;
    t.shiftY = drawn.Top;
    t.scaleX = PortableMulDiv(HoldInt(std::int64_t{drawn.Right} - drawn.Left), 65536, bitmapWidth);
    t.scaleY = PortableMulDiv(HoldInt(std::int64_t{drawn.Bottom} - drawn.Top), 65536, bitmapHeight);
    return t;
}

TPoint BitmapToControl(const TImageTransform& t, TPoint p) noexcept {
    const std::int64_t x = std::int64_t{p.X} * t.scaleX / 65536 + t.shiftX;
    const std::int64_t y = std::int64_t{p.Y} * t.scaleY / 65536 + t.shiftY;
    return {HoldInt(x), HoldInt(y)};
}

TPaintStageRecord& TPaintStages::Add() {
    stages_.emplace_back();
    return stages_.back();
}

TPaintStageRecord& TPaintStages::Items(int index) {
    if (index < 0 || index >= Count())
        throw EListError::IndexOutOfBounds(index);
    return stages_[static_cast<std::size_t>(index)];
}

const TPaintStageRecord& TPaintStages::Items(int index) const {
    return const_cast<TPaintStages*>(this)->Items(index);
}

std::vector<int> StagesToRun(const TPaintStages& stages, bool designTime) {
    std::vector<int> run;
    for (int i = 0; i < stages.Count(); ++i) {
        const TPaintStageRecord& s = stages.Items(i);
        const bool wanted = designTime ? s.AtDesignTime : s.AtRunTime;
        if (wanted && s.Kind >= psCustom && s.Kind <= psBitmapFrame)
            run.push_back(i);
    }
    return run;
}
