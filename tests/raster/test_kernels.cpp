// The reconstruction kernels against an independent double-precision evaluation of their
// formulas, their parameters' writers, and the kernel registry.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "raster/Kernels.h"
#include "raster/Resamplers.h"
#include "raster/Startup.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// One rounding to single precision, as the kernels round every intermediate value.
double F(double v) {
    return static_cast<double>(static_cast<float>(v));
}

// The kernels' argument: pi x rounded to single.
double PiX(double x) {
    return F(kPi * x);
}

double SincRef(double x) {
    if (x == 0)
        return 1;
    return std::sin(PiX(x)) / PiX(x);
}

struct KernelFactory {
    const char* name;
    std::function<TCustomKernel*()> make;
};

template <class K> TCustomKernel* Make() {
    return new K();
}

// Polynomial kernels: the formula evaluated in double with each operation rounded to single in
// the formula's own order, which single-precision arithmetic must reproduce bit for bit.
double SplineRef(double x) {
    const double a = std::fabs(x);
    if (a < 1) {
        const double a2 = F(a * a);
        return F(F(F(F(0.5 * a2) * a) - a2) + F(2.0 / 3.0));
    }
    if (a < 2) {
        const double t = F(2 - a);
        return F(F(F(t * t) * t) / 6);
    }
    return 0;
}

double MitchellRef(double x) {
    const double a = std::fabs(x);
    const double a2 = F(a * a), a3 = F(a2 * a);
    if (a < 1)
        return F(F(F(F(7 * a3) - F(12 * a2)) + F(16.0 / 3.0)) / 6);
    if (a < 2) {
        const double s = F(F(F(F(-F(7.0 / 3.0) * a3) + F(12 * a2)) - F(20 * a)) + F(32.0 / 3.0));
        return F(s / 6);
    }
    return 0;
}

double CubicRef(double x, double c) {
    const double a = std::fabs(x);
    const double a2 = F(a * a), a3 = F(a2 * a);
    if (a < 1)
        return F(F(F(F(c + 2) * a3) - F(F(c + 3) * a2)) + 1);
    if (a < 2)
        return F(F(F(F(a3 - F(5 * a2)) + F(8 * a)) - 4) * c);
    return 0;
}

double LinearRef(double x) {
    if (x >= 0 && x < 1)
        return F(1 - x);
    if (x >= -1 && x < 0)
        return F(x + 1);
    return 0;
}

double BoxRef(double x) {
    return (x >= -0.5 && x <= 0.5) ? 1 : 0;
}

// Hermite written out from its definition: Floor, the distance t, the four basis polynomials.
double HermiteRef(double x, double tension, double bias) {
    const double half = F((1 - tension) / 2);
    const double f = F(half * (1 + bias)), g = F(half * (1 - bias));
    const double i = std::floor(x);
    const double t = F(std::fabs(i - x));
    const double t2 = F(t * t), t3 = F(t2 * t);
    const double h1 = F(F(-2 * t3) + F(3 * t2));
    const double h0 = F(1 - h1);
    const double h2 = F(F(t3 - F(2 * t2)) + t);
    const double h3 = F(t3 - t2);
    if (i == -2)
        return F(g * h3);
    if (i == -1)
        return F(F(F(h2 * g) + h1) + F(F(f - g) * h3));
    if (i == 0)
        return F(F(F(F(f - g) * h2) + h0) - F(h3 * f));
    if (i == 1)
        return F(-h2 * f);
    return 0;
}

// Transcendental kernels: the formula in double throughout (only pi x rounded first, as the
// kernels take it); the kernels may differ by the last bits of libm and of their own single
// roundings.
double CosineRef(double x) {
    return std::fabs(x) < 1 ? (std::cos(PiX(x)) + 1) / 2 : 0;
}

double SinshRef(double x, double c) {
    if (x == 0)
        return 1;
    return std::sin(PiX(x)) * c / std::sinh(F(kPi * F(c * x)));
}

double Windowed(double x, double width, const std::function<double(double)>& window) {
    const double a = std::fabs(x);
    if (a >= width)
        return 0;
    return SincRef(a) * window(a);
}

// Tolerance of the transcendental kernels: 4 ulp of the reference, or 4 ulp of 1.0 where the
// value is small. The kernels' terms are of order 1, so cancellation near a zero leaves an
// absolute error of a few units of 2^-24, not a relative one.
bool CloseEnough(float got, double ref) {
    const double tol =
        std::max(4.0 * std::ldexp(1.0, std::ilogb(ref == 0 ? 1 : ref) - 23), std::ldexp(1.0, -22));
    return std::fabs(static_cast<double>(got) - ref) <= tol;
}

struct RefCase {
    const char* kernel;
    std::function<TCustomKernel*()> make;
    std::function<double(double)> ref;
    bool exact;
};

std::vector<RefCase> RefCases() {
    auto cubic = [](float c) {
        return [c] {
            auto* k = new TCubicKernel();
            k->SetCoeff(c);
            return static_cast<TCustomKernel*>(k);
        };
    };
    auto hermite = [](float t, float b) {
        return [t, b] {
            auto* k = new THermiteKernel();
            k->SetTension(t);
            k->SetBias(b);
            return static_cast<TCustomKernel*>(k);
        };
    };
    auto sinsh = [](float c) {
        return [c] {
            auto* k = new TSinshKernel();
            k->SetCoeff(c);
            return static_cast<TCustomKernel*>(k);
        };
    };
    auto gaussian = [](float sigma, float width) {
        return [sigma, width] {
            auto* k = new TGaussianKernel();
            k->SetSigma(sigma);
            k->SetWidth(width);
            return static_cast<TCustomKernel*>(k);
        };
    };
    const double w = 3.0;
    return {
        {"Box", Make<TBoxKernel>, BoxRef, true},
        {"Linear", Make<TLinearKernel>, LinearRef, true},
        {"Spline", Make<TSplineKernel>, SplineRef, true},
        {"Mitchell", Make<TMitchellKernel>, MitchellRef, true},
        {"Cubic -0.5", cubic(-0.5f), [](double x) { return CubicRef(x, -0.5); }, true},
        {"Cubic -0.75", cubic(-0.75f), [](double x) { return CubicRef(x, -0.75); }, true},
        {"Hermite 0 0", hermite(0, 0), [](double x) { return HermiteRef(x, 0, 0); }, true},
        {"Hermite 0.5 -0.25", hermite(0.5f, -0.25f),
         [](double x) { return HermiteRef(x, 0.5, -0.25); }, true},
        {"Cosine", Make<TCosineKernel>, CosineRef, false},
        {"Sinsh 0.5", sinsh(0.5f), [](double x) { return SinshRef(x, 0.5); }, false},
        {"Sinsh 1.25", sinsh(1.25f), [](double x) { return SinshRef(x, 1.25); }, false},
        {"Lanczos", Make<TLanczosKernel>,
         [w](double x) { return Windowed(x, w, [w](double a) { return SincRef(F(a / w)); }); },
         false},
        {"Gaussian", Make<TGaussianKernel>,
         [w](double x) {
             return Windowed(x, w, [](double a) { return std::pow(2.0, -(a * a) / F(1.33)); });
         },
         false},
        {"Gaussian 0.5 width 2", gaussian(0.5f, 2.0f),
         [](double x) {
             return Windowed(x, 2.0, [](double a) { return std::pow(2.0, -(a * a) / 0.5); });
         },
         false},
        {"Blackman", Make<TBlackmanKernel>,
         [w](double x) {
             return Windowed(x, w, [w](double a) {
                 return 0.42 + 0.5 * std::cos(kPi * a / w) + 0.08 * std::cos(2 * kPi * a / w);
             });
         },
         false},
        {"Hann", Make<THannKernel>,
         [w](double x) {
             return Windowed(x, w, [w](double a) { return 0.5 + 0.5 * std::cos(kPi * a / w); });
         },
         false},
        {"Hamming", Make<THammingKernel>,
         [w](double x) {
             return Windowed(x, w, [w](double a) { return 0.54 + 0.46 * std::cos(kPi * a / w); });
         },
         false},
    };
}

// Dyadic points with few bits (products exact in single, so only the formula's constants and
// divisions round) and a few awkward decimal ones, both signs, up to beyond every width.
std::vector<float> SamplePoints() {
    std::vector<float> xs;
    for (int k = -56; k <= 56; ++k)
        xs.push_back(static_cast<float>(k) / 16.0f);
    for (float x : {0.1f, 0.3f, 0.7f, 1.1f, 1.3f, 1.9f, 2.2f, 2.9f, 2.999f, 0.5001f, 0.4999f})
        xs.insert(xs.end(), {x, -x});
    return xs;
}

TEST(Kernels, ValuesAgainstTheFormulaInDouble) {
    const std::vector<float> xs = SamplePoints();
    for (const RefCase& c : RefCases()) {
        std::unique_ptr<TCustomKernel> k(c.make());
        for (float x : xs) {
            const float got = k->Filter(x);
            const double ref = c.ref(x);
            if (c.exact)
                EXPECT_EQ(got, static_cast<float>(ref)) << c.kernel << " x=" << x;
            else
                EXPECT_TRUE(CloseEnough(got, ref))
                    << c.kernel << " x=" << x << " got " << got << " want " << ref;
        }
    }
}

TEST(Kernels, EdgePointsOfEachKernel) {
    struct Case {
        const char* kernel;
        std::function<TCustomKernel*()> make;
        float x;
        float expected;
    };
    const Case cases[] = {
        {"Box", Make<TBoxKernel>, 0.5f, 1.0f},
        {"Box", Make<TBoxKernel>, -0.5f, 1.0f},
        {"Box", Make<TBoxKernel>, 0.5001f, 0.0f},
        {"Linear", Make<TLinearKernel>, 1.0f, 0.0f},
        {"Linear", Make<TLinearKernel>, -1.0f, 0.0f},
        {"Linear", Make<TLinearKernel>, 0.25f, 0.75f},
        {"Cosine", Make<TCosineKernel>, 0.0f, 1.0f},
        {"Cosine", Make<TCosineKernel>, 1.0f, 0.0f},
        {"Cubic", Make<TCubicKernel>, 0.0f, 1.0f},
        {"Cubic", Make<TCubicKernel>, 1.0f, 0.0f},
        {"Cubic", Make<TCubicKernel>, 2.0f, 0.0f},
        {"Spline", Make<TSplineKernel>, 2.0f, 0.0f},
        {"Mitchell", Make<TMitchellKernel>, 2.0f, 0.0f},
        {"Lanczos", Make<TLanczosKernel>, 3.0f, 0.0f},
        {"Lanczos", Make<TLanczosKernel>, 0.0f, 1.0f},
        {"Hann", Make<THannKernel>, 3.0f, 0.0f},
        {"Hermite", Make<THermiteKernel>, 0.0f, 1.0f},
        {"Hermite", Make<THermiteKernel>, 1.0f, 0.0f},
        {"Hermite", Make<THermiteKernel>, 2.0f, 0.0f},
        {"Sinsh", Make<TSinshKernel>, 0.0f, 1.0f},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCustomKernel> k(c.make());
        EXPECT_EQ(k->Filter(c.x), c.expected) << c.kernel << " x=" << c.x;
    }
}

TEST(Kernels, SymmetricAndContinuousAtThePieceBorders) {
    for (const RefCase& c : RefCases()) {
        std::unique_ptr<TCustomKernel> k(c.make());
        // Hermite is not evaluated on |x| (checked below).
        if (!std::string(c.kernel).starts_with("Hermite")) {
            for (float x : SamplePoints())
                EXPECT_EQ(k->Filter(x), k->Filter(-x)) << c.kernel << " x=" << x;
        }
        // The cubic pieces meet: just below 1 and 2 the value is that at 1 and 2.
        for (float border : {1.0f, 2.0f}) {
            if (border > k->GetWidth() || std::string(c.kernel) == "Box")
                continue;
            const float below = std::nextafter(border, 0.0f);
            EXPECT_NEAR(k->Filter(below), k->Filter(border), 1e-5) << c.kernel << " at " << border;
        }
    }
    // Hermite without bias is symmetric up to its rounding; with bias it leans to one side.
    THermiteKernel h;
    for (float x : {0.25f, 0.5f, 0.75f, 1.25f, 1.5f})
        EXPECT_NEAR(h.Filter(x), h.Filter(-x), 1e-6) << x;
    h.SetBias(0.5f);
    EXPECT_GT(std::fabs(h.Filter(0.5f) - h.Filter(-0.5f)), 0.01f);
}

TEST(Kernels, WidthsAndRangeChecks) {
    struct Case {
        std::function<TCustomKernel*()> make;
        float width;
        bool rangeCheck;
    };
    const Case cases[] = {
        {Make<TBoxKernel>, 1, false},     {Make<TLinearKernel>, 1, false},
        {Make<TCosineKernel>, 1, false},  {Make<TSplineKernel>, 2, true},
        {Make<TMitchellKernel>, 2, true}, {Make<TCubicKernel>, 2, true},
        {Make<THermiteKernel>, 2, true},  {Make<TSinshKernel>, 3, true},
        {Make<TLanczosKernel>, 3, true},  {Make<TGaussianKernel>, 3, true},
        {Make<TBlackmanKernel>, 3, true}, {Make<THannKernel>, 3, true},
        {Make<THammingKernel>, 3, true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCustomKernel> k(c.make());
        EXPECT_EQ(k->GetWidth(), c.width) << k->ClassName();
        EXPECT_EQ(k->RangeCheck(), c.rangeCheck) << k->ClassName();
    }
}

// Arguments no distance can have must not reach an integer conversion or give a weight that
// is not a number.
TEST(Kernels, NonFiniteAndHugeArgumentsGiveZero) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    raster::Startup();
    for (int i = 0; i < KernelRegistry().Count(); ++i) {
        std::unique_ptr<TCustomKernel> k(TCustomKernelClass(KernelRegistry().Items(i)).Create());
        for (float x : {nan, inf, -inf, 1e30f, -1e30f, 3e9f})
            EXPECT_EQ(k->Filter(x), 0.0f) << k->ClassName() << " x=" << x;
    }
}

// Counts the kernel's change notifications.
class CountingObserver : public TNotifiablePersistent {
public:
    void Changed() override { ++count; }
    int count = 0;
};

TEST(Kernels, WritersStoreOnlyUsableNewValuesAndNotify) {
    struct Case {
        const char* what;
        std::function<TCustomKernel*()> make;
        std::function<void(TCustomKernel*, float)> set;
        std::function<float(TCustomKernel*)> get;
        float initial;
        std::vector<float> ignored;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> badWidths = {0.0f, -1.0f, nan, inf, -inf};
    const Case cases[] = {
        {"Cubic.Coeff",
         Make<TCubicKernel>,
         [](TCustomKernel* k, float v) { static_cast<TCubicKernel*>(k)->SetCoeff(v); },
         [](TCustomKernel* k) { return static_cast<TCubicKernel*>(k)->Coeff(); },
         -0.5f,
         {}},
        {"Hermite.Bias",
         Make<THermiteKernel>,
         [](TCustomKernel* k, float v) { static_cast<THermiteKernel*>(k)->SetBias(v); },
         [](TCustomKernel* k) { return static_cast<THermiteKernel*>(k)->Bias(); },
         0.0f,
         {}},
        {"Hermite.Tension",
         Make<THermiteKernel>,
         [](TCustomKernel* k, float v) { static_cast<THermiteKernel*>(k)->SetTension(v); },
         [](TCustomKernel* k) { return static_cast<THermiteKernel*>(k)->Tension(); },
         0.0f,
         {}},
        {"Lanczos.Width", Make<TLanczosKernel>,
         [](TCustomKernel* k, float v) { static_cast<TWindowedSincKernel*>(k)->SetWidth(v); },
         [](TCustomKernel* k) { return static_cast<TWindowedSincKernel*>(k)->Width(); }, 3.0f,
         badWidths},
        {"Gaussian.Sigma",
         Make<TGaussianKernel>,
         [](TCustomKernel* k, float v) { static_cast<TGaussianKernel*>(k)->SetSigma(v); },
         [](TCustomKernel* k) { return static_cast<TGaussianKernel*>(k)->Sigma(); },
         1.33f,
         {0.0f, nan, inf}},
        {"Sinsh.Width", Make<TSinshKernel>,
         [](TCustomKernel* k, float v) { static_cast<TSinshKernel*>(k)->SetWidth(v); },
         [](TCustomKernel* k) { return static_cast<TSinshKernel*>(k)->Width(); }, 3.0f, badWidths},
        {"Sinsh.Coeff",
         Make<TSinshKernel>,
         [](TCustomKernel* k, float v) { static_cast<TSinshKernel*>(k)->SetCoeff(v); },
         [](TCustomKernel* k) { return static_cast<TSinshKernel*>(k)->Coeff(); },
         0.5f,
         {0.0f, nan, -inf}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TCustomKernel> k(c.make());
        CountingObserver observer;
        k->SetObserver(&observer);
        EXPECT_EQ(c.get(k.get()), c.initial) << c.what;
        c.set(k.get(), c.initial);
        EXPECT_EQ(observer.count, 0) << c.what << ": the current value is silent";
        for (float bad : c.ignored) {
            c.set(k.get(), bad);
            EXPECT_EQ(c.get(k.get()), c.initial) << c.what << " kept against " << bad;
        }
        EXPECT_EQ(observer.count, 0) << c.what;
        c.set(k.get(), 1.75f);
        EXPECT_EQ(c.get(k.get()), 1.75f) << c.what;
        EXPECT_EQ(observer.count, 1) << c.what;
    }
    // Without an observer a change goes nowhere.
    TCubicKernel lone;
    lone.SetCoeff(-1.0f);
    EXPECT_EQ(lone.Coeff(), -1.0f);
}

TEST(Kernels, AssignCopiesPublishedParametersByName) {
    TGaussianKernel source;
    source.SetSigma(0.75f);
    source.SetWidth(2.5f);
    TGaussianKernel same;
    same.Assign(&source);
    EXPECT_EQ(same.Sigma(), 0.75f);
    EXPECT_EQ(same.Width(), 2.5f);
    // Another windowed kernel takes the width it shares.
    THannKernel hann;
    hann.Assign(&source);
    EXPECT_EQ(hann.Width(), 2.5f);
    // A kernel without parameters of those names takes nothing and does not fail.
    TBoxKernel box;
    box.Assign(&source);
    TCubicKernel cubic;
    EXPECT_THROW(cubic.Assign(nullptr), EConvertError);
    CountingObserver notAKernel;
    EXPECT_THROW(cubic.Assign(&notAKernel), EConvertError);
}

TEST(Kernels, RegistryHoldsTheThirteenClassesInOrder) {
    raster::Startup();
    const std::vector<std::string> names = {
        "TBoxKernel",      "TLinearKernel",  "TCosineKernel",   "TSplineKernel",   "TCubicKernel",
        "TMitchellKernel", "TLanczosKernel", "TGaussianKernel", "TBlackmanKernel", "THannKernel",
        "THammingKernel",  "TSinshKernel",   "THermiteKernel"};
    ASSERT_EQ(KernelRegistry().Count(), static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
        TClass cls = KernelRegistry().Find(names[i]);
        ASSERT_NE(cls, nullptr) << names[i];
        EXPECT_EQ(KernelRegistry().Items(static_cast<int>(i)), cls);
        std::unique_ptr<TCustomKernel> k(TCustomKernelClass(cls).Create());
        EXPECT_EQ(k->ClassName(), names[i]);
    }
    EXPECT_EQ(KernelRegistry().Find("tboxkernel"), nullptr);
}

} // namespace
