#include "raster/Transfer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Blend.h"
#include "raster/LowLevel.h"
#include "raster/Resamplers.h"

namespace {

bool Inside(const TRect& r, const TRect& bounds) {
    return r.Left >= bounds.Left && r.Top >= bounds.Top && r.Right <= bounds.Right &&
           r.Bottom <= bounds.Bottom;
}

// One row of combined pixels: count pixels of src into dst.
void CombineRow(const TColor32* src, TColor32* dst, int count, const TBitmap32* source,
                TDrawMode op, const TPixelCombineEvent& callBack) {
    const std::uint32_t master = source->MasterAlpha();
    switch (op) {
    case dmOpaque:
        Move32(src, dst, count);
        break;
    case dmBlend:
        if (master < 255)
            CombineLineMaster[source->CombineMode()](src, dst, count, master);
        else
            CombineLine[source->CombineMode()](src, dst, count);
        break;
    case dmTransparent: {
        const TColor32 outer = source->OuterColor();
        for (int i = 0; i < count; ++i) {
            if (src[i] != outer)
                dst[i] = src[i];
        }
        break;
    }
    case dmCustom:
        for (int i = 0; i < count; ++i)
            callBack(src[i], dst[i], master);
        break;
    }
}

// A heap copy of src's rect, with the settings the combining reads, for transfers of a bitmap
// into itself.
TBitmap32* SnapshotOf(const TBitmap32* src, const TRect& rect) {
    auto* copy = new TBitmap32(new THeapStorage);
    try {
        copy->SetSize(rect.Width(), rect.Height());
        for (int y = 0; y < copy->Height(); ++y)
            std::memcpy(copy->RowAddress(y), src->PixelAddress(rect.Left, rect.Top + y),
                        static_cast<std::size_t>(copy->Width()) * 4);
        copy->SetMasterAlpha(src->MasterAlpha());
        copy->SetCombineMode(src->CombineMode());
        copy->SetOuterColor(src->OuterColor());
    } catch (...) {
        copy->Free();
        throw;
    }
    return copy;
}

struct TSnapshotOwner {
    TBitmap32* bitmap = nullptr;
    ~TSnapshotOwner() {
        if (bitmap != nullptr)
            bitmap->Free();
    }
};

} // namespace

void NearestMap(int srcStart, int srcEnd, long long dstStart, long long dstEnd, int clipStart,
                int clipEnd, int* out) {
    const long long dstLength = dstEnd - dstStart;
    const int n = clipEnd - clipStart;
    if (dstLength < 2) {
        const int middle = static_cast<int>((static_cast<long long>(srcStart) + srcEnd - 1) / 2);
        std::fill(out, out + n, middle);
        return;
    }
    // The ratio is stored as a single float; the product is taken exactly (in double), which
    // decides entries such as row 23 of 768 rows onto 92 (191, where a float product gives 192).
    const float scale = static_cast<float>(static_cast<double>(srcEnd - srcStart) /
                                           static_cast<double>(dstLength));
    for (int i = 0; i < n; ++i) {
        const double offset = static_cast<double>(i + static_cast<long long>(clipStart) - dstStart);
        long long v = static_cast<long long>(offset * static_cast<double>(scale) + srcStart);
        // The rounded ratio can never push an entry past the source, but the map indexes memory:
        // keep it inside whatever happens.
        v = std::clamp<long long>(v, srcStart, srcEnd - 1);
        out[i] = static_cast<int>(v);
    }
}

bool CutTransferClip(TRect& clip, const TRect& dstClip, const TBitmap32* dst, const TRect& dstRect) {
    if (!RectIntersect(clip, dstClip, dst->WholeRect()) || !RectIntersect(clip, clip, dstRect))
        return false;
    return !RectIsEmpty(clip);
}

void BlockTransfer(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                   const TRect& srcRect, TDrawMode combineOp,
                   const TPixelCombineEvent& combineCallBack) {
    if (dst == nullptr || src == nullptr || dst->Empty() || src->Empty())
        return;
    TRect clip;
    if (!CutTransferClip(clip, dstClip, dst, dstRect))
        return;
    // The source area matching the clip, cut to the source; the clip follows any cut.
    const long long dx = static_cast<long long>(srcRect.Left) - dstRect.Left;
    const long long dy = static_cast<long long>(srcRect.Top) - dstRect.Top;
    long long sl = clip.Left + dx, st = clip.Top + dy;
    long long sr = clip.Right + dx, sb = clip.Bottom + dy;
    const long long limL = std::max(0, srcRect.Left), limT = std::max(0, srcRect.Top);
    const long long limR = std::min(src->Width(), srcRect.Right);
    const long long limB = std::min(src->Height(), srcRect.Bottom);
    sl = std::max(sl, limL);
    st = std::max(st, limT);
    sr = std::min(sr, limR);
    sb = std::min(sb, limB);
    if (sl >= sr || st >= sb)
        return;
    const int w = static_cast<int>(sr - sl), h = static_cast<int>(sb - st);
    const int x0 = static_cast<int>(sl - dx), y0 = static_cast<int>(st - dy);
    int srcX = static_cast<int>(sl), srcY = static_cast<int>(st);
    if (combineOp == dmCustom && !combineCallBack)
        combineOp = dmOpaque;

    TSnapshotOwner snapshot;
    TBitmap32* source = src;
    if (src == dst) {
        snapshot.bitmap = SnapshotOf(src, TRect{srcX, srcY, srcX + w, srcY + h});
        source = snapshot.bitmap;
        srcX = 0;
        srcY = 0;
    }
    for (int y = 0; y < h; ++y)
        CombineRow(source->PixelAddress(srcX, srcY + y), dst->PixelAddress(x0, y0 + y), w, source,
                   combineOp, combineCallBack);
    EndMMX();
}

void StretchNearest(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                    const TRect& srcRect, TDrawMode combineOp,
                    const TPixelCombineEvent& combineCallBack) {
    if (dst == nullptr || src == nullptr || dst->Empty())
        return;
    TRect clip;
    if (!CutTransferClip(clip, dstClip, dst, dstRect))
        return;
    if (!Inside(srcRect, src->WholeRect()))
        throw Exception("Invalid SrcRect");
    if (RectIsEmpty(srcRect))
        return;
    const long long dstW = static_cast<long long>(dstRect.Right) - dstRect.Left;
    const long long dstH = static_cast<long long>(dstRect.Bottom) - dstRect.Top;
    if (dstW == srcRect.Width() && dstH == srcRect.Height()) {
        BlockTransfer(dst, dstRect, clip, src, srcRect, combineOp, combineCallBack);
        return;
    }
    if (combineOp == dmCustom && !combineCallBack)
        combineOp = dmOpaque;

    TSnapshotOwner snapshot;
    TBitmap32* source = src;
    TRect from = srcRect;
    if (src == dst) {
        snapshot.bitmap = SnapshotOf(src, srcRect);
        source = snapshot.bitmap;
        from = source->WholeRect();
    }

    const int w = clip.Width(), h = clip.Height();
    std::vector<int> columns(static_cast<std::size_t>(w));
    std::vector<int> rows(static_cast<std::size_t>(h));
    NearestMap(from.Left, from.Right, dstRect.Left, dstRect.Right, clip.Left, clip.Right,
               columns.data());
    NearestMap(from.Top, from.Bottom, dstRect.Top, dstRect.Bottom, clip.Top, clip.Bottom,
               rows.data());

    if (combineOp == dmOpaque) {
        for (int j = 0; j < h; ++j) {
            TColor32* out = dst->PixelAddress(clip.Left, clip.Top + j);
            if (j > 0 && rows[j] == rows[j - 1]) {
                Move32(dst->PixelAddress(clip.Left, clip.Top + j - 1), out, w);
                continue;
            }
            const TColor32* in = source->RowAddress(rows[j]);
            for (int i = 0; i < w; ++i)
                out[i] = in[columns[i]];
        }
        return;
    }
    std::vector<TColor32> buffer(static_cast<std::size_t>(w));
    int bufferedRow = -1;
    for (int j = 0; j < h; ++j) {
        EndMMX();
        if (rows[j] != bufferedRow) {
            const TColor32* in = source->RowAddress(rows[j]);
            for (int i = 0; i < w; ++i)
                buffer[i] = in[columns[i]];
            bufferedRow = rows[j];
        }
        CombineRow(buffer.data(), dst->PixelAddress(clip.Left, clip.Top + j), w, source,
                   combineOp, combineCallBack);
    }
    EndMMX();
}

void StretchTransfer(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                     const TRect& srcRect, TCustomResampler* resampler, TDrawMode combineOp,
                     const TPixelCombineEvent& combineCallBack) {
    if (dst == nullptr)
        throw EBitmapException("Destination bitmap is nil");
    if (src == nullptr)
        throw EBitmapException("Source bitmap is nil");
    if (src->Empty() || dst->Empty() || (combineOp == dmBlend && src->MasterAlpha() == 0))
        return;
    if (RectIsEmpty(srcRect))
        return;
    if (!Inside(srcRect, src->WholeRect()))
        throw ESrcInvalidException("Source rectangle is invalid");

    if (!dst->Recording()) {
        TRect clip;
        if (!CutTransferClip(clip, dstClip, dst, dstRect))
            return;
        if (combineOp == dmCustom && !combineCallBack)
            combineOp = dmOpaque;
        const long long dstW = static_cast<long long>(dstRect.Right) - dstRect.Left;
        const long long dstH = static_cast<long long>(dstRect.Bottom) - dstRect.Top;
        try {
            if (dstW == srcRect.Width() && dstH == srcRect.Height()) {
                BlockTransfer(dst, dstRect, clip, src, srcRect, combineOp, combineCallBack);
            } else if (src == dst && resampler != nullptr) {
                // Resamplers read the source while writing: give them a copy to read.
                TSnapshotOwner snapshot{SnapshotOf(src, srcRect)};
                resampler->Resample(dst, dstRect, clip, snapshot.bitmap,
                                    snapshot.bitmap->WholeRect(), combineOp, combineCallBack);
            } else if (resampler != nullptr) {
                resampler->Resample(dst, dstRect, clip, src, srcRect, combineOp, combineCallBack);
            } else {
                StretchNearest(dst, dstRect, clip, src, srcRect, combineOp, combineCallBack);
            }
        } catch (...) {
            EndMMX();
            throw;
        }
        EndMMX();
    }
    dst->AreaChanged(dstRect, kAreaInfoRect);
}
