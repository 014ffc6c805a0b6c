// The linear, draft and kernel resamplers against plain double-precision references written
// here: every kernel's weight clusters, kernel resampling up and down (to 1 x 1 and at 1000:1),
// the bilinear stretch and its interpolator forms, block averages and the draft reduction, and
// the kernel resampler's properties.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/BitmapStorage.h"
#include "raster/KernelResample.h"
#include "raster/Kernels.h"
#include "raster/LinearRows.h"
#include "raster/Resamplers.h"
#include "raster/Startup.h"

namespace {

// A fresh seed per run, printed so that a failing run can be repeated with QUORVANE_TEST_SEED.
unsigned RandomSeedForRows() {
    const char* fixed = std::getenv("QUORVANE_TEST_SEED");
    const unsigned seed = fixed != nullptr ? static_cast<unsigned>(std::strtoul(fixed, nullptr, 0))
                                           : std::random_device{}();
    std::printf("seed %u (QUORVANE_TEST_SEED replays it)\n", seed);
    return seed;
}

std::unique_ptr<TCustomKernel> MakeKernel(const std::string& name) {
    raster::Startup();
    return std::unique_ptr<TCustomKernel>(TCustomKernelClass(KernelRegistry().Find(name)).Create());
}

const char* const kKernels[] = {
    "TBoxKernel",      "TLinearKernel",  "TCosineKernel",   "TSplineKernel",   "TCubicKernel",
    "TMitchellKernel", "TLanczosKernel", "TGaussianKernel", "TBlackmanKernel", "THannKernel",
    "THammingKernel",  "TSinshKernel",   "THermiteKernel"};

TEST(ScaledResamplers, ClustersOfEveryKernelAreNeverEmptyAndAddUpTo256) {
    struct Size {
        int dst, src;
    };
    const Size sizes[] = {{7, 3},    {3, 7},     {1, 50},  {50, 1},  {2, 1000},
                          {1, 1000}, {100, 101}, {640, 3}, {3, 2000}};
    for (const char* name : kKernels) {
        auto kernel = MakeKernel(name);
        for (const Size& s : sizes) {
            const TMappingTable table =
                BuildWeightClusters(0, s.dst, 0, s.dst, 5, 5 + s.src, *kernel);
            ASSERT_EQ(table.size(), static_cast<std::size_t>(s.dst)) << name;
            for (const TCluster& c : table) {
                ASSERT_FALSE(c.empty()) << name << " " << s.dst << " from " << s.src;
                int sum = 0;
                for (const TClusterEntry& e : c) {
                    EXPECT_GE(e.Pos, 5);
                    EXPECT_LT(e.Pos, 5 + s.src);
                    sum += e.Weight;
                }
                EXPECT_EQ(sum, 256) << name << " " << s.dst << " from " << s.src;
            }
        }
    }
    auto box = MakeKernel("TBoxKernel");
    EXPECT_TRUE(BuildWeightClusters(0, 10, 0, 10, 3, 3, *box).empty());
    // A sub-range of the clip gives its clusters only.
    EXPECT_EQ(BuildWeightClusters(0, 10, 4, 6, 0, 20, *box).size(), 2u);
}

TEST(ScaledResamplers, AKernelTooWideToCoverRaisesInsteadOfRunningOn) {
    auto lanczos = MakeKernel("TLanczosKernel");
    static_cast<TWindowedSincKernel*>(lanczos.get())->SetWidth(1e9f);
    EXPECT_THROW(BuildWeightClusters(0, 10, 0, 10, 0, 20, *lanczos), EBitmapException);
}

// A source of smooth, pseudo-random pixels (opaque) in a heap bitmap.
std::unique_ptr<TBitmap32> Source(int w, int h, unsigned seed) {
    auto b = std::make_unique<TBitmap32>(new THeapStorage);
    b->SetSize(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixel(x, y, 0xFF000000u | (rng() & 0xFFFFFFu));
    return b;
}

int Channel(TColor32 c, int k) {
    return static_cast<int>((c >> (8 * k)) & 0xFF);
}

// The kernel resample in double precision: weights straight from the filter, normalised.
std::vector<double> ReferenceWeights(TCustomKernel& k, int i, int dstLen, int srcLen,
                                     std::vector<int>& pos) {
    const double scale = double(static_cast<float>(double(dstLen) / srcLen));
    const double center = (i + 0.5) / scale - 0.5;
    const double fw = k.GetWidth();
    const double reach = scale >= 1 ? fw : fw / scale;
    std::vector<double> w;
    pos.clear();
    for (int j = int(std::floor(center - reach)); j <= int(std::ceil(center + reach)); ++j) {
        const double v = scale >= 1 ? k.Filter(float(center - j))
                                    : scale * k.Filter(float((center - j) * scale));
        w.push_back(v);
        pos.push_back(std::clamp(j, 0, srcLen - 1));
    }
    double sum = 0;
    for (double v : w)
        sum += v;
    if (std::fabs(sum) < 1e-12) {
        w.assign(1, 1.0);
        pos.assign(1, std::clamp(int(std::lround(center)), 0, srcLen - 1));
        return w;
    }
    for (double& v : w)
        v /= sum;
    return w;
}

TEST(ScaledResamplers, KernelResampleFollowsTheDoubleReference) {
    struct Case {
        int sw, sh, dw, dh, tolerance;
    };
    const Case cases[] = {
        {9, 7, 18, 14, 3}, {30, 21, 10, 7, 3}, {13, 11, 1, 1, 3}, {5, 3, 17, 9, 3}, {1, 1, 4, 3, 0},
    };
    for (const char* name : kKernels) {
        auto kernel = MakeKernel(name);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(c.sw) + "x" +
                         std::to_string(c.sh) + " -> " + std::to_string(c.dw) + "x" +
                         std::to_string(c.dh));
            auto src = Source(c.sw, c.sh, 7);
            TBitmap32 dst(new THeapStorage);
            dst.SetSize(c.dw, c.dh);
            KernelResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(),
                           *kernel, dmOpaque, {});
            int worst = 0;
            for (int y = 0; y < c.dh; ++y) {
                std::vector<int> py;
                const std::vector<double> wy = ReferenceWeights(*kernel, y, c.dh, c.sh, py);
                for (int x = 0; x < c.dw; ++x) {
                    std::vector<int> px;
                    const std::vector<double> wx = ReferenceWeights(*kernel, x, c.dw, c.sw, px);
                    for (int k = 0; k < 4; ++k) {
                        double v = 0;
                        for (std::size_t a = 0; a < wy.size(); ++a)
                            for (std::size_t b = 0; b < wx.size(); ++b)
                                v += wy[a] * wx[b] * Channel(src->Pixel(px[b], py[a]), k);
                        v = std::clamp(v + 1e-9, 0.0, 255.0);
                        worst = std::max(worst, std::abs(Channel(dst.Pixel(x, y), k) - int(v)));
                    }
                }
            }
            EXPECT_LE(worst, c.tolerance);
        }
    }
}

// A sub-rectangle of the source drawn with a clip: the pixels inside the clip are those of the
// same drawing without it, and nothing outside the clip is touched.
TEST(ScaledResamplers, SubRectanglesAndClipsChangeOnlyWhatTheyCover) {
    auto src = Source(40, 30, 9);
    const TRect part{7, 5, 29, 21}; // 22 x 16
    for (const char* name : {"TLinearKernel", "TLanczosKernel", "TCubicKernel"}) {
        SCOPED_TRACE(name);
        auto kernel = MakeKernel(name);
        for (const TRect dstRect : {TRect{3, 2, 47, 34}, TRect{1, 1, 12, 9}}) {
            TBitmap32 whole(new THeapStorage), clipped(new THeapStorage);
            whole.SetSize(50, 40);
            clipped.SetSize(50, 40);
            whole.Clear(0x11223344u);
            clipped.Clear(0x11223344u);
            KernelResample(&whole, dstRect, whole.WholeRect(), src.get(), part, *kernel, dmOpaque,
                           {});
            const TRect clip{5, 4, 9, 8};
            KernelResample(&clipped, dstRect, clip, src.get(), part, *kernel, dmOpaque, {});
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 50; ++x) {
                    const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top &&
                                        y < clip.Bottom && x >= dstRect.Left && x < dstRect.Right &&
                                        y >= dstRect.Top && y < dstRect.Bottom;
                    ASSERT_EQ(clipped.Pixel(x, y), inside ? whole.Pixel(x, y) : 0x11223344u)
                        << x << "," << y;
                }
        }
    }
}

// The draft reduction against the exact area average, on a smooth picture where the blocks'
// whole-pixel edges matter little.
TEST(ScaledResamplers, DraftReductionIsCloseToTheAreaAverage) {
    auto src = std::make_unique<TBitmap32>(new THeapStorage);
    src->SetSize(301, 203);
    for (int y = 0; y < 203; ++y)
        for (int x = 0; x < 301; ++x)
            src->SetPixel(x, y,
                          0xFF000000u | std::uint32_t(x * 255 / 300) << 16 |
                              std::uint32_t(y * 255 / 202) << 8 | 0x80u);
    auto linear = MakeKernel("TLinearKernel");
    for (const TSize size : {TSize{100, 50}, TSize{7, 3}, TSize{1, 1}, TSize{300, 200}}) {
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(size.cx, size.cy);
        DraftResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(), *linear,
                      dmOpaque, {});
        const double sx = 301.0 / size.cx, sy = 203.0 / size.cy;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                // The exact average of red and green over the destination pixel's area.
                const double cx = (x + 0.5) * sx, cy = (y + 0.5) * sy;
                const double red = (cx - 0.5) * 255 / 300, green = (cy - 0.5) * 255 / 202;
                EXPECT_NEAR(Channel(dst.Pixel(x, y), 2), red, 3.0) << size.cx << " " << x;
                EXPECT_NEAR(Channel(dst.Pixel(x, y), 1), green, 3.0) << size.cy << " " << y;
                EXPECT_NEAR(Channel(dst.Pixel(x, y), 0), 0x80, 1.0);
            }
    }
}

TEST(ScaledResamplers, ReductionsOfAThousandToOneStillGiveEveryPixelASource) {
    auto src = Source(3000, 2, 3);
    for (int x = 0; x < 3000; ++x)
        for (int y = 0; y < 2; ++y)
            src->SetPixel(x, y, 0xFF204060u);
    for (const char* name : {"TBoxKernel", "TLinearKernel", "TLanczosKernel"}) {
        auto kernel = MakeKernel(name);
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(3, 1);
        dst.Clear(0);
        KernelResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(), *kernel,
                       dmOpaque, {});
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dst.Pixel(x, 0), 0xFF204060u) << name << " column " << x;
    }
}

TEST(ScaledResamplers, InterpolatorFormsAtTheWeightExtremes) {
    const TColor32 upper[2] = {0xFF000000u | 200u << 16 | 100u << 8 | 10u, 0x80000000u | 0u};
    const TColor32 lower[2] = {0x40000000u | 50u << 16, 0xFFFFFFFFu};
    auto weight = [](std::uint32_t w) { return w + w * 65536u; };
    // The vector form selects the first pixel of each pair at 256 and the second at 0.
    EXPECT_EQ(LinearInterpolatorVector(weight(256), weight(256), upper, lower), upper[0]);
    EXPECT_EQ(LinearInterpolatorVector(weight(0), weight(256), upper, lower), upper[1]);
    EXPECT_EQ(LinearInterpolatorVector(weight(256), weight(0), upper, lower), lower[0]);
    EXPECT_EQ(LinearInterpolatorVector(weight(0), weight(0), upper, lower), lower[1]);
    // Halfway: per channel floor((a 128 + b 128) / 256), then the same down the column.
    auto lerp = [](int a, int b, int w) { return (a * w + b * (256 - w)) >> 8; };
    const TColor32 half = LinearInterpolatorVector(weight(128), weight(128), upper, lower);
    for (int k = 0; k < 4; ++k) {
        const int top = lerp(Channel(upper[0], k), Channel(upper[1], k), 128);
        const int bottom = lerp(Channel(lower[0], k), Channel(lower[1], k), 128);
        EXPECT_EQ(Channel(half, k), lerp(top, bottom, 128)) << k;
    }
    // The plain form mixes by 255ths (256 becomes 255): each of its two mixes may lose one.
    const TColor32 plainFirst = LinearInterpolatorPlain(weight(256), weight(256), upper, lower);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(Channel(plainFirst, k), Channel(upper[0], k), 2) << k;
    const TColor32 plainHalf = LinearInterpolatorPlain(weight(128), weight(128), upper, lower);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(Channel(plainHalf, k), Channel(half, k), 3) << k;
}

TEST(ScaledResamplers, StretchLinearFollowsTheBilinearReference) {
    struct Binding {
        bool mmx, sse2;
        int tolerance;
    };
    for (const Binding& b :
         {Binding{true, true, 3}, Binding{true, false, 3}, Binding{false, false, 4}}) {
        SCOPED_TRACE(std::string("mmx ") + (b.mmx ? "on" : "off") + ", sse2 " +
                     (b.sse2 ? "on" : "off"));
        raster::Startup();
        BindTransferFunctions(b.mmx, b.sse2);
        auto src = Source(6, 5, 11);
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(17, 13);
        StretchLinear(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(), dmOpaque,
                      {});
        const double sx = double(static_cast<float>(6.0 / 17)),
                     sy = double(static_cast<float>(5.0 / 13));
        int worst = 0;
        for (int y = 0; y < 13; ++y) {
            const double fy = std::clamp(sy * (y + 0.5) - 0.5, 0.0, 4.0);
            const int y0 = std::min(int(fy), 3);
            const double ty = fy - y0;
            for (int x = 0; x < 17; ++x) {
                const double fx = std::clamp(sx * (x + 0.5) - 0.5, 0.0, 5.0);
                const int x0 = std::min(int(fx), 4);
                const double tx = fx - x0;
                for (int k = 0; k < 4; ++k) {
                    const double top = Channel(src->Pixel(x0, y0), k) * (1 - tx) +
                                       Channel(src->Pixel(x0 + 1, y0), k) * tx;
                    const double bottom = Channel(src->Pixel(x0, y0 + 1), k) * (1 - tx) +
                                          Channel(src->Pixel(x0 + 1, y0 + 1), k) * tx;
                    const double v = top * (1 - ty) + bottom * ty;
                    worst = std::max(worst,
                                     std::abs(Channel(dst.Pixel(x, y), k) - int(std::lround(v))));
                }
            }
        }
        EXPECT_LE(worst, b.tolerance);
    }
    BindTransferFunctions(true, true);
}

#if RASTER_SSE2_FORMS
// The SSE2 rows against the plain ones on random pixels, weights at both ends and lengths that
// leave every tail.
TEST(ScaledResamplers, Sse2RowsGiveThePlainRowsPixels) {
    std::mt19937 rng(RandomSeedForRows());
    for (int trial = 0; trial < 2000; ++trial) {
        const int count = static_cast<int>(rng() % 11);
        std::vector<TColor32> line(static_cast<std::size_t>(count) + 2), lower(line.size());
        for (TColor32& p : line)
            p = rng();
        for (TColor32& p : lower)
            p = rng();
        std::vector<TLinearColumn> columns(static_cast<std::size_t>(count));
        for (TLinearColumn& c : columns) {
            c.Pos = static_cast<std::int32_t>(rng() % (line.size() - 1));
            const std::uint32_t pick = rng() % 4;
            c.Weight = pick == 0 ? 0 : pick == 1 ? 256 : rng() % 257;
        }
        std::vector<TColor32> plain(static_cast<std::size_t>(count)), fast(plain.size());
        InterpolateRowPlain(line.data(), columns.data(), count, plain.data());
        Sse2Forms::InterpolateRow(line.data(), columns.data(), count, fast.data());
        ASSERT_EQ(plain, fast) << "interpolate, trial " << trial;
        const std::uint32_t w = trial % 3 == 0 ? 0 : trial % 3 == 1 ? 256 : rng() % 257;
        MixRowsPlain(line.data(), lower.data(), w, count, plain.data());
        Sse2Forms::MixRows(line.data(), lower.data(), w, count, fast.data());
        ASSERT_EQ(plain, fast) << "mix, trial " << trial;
    }
}
#endif

TEST(ScaledResamplers, BlockAverageIsTheTruncatedMean) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; ++trial) {
        const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 9);
        std::vector<TColor32> px(static_cast<std::size_t>(w * h));
        for (TColor32& p : px)
            p = rng();
        const TColor32 got = BlockAverage(std::uint32_t(w), std::uint32_t(h), px.data(), w * 4);
        const std::uint32_t f = 0x1000000u / std::uint32_t(w * h);
        for (int k = 0; k < 4; ++k) {
            std::uint64_t sum = 0;
            for (TColor32 p : px)
                sum += (p >> (8 * k)) & 0xFF;
            EXPECT_EQ(std::uint32_t(Channel(got, k)), std::uint32_t((sum * f) >> 24)) << k;
            EXPECT_LE(std::uint32_t(Channel(got, k)), sum / std::uint64_t(w * h));
        }
    }
}

TEST(ScaledResamplers, DraftReductionAveragesBlocksThatCoverTheSource) {
    // Each source column holds its index: a destination pixel's average tells which columns it
    // took, and the blocks must follow each other without gap or overlap.
    auto src = Source(97, 3, 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 97; ++x)
            src->SetPixel(x, y, 0xFF000000u | std::uint32_t(x));
    auto linear = MakeKernel("TLinearKernel");
    TBitmap32 dst(new THeapStorage);
    dst.SetSize(10, 1);
    DraftResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(), *linear,
                  dmOpaque, {});
    int previous = -1;
    for (int x = 0; x < 10; ++x) {
        const int mean = Channel(dst.Pixel(x, 0), 0);
        EXPECT_GT(mean, previous) << x;
        previous = mean;
    }
    EXPECT_LE(previous, 96);
    // Constant pictures stay constant at any reduction up to the edge, less the one unit the
    // block average's truncated factor may take.
    for (int x = 0; x < 97; ++x)
        for (int y = 0; y < 3; ++y)
            src->SetPixel(x, y, 0xFF336699u);
    for (int w : {1, 2, 7, 48, 97}) {
        dst.SetSize(w, 1);
        DraftResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(), *linear,
                      dmOpaque, {});
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 4; ++k) {
                const int want = Channel(0xFF336699u, k), got = Channel(dst.Pixel(x, 0), k);
                ASSERT_TRUE(got == want || got == want - 1) << w << " " << x << " " << k;
            }
    }
}

TEST(ScaledResamplers, ResamplersRegisterInOrderAndKernelStateCopiesClassFirst) {
    raster::Startup();
    const char* names[] = {"TNearestResampler", "TLinearResampler", "TDraftResampler",
                           "TKernelResampler"};
    ASSERT_EQ(ResamplerRegistry().Count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ResamplerRegistry().Items(i)->ClassName(), names[i]);

    TBitmap32 a(new THeapStorage), b(new THeapStorage);
    a.SetResamplerClassName("TKernelResampler");
    b.SetResamplerClassName("TKernelResampler");
    auto* from = dynamic_cast<TKernelResampler*>(a.Resampler());
    auto* to = dynamic_cast<TKernelResampler*>(b.Resampler());
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    from->SetKernelClassName("TLanczosKernel");
    static_cast<TWindowedSincKernel*>(from->Kernel())->SetWidth(5.0f);
    from->SetTableSize(64);
    to->Assign(from);
    EXPECT_EQ(to->KernelClassName(), "TLanczosKernel");
    EXPECT_FLOAT_EQ(to->Kernel()->GetWidth(), 5.0f) << "the parameters reach the new class";
    EXPECT_EQ(to->TableSize(), 64);
    // Back to a kernel without Width: nothing of Lanczos is asked of it.
    from->SetKernelClassName("TBoxKernel");
    to->Assign(from);
    EXPECT_EQ(to->KernelClassName(), "TBoxKernel");

    to->SetKernelClassName("tlanczoskernel"); // the name is exact
    EXPECT_EQ(to->KernelClassName(), "TBoxKernel");
    to->SetTableSize(1);
    EXPECT_EQ(to->TableSize(), 2);
    EXPECT_THROW(to->SetTableSize(2000000000), EBitmapException);
    EXPECT_EQ(to->TableSize(), 2);
}

} // namespace
