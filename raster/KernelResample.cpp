#include "raster/KernelResample.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "raster/Bitmap32.h"
#include "raster/Blend.h"
#include "raster/Kernels.h"
#include "raster/LinearRows.h"
#include "raster/LowLevel.h"
#include "raster/Resamplers.h"
#include "raster/Transfer.h"

TLinearInterpolator LinearInterpolator = &LinearInterpolatorVector;

namespace {

// The largest footprint a cluster may have: a kernel wider than this (from form data) raises
// instead of building clusters without end.
constexpr double kMaxFootprint = double(1 << 24);

int Clamp(std::int64_t v, int lo, int hi) noexcept {
    return static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(v, lo), hi));
}

// One computed pixel into the destination pixel, by the combine operation.
inline void CombinePixel(TColor32 c, TColor32& d, const TBitmap32* src, TDrawMode op,
                         const TPixelCombineEvent& callBack) {
    switch (op) {
    case dmOpaque:
        d = c;
        break;
    case dmBlend:
        if (src->CombineMode() == cmBlend)
            BlendColorIntoMaster(c, d, src->MasterAlpha());
        else
            MergeColorIntoMaster(c, d, src->MasterAlpha());
        break;
    case dmCustom:
        callBack(c, d, src->MasterAlpha());
        break;
    case dmTransparent:
        if (c != src->OuterColor())
            d = c;
        break;
    }
}

// A linear map entry: the source coordinate and the weight in both halves.
struct TLinearEntry {
    int Pos;
    std::uint32_t Weight;
};

// The columns' weights for the row forms (one half of each).
std::vector<TLinearColumn> RowColumns(const std::vector<TLinearEntry>& map) {
    std::vector<TLinearColumn> out(map.size());
    for (std::size_t i = 0; i < map.size(); ++i)
        out[i] = {map[i].Pos, map[i].Weight >> 16};
    return out;
}

std::vector<TLinearEntry> LinearMap(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo,
                                    int srcHi, int srcSize) {
    const float s = static_cast<float>(double(srcHi - srcLo) / double(dstHi - dstLo));
    std::vector<TLinearEntry> map(static_cast<std::size_t>(clipHi - clipLo));
    for (int i = 0; i < clipHi - clipLo; ++i) {
        double x = double(s) * (double(i) + clipLo - dstLo + 0.5) + srcLo - 0.5;
        x = std::clamp(x, 0.0, double(srcSize - 1));
        const double f = std::floor(x);
        const std::uint32_t w = static_cast<std::uint32_t>(256 - RoundToInt((x - f) * 256));
        map[static_cast<std::size_t>(i)] = {static_cast<int>(f), w + w * 65536u};
    }
    for (auto it = map.rbegin(); it != map.rend() && it->Pos + 1 == srcHi; ++it) {
        it->Pos -= 1;
        it->Weight = 0;
    }
    return map;
}

} // namespace

TMappingTable BuildWeightClusters(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo,
                                  int srcHi, TCustomKernel& kernel) {
    const std::int64_t srcLen = std::int64_t{srcHi} - srcLo;
    if (srcLen <= 0 || clipHi <= clipLo)
        return {};
    TMappingTable table(static_cast<std::size_t>(clipHi - clipLo));
    if (srcLen == 1) {
        for (TCluster& c : table)
            c.push_back({srcLo, 256});
        return table;
    }
    const float scale = static_cast<float>(double(std::int64_t{dstHi} - dstLo) / double(srcLen));
    const double fw = kernel.GetWidth();
    const double reach = scale >= 1.0f ? fw : fw / scale;
    if (!(reach * 2 + 2 < kMaxFootprint))
        throw EBitmapException("Resampling kernel too wide");
    for (int i = 0; i < clipHi - clipLo; ++i) {
        TCluster& cluster = table[static_cast<std::size_t>(i)];
        const double center = (double(i) + clipLo - dstLo + 0.5) / double(scale) + srcLo - 0.5;
        const auto first = static_cast<std::int64_t>(std::floor(center - reach));
        const auto last = static_cast<std::int64_t>(std::ceil(center + reach));
        int sum = 0;
        for (std::int64_t j = first; j <= last; ++j) {
            const double d = center - double(j);
            const int w =
                scale >= 1.0f
                    ? RoundToInt(double(kernel.Filter(static_cast<float>(d))) * 256)
                    : RoundToInt(double(scale) *
                               double(kernel.Filter(static_cast<float>(d * scale))) * 256);
            if (w == 0)
                continue;
            cluster.push_back({Clamp(j, srcLo, srcHi - 1), w});
            sum += w;
        }
        if (cluster.empty()) {
            // Every weight rounded to nothing: the pixel under the centre, whole.
            cluster.push_back({Clamp(std::llround(center), srcLo, srcHi - 1), 256});
            continue;
        }
        if (sum != 256)
            cluster[(cluster.size() - 1) / 2].Weight -= sum - 256;
    }
    return table;
}

void KernelResample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TCustomKernel& kernel, TDrawMode combineOp,
                    const TPixelCombineEvent& combineCallBack) {
    if (combineOp == dmCustom && !combineCallBack)
        combineOp = dmOpaque;
    if (combineOp == dmBlend && src->MasterAlpha() == 0)
        return;
    TRect clip;
    if (!CutTransferClip(clip, dstClip, dst, dstRect))
        return;
    const TMappingTable horz = BuildWeightClusters(dstRect.Left, dstRect.Right, clip.Left,
                                                   clip.Right, srcRect.Left, srcRect.Right, kernel);
    const TMappingTable vert = BuildWeightClusters(
        dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom, srcRect.Top, srcRect.Bottom, kernel);
    if (horz.empty() || vert.empty())
        return;
    int colLo = INT_MAX, colHi = INT_MIN;
    for (const TCluster& c : horz)
        for (const TClusterEntry& e : c) {
            colLo = std::min(colLo, e.Pos);
            colHi = std::max(colHi, e.Pos);
        }
    const int used = colHi - colLo + 1;
    std::vector<std::int32_t> sums(static_cast<std::size_t>(used) * 4);
    const bool rangeCheck = kernel.RangeCheck();
    auto channel = [rangeCheck](std::int32_t v) -> std::uint32_t {
        if (rangeCheck)
            return static_cast<std::uint32_t>(std::clamp<std::int32_t>(v, 0, 0xFF0000)) >> 16;
        return (static_cast<std::uint32_t>(v) >> 16) & 0xFF;
    };
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const TCluster& vc = vert[static_cast<std::size_t>(y - clip.Top)];
        std::fill(sums.begin(), sums.end(), 0);
        for (const TClusterEntry& e : vc) {
            const TColor32* row = src->PixelAddress(colLo, e.Pos);
            std::int32_t* s = sums.data();
            for (int c = 0; c < used; ++c, s += 4) {
                const TColor32 p = row[c];
                s[0] += e.Weight * static_cast<std::int32_t>(p >> 24);
                s[1] += e.Weight * static_cast<std::int32_t>((p >> 16) & 0xFF);
                s[2] += e.Weight * static_cast<std::int32_t>((p >> 8) & 0xFF);
                s[3] += e.Weight * static_cast<std::int32_t>(p & 0xFF);
            }
        }
        TColor32* out = dst->PixelAddress(clip.Left, y);
        for (int x = clip.Left; x < clip.Right; ++x, ++out) {
            std::int32_t a = 0, r = 0, g = 0, b = 0;
            for (const TClusterEntry& e : horz[static_cast<std::size_t>(x - clip.Left)]) {
                const std::int32_t* s = &sums[static_cast<std::size_t>(e.Pos - colLo) * 4];
                a += e.Weight * s[0];
                r += e.Weight * s[1];
                g += e.Weight * s[2];
                b += e.Weight * s[3];
            }
            const TColor32 c = channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
            CombinePixel(c, *out, src, combineOp, combineCallBack);
        }
    }
    EndMMX();
}

TColor32 LinearInterpolatorPlain(std::uint32_t weightX, std::uint32_t weightY,
                                 const TColor32* upper, const TColor32* lower) {
    const std::uint32_t wx = weightX >= 0x1000000u ? 255u : weightX >> 16;
    const std::uint32_t wy = weightY >= 0x1000000u ? 255u : weightY >> 16;
    const TColor32 top = MixColors(upper[0], upper[1], wx);
    const TColor32 bottom = MixColors(lower[0], lower[1], wx);
    return MixColors(top, bottom, wy);
}

TColor32 LinearInterpolatorVector(std::uint32_t weightX, std::uint32_t weightY,
                                  const TColor32* upper, const TColor32* lower) {
    const std::uint32_t wx = weightX >> 16, wy = weightY >> 16;
    return LerpChannels(LerpChannels(upper[0], upper[1], wx), LerpChannels(lower[0], lower[1], wx),
                        wy);
}

void BindTransferFunctions(bool mmx, bool sse2) {
    LinearInterpolator = mmx ? &LinearInterpolatorVector : &LinearInterpolatorPlain;
    BindLinearRows(mmx && sse2);
}

// --- the rows of the separable form ---

TInterpolateRow InterpolateRow = &InterpolateRowPlain;
TMixRows MixRows = &MixRowsPlain;

TColor32 LerpChannels(TColor32 a, TColor32 b, std::uint32_t w) noexcept {
    // Four channels at once in the 16-bit lanes of one 64-bit word: each lane's sum stays below
    // 65536, so no lane spills into the next.
    const std::uint64_t la = (a & 0x00FF00FFu) | (std::uint64_t(a & 0xFF00FF00u) << 24);
    const std::uint64_t lb = (b & 0x00FF00FFu) | (std::uint64_t(b & 0xFF00FF00u) << 24);
    const std::uint64_t r = ((la * w + lb * (256 - w)) >> 8) & 0x00FF00FF00FF00FFull;
    return static_cast<TColor32>(r & 0x00FF00FFu) | (static_cast<TColor32>(r >> 24) & 0xFF00FF00u);
}

void InterpolateRowPlain(const TColor32* line, const TLinearColumn* columns, int count,
                         TColor32* out) {
    for (int i = 0; i < count; ++i)
        out[i] = LerpChannels(line[columns[i].Pos], line[columns[i].Pos + 1], columns[i].Weight);
}

void MixRowsPlain(const TColor32* upper, const TColor32* lower, std::uint32_t weight, int count,
                  TColor32* out) {
    for (int i = 0; i < count; ++i)
        out[i] = LerpChannels(upper[i], lower[i], weight);
}

void BindLinearRows(bool sse2) {
    InterpolateRow = &InterpolateRowPlain;
    MixRows = &MixRowsPlain;
#if RASTER_SSE2_FORMS
    if (sse2) {
        InterpolateRow = &Sse2Forms::InterpolateRow;
        MixRows = &Sse2Forms::MixRows;
    }
#else
    (void)sse2;
#endif
}

void StretchLinear(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack) {
    if (combineOp == dmCustom && !combineCallBack)
        combineOp = dmOpaque;
    TRect clip;
    if (!CutTransferClip(clip, dstClip, dst, dstRect) || srcRect.Width() < 2 || srcRect.Height() < 2)
        return;
    const auto columns = LinearMap(dstRect.Left, dstRect.Right, clip.Left, clip.Right, srcRect.Left,
                                   srcRect.Right, src->Width());
    const auto rows = LinearMap(dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom, srcRect.Top,
                                srcRect.Bottom, src->Height());
    const int stride = src->Width();
    if (LinearInterpolator == &LinearInterpolatorVector) {
        // The vector form is separable: each source row is interpolated across once, kept while
        // the rows below use it, and the pairs of such rows are mixed down.
        const std::size_t w = columns.size();
        const std::vector<TLinearColumn> across = RowColumns(columns);
        const int n = static_cast<int>(w);
        std::vector<TColor32> cache(w * 3);
        TColor32* upper = cache.data();
        TColor32* lower = upper + w;
        TColor32* mixed = lower + w;
        int upperRow = INT_MIN, lowerRow = INT_MIN;
        for (int y = clip.Top; y < clip.Bottom; ++y) {
            const TLinearEntry& row = rows[static_cast<std::size_t>(y - clip.Top)];
            if (row.Pos == lowerRow) {
                std::swap(upper, lower);
                std::swap(upperRow, lowerRow);
            }
            if (row.Pos != upperRow) {
                InterpolateRow(src->RowAddress(row.Pos), across.data(), n, upper);
                upperRow = row.Pos;
            }
            if (row.Pos + 1 != lowerRow) {
                InterpolateRow(src->RowAddress(row.Pos + 1), across.data(), n, lower);
                lowerRow = row.Pos + 1;
            }
            const std::uint32_t wy = row.Weight >> 16;
            TColor32* out = dst->PixelAddress(clip.Left, y);
            TColor32* into = combineOp == dmOpaque ? out : mixed;
            MixRows(upper, lower, wy, n, into);
            if (combineOp != dmOpaque)
                for (std::size_t x = 0; x < w; ++x)
                    CombinePixel(mixed[x], out[x], src, combineOp, combineCallBack);
        }
        EndMMX();
        return;
    }
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        const TLinearEntry& row = rows[static_cast<std::size_t>(y - clip.Top)];
        const TColor32* line = src->RowAddress(row.Pos);
        TColor32* out = dst->PixelAddress(clip.Left, y);
        for (const TLinearEntry& col : columns) {
            const TColor32* p = line + col.Pos;
            CombinePixel(LinearInterpolator(col.Weight, row.Weight, p, p + stride), *out++, src,
                         combineOp, combineCallBack);
        }
    }
    EndMMX();
}

TColor32 BlockAverage(std::uint32_t width, std::uint32_t height, const TColor32* first,
                      std::intptr_t strideBytes) noexcept {
    const std::uint32_t f = 0x1000000u / (width * height);
    std::uint32_t sa = 0, sr = 0, sg = 0, sb = 0;
    const auto* row = reinterpret_cast<const unsigned char*>(first);
    for (std::uint32_t y = 0; y < height; ++y, row += strideBytes) {
        const auto* p = reinterpret_cast<const TColor32*>(row);
        for (std::uint32_t x = 0; x < width; ++x) {
            sa += p[x] >> 24;
            sr += (p[x] >> 16) & 0xFF;
            sg += (p[x] >> 8) & 0xFF;
            sb += p[x] & 0xFF;
        }
    }
    return ((sa * f) & 0xFF000000u) | (((sr * f) >> 8) & 0xFF0000u) | (((sg * f) >> 16) & 0xFF00u) |
           ((sb * f) >> 24);
}

namespace {

// The block boundaries of a draft reduction along one axis, relative to its first source
// coordinate, for clip coordinates [clipLo, clipHi); held inside the source range.
std::vector<int> DraftBounds(int dstLo, int dstHi, int clipLo, int clipHi, int srcLo, int srcHi,
                             int& first) {
    const float s = static_cast<float>(double(srcHi - srcLo) / double(dstHi - dstLo));
    first = srcLo + static_cast<int>(std::trunc(double(clipLo - dstLo) * double(s)));
    const auto step = static_cast<std::int64_t>(std::trunc(double(s) * 65536));
    std::vector<int> b(static_cast<std::size_t>(clipHi - clipLo) + 1);
    const int room = srcHi - first;
    for (std::size_t k = 0; k < b.size(); ++k) {
        std::int64_t v = k == 0   ? 0
                         : k == 1 ? static_cast<std::int64_t>(std::trunc(double(s)))
                                  : (std::int64_t(k) * step) >> 16;
        b[k] = static_cast<int>(std::min<std::int64_t>(v, room));
    }
    return b;
}

} // namespace

void DraftResample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TCustomKernel& linearKernel, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack) {
    const int sw = srcRect.Width(), sh = srcRect.Height();
    if (sw < dstRect.Width() || sh < dstRect.Height()) {
        if (sw < 2 || sh < 2)
            KernelResample(dst, dstRect, dstClip, src, srcRect, linearKernel, combineOp,
                           combineCallBack);
        else
            StretchLinear(dst, dstRect, dstClip, src, srcRect, combineOp, combineCallBack);
        return;
    }
    if (combineOp == dmCustom && !combineCallBack)
        combineOp = dmOpaque;
    if (combineOp == dmBlend && src->MasterAlpha() == 0)
        return;
    TRect clip;
    if (!CutTransferClip(clip, dstClip, dst, dstRect) || sw <= 0 || sh <= 0)
        return;
    int firstX = 0, firstY = 0;
    const std::vector<int> bx = DraftBounds(dstRect.Left, dstRect.Right, clip.Left, clip.Right,
                                            srcRect.Left, srcRect.Right, firstX);
    const std::vector<int> by = DraftBounds(dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom,
                                            srcRect.Top, srcRect.Bottom, firstY);
    const std::intptr_t stride = std::intptr_t{src->Width()} * 4;
    for (int j = 0; j < clip.Height(); ++j) {
        const int y0 = by[static_cast<std::size_t>(j)], y1 = by[static_cast<std::size_t>(j) + 1];
        TColor32* out = dst->PixelAddress(clip.Left, clip.Top + j);
        for (int i = 0; i < clip.Width(); ++i, ++out) {
            const int x0 = bx[static_cast<std::size_t>(i)],
                      x1 = bx[static_cast<std::size_t>(i) + 1];
            // A block cut away by the edge of the source takes the last source pixel.
            const int bw = std::max(x1 - x0, 1), bh = std::max(y1 - y0, 1);
            const int px = std::min(firstX + x0, srcRect.Right - bw);
            const int py = std::min(firstY + y0, srcRect.Bottom - bh);
            const TColor32 c =
                BlockAverage(static_cast<std::uint32_t>(bw), static_cast<std::uint32_t>(bh),
                             src->PixelAddress(px, py), stride);
            CombinePixel(c, *out, src, combineOp, combineCallBack);
        }
    }
    EndMMX();
}
