#pragma once

#include "raster/NotifyBases.h"
#include "raster/RasterTypes.h"

class TBitmap32;

// Something that answers a colour for a point. A descendant overrides at least one of the three
// sample operations; the bases convert between them (and would recurse forever if none were
// overridden).
class TCustomSampler : public TNotifiablePersistent {
    FW_CLASS(TCustomSampler, TNotifiablePersistent)
public:
    // GetSampleFixed(X shl 16, Y shl 16).
    virtual TColor32 GetSampleInt(int x, int y);
    // GetSampleFloat(X / 65536, Y / 65536).
    virtual TColor32 GetSampleFixed(TFixed x, TFixed y);
    // GetSampleFixed(FloatToFixed(X), FloatToFixed(Y)).
    virtual TColor32 GetSampleFloat(double x, double y);
    // Bracket a run of samples; nothing here.
    virtual void PrepareSampling() {}
    virtual void FinalizeSampling() {}
    // False here: the sampler answers everywhere.
    virtual bool HasBounds() { return false; }
    // The whole integer plane here.
    virtual TRect GetSampleBounds();
};

// A sampler that can also stretch a whole rectangle of a bitmap into another.
class TCustomResampler : public TCustomSampler {
    FW_CLASS(TCustomResampler, TCustomSampler)
public:
    // Resamplers are made for a bitmap (nullptr for none) through their class reference.
    using TConstructorArgs = TCtorArgs<TBitmap32*>;

    // The support radius of the resampler's filter, in source pixels.
    virtual double Width() = 0;
    // Draws src's srcRect into dst's dstRect, only inside dstClip (already cut to dst and
    // dstRect by the caller), combining by combineOp.
    virtual void Resample(TBitmap32* dst, const TRect& dstRect, const TRect& dstClip,
                          TBitmap32* src, const TRect& srcRect, TDrawMode combineOp,
                          const TPixelCombineEvent& combineCallBack) = 0;
};

using TCustomResamplerClass = TClassOf<TCustomResampler>;
