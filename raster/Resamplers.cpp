#include "raster/Resamplers.h"

#include <cmath>

#include "framework/core/TypInfo.h"
#include "raster/KernelResample.h"
#include "raster/Kernels.h"

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

// --- linear, draft and kernel resamplers ---

namespace {

const char* const kKernelModeNames[] = {"kmDynamic", "kmTableNearest", "kmTableLinear"};

} // namespace

const TEnumType kKernelModeType(kKernelModeNames);

TLinearResampler::TLinearResampler(TBitmap32* bitmap)
    : TBitmap32Resampler(bitmap), linearKernel_(new TLinearKernel()) {}

TLinearResampler::~TLinearResampler() {
    linearKernel_->Free();
}

void TLinearResampler::PrepareSampling() {
    TBitmap32Resampler::PrepareSampling();
}

TColor32 TLinearResampler::GetSampleFixed(TFixed x, TFixed y) {
    if (bitmap_ == nullptr)
        throw EBitmapException("Resampler bitmap is nil");
    switch (pixelAccessMode_) {
    case pamUnsafe:
        return bitmap_->SampleFixed(x, y);
    case pamWrap:
        return bitmap_->SampleFixedWrapped(x, y);
    default:
        return bitmap_->SampleFixedSafe(x, y);
    }
}

TColor32 TLinearResampler::GetSampleFloat(double x, double y) {
    return GetSampleFixed(RoundToInt(x * 65536), RoundToInt(y * 65536));
}

void TLinearResampler::Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip,
                                TBitmap32* src, const TRect& srcRect, TDrawMode combineOp,
                                const TPixelCombineEvent& combineCallBack) {
    if (dstRect.Width() > srcRect.Width() && dstRect.Height() > srcRect.Height() &&
        srcRect.Width() > 1 && srcRect.Height() > 1)
        StretchLinear(dst, dstRect, dstClip, src, srcRect, combineOp, combineCallBack);
    else
        KernelResample(dst, dstRect, dstClip, src, srcRect, *linearKernel_, combineOp,
                       combineCallBack);
}

void TDraftResampler::Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip,
                               TBitmap32* src, const TRect& srcRect, TDrawMode combineOp,
                               const TPixelCombineEvent& combineCallBack) {
    DraftResample(dst, dstRect, dstClip, src, srcRect, *linearKernel_, combineOp, combineCallBack);
}

TKernelResampler::TKernelResampler(TBitmap32* bitmap)
    : TBitmap32Resampler(bitmap), kernel_(new TBoxKernel()) {}

TKernelResampler::~TKernelResampler() {
    kernel_->Free();
}

const TPropList& TKernelResampler::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .String("KernelClassName", &TKernelResampler::KernelClassName,
                    &TKernelResampler::SetKernelClassName)
            .Class("Kernel", &TKernelResampler::KernelObject, &TKernelResampler::SetKernelObject)
            .Enum("KernelMode", kKernelModeType, &TKernelResampler::KernelMode,
                  &TKernelResampler::SetKernelMode)
            .Default(kmDynamic)
            .Integer("TableSize", &TKernelResampler::TableSize, &TKernelResampler::SetTableSize)
            .Default(32);
    return list;
}

TObject* TKernelResampler::KernelObject() const noexcept {
    return kernel_;
}

void TKernelResampler::SetKernelObject(TObject* kernel) {
    SetKernel(dynamic_cast<TCustomKernel*>(kernel));
}

void TKernelResampler::SetKernel(TCustomKernel* kernel) {
    if (kernel == nullptr || kernel == kernel_)
        return;
    TCustomKernel* old = kernel_;
    kernel_ = kernel;
    old->Free();
    Changed();
}

std::string TKernelResampler::KernelClassName() const {
    return kernel_->ClassName();
}

void TKernelResampler::SetKernelClassName(const std::string& name) {
    if (name.empty() || name == KernelClassName())
        return;
    const TClass cls = KernelRegistry().Find(name);
    if (cls == nullptr)
        return;
    TCustomKernel* made = TCustomKernelClass(cls).Create();
    TCustomKernel* old = kernel_;
    kernel_ = made;
    old->Free();
    Changed();
}

void TKernelResampler::SetKernelMode(TKernelMode mode) {
    if (mode != kernelMode_) {
        kernelMode_ = mode;
        Changed();
    }
}

void TKernelResampler::SetTableSize(int size) {
    if (size < 2)
        size = 2;
    // The sampling's table holds (2r + 1) x (size + 1) weights; a size that would overflow it
    // (from a form, say) is refused here, where it is set.
    const double radius = std::ceil(double(kernel_->GetWidth()));
    if ((2 * radius + 1) * (double(size) + 1) > double(1 << 28))
        throw EBitmapException("Kernel table size too large");
    if (size != tableSize_) {
        tableSize_ = size;
        Changed();
    }
}

double TKernelResampler::Width() {
    return kernel_->GetWidth();
}

void TKernelResampler::Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip,
                                TBitmap32* src, const TRect& srcRect, TDrawMode combineOp,
                                const TPixelCombineEvent& combineCallBack) {
    KernelResample(dst, dstRect, dstClip, src, srcRect, *kernel_, combineOp, combineCallBack);
}
