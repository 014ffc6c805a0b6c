#pragma once

#include <cstdint>

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

// The registries, filled at start-up in a fixed order; look-up by exact class name.
TClassList& ResamplerRegistry();
TClassList& KernelRegistry();
void RegisterResampler(TClass cls);
void RegisterKernel(TClass cls);
