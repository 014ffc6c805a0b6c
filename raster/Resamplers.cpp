#include "raster/Resamplers.h"

#include <cmath>

#include "framework/core/TypInfo.h"

namespace {
const char* const kPixelAccessModeNames[] = {"pamUnsafe", "pamSafe", "pamWrap"};

int RoundToInt(double v) {
    v = std::nearbyint(v);
    if (!(v >= -2147483648.0))
        return INT32_MIN;
    return v > 2147483647.0 ? INT32_MAX : static_cast<int>(v);
}
} // namespace

const TEnumType kPixelAccessModeType(kPixelAccessModeNames);

TBitmap32Resampler::TBitmap32Resampler(TBitmap32* bitmap) : bitmap_(bitmap) {
    if (bitmap_ != nullptr) {
        clipRect_ = bitmap_->ClipRect();
        bitmap_->SetResampler(this);
    }
}

const TPropList& TBitmap32Resampler::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Enum("PixelAccessMode", kPixelAccessModeType, &TBitmap32Resampler::PixelAccessMode,
                  &TBitmap32Resampler::SetPixelAccessMode)
            .Default(pamSafe);
    return list;
}

void TBitmap32Resampler::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->InheritsFrom<TBitmap32Resampler>()) {
        CopyPublishedProperties(Source, this);
        return;
    }
    TCustomResampler::Assign(Source);
}

void TBitmap32Resampler::Changed() {
    if (bitmap_ != nullptr)
        bitmap_->Changed();
}

TRect TBitmap32Resampler::GetSampleBounds() {
    return bitmap_ != nullptr ? bitmap_->ClipRect() : TRect{};
}

void TBitmap32Resampler::PrepareSampling() {
    if (bitmap_ != nullptr)
        clipRect_ = bitmap_->ClipRect();
}

void TBitmap32Resampler::SetPixelAccessMode(TPixelAccessMode mode) {
    if (mode != pixelAccessMode_) {
        pixelAccessMode_ = mode;
        Changed();
    }
}

void TNearestResampler::PrepareSampling() {
    TBitmap32Resampler::PrepareSampling();
}

TColor32 TNearestResampler::Get(int x, int y) const {
    // Made without a bitmap, the resampler has nothing to read.
    if (bitmap_ == nullptr)
        throw EBitmapException("Resampler bitmap is nil");
    switch (pixelAccessMode_) {
    case pamUnsafe:
        return bitmap_->Pixel(x, y);
    case pamWrap:
        return bitmap_->PixelWrapped(x, y);
    default:
        return bitmap_->PixelClipped(x, y);
    }
}

TColor32 TNearestResampler::GetSampleInt(int x, int y) {
    return Get(x, y);
}

TColor32 TNearestResampler::GetSampleFixed(TFixed x, TFixed y) {
    return Get(FixedToIntRound(x), FixedToIntRound(y));
}

TColor32 TNearestResampler::GetSampleFloat(double x, double y) {
    return Get(RoundToInt(x), RoundToInt(y));
}

void TNearestResampler::Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip,
                                 TBitmap32* src, const TRect& srcRect, TDrawMode combineOp,
                                 const TPixelCombineEvent& combineCallBack) {
    StretchNearest(dst, dstRect, dstClip, src, srcRect, combineOp, combineCallBack);
}

TClassList& ResamplerRegistry() {
    static TClassList list;
    return list;
}

TClassList& KernelRegistry() {
    static TClassList list;
    return list;
}

void RegisterResampler(TClass cls) {
    ResamplerRegistry().Add(cls);
}

void RegisterKernel(TClass cls) {
    KernelRegistry().Add(cls);
}
