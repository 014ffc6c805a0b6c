#include "raster/Resamplers.h"

#include <algorithm>
#include <cmath>

#include "framework/core/TypInfo.h"
#include "raster/KernelResample.h"
#include "raster/Kernels.h"
#include "raster/LowLevel.h"
#include "raster/Transforms.h"

namespace {
const char* const kPixelAccessModeNames[] = {"pamUnsafe", "pamSafe", "pamWrap"};
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

// --- the kernel resampler's point sampling ---

void TKernelResampler::PrepareSampling() {
    TBitmap32Resampler::PrepareSampling();
    if (bitmap_ != nullptr)
        outerColor_ = bitmap_->OuterColor();
    const double width = std::ceil(double(kernel_->GetWidth()));
    // The footprint of a point: a kernel too wide for one (from form data) is refused here.
    if (!(width >= 0 && width < 4096))
        throw EBitmapException("Resampling kernel too wide");
    radius_ = static_cast<int>(width);
    const int n = 2 * radius_ + 1;
    columnWeights_.assign(static_cast<std::size_t>(n), 0);
    rowWeights_.assign(static_cast<std::size_t>(n), 0);
    table_.clear();
    if (kernelMode_ != kmDynamic) {
        const int rows = tableSize_ + 1;
        table_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(n), 0);
        for (int i = 0; i < rows; ++i) {
            int* row = &table_[static_cast<std::size_t>(i) * static_cast<std::size_t>(n)];
            int sum = 0;
            for (int j = -radius_; j <= radius_; ++j) {
                const float at = static_cast<float>(j + double(i) / (tableSize_ - 1));
                row[j + radius_] =
                    static_cast<int>(std::nearbyint(double(kernel_->Filter(at)) * 256));
                sum += row[j + radius_];
            }
            row[radius_] += 256 - sum;
        }
    }
    prepared_ = true;
}

void TKernelResampler::FinalizeSampling() {
    std::vector<int>().swap(table_);
    std::vector<int>().swap(columnWeights_);
    std::vector<int>().swap(rowWeights_);
    prepared_ = false;
}

void TKernelResampler::AxisWeights(double d, int* out) {
    const int n = 2 * radius_ + 1;
    int sum = 0;
    for (int i = -radius_; i <= radius_; ++i) {
        int w = 0;
        switch (kernelMode_) {
        case kmDynamic:
            w = static_cast<int>(
                std::nearbyint(double(kernel_->Filter(static_cast<float>(i + d))) * 256));
            break;
        case kmTableNearest: {
            const int row = static_cast<int>(std::nearbyint(d * (tableSize_ - 1)));
            w = table_[static_cast<std::size_t>(std::clamp(row, 0, tableSize_)) * n +
                       (i + radius_)];
            break;
        }
        case kmTableLinear: {
            const auto pos =
                static_cast<std::int64_t>(std::nearbyint(d * (tableSize_ - 1) * 65536));
            const int row =
                static_cast<int>(std::clamp<std::int64_t>(pos >> 16, 0, tableSize_ - 1));
            const int a = table_[static_cast<std::size_t>(row) * n + (i + radius_)];
            const int b = table_[static_cast<std::size_t>(row + 1) * n + (i + radius_)];
            w = a + static_cast<int>(((pos & 0xFFFF) * (b - a) + 0x7FFF) >> 16);
            break;
        }
        }
        out[i + radius_] = w;
        sum += w;
    }
    out[radius_] += 256 - sum;
}

TColor32 TKernelResampler::GetSampleFloat(double x, double y) {
    if (bitmap_ == nullptr)
        throw EBitmapException("Resampler bitmap is nil");
    if (!prepared_)
        PrepareSampling();
    // Far outside any bitmap the footprint cannot meet it: the outer colour, as for pamSafe.
    if (!(std::fabs(x) < 1e9 && std::fabs(y) < 1e9))
        return outerColor_;
    const double fx = std::ceil(x), fy = std::ceil(y);
    const int cx = static_cast<int>(fx), cy = static_cast<int>(fy);
    const TRect clip = clipRect_;
    if (pixelAccessMode_ == pamSafe &&
        (cx < clip.Left || cx >= clip.Right || cy < clip.Top || cy >= clip.Bottom))
        return outerColor_;
    if (pixelAccessMode_ == pamWrap && RectIsEmpty(clip))
        return outerColor_;
    AxisWeights(fx - x, columnWeights_.data());
    AxisWeights(fy - y, rowWeights_.data());
    const TWrapProc wrap = WrapProcs[bitmap_->WrapMode()];
    std::int64_t sums[4] = {0x8000, 0x8000, 0x8000, 0x8000};
    for (int j = -radius_; j <= radius_; ++j) {
        int py = cy + j;
        if (pixelAccessMode_ == pamSafe && (py < clip.Top || py >= clip.Bottom))
            continue;
        if (pixelAccessMode_ == pamWrap)
            py = wrap(py, clip.Top, clip.Bottom - 1);
        const int wy = rowWeights_[static_cast<std::size_t>(j + radius_)];
        for (int i = -radius_; i <= radius_; ++i) {
            int px = cx + i;
            if (pixelAccessMode_ == pamSafe && (px < clip.Left || px >= clip.Right))
                continue;
            if (pixelAccessMode_ == pamWrap)
                px = wrap(px, clip.Left, clip.Right - 1);
            const std::int64_t w =
                std::int64_t{columnWeights_[static_cast<std::size_t>(i + radius_)]} * wy;
            const TColor32 p = bitmap_->Pixel(px, py);
            for (int k = 0; k < 4; ++k)
                sums[k] += w * ((p >> (8 * k)) & 0xFF);
        }
    }
    TColor32 c = 0;
    for (int k = 0; k < 4; ++k)
        c |= static_cast<TColor32>(std::clamp<std::int64_t>(sums[k] >> 16, 0, 255)) << (8 * k);
    return c;
}

// --- nested samplers and transformers ---

const TPropList& TNestedSampler::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Class("Sampler", &TNestedSampler::SamplerObject, &TNestedSampler::SetSamplerObject);
    return list;
}

void TNestedSampler::Assign(TPersistent* Source) {
    if (auto* other = dynamic_cast<TNestedSampler*>(Source)) {
        // The references, not the objects behind them: nothing here owns them.
        sampler_ = other->sampler_;
        if (auto* t = dynamic_cast<TTransformer*>(this))
            if (auto* from = dynamic_cast<TTransformer*>(Source))
                t->SetTransformation(from->Transformation());
        return;
    }
    TCustomSampler::Assign(Source);
}

TCustomSampler& TNestedSampler::Nested() const {
    if (sampler_ == nullptr)
        throw ENestedException("Nested sampler is nil");
    return *sampler_;
}

TColor32 TNestedSampler::GetSampleInt(int x, int y) {
    return Nested().GetSampleInt(x, y);
}

TColor32 TNestedSampler::GetSampleFixed(TFixed x, TFixed y) {
    return Nested().GetSampleFixed(x, y);
}

TColor32 TNestedSampler::GetSampleFloat(double x, double y) {
    return Nested().GetSampleFloat(x, y);
}

void TNestedSampler::PrepareSampling() {
    Nested().PrepareSampling();
}

void TNestedSampler::FinalizeSampling() {
    Nested().FinalizeSampling();
}

bool TNestedSampler::HasBounds() {
    return Nested().HasBounds();
}

TRect TNestedSampler::GetSampleBounds() {
    return Nested().GetSampleBounds();
}

const TPropList& TTransformer::PublishedProperties() {
    static const TPropList list = TPropList(TInherited::PublishedProperties())
                                      .Class("Transformation", &TTransformer::TransformationObject,
                                             &TTransformer::SetTransformationObject);
    return list;
}

TObject* TTransformer::TransformationObject() const noexcept {
    return transformation_;
}

void TTransformer::SetTransformationObject(TObject* t) {
    transformation_ = dynamic_cast<TTransformation*>(t);
}

TTransformation& TTransformer::Mapping() const {
    if (transformation_ == nullptr)
        throw ENestedException("Transformation is nil");
    return *transformation_;
}

TColor32 TTransformer::GetSampleInt(int x, int y) {
    TCustomSampler& nested = Nested();
    const TFixedPoint p =
        Mapping().ReverseTransform(TFixedPoint{IntToFixedSaturated(x), IntToFixedSaturated(y)});
    return nested.GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFixed(TFixed x, TFixed y) {
    TCustomSampler& nested = Nested();
    const TFixedPoint p = Mapping().ReverseTransform(TFixedPoint{x, y});
    return nested.GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFloat(double x, double y) {
    TCustomSampler& nested = Nested();
    const TFloatPoint p =
        Mapping().ReverseTransform(TFloatPoint{static_cast<float>(x), static_cast<float>(y)});
    return nested.GetSampleFloat(p.X, p.Y);
}

void TTransformer::PrepareSampling() {
    TNestedSampler::PrepareSampling();
    // The public mappings prepare the transformation when it is not valid.
    Mapping().ReverseTransform(TFixedPoint{});
}

bool TTransformer::HasBounds() {
    return Mapping().HasTransformedBounds() && Nested().HasBounds();
}

TRect TTransformer::GetSampleBounds() {
    const TRect b = Nested().GetSampleBounds();
    return Mapping().GetTransformedBounds(
        TFloatRect{float(b.Left), float(b.Top), float(b.Right), float(b.Bottom)});
}

TColor32 TNearestTransformer::GetSampleInt(int x, int y) {
    TCustomSampler& nested = Nested();
    const TPoint p = Mapping().ReverseTransform(TPoint{x, y});
    return nested.GetSampleInt(p.X, p.Y);
}

TColor32 TNearestTransformer::GetSampleFixed(TFixed x, TFixed y) {
    TCustomSampler& nested = Nested();
    const TFixedPoint p = Mapping().ReverseTransform(TFixedPoint{x, y});
    return nested.GetSampleInt(p.X >> 16, p.Y >> 16);
}

TColor32 TNearestTransformer::GetSampleFloat(double x, double y) {
    TCustomSampler& nested = Nested();
    const TFloatPoint p =
        Mapping().ReverseTransform(TFloatPoint{static_cast<float>(x), static_cast<float>(y)});
    return nested.GetSampleInt(RoundToInt(p.X), RoundToInt(p.Y));
}
