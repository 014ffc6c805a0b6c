#include "raster/Kernels.h"

#include <cmath>

#include "framework/core/TypInfo.h"
#include "raster/Containers.h"
#include "raster/Resamplers.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The product pi x as a single float, the form every trigonometric kernel takes its argument in.
float PiTimes(float x) {
    return static_cast<float>(kPi * static_cast<double>(x));
}

float Sin1(float x) {
    return static_cast<float>(std::sin(static_cast<double>(x)));
}

float Cos1(float x) {
    return static_cast<float>(std::cos(static_cast<double>(x)));
}

// A new value for a parameter that divides or sizes a footprint: finite, and (for the widths)
// above 0.
bool UsableWidth(float v) {
    return std::isfinite(v) && v > 0.0f;
}

} // namespace

void TCustomKernel::Assign(TPersistent* Source) {
    if (auto* kernel = dynamic_cast<TCustomKernel*>(Source)) {
        CopyPublishedProperties(kernel, this);
        return;
    }
    TPersistent::Assign(Source);
}

void TCustomKernel::Changed() {
    if (observer_ != nullptr)
        observer_->Changed();
}

float SinC(float x) {
    if (x == 0.0f)
        return 1.0f;
    const float px = PiTimes(x);
    return static_cast<float>(std::sin(static_cast<double>(px)) / static_cast<double>(px));
}

float TBoxKernel::Filter(float x) {
    return (x >= -0.5f && x <= 0.5f) ? 1.0f : 0.0f;
}

float TLinearKernel::Filter(float x) {
    if (x >= 0.0f && x < 1.0f)
        return 1.0f - x;
    if (x >= -1.0f && x < 0.0f)
        return x + 1.0f;
    return 0.0f;
}

float TCosineKernel::Filter(float x) {
    if (std::fabs(x) < 1.0f)
        return (Cos1(PiTimes(x)) + 1.0f) / 2.0f;
    return 0.0f;
}

float TSplineKernel::Filter(float x) {
    const float a = std::fabs(x);
    if (a < 1.0f) {
        const float a2 = a * a;
        return 0.5f * a2 * a - a2 + 2.0f / 3.0f;
    }
    if (a < 2.0f) {
        const float t = 2.0f - a;
        return t * t * t / 6.0f;
    }
    return 0.0f;
}

float TMitchellKernel::Filter(float x) {
    const float a = std::fabs(x);
    const float a2 = a * a;
    const float a3 = a2 * a;
    if (a < 1.0f)
        return (7.0f * a3 - 12.0f * a2 + 16.0f / 3.0f) / 6.0f;
    if (a < 2.0f)
        return (-(7.0f / 3.0f) * a3 + 12.0f * a2 - 20.0f * a + 32.0f / 3.0f) / 6.0f;
    return 0.0f;
}

const TPropList& TCubicKernel::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Float("Coeff", &TCubicKernel::Coeff, &TCubicKernel::SetCoeff);
    return list;
}

float TCubicKernel::Filter(float x) {
    const float a = std::fabs(x);
    const float c = coeff_;
    const float a2 = a * a;
    const float a3 = a2 * a;
    if (a < 1.0f)
        return (c + 2.0f) * a3 - (c + 3.0f) * a2 + 1.0f;
    if (a < 2.0f)
        return (a3 - 5.0f * a2 + 8.0f * a - 4.0f) * c;
    return 0.0f;
}

void TCubicKernel::SetCoeff(float value) {
    if (value == coeff_)
        return;
    coeff_ = value;
    Changed();
}

const TPropList& THermiteKernel::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Float("Bias", &THermiteKernel::Bias, &THermiteKernel::SetBias)
            .Float("Tension", &THermiteKernel::Tension, &THermiteKernel::SetTension);
    return list;
}

float THermiteKernel::Filter(float x) {
    const float half = (1.0f - tension_) / 2.0f;
    const float f = half * (1.0f + bias_);
    const float g = half * (1.0f - bias_);
    // The piece is chosen by comparing the floor as a float: an integer conversion of a huge or
    // non-finite argument would be undefined.
    const float i = std::floor(x);
    const float t = std::fabs(i - x);
    const float t2 = t * t;
    const float t3 = t2 * t;
    const float h1 = -2.0f * t3 + 3.0f * t2;
    const float h0 = 1.0f - h1;
    const float h2 = t3 - 2.0f * t2 + t;
    const float h3 = t3 - t2;
    if (i == -2.0f)
        return g * h3;
    if (i == -1.0f)
        return h2 * g + h1 + (f - g) * h3;
    if (i == 0.0f)
        return (f - g) * h2 + h0 - h3 * f;
    if (i == 1.0f)
        return -h2 * f;
    return 0.0f;
}

void THermiteKernel::SetBias(float value) {
    if (value == bias_)
        return;
    bias_ = value;
    Changed();
}

void THermiteKernel::SetTension(float value) {
    if (value == tension_)
        return;
    tension_ = value;
    Changed();
}

const TPropList& TSinshKernel::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Float("Width", &TSinshKernel::Width, &TSinshKernel::SetWidth)
            .Float("Coeff", &TSinshKernel::Coeff, &TSinshKernel::SetCoeff);
    return list;
}

float TSinshKernel::Filter(float x) {
    if (x == 0.0f)
        return 1.0f;
    // The filter tends to 0 far out; sin of a non-finite argument would give NaN weights.
    if (!std::isfinite(x))
        return 0.0f;
    const float numerator = Sin1(PiTimes(x)) * coeff_;
    const float arg = PiTimes(coeff_ * x);
    return numerator / static_cast<float>(std::sinh(static_cast<double>(arg)));
}

void TSinshKernel::SetWidth(float value) {
    if (!UsableWidth(value) || value == width_)
        return;
    width_ = value;
    Changed();
}

void TSinshKernel::SetCoeff(float value) {
    if (value == 0.0f || !std::isfinite(value) || value == coeff_)
        return;
    coeff_ = value;
    Changed();
}

const TPropList& TWindowedSincKernel::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Float("Width", &TWindowedSincKernel::Width, &TWindowedSincKernel::SetWidth);
    return list;
}

float TWindowedSincKernel::Filter(float x) {
    const float a = std::fabs(x);
    // Written so that a NaN argument also gives 0.
    if (!(a < width_))
        return 0.0f;
    return SinC(a) * Window(a);
}

void TWindowedSincKernel::SetWidth(float value) {
    if (!UsableWidth(value) || value == width_)
        return;
    width_ = value;
    Changed();
}

float TLanczosKernel::Window(float x) {
    return SinC(x / width_);
}

const TPropList& TGaussianKernel::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Float("Sigma", &TGaussianKernel::Sigma, &TGaussianKernel::SetSigma);
    return list;
}

float TGaussianKernel::Window(float x) {
    const float exponent = -(x * x) / sigma_;
    return static_cast<float>(std::pow(2.0, static_cast<double>(exponent)));
}

void TGaussianKernel::SetSigma(float value) {
    if (value == 0.0f || !std::isfinite(value) || value == sigma_)
        return;
    sigma_ = value;
    Changed();
}

float TBlackmanKernel::Window(float x) {
    const float p = PiTimes(x) / width_;
    return 0.42f + 0.5f * Cos1(p) + 0.08f * Cos1(2.0f * p);
}

float THannKernel::Window(float x) {
    return 0.5f + 0.5f * Cos1(PiTimes(x) / width_);
}

float THammingKernel::Window(float x) {
    return 0.54f + 0.46f * Cos1(PiTimes(x) / width_);
}

void RegisterKernelClasses() {
    for (TClass cls :
         {TBoxKernel::StaticClass(), TLinearKernel::StaticClass(), TCosineKernel::StaticClass(),
          TSplineKernel::StaticClass(), TCubicKernel::StaticClass(), TMitchellKernel::StaticClass(),
          TLanczosKernel::StaticClass(), TGaussianKernel::StaticClass(),
          TBlackmanKernel::StaticClass(), THannKernel::StaticClass(), THammingKernel::StaticClass(),
          TSinshKernel::StaticClass(), THermiteKernel::StaticClass()})
        RegisterKernel(cls);
}
