// The transformation base: the not-implemented errors, preparation once per change, and the
// integer and 16.16 forms derived from a float transformation.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

#include "RasterTestSupport.h"
#include "raster/Transforms.h"

namespace {

// x' = sx x + dx, y' = sy y + dy, with its inverse; counts its preparations.
class TScaleShift : public TTransformation {
public:
    float sx = 1, sy = 1, dx = 0, dy = 0;
    int prepared = 0;

    void Set(float a, float b, float c, float d) {
        sx = a;
        sy = b;
        dx = c;
        dy = d;
        Changed();
    }

protected:
    void PrepareTransform() override { ++prepared; }
    TFloatPoint TransformFloat(TFloatPoint p) override { return {p.X * sx + dx, p.Y * sy + dy}; }
    TFloatPoint ReverseTransformFloat(TFloatPoint p) override {
        return {(p.X - dx) / sx, (p.Y - dy) / sy};
    }
};

TEST(Transformation, PlainBaseRaisesNamingItsClass) {
    TTransformation t;
    const char* forward = "Forward transformation is not implemented in TTransformation.";
    const char* reverse = "Reverse transformation is not implemented in TTransformation.";
    auto expectMessage = [](auto call, const char* text) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const ETransformNotImplemented& e) {
            EXPECT_EQ(e.Message(), text);
        }
    };
    expectMessage([&] { t.Transform(TPoint{1, 2}); }, forward);
    expectMessage([&] { t.Transform(TFixedPoint{0x10000, 0}); }, forward);
    expectMessage([&] { t.Transform(TFloatPoint{0.5f, 0.5f}); }, forward);
    expectMessage([&] { t.ReverseTransform(TPoint{1, 2}); }, reverse);
    expectMessage([&] { t.ReverseTransform(TFixedPoint{0, 0}); }, reverse);
    expectMessage([&] { t.ReverseTransform(TFloatPoint{0, 0}); }, reverse);
    EXPECT_TRUE(t.HasTransformedBounds());
}

TEST(Transformation, PreparesOnceUntilTheNextChange) {
    TScaleShift t;
    EXPECT_FALSE(t.TransformValid());
    t.Transform(TPoint{1, 1});
    t.Transform(TFixedPoint{1, 1});
    t.ReverseTransform(TFloatPoint{1, 1});
    EXPECT_EQ(t.prepared, 1);
    EXPECT_TRUE(t.TransformValid());
    int notified = 0;
    struct Counter : TObject {
        int* n;
        void Hit(TObject*) { ++*n; }
    } counter;
    counter.n = &notified;
    t.OnChange = TNotifyEvent(&counter, &Counter::Hit);
    t.SetSrcRect(TFloatRect{0, 0, 10, 10});
    EXPECT_FALSE(t.TransformValid());
    EXPECT_EQ(notified, 1);
    t.ReverseTransform(TPoint{3, 3});
    t.Transform(TPoint{3, 3});
    EXPECT_EQ(t.prepared, 2);
}

TEST(Transformation, RoundTripAndTheIntegerAndFixedFormsAgreeWithFloat) {
    for (int caseIndex : RasterTest::CasesToRun(200)) {
        RasterTest::CaseRng rng = RasterTest::CaseRandom(caseIndex);
        std::uniform_real_distribution<float> scale(0.25f, 4.0f), shift(-500.0f, 500.0f);
        std::uniform_int_distribution<int> coord(-3000, 3000);
        TScaleShift t;
        t.Set(scale(rng), scale(rng), shift(rng), shift(rng));
        const TPoint p{coord(rng), coord(rng)};
        const TFloatPoint pf{static_cast<float>(p.X), static_cast<float>(p.Y)};
        const TFloatPoint f = t.Transform(pf);
        // Forward then reverse gives the point back within single precision.
        const TFloatPoint back = t.ReverseTransform(f);
        EXPECT_NEAR(back.X, pf.X, 1e-3) << RasterTest::ReplayHint(caseIndex);
        EXPECT_NEAR(back.Y, pf.Y, 1e-3) << RasterTest::ReplayHint(caseIndex);
        // The fixed form is the float form to within 1/65536 (and the float rounding of its
        // input), the integer form the float form rounded.
        const TFixedPoint fx = t.Transform(TFixedPoint{p.X * 65536, p.Y * 65536});
        EXPECT_NEAR(fx.X / 65536.0, f.X, 2.0 / 65536 + 1e-3) << RasterTest::ReplayHint(caseIndex);
        EXPECT_NEAR(fx.Y / 65536.0, f.Y, 2.0 / 65536 + 1e-3) << RasterTest::ReplayHint(caseIndex);
        const TPoint pi = t.Transform(p);
        EXPECT_LE(std::fabs(pi.X - f.X), 0.5 + 1e-3) << RasterTest::ReplayHint(caseIndex);
        EXPECT_LE(std::fabs(pi.Y - f.Y), 0.5 + 1e-3) << RasterTest::ReplayHint(caseIndex);
        // Back through the integer form: the forward rounding (half a pixel) grows by the
        // inverse scale, and the reverse rounds once more.
        const TPoint ri = t.ReverseTransform(pi);
        EXPECT_LE(std::abs(ri.X - p.X), 0.5 / t.sx + 0.5 + 1e-3)
            << RasterTest::ReplayHint(caseIndex);
        EXPECT_LE(std::abs(ri.Y - p.Y), 0.5 / t.sy + 0.5 + 1e-3)
            << RasterTest::ReplayHint(caseIndex);
    }
}

// Beyond the 16.16 range the integer forms saturate instead of overflowing.
TEST(Transformation, IntegerFormsSaturateOutsideTheFixedRange) {
    TScaleShift identity;
    struct Case {
        TPoint in, out;
    };
    const Case cases[] = {
        {{32767, -32768}, {32767, -32768}},
        {{40000, -40000}, {32768, -32768}},
        {{INT_MAX, INT_MIN}, {32768, -32768}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(identity.Transform(c.in), c.out) << c.in.X;
        EXPECT_EQ(identity.ReverseTransform(c.in), c.out) << c.in.X;
    }
    // A float result beyond the fixed range saturates too.
    TScaleShift huge;
    huge.Set(1e6f, 1e6f, 0, 0);
    EXPECT_EQ(huge.Transform(TFixedPoint{0x10000 * 100, -0x10000 * 100}),
              (TFixedPoint{INT32_MAX, INT32_MIN}));
}

TEST(Transformation, TransformedBoundsRoundHalvesToEven) {
    TTransformation t;
    EXPECT_EQ(t.GetTransformedBounds(TFloatRect{0.5f, 1.5f, 2.5f, -0.5f}), (TRect{0, 2, 2, 0}));
    EXPECT_EQ(t.GetTransformedBounds(TFloatRect{-1.4f, 3.6f, 1e20f, -1e20f}),
              (TRect{-1, 4, INT_MAX, INT_MIN}));
}

} // namespace
