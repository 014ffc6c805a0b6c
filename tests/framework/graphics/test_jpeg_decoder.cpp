// The JPEG decode core: colour layouts, the size limit checked before decoding,
// and bad or cut-off data ending in EInvalidGraphic or a partial image, never a
// crash, an exit() or an endless loop.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "framework/core/Exceptions.h"
#include "framework/jpeg/JpegDecoder.h"
#include "tests/framework/graphics/GraphicsTestData.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Decodes from an exactly-sized heap copy, so ASan sees any read past the end.
TJpegPixels Decode(const Bytes& data, const TJpegDecodeOptions& options = {}) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[data.size() ? data.size() : 1]);
    if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
    return DecodeJpeg(copy.get(), data.size(), options);
}

// Pixel (x, y), y from the top, as 0xRRGGBB.
std::uint32_t Rgb(const TJpegPixels& p, int x, int y) {
    const std::uint8_t* px = p.Bits.data() + static_cast<std::size_t>(p.Height - 1 - y) * p.Stride + 3 * x;
    return (static_cast<std::uint32_t>(px[2]) << 16) | (px[1] << 8) | px[0];
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 12) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_NEAR(a, e, tolerance) << std::hex << "actual 0x" << actual << " expected 0x" << expected;
    }
}

// The offset of the frame header's height field (SOF0 or SOF2).
std::size_t SofSizeOffset(const Bytes& d) {
    for (std::size_t i = 0; i + 9 < d.size(); ++i)
        if (d[i] == 0xFF && (d[i + 1] == 0xC0 || d[i + 1] == 0xC2)) return i + 5;
    throw std::runtime_error("no frame header");
}

struct ColourCase {
    const char* file;
    int width, height;
    bool gray, cmyk, progressive;
    std::uint32_t left, right;  // colour at (0, 0) and at (width - 1, height - 1)
};

TEST(JpegDecoder, DecodesEachColourLayoutToBgrRows) {
    const ColourCase cases[] = {
        {"rgb16x8.jpg", 16, 8, false, false, false, 0xFF0000, 0x0000FF},
        {"progressive16x8.jpg", 16, 8, false, false, true, 0xFF0000, 0x0000FF},
        {"gray9x7.jpg", 9, 7, true, false, false, 0x808080, 0x808080},
        {"cmyk8x8.jpg", 8, 8, false, true, false, 0xFF0000, 0xFF0000},  // Adobe, stored inverted
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes data = ReadGraphicsFixture(c.file);
        const TJpegHeader h = ReadJpegHeader(data.data(), data.size());
        EXPECT_EQ(h.Width, c.width);
        EXPECT_EQ(h.Height, c.height);
        EXPECT_EQ(h.Grayscale, c.gray);
        EXPECT_EQ(h.Cmyk, c.cmyk);
        EXPECT_EQ(h.Progressive, c.progressive);
        const TJpegPixels p = Decode(data);
        ASSERT_EQ(p.Width, c.width);
        ASSERT_EQ(p.Height, c.height);
        EXPECT_EQ(p.Stride % 4, 0u);
        EXPECT_GE(p.Stride, 3u * c.width);
        ExpectNear(Rgb(p, 0, 0), c.left);
        ExpectNear(Rgb(p, c.width - 1, c.height - 1), c.right);
        if (c.gray) {
            const std::uint8_t* px = p.Bits.data();
            EXPECT_EQ(px[0], px[1]);
            EXPECT_EQ(px[1], px[2]);
        }
    }
}

TEST(JpegDecoder, CmykWithoutAdobeMarkerIsNotInverted) {
    Bytes data = ReadGraphicsFixture("cmyk8x8.jpg");
    bool found = false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xEE) {  // APP14 "Adobe" becomes a comment
            data[i + 1] = 0xFE;
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    const TJpegHeader h = ReadJpegHeader(data.data(), data.size());
    EXPECT_TRUE(h.Cmyk);
    EXPECT_FALSE(h.AdobeInverted);
    // Red stored inverted (C=255 M=0 Y=0 K=255) and read as plain CMYK is full
    // black ink: inverting or not decides between red and black.
    ExpectNear(Rgb(Decode(data), 3, 3), 0x000000);
}

TEST(JpegDecoder, SizeLimitIsCheckedBeforeDecoding) {
    Bytes data = ReadGraphicsFixture("rgb16x8.jpg");
    const std::size_t at = SofSizeOffset(data);
    // 65500 x 65500, libjpeg's largest: the product passes 2^31.
    data[at] = data[at + 2] = 0xFF;
    data[at + 1] = data[at + 3] = 0xDC;
    const TJpegHeader h = ReadJpegHeader(data.data(), data.size());
    EXPECT_EQ(h.Width, 65500);
    EXPECT_EQ(h.Height, 65500);
    try {
        Decode(data);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "JPEG image is too large");
    }

    const Bytes good = ReadGraphicsFixture("rgb16x8.jpg");
    TJpegDecodeOptions options;
    options.MaxPixels = 16 * 8 - 1;
    EXPECT_THROW(Decode(good, options), EInvalidGraphic);
    options.MaxPixels = 16 * 8;
    EXPECT_NO_THROW(Decode(good, options));
}

TEST(JpegDecoder, ScanLimitStopsProgressiveFiles) {
    const Bytes data = ReadGraphicsFixture("progressive16x8.jpg");
    TJpegDecodeOptions options;
    options.MaxScans = 1;
    EXPECT_THROW(Decode(data, options), EInvalidGraphic);
}

TEST(JpegDecoder, EveryPrefixDecodesPartlyOrRaises) {
    for (const char* file : {"rgb16x8.jpg", "progressive16x8.jpg", "cmyk8x8.jpg"}) {
        SCOPED_TRACE(file);
        const Bytes data = ReadGraphicsFixture(file);
        int decoded = 0;
        for (std::size_t n = 0; n <= data.size(); ++n) {
            try {
                const TJpegPixels p = Decode(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n)));
                EXPECT_GT(p.Width, 0);
                ++decoded;
            } catch (const EInvalidGraphic&) {
            }
        }
        // Once the headers are complete, a cut-off stream still gives a (partial) image.
        EXPECT_GT(decoded, 10);
    }
}

TEST(JpegDecoder, GarbageRaisesInvalidGraphicWithLibjpegText) {
    const Bytes cases[] = {
        {},
        {0xFF},
        {'B', 'M', 0, 0},
        {0xFF, 0xD8, 0xFF, 0xD9},  // start and end, no image
    };
    for (const Bytes& data : cases) {
        try {
            Decode(data);
            ADD_FAILURE() << "no exception for " << data.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u) << e.Message();
        }
    }
}

TEST(JpegDecoder, CorruptEntropyDataNeverEscapes) {
    const Bytes good = ReadGraphicsFixture("progressive16x8.jpg");
    for (std::size_t at = 0; at < good.size(); at += 3) {
        for (std::uint8_t v : {0x00, 0xFF, 0x7F}) {
            Bytes data = good;
            data[at] = v;
            try {
                (void)Decode(data);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

}  // namespace
