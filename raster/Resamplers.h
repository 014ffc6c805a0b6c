#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Exceptions.h"
#include "raster/Bitmap32.h"
#include "raster/Containers.h"
#include "raster/Samplers.h"
#include "raster/Transfer.h"

// The resamplers a bitmap owns, and the registries that make resampler and kernel classes
// selectable by name (forms name "TNearestResampler").

FW_DECLARE_EXCEPTION(EBitmapException, Exception);
FW_DECLARE_EXCEPTION(ESrcInvalidException, Exception);
FW_DECLARE_EXCEPTION(ENestedException, Exception);

// How a resampler's point sampling treats coordinates outside the clip rect: not at all, the
// outer colour, or wrapped by the bitmap's wrap mode.
enum TPixelAccessMode : std::uint8_t { pamUnsafe, pamSafe, pamWrap };
extern const TEnumType kPixelAccessModeType;

// A resampler serving one bitmap (not owned). Made with a bitmap, it installs itself as that
// bitmap's Resampler, which frees the previous one.
class TBitmap32Resampler : public TCustomResampler {
    FW_CLASS(TBitmap32Resampler, TCustomResampler)
public:
    explicit TBitmap32Resampler(TBitmap32* bitmap);
    static const TPropList& PublishedProperties();

    // From another TBitmap32Resampler: every published property; else the assignment error.
    void Assign(TPersistent* Source) override;
    // Also tells the bitmap.
    void Changed() override;
    bool HasBounds() override { return true; }
    // The bitmap's clip rect.
    TRect GetSampleBounds() override;
    // Takes a copy of the bitmap's clip rect.
    void PrepareSampling() override;

    TBitmap32* Bitmap() const noexcept { return bitmap_; }
    TPixelAccessMode PixelAccessMode() const noexcept { return pixelAccessMode_; }
    void SetPixelAccessMode(TPixelAccessMode mode);

protected:
    TBitmap32* bitmap_;
    TRect clipRect_;
    TPixelAccessMode pixelAccessMode_ = pamSafe;
};

// Nearest-neighbour: the point samplers read single pixels, Resample is StretchNearest.
class TNearestResampler : public TBitmap32Resampler {
    FW_CLASS(TNearestResampler, TBitmap32Resampler)
public:
    explicit TNearestResampler(TBitmap32* bitmap) : TBitmap32Resampler(bitmap) {}

    // Picks the pixel getter from PixelAccessMode: Pixel, PixelClipped or PixelWrapped.
    void PrepareSampling() override;
    TColor32 GetSampleInt(int x, int y) override;
    TColor32 GetSampleFixed(TFixed x, TFixed y) override;
    TColor32 GetSampleFloat(double x, double y) override;
    double Width() override { return 1.0; }
    void Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                  const TRect& srcRect, TDrawMode combineOp,
                  const TPixelCombineEvent& combineCallBack) override;

private:
    // Raises EBitmapException when the resampler serves no bitmap.
    TColor32 Get(int x, int y) const;
};

class TCustomKernel;
class TLinearKernel;

// Bilinear: StretchLinear for magnification in both directions of a source at least 2 x 2,
// else KernelResample with its own linear kernel. Point sampling through the bitmap's
// fixed-point samplers.
class TLinearResampler : public TBitmap32Resampler {
    FW_CLASS(TLinearResampler, TBitmap32Resampler)
public:
    explicit TLinearResampler(TBitmap32* bitmap);
    ~TLinearResampler() override;

    void PrepareSampling() override;
    TColor32 GetSampleFixed(TFixed x, TFixed y) override;
    TColor32 GetSampleFloat(double x, double y) override;
    double Width() override { return 1.0; }
    void Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                  const TRect& srcRect, TDrawMode combineOp,
                  const TPixelCombineEvent& combineCallBack) override;

protected:
    TLinearKernel* linearKernel_ = nullptr;
};

// Fast reduction by block averages; magnification as the linear resampler.
class TDraftResampler : public TLinearResampler {
    FW_CLASS(TDraftResampler, TLinearResampler)
public:
    explicit TDraftResampler(TBitmap32* bitmap) : TLinearResampler(bitmap) {}
    void Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                  const TRect& srcRect, TDrawMode combineOp,
                  const TPixelCombineEvent& combineCallBack) override;
};

enum TKernelMode : std::uint8_t { kmDynamic, kmTableNearest, kmTableLinear };
extern const TEnumType kKernelModeType;

// Resampling through a kernel's weight clusters; the kernel (a box kernel at first) is owned.
class TKernelResampler : public TBitmap32Resampler {
    FW_CLASS(TKernelResampler, TBitmap32Resampler)
public:
    explicit TKernelResampler(TBitmap32* bitmap);
    ~TKernelResampler() override;
    // The kernel's class comes before the kernel, so that a copy from a resampler with another
    // kernel class takes that class first and then its parameters.
    static const TPropList& PublishedProperties();

    TCustomKernel* Kernel() const noexcept { return kernel_; }
    // Takes ownership; nullptr and the current kernel are ignored.
    void SetKernel(TCustomKernel* kernel);
    std::string KernelClassName() const;
    // A class of the kernel registry (exact name); other names change nothing.
    void SetKernelClassName(const std::string& name);
    TKernelMode KernelMode() const noexcept { return kernelMode_; }
    void SetKernelMode(TKernelMode mode);
    int TableSize() const noexcept { return tableSize_; }
    // Below 2 is 2; beyond the largest table the sampling can hold, EBitmapException.
    void SetTableSize(int size);

    double Width() override;
    void Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip, TBitmap32* src,
                  const TRect& srcRect, TDrawMode combineOp,
                  const TPixelCombineEvent& combineCallBack) override;

    // Point sampling over the kernel's footprint around the point: weights from the kernel
    // itself (kmDynamic) or from a table of TableSize + 1 rows, the nearest row or two rows
    // interpolated. pamSafe answers the outer colour for a point whose centre column or row
    // lies outside the clip rect and weighs only pixels inside it; pamWrap wraps the footprint
    // by the bitmap's wrap mode; pamUnsafe reads the footprint as it is.
    void PrepareSampling() override;
    void FinalizeSampling() override;
    TColor32 GetSampleFloat(double x, double y) override;

private:
    // The published property reaches the kernel object itself (its parameters are copied).
    TObject* KernelObject() const noexcept;
    void SetKernelObject(TObject* kernel);
    // The 2r + 1 weights of one axis for the fraction d (0 <= d < 1) past the centre, the
    // middle one corrected so that they add up to 256.
    void AxisWeights(double d, int* out);

    TCustomKernel* kernel_ = nullptr;
    TKernelMode kernelMode_ = kmDynamic;
    int tableSize_ = 32;
    bool prepared_ = false;
    int radius_ = 0;
    std::vector<int> table_; // (tableSize + 1) rows of 2r + 1 weights
    std::vector<int> columnWeights_, rowWeights_;
    TColor32 outerColor_ = 0;
};

// A sampler that answers through another one (not owned).
class TNestedSampler : public TCustomSampler {
    FW_CLASS(TNestedSampler, TCustomSampler)
public:
    static const TPropList& PublishedProperties();
    // From another nested sampler: its published properties (the nested sampler's reference).
    void Assign(TPersistent* Source) override;

    TCustomSampler* Sampler() const noexcept { return sampler_; }
    void SetSampler(TCustomSampler* sampler) { sampler_ = sampler; }

    // Each raises ENestedException "Nested sampler is nil" without a nested sampler, as do the
    // sample operations, which would otherwise reach through it.
    TColor32 GetSampleInt(int x, int y) override;
    TColor32 GetSampleFixed(TFixed x, TFixed y) override;
    TColor32 GetSampleFloat(double x, double y) override;
    void PrepareSampling() override;
    void FinalizeSampling() override;
    bool HasBounds() override;
    TRect GetSampleBounds() override;

protected:
    TCustomSampler& Nested() const;

private:
    TObject* SamplerObject() const noexcept { return sampler_; }
    void SetSamplerObject(TObject* sampler) { sampler_ = dynamic_cast<TCustomSampler*>(sampler); }
    TCustomSampler* sampler_ = nullptr;
};

class TTransformation;

// Samples the nested sampler at the point the transformation maps back to (not owned).
class TTransformer : public TNestedSampler {
    FW_CLASS(TTransformer, TNestedSampler)
public:
    static const TPropList& PublishedProperties();
    TTransformation* Transformation() const noexcept { return transformation_; }
    void SetTransformation(TTransformation* t) { transformation_ = t; }

    // Without a transformation these raise ENestedException "Transformation is nil".
    TColor32 GetSampleInt(int x, int y) override;
    TColor32 GetSampleFixed(TFixed x, TFixed y) override;
    TColor32 GetSampleFloat(double x, double y) override;
    void PrepareSampling() override;
    bool HasBounds() override;
    TRect GetSampleBounds() override;

protected:
    TTransformation& Mapping() const;

private:
    TObject* TransformationObject() const noexcept;
    void SetTransformationObject(TObject* t);
    TTransformation* transformation_ = nullptr;
};

// The transformer that reads whole pixels: every form ends in the nested GetSampleInt.
class TNearestTransformer : public TTransformer {
    FW_CLASS(TNearestTransformer, TTransformer)
public:
    TColor32 GetSampleInt(int x, int y) override;
    TColor32 GetSampleFixed(TFixed x, TFixed y) override;
    TColor32 GetSampleFloat(double x, double y) override;
};

// The registries, filled at start-up in a fixed order; look-up by exact class name.
TClassList& ResamplerRegistry();
TClassList& KernelRegistry();
void RegisterResampler(TClass cls);
void RegisterKernel(TClass cls);
