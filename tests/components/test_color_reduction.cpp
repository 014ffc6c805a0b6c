// The six reduction methods on small fixed images: colour counts, the
// palettes, nearest-entry mapping, determinism, and the BMP they give.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <typeinfo>

#include "components/gif/ColorReduction.h"
#include "components/gif/GifWriter.h"
#include "framework/core/Exceptions.h"
#include "tests/fixtures/AllocationFaults.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    int R, G, B;
};

// Rows of B, G, R padded to 4 bytes.
struct Image24 {
    int Width, Height;
    Bytes Pixels;
    Image24(int w, int h) : Width(w), Height(h), Pixels(std::size_t(BmpRowSize(24, w) * h), 0) {}
    void Set(int x, int y, Rgb c) {
        std::uint8_t* p = &Pixels[std::size_t(y) * BmpRowSize(24, Width) + 3 * std::size_t(x)];
        p[0] = std::uint8_t(c.B);
        p[1] = std::uint8_t(c.G);
        p[2] = std::uint8_t(c.R);
    }
    Rgb Get(int x, int y) const {
        const std::uint8_t* p =
            &Pixels[std::size_t(y) * BmpRowSize(24, Width) + 3 * std::size_t(x)];
        return {p[2], p[1], p[0]};
    }
};

Image24 Random(int w, int h, unsigned seed, int colours = 1 << 24) {
    std::mt19937 random(seed);
    Image24 image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned c =
                random() % unsigned(colours) * (colours < (1 << 24) ? 2654435761u : 1u);
            image.Set(x, y, {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)});
        }
    }
    return image;
}

TReducedImage Reduce(const Image24& image, int method) {
    return Reduce24To8(image.Pixels, image.Width, image.Height, method);
}

int IndexAt(const TReducedImage& r, const Image24& image, int x, int y) {
    return r.Indexes[std::size_t(y) * BmpRowSize(8, image.Width) + std::size_t(x)];
}

Rgb Entry(const TReducedImage& r, int i) {
    return {r.Palette[i][2], r.Palette[i][1], r.Palette[i][0]};
}

int Distance(Rgb a, Rgb b) {
    return (a.R - b.R) * (a.R - b.R) + (a.G - b.G) * (a.G - b.G) + (a.B - b.B) * (a.B - b.B);
}

TEST(ColorReduction, EveryMethodStaysInItsPaletteAndRepeatsItself) {
    const int used[] = {256, 256, 224, 216, 192, 256};
    for (int w : {1, 2, 3, 5, 64}) {
        const Image24 image = Random(w, 37, unsigned(w));
        for (int method = 0; method <= 5; ++method) {
            SCOPED_TRACE("method " + std::to_string(method) + " width " + std::to_string(w));
            const TReducedImage a = Reduce(image, method);
            const TReducedImage b = Reduce(image, method);
            EXPECT_EQ(a.Indexes, b.Indexes);
            EXPECT_EQ(0, std::memcmp(a.Palette, b.Palette, sizeof a.Palette));
            EXPECT_LE(a.ColorsUsed, used[method]);
            EXPECT_GT(a.ColorsUsed, 0);
            for (int y = 0; y < image.Height; ++y) {
                for (int x = 0; x < w; ++x) {
                    ASSERT_LT(IndexAt(a, image, x, y), a.ColorsUsed);
                }
            }
        }
    }
}

TEST(ColorReduction, HistogramKeepsFewColoursExactly) {
    const Image24 image = Random(40, 30, 3, 256);
    std::set<std::uint32_t> distinct;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb c = image.Get(x, y);
            distinct.insert(std::uint32_t(c.R << 16 | c.G << 8 | c.B));
        }
    const TReducedImage r = Reduce(image, rmHistogram);
    EXPECT_EQ(r.ColorsUsed, int(distinct.size()));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb want = image.Get(x, y);
            const Rgb got = Entry(r, IndexAt(r, image, x, y));
            ASSERT_EQ(Distance(want, got), 0);
        }
    for (int i = r.ColorsUsed; i < 256; ++i) {
        EXPECT_EQ(Entry(r, i).R, 128);
    }
}

TEST(ColorReduction, HistogramOfManyColoursMapsEachToItsNearestEntry) {
    // 3000 colours overflow the store once: blue loses its lowest bit.
    const Image24 image = Random(100, 100, 4, 3000);
    const TReducedImage r = Reduce(image, rmHistogram);
    EXPECT_EQ(r.ColorsUsed, 256);
    // The masks the store ends with: blue, red, green, blue ... lose a bit
    // until the masked colours fit 2049 entries.
    int mask[3] = {0xFF, 0xFF, 0xFF}; // r, g, b
    auto distinct = [&] {
        std::set<int> seen;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const Rgb c = image.Get(x, y);
                seen.insert((c.R & mask[0]) << 16 | (c.G & mask[1]) << 8 | (c.B & mask[2]));
            }
        return seen.size();
    };
    int steps = 0;
    while (distinct() > 2049) {
        int& m = mask[0] < mask[1] ? mask[1] : mask[2] < mask[0] ? mask[0] : mask[2];
        m = (m << 1) & 0xFF;
        ++steps;
    }
    EXPECT_GE(steps, 1);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            Rgb c = image.Get(x, y);
            c.R &= mask[0];
            c.G &= mask[1];
            c.B &= mask[2];
            const int d = Distance(c, Entry(r, IndexAt(r, image, x, y)));
            for (int i = 0; i < 256; ++i) {
                ASSERT_LE(d, Distance(c, Entry(r, i)));
            }
        }
}

TEST(ColorReduction, MedianCut) {
    Image24 one(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            one.Set(x, y, {200, 100, 50});
    TReducedImage r = Reduce(one, rmMedianCut);
    EXPECT_EQ(r.ColorsUsed, 1);
    EXPECT_EQ(Entry(r, 0).R, (16 * (200 >> 4) + 15));
    for (int i = 1; i < 256; ++i) {
        EXPECT_EQ(r.Palette[i][0] | r.Palette[i][1] | r.Palette[i][2] | r.Palette[i][3], 0);
    }
    Image24 dark(2, 2);
    dark.Set(0, 0, {10, 5, 0});
    dark.Set(1, 0, {10, 5, 0});
    dark.Set(0, 1, {10, 5, 0});
    dark.Set(1, 1, {10, 5, 0});
    r = Reduce(dark, rmMedianCut);
    EXPECT_EQ(Entry(r, 0).R + Entry(r, 0).G + Entry(r, 0).B, 0);
    // Many colours: every box is used and the boxes split the cube.
    const Image24 many = Random(80, 80, 5);
    r = Reduce(many, rmMedianCut);
    EXPECT_EQ(r.ColorsUsed, 256);
    std::set<int> seen;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x)
            seen.insert(IndexAt(r, many, x, y));
    EXPECT_EQ(int(seen.size()), 256);
}

TEST(ColorReduction, FixedPalettesTakeTheNearestLevels) {
    struct Case {
        Rgb In;
        int Method, Index;
    };
    const Case cases[] = {
        {{64, 0, 0}, rmFixed784, 32}, // 64 lies between 43 and 85: the lower level
        {{255, 255, 255}, rmFixed784, 223},
        {{0, 36, 85}, rmFixed784, 4 + 1},
        {{255, 255, 255}, rmFixed666, 215},
        {{26, 25, 77}, rmFixed666, 36 + 0 + 2}, // 25.5 is the middle: 25 down, 26 up
        {{255, 255, 255}, rmGrayscale, 255},
        {{255, 0, 0}, rmGrayscale, 76},
        {{0, 255, 0}, rmGrayscale, 149},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.In.R) + "," + std::to_string(c.In.G) + "," +
                     std::to_string(c.In.B) + " method " + std::to_string(c.Method));
        Image24 image(1, 1);
        image.Set(0, 0, c.In);
        const TReducedImage r = Reduce(image, c.Method);
        EXPECT_EQ(IndexAt(r, image, 0, 0), c.Index);
    }
    const Image24 image = Random(33, 17, 6);
    for (int method : {rmFixed784, rmFixed666}) {
        const TReducedImage r = Reduce(image, method);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 33; ++x) {
                const Rgb c = image.Get(x, y);
                const int d = Distance(c, Entry(r, IndexAt(r, image, x, y)));
                for (int i = 0; i < r.ColorsUsed; ++i) {
                    ASSERT_LE(d, Distance(c, Entry(r, i)));
                }
            }
        EXPECT_EQ(r.Palette[255][3], 128);
    }
}

TEST(ColorReduction, TripelFollowsTheDiagonals) {
    Image24 image(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.Set(x, y, {200, 100, 40});
    const TReducedImage r = Reduce(image, rmTripel);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const int expected[3] = {200 >> 2, 64 + (100 >> 2), 128 + (40 >> 2)};
            EXPECT_EQ(IndexAt(r, image, x, y), expected[(x + y) % 3]);
        }
    EXPECT_EQ(Entry(r, 64 + 25).G, 100);
    EXPECT_EQ(Entry(r, 200).R + Entry(r, 200).G + Entry(r, 200).B, 0);
}

TEST(ColorReduction, ReducedBmpHasAFreshHeaderTheEncoderAccepts) {
    const Image24 image = Random(5, 3, 7);
    const TReducedImage r = Reduce(image, rmFixed666);
    const Bytes bmp = BuildReducedBmp(5, 3, rmFixed666, r);
    auto u32 = [&](std::size_t at) {
        return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16) |
               (std::uint32_t(bmp[at + 3]) << 24);
    };
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(22), 3u);
    EXPECT_EQ(bmp[28], 8);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(u32(34), 8u * 3);
    EXPECT_EQ(u32(46), 0u);
    EXPECT_EQ(u32(50), 216u);
    EXPECT_EQ(bmp.size(), 14u + 40 + 1024 + 24);
    const GifBmpFrame frame = GifReadBmpForEncoding(bmp);
    EXPECT_EQ(frame.Width, 5);
    EXPECT_EQ(frame.Pixels[0], r.Indexes[0]);
}

TEST(ColorReduction, BadArgumentsRaise) {
    const Bytes few(10);
    EXPECT_THROW(Reduce24To8(few, 4, 4, rmHistogram), EInvalidGraphic);
    EXPECT_THROW(Reduce24To8(few, 1, 1, 6), EInvalidGraphic);
    EXPECT_THROW(Reduce24To8(few, -1, 1, 0), EInvalidGraphic);
    const TReducedImage empty = Reduce24To8({}, 0, 0, rmMedianCut);
    EXPECT_TRUE(empty.Indexes.empty());
}

// Memory running out at any allocation of any method is the library's out-of-memory error (the
// median cut's boxes included), with everything freed; the run that meets no failure gives the
// image a full run gives.
TEST(ColorReduction, EveryAllocationFailureIsOutOfMemoryAndLeavesNothing) {
    const Image24 image = Random(24, 24, 7);
    for (int method = rmHistogram; method <= rmGrayscale; ++method) {
        SCOPED_TRACE(method);
        const TReducedImage expected = Reduce(image, method);
        TReducedImage got;
        std::int64_t live = 0;
        std::string escaped;
        const int failures = alloc_faults::SweepFailures(
            [&] {
                live = alloc_faults::Live();
                try {
                    got = Reduce(image, method);
                } catch (const EOutOfMemory&) {
                } catch (const std::exception& e) {
                    escaped = typeid(e).name();
                }
            },
            [&](int n) {
                EXPECT_EQ(escaped, "") << "allocation " << n;
                EXPECT_EQ(alloc_faults::Live(), live) << "allocation " << n;
                escaped.clear();
            });
        EXPECT_GT(failures, 0);
        EXPECT_EQ(got.Indexes, expected.Indexes);
        EXPECT_EQ(got.ColorsUsed, expected.ColorsUsed);
    }
}

} // namespace
