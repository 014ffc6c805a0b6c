#pragma once

#include "framework/core/Persistent.h"
#include "raster/NotifyBases.h"

class TPropList;

// The one-dimensional reconstruction filters the kernel and linear resamplers weigh source
// pixels with. All arithmetic is in single floats: each intermediate value is rounded to single
// precision, so results are the same on every target that computes with SSE.
//
// Width-like parameters (Width, Sigma, the Sinsh Coeff) ignore values that would make a filter
// divide by zero or give a footprint without meaning: 0 for Sigma and Coeff, and non-finite
// values for all of them; Width also ignores values of 0 or below. A writer that stores a new
// value calls Changed, which tells the observer when one is set.
class TCustomKernel : public TPersistent {
    FW_CLASS(TCustomKernel, TPersistent)
public:
    TCustomKernel() = default;

    // From another kernel: every published property (by name; the classes may differ). Anything
    // else: the class library's assignment.
    void Assign(TPersistent* Source) override;

    // True when the filter has negative lobes, so that the resampler must clamp its channels.
    virtual bool RangeCheck() const { return false; }
    virtual float Filter(float x) = 0;
    // The support radius: Filter is 0 (or treated as 0) at distances of Width and more.
    virtual float GetWidth() const = 0;

    // Tells the observer, when one is set.
    void Changed();
    TNotifiablePersistent* Observer() const noexcept { return observer_; }
    void SetObserver(TNotifiablePersistent* observer) noexcept { observer_ = observer; }

private:
    TNotifiablePersistent* observer_ = nullptr;
};

using TCustomKernelClass = TClassOf<TCustomKernel>;

// sin(pi x) / (pi x), 1 at 0; the product pi x is rounded to single first.
float SinC(float x);

// 1 on -0.5 .. 0.5 (both ends included).
class TBoxKernel : public TCustomKernel {
    FW_CLASS(TBoxKernel, TCustomKernel)
public:
    float Filter(float x) override;
    float GetWidth() const override { return 1.0f; }
};

// The triangle 1 - |x| on -1 .. 1.
class TLinearKernel : public TCustomKernel {
    FW_CLASS(TLinearKernel, TCustomKernel)
public:
    float Filter(float x) override;
    float GetWidth() const override { return 1.0f; }
};

// (cos(pi x) + 1) / 2 on -1 .. 1.
class TCosineKernel : public TCustomKernel {
    FW_CLASS(TCosineKernel, TCustomKernel)
public:
    float Filter(float x) override;
    float GetWidth() const override { return 1.0f; }
};

// The cubic B-spline.
class TSplineKernel : public TCustomKernel {
    FW_CLASS(TSplineKernel, TCustomKernel)
public:
    bool RangeCheck() const override { return true; }
    float Filter(float x) override;
    float GetWidth() const override { return 2.0f; }
};

// The Mitchell-Netravali cubic (B = C = 1/3).
class TMitchellKernel : public TCustomKernel {
    FW_CLASS(TMitchellKernel, TCustomKernel)
public:
    bool RangeCheck() const override { return true; }
    float Filter(float x) override;
    float GetWidth() const override { return 2.0f; }
};

// The cubic convolution with a free coefficient (-0.5 at construction).
class TCubicKernel : public TCustomKernel {
    FW_CLASS(TCubicKernel, TCustomKernel)
public:
    static const TPropList& PublishedProperties();
    bool RangeCheck() const override { return true; }
    float Filter(float x) override;
    float GetWidth() const override { return 2.0f; }

    float Coeff() const noexcept { return coeff_; }
    void SetCoeff(float value);

private:
    float coeff_ = -0.5f;
};

// The Hermite spline with tension and bias (both 0 at construction).
class THermiteKernel : public TCustomKernel {
    FW_CLASS(THermiteKernel, TCustomKernel)
public:
    static const TPropList& PublishedProperties();
    bool RangeCheck() const override { return true; }
    float Filter(float x) override;
    float GetWidth() const override { return 2.0f; }

    float Bias() const noexcept { return bias_; }
    void SetBias(float value);
    float Tension() const noexcept { return tension_; }
    void SetTension(float value);

private:
    float bias_ = 0.0f;
    float tension_ = 0.0f;
};

// sin(pi x) c / sinh(pi c x): no cut-off in Filter; Width only bounds the footprint.
class TSinshKernel : public TCustomKernel {
    FW_CLASS(TSinshKernel, TCustomKernel)
public:
    static const TPropList& PublishedProperties();
    bool RangeCheck() const override { return true; }
    float Filter(float x) override;
    float GetWidth() const override { return width_; }

    float Width() const noexcept { return width_; }
    void SetWidth(float value);
    float Coeff() const noexcept { return coeff_; }
    void SetCoeff(float value);

private:
    float width_ = 3.0f;
    float coeff_ = 0.5f;
};

// SinC times a window, cut off at Width.
class TWindowedSincKernel : public TCustomKernel {
    FW_CLASS(TWindowedSincKernel, TCustomKernel)
public:
    static const TPropList& PublishedProperties();
    bool RangeCheck() const override { return true; }
    // 0 for |x| >= Width, else SinC(|x|) x Window(|x|).
    float Filter(float x) override;
    float GetWidth() const override { return width_; }
    virtual float Window(float x) = 0;

    float Width() const noexcept { return width_; }
    void SetWidth(float value);

protected:
    float width_ = 3.0f;
};

class TLanczosKernel : public TWindowedSincKernel {
    FW_CLASS(TLanczosKernel, TWindowedSincKernel)
public:
    float Window(float x) override;
};

// 2 to the power (-x^2 / Sigma); Sigma 1.33 at construction.
class TGaussianKernel : public TWindowedSincKernel {
    FW_CLASS(TGaussianKernel, TWindowedSincKernel)
public:
    static const TPropList& PublishedProperties();
    float Window(float x) override;

    float Sigma() const noexcept { return sigma_; }
    void SetSigma(float value);

private:
    float sigma_ = 1.33f;
};

class TBlackmanKernel : public TWindowedSincKernel {
    FW_CLASS(TBlackmanKernel, TWindowedSincKernel)
public:
    float Window(float x) override;
};

class THannKernel : public TWindowedSincKernel {
    FW_CLASS(THannKernel, TWindowedSincKernel)
public:
    float Window(float x) override;
};

class THammingKernel : public TWindowedSincKernel {
    FW_CLASS(THammingKernel, TWindowedSincKernel)
public:
    float Window(float x) override;
};

// Adds the thirteen kernel classes to the kernel registry in their fixed order (start-up).
void RegisterKernelClasses();
