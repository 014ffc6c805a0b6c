// Point sampling of the kernel resampler in each kernel mode and pixel access mode against a
// double-precision reference; nested samplers and transformers, with and without what they
// nest, over an affine map written here.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/BitmapStorage.h"
#include "raster/Kernels.h"
#include "raster/Resamplers.h"
#include "raster/Startup.h"
#include "raster/Transforms.h"

namespace {

int Channel(TColor32 c, int k) {
    return static_cast<int>((c >> (8 * k)) & 0xFF);
}

// A smooth picture: table modes quantise the fraction, which moves little on it.
std::unique_ptr<TBitmap32> Smooth(int w, int h) {
    auto b = std::make_unique<TBitmap32>(new THeapStorage);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixel(x, y,
                        0xFF000000u | std::uint32_t(40 + x * 8) << 16 |
                            std::uint32_t(30 + y * 9) << 8 | std::uint32_t((x * y) % 64));
    return b;
}

// The kernel's footprint around (x, y), weights straight from the filter and normalised, with
// the coordinates mapped by `at` (wrapping, or none).
template <class At>
double Reference(TBitmap32& b, TCustomKernel& k, double x, double y, int channel, At at) {
    const int r = static_cast<int>(std::ceil(k.GetWidth()));
    const int cx = static_cast<int>(std::ceil(x)), cy = static_cast<int>(std::ceil(y));
    double wsx = 0, wsy = 0;
    for (int i = -r; i <= r; ++i) {
        wsx += k.Filter(float(cx + i - x));
        wsy += k.Filter(float(cy + i - y));
    }
    double v = 0;
    for (int j = -r; j <= r; ++j)
        for (int i = -r; i <= r; ++i) {
            int px = cx + i, py = cy + j;
            at(px, py);
            v += k.Filter(float(cx + i - x)) / wsx * k.Filter(float(cy + j - y)) / wsy *
                 Channel(b.Pixel(px, py), channel);
        }
    return std::clamp(v, 0.0, 255.0);
}

TEST(PointSampling, EveryKernelModeFollowsTheReferenceInsideTheBitmap) {
    raster::Startup();
    auto bitmap = Smooth(24, 20);
    bitmap->SetResamplerClassName("TKernelResampler");
    auto* sampler = dynamic_cast<TKernelResampler*>(bitmap->Resampler());
    ASSERT_NE(sampler, nullptr);
    std::mt19937 rng(3);
    struct Mode {
        TKernelMode mode;
        int tolerance;
    };
    for (const char* kernel :
         {"TLinearKernel", "TCubicKernel", "TLanczosKernel", "TMitchellKernel"})
        for (const Mode m : {Mode{kmDynamic, 2}, Mode{kmTableNearest, 3}, Mode{kmTableLinear, 2}})
            for (TPixelAccessMode access : {pamUnsafe, pamSafe, pamWrap}) {
                SCOPED_TRACE(std::string(kernel) + " mode " + std::to_string(m.mode) + " access " +
                             std::to_string(access));
                sampler->SetKernelClassName(kernel);
                sampler->SetKernelMode(m.mode);
                sampler->SetTableSize(64);
                sampler->SetPixelAccessMode(access);
                sampler->PrepareSampling();
                for (int n = 0; n < 40; ++n) {
                    const double x = 4 + (rng() % 1500) / 100.0, y = 4 + (rng() % 1100) / 100.0;
                    const TColor32 got = sampler->GetSampleFloat(x, y);
                    for (int k = 0; k < 4; ++k)
                        ASSERT_NEAR(
                            Channel(got, k),
                            Reference(*bitmap, *sampler->Kernel(), x, y, k, [](int&, int&) {}),
                            m.tolerance)
                            << x << "," << y << " channel " << k;
                }
                sampler->FinalizeSampling();
            }
}

TEST(PointSampling, TheEdgesByAccessMode) {
    raster::Startup();
    auto bitmap = Smooth(10, 8);
    bitmap->SetOuterColor(0x12345678u);
    bitmap->SetResamplerClassName("TKernelResampler");
    auto* sampler = dynamic_cast<TKernelResampler*>(bitmap->Resampler());
    sampler->SetKernelClassName("TCubicKernel");
    // pamSafe: a centre outside the clip is the outer colour; a footprint reaching out weighs
    // only what lies inside, even at the ends of the coordinate range.
    sampler->SetPixelAccessMode(pamSafe);
    sampler->PrepareSampling();
    for (const double x : {-1.5, 9.5, -1e12, 1e12, double(INT_MAX), double(INT_MIN)})
        EXPECT_EQ(sampler->GetSampleFloat(x, 3.2), 0x12345678u) << x;
    EXPECT_EQ(sampler->GetSampleFixed(INT_MIN, INT_MAX), 0x12345678u);
    EXPECT_NE(sampler->GetSampleFloat(0.2, 0.3), 0x12345678u);
    sampler->FinalizeSampling();
    // pamWrap: the footprint wraps by the bitmap's wrap mode, at any coordinate.
    bitmap->SetWrapMode(wmRepeat);
    sampler->SetPixelAccessMode(pamWrap);
    sampler->PrepareSampling();
    const TColor32 inside = sampler->GetSampleFloat(3.25, 2.5);
    EXPECT_EQ(sampler->GetSampleFloat(13.25, 10.5), inside) << "one period on";
    EXPECT_EQ(sampler->GetSampleFloat(-6.75, -5.5), inside) << "one period back";
    const TColor32 edge = sampler->GetSampleFloat(0.4, 0.4);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(Channel(edge, k),
                    Reference(*bitmap, *sampler->Kernel(), 0.4, 0.4, k,
                              [](int& px, int& py) {
                                  px = ((px % 10) + 10) % 10;
                                  py = ((py % 8) + 8) % 8;
                              }),
                    2)
            << k;
    for (const double x : {-1e12, 1e12, double(INT_MIN)})
        sampler->GetSampleFloat(x, x); // reads nothing outside the pixels (the sanitizers watch)
    sampler->FinalizeSampling();
}

// An affine map written here: the point (x, y) comes from (x / 2 + 3, y / 2 - 1).
class THalfShift : public TTransformation {
    FW_CLASS(THalfShift, TTransformation)
protected:
    TFloatPoint ReverseTransformFloat(TFloatPoint p) override { return {p.X / 2 + 3, p.Y / 2 - 1}; }
    TFloatPoint TransformFloat(TFloatPoint p) override { return {(p.X - 3) * 2, (p.Y + 1) * 2}; }
};

TEST(PointSampling, TransformersSampleWhereTheMapSays) {
    raster::Startup();
    auto bitmap = Smooth(30, 30);
    bitmap->SetResamplerClassName("TLinearResampler");
    TCustomSampler* nested = bitmap->Resampler();
    THalfShift map;
    TTransformer transformer;
    transformer.SetSampler(nested);
    transformer.SetTransformation(&map);
    transformer.PrepareSampling();
    for (const auto& [x, y] : {std::pair{4.0, 6.0}, std::pair{7.5, 9.25}, std::pair{0.0, 2.0}}) {
        const TFloatPoint at = map.ReverseTransform(TFloatPoint{float(x), float(y)});
        EXPECT_EQ(transformer.GetSampleFloat(x, y), nested->GetSampleFloat(at.X, at.Y));
        const TFixedPoint fixed = map.ReverseTransform(
            TFixedPoint{static_cast<TFixed>(x * 65536), static_cast<TFixed>(y * 65536)});
        EXPECT_EQ(transformer.GetSampleFixed(static_cast<TFixed>(x * 65536),
                                             static_cast<TFixed>(y * 65536)),
                  nested->GetSampleFixed(fixed.X, fixed.Y));
    }
    TNearestTransformer nearest;
    nearest.SetSampler(nested);
    nearest.SetTransformation(&map);
    nearest.PrepareSampling();
    for (const TPoint p : {TPoint{4, 6}, TPoint{9, 13}, TPoint{-3, -1}}) {
        const TPoint at = map.ReverseTransform(p);
        EXPECT_EQ(nearest.GetSampleInt(p.X, p.Y), nested->GetSampleInt(at.X, at.Y));
    }
    EXPECT_TRUE(transformer.HasBounds());
    // The nested bitmap's clip (0, 0, 30, 30) carried through the map.
    EXPECT_EQ(transformer.GetSampleBounds(), map.GetTransformedBounds(TFloatRect{0, 0, 30, 30}));
}

TEST(PointSampling, NothingNestedRaisesFromEveryEntry) {
    TNestedSampler alone;
    const std::vector<std::pair<const char*, std::function<void()>>> entries = {
        {"PrepareSampling", [&] { alone.PrepareSampling(); }},
        {"FinalizeSampling", [&] { alone.FinalizeSampling(); }},
        {"HasBounds", [&] { alone.HasBounds(); }},
        {"GetSampleBounds", [&] { alone.GetSampleBounds(); }},
        {"GetSampleInt", [&] { alone.GetSampleInt(1, 2); }},
        {"GetSampleFixed", [&] { alone.GetSampleFixed(1, 2); }},
        {"GetSampleFloat", [&] { alone.GetSampleFloat(1, 2); }},
    };
    for (const auto& [what, call] : entries) {
        try {
            call();
            ADD_FAILURE() << what << " did not raise";
        } catch (const ENestedException& e) {
            EXPECT_STREQ(e.what(), "Nested sampler is nil") << what;
        }
    }
    TNearestTransformer transformer; // a nested sampler but no map
    auto bitmap = Smooth(4, 4);
    transformer.SetSampler(bitmap->Resampler());
    EXPECT_THROW(transformer.GetSampleInt(1, 1), ENestedException);
    EXPECT_THROW(transformer.PrepareSampling(), ENestedException);
    TNearestTransformer copy;
    copy.Assign(&transformer);
    EXPECT_EQ(copy.Sampler(), bitmap->Resampler()) << "the reference, not a copy";
}

} // namespace
