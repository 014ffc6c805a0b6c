// The portable BMP reader and writer: every header form and pixel layout it
// accepts, and a clear EInvalidGraphic, never an over-read, for the rest.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/graphics/BmpCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP file with a 40-byte header (or a longer one padded with zeros), the
// given palette and extra bytes after the header, then the pixel bytes.
struct BmpSpec {
    std::int32_t width = 2;
    std::int32_t height = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t sizeImage = 0;
    Bytes afterHeader;  // masks and/or palette
    Bytes pixels;
    bool fileHeader = true;
};

Bytes Build(const BmpSpec& s) {
    Bytes b;
    if (s.fileHeader) {
        b.push_back('B');
        b.push_back('M');
        Put32(b, 0);
        Put32(b, 0);
        Put32(b, 14 + s.headerSize + static_cast<std::uint32_t>(s.afterHeader.size()));
    }
    Bytes h;
    Put32(h, s.headerSize);
    Put32(h, static_cast<std::uint32_t>(s.width));
    Put32(h, static_cast<std::uint32_t>(s.height));
    Put16(h, 1);
    Put16(h, s.bitCount);
    Put32(h, s.compression);
    Put32(h, s.sizeImage);
    Put32(h, 0);
    Put32(h, 0);
    Put32(h, s.clrUsed);
    Put32(h, 0);
    h.resize(s.headerSize, 0);  // shorter forms cut the fields off, longer ones add zeros
    b.insert(b.end(), h.begin(), h.end());
    b.insert(b.end(), s.afterHeader.begin(), s.afterHeader.end());
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

Bytes Palette(std::initializer_list<std::uint32_t> colours) {
    Bytes b;
    for (auto c : colours) Put32(b, c);
    return b;
}

// Decodes from an exactly-sized heap copy, so ASan sees any read past the end.
TBmpDecodeResult Decode(const Bytes& data, TBmpDecodeOptions options = {}) {
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[data.size() ? data.size() : 1]);
    if (!data.empty()) std::memcpy(copy.get(), data.data(), data.size());
    return DecodeBmp(copy.get(), data.size(), options);
}

TBmpImage Sample(int width, int height, int bits) {
    TBmpImage image;
    image.Allocate(width, height, bits);
    for (std::size_t i = 0; i < image.Bits.size(); ++i) image.Bits[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::size_t i = 0; i < image.Palette.size(); ++i)
        image.Palette[i] = static_cast<std::uint32_t>((i * 0x010203u) & 0xFFFFFF);
    return image;
}

TEST(BmpCodec, RoundTripsEveryBitCountWithFullPalette) {
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const TBmpImage image = Sample(5, 3, bits);
        const Bytes file = EncodeBmp(image);
        const std::size_t palette = bits <= 8 ? (4u << bits) : 0;
        ASSERT_EQ(file.size(), 54 + palette + image.Stride() * 3);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(file[10] | (file[11] << 8), static_cast<int>(54 + palette));  // pixel offset
        EXPECT_EQ(file[14], 40);                                                // header size
        EXPECT_EQ(file[28], bits);
        const TBmpDecodeResult back = Decode(file);
        EXPECT_EQ(back.Image.Width, 5);
        EXPECT_EQ(back.Image.Height, 3);
        EXPECT_EQ(back.Image.BitCount, bits);
        EXPECT_EQ(back.Image.Bits, image.Bits);
        EXPECT_EQ(back.Image.Palette, image.Palette);
        EXPECT_EQ(back.BytesUsed, file.size());
    }
}

TEST(BmpCodec, WriterPadsAShortPaletteToFullSize) {
    TBmpImage image = Sample(3, 1, 8);
    image.Palette.resize(2);
    const Bytes file = EncodeBmp(image);
    ASSERT_EQ(file.size(), 54 + 1024 + 4u);
    EXPECT_EQ(file[54 + 4 * 200], 0);
}

TEST(BmpCodec, TopDownRowsComeBackBottomUp) {
    BmpSpec s;
    s.height = -2;
    // top row: red pixel, white pixel; bottom row: blue, black (B, G, R order)
    s.pixels = {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0};
    const TBmpImage image = Decode(Build(s)).Image;
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.PixelColor(0, 0), 0x0000FFu);  // TColor red
    EXPECT_EQ(image.PixelColor(1, 0), 0xFFFFFFu);
    EXPECT_EQ(image.PixelColor(0, 1), 0xFF0000u);  // TColor blue
    EXPECT_EQ(image.PixelColor(1, 1), 0x000000u);
}

TEST(BmpCodec, ReadsIndexedPixelsThroughThePalette) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bitCount = 4;
    s.clrUsed = 3;  // a short palette: the rest is black
    s.afterHeader = Palette({0x00FF0000, 0x0000FF00, 0x000000FF});
    s.pixels = {0x12, 0x50, 0, 0};  // indices 1, 2, 5
    const TBmpImage image = Decode(Build(s)).Image;
    ASSERT_EQ(image.Palette.size(), 16u);
    EXPECT_EQ(image.PixelColor(0, 0), 0x00FF00u);
    EXPECT_EQ(image.PixelColor(1, 0), 0xFF0000u);
    EXPECT_EQ(image.PixelColor(2, 0), 0x000000u);

    s.bitCount = 1;
    s.clrUsed = 0;
    s.afterHeader = Palette({0x00000000, 0x00FFFFFF});
    s.pixels = {0xA0, 0, 0, 0};  // 1, 0, 1
    const TBmpImage mono = Decode(Build(s)).Image;
    EXPECT_EQ(mono.PixelColor(0, 0), 0xFFFFFFu);
    EXPECT_EQ(mono.PixelColor(1, 0), 0x000000u);
    EXPECT_EQ(mono.PixelColor(2, 0), 0xFFFFFFu);
}

TEST(BmpCodec, ReadsCoreHeaderWithThreeBytePaletteEntries) {
    Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 12 + 6, 0, 0, 0};
    Put32(b, 12);
    Put16(b, 2);  // width
    Put16(b, 1);  // height
    Put16(b, 1);
    Put16(b, 1);  // 1 bit
    b.insert(b.end(), {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});  // red, blue (B, G, R)
    b.insert(b.end(), {0x40, 0, 0, 0});                       // pixels 0, 1
    const TBmpImage image = Decode(b).Image;
    EXPECT_EQ(image.PixelColor(0, 0), 0x0000FFu);
    EXPECT_EQ(image.PixelColor(1, 0), 0xFF0000u);
}

TEST(BmpCodec, PackedDibFindsPixelsAfterTheAnnouncedPalette) {
    BmpSpec s;
    s.fileHeader = false;
    s.width = 1;
    s.height = 1;
    s.bitCount = 8;
    s.clrUsed = 2;
    s.afterHeader = Palette({0x00112233, 0x00445566});
    s.pixels = {1, 0, 0, 0};
    TBmpDecodeOptions options;
    options.HasFileHeader = false;
    const TBmpDecodeResult r = Decode(Build(s), options);
    EXPECT_EQ(r.Image.PixelColor(0, 0), 0x665544u);
    EXPECT_EQ(r.BytesUsed, 40 + 8 + 4u);
}

TEST(BmpCodec, SixteenBitAndBitFieldsWidenToEightBitChannels) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 16;
    s.pixels = {0x00, 0x7C, 0x1F, 0x00};  // 5-5-5: pure red, pure blue
    TBmpImage image = Decode(Build(s)).Image;
    EXPECT_EQ(image.BitCount, 24);
    EXPECT_EQ(image.PixelColor(0, 0), 0x0000FFu);
    EXPECT_EQ(image.PixelColor(1, 0), 0xFF0000u);

    s.compression = 3;
    s.afterHeader = Palette({0xF800, 0x07E0, 0x001F});  // 5-6-5 masks after a 40-byte header
    s.pixels = {0xE0, 0x07, 0x10, 0x00};                 // pure green, blue 16/31
    image = Decode(Build(s)).Image;
    EXPECT_EQ(image.PixelColor(0, 0), 0x00FF00u);
    EXPECT_EQ(image.PixelColor(1, 0), static_cast<std::uint32_t>((16 * 255 + 15) / 31) << 16);

    // A V4 header (108 bytes) keeps its masks and alpha mask inside.
    BmpSpec v4;
    v4.width = 1;
    v4.height = 1;
    v4.bitCount = 32;
    v4.compression = 3;
    v4.headerSize = 108;
    Bytes file = Build(v4);
    Set32(file, 14 + 40, 0x000000FF);       // red in the low byte
    Set32(file, 14 + 44, 0x0000FF00);
    Set32(file, 14 + 48, 0x00FF0000);
    Set32(file, 14 + 52, 0xFF000000);
    file.insert(file.end(), {0x11, 0x22, 0x33, 0x80});
    image = Decode(file).Image;
    EXPECT_EQ(image.BitCount, 32);
    EXPECT_EQ(image.Bits[0], 0x33);  // blue
    EXPECT_EQ(image.Bits[1], 0x22);
    EXPECT_EQ(image.Bits[2], 0x11);  // red
    EXPECT_EQ(image.Bits[3], 0x80);
}

TEST(BmpCodec, DecodesRle8RunsAbsoluteGroupsDeltasAndEnds) {
    BmpSpec s;
    s.width = 4;
    s.height = 3;
    s.bitCount = 8;
    s.compression = 1;
    s.clrUsed = 4;
    s.afterHeader = Palette({0, 0x000000FF, 0x0000FF00, 0x00FF0000});
    s.pixels = {
        3, 1,          // row 0 (bottom): 1 1 1
        0, 0,          // end of line
        0, 3, 2, 3, 1, 0,  // absolute 2 3 1, padded
        0, 2, 1, 1,    // delta: right 1, up 1 (row 2, x 4 -> clipped)
        9, 2,          // run past the row end: clipped
        0, 1,          // end of bitmap
        7, 7,          // never read
    };
    const TBmpDecodeResult r = Decode(Build(s));
    const TBmpImage& im = r.Image;
    auto index = [&](int x, int rowFromBottom) { return im.Bits[static_cast<std::size_t>(rowFromBottom) * im.Stride() + x]; };
    EXPECT_EQ(index(0, 0), 1);
    EXPECT_EQ(index(2, 0), 1);
    EXPECT_EQ(index(3, 0), 0);
    EXPECT_EQ(index(0, 1), 2);
    EXPECT_EQ(index(1, 1), 3);
    EXPECT_EQ(index(2, 1), 1);
    EXPECT_EQ(index(0, 2), 0);
    EXPECT_EQ(r.BytesUsed, Build(s).size() - 2);
}

TEST(BmpCodec, DecodesRle4Nibbles) {
    BmpSpec s;
    s.width = 5;
    s.height = 1;
    s.bitCount = 4;
    s.compression = 2;
    s.clrUsed = 1;
    s.afterHeader = Palette({0});
    s.pixels = {3, 0x12, 0, 3, 0x34, 0x50, 0, 1};  // run 1 2 1, absolute 3 4 5 (5 clipped)
    const TBmpImage im = Decode(Build(s)).Image;
    EXPECT_EQ(im.Bits[0], 0x12);
    EXPECT_EQ(im.Bits[1], 0x13);
    EXPECT_EQ(im.Bits[2], 0x40);
}

struct BadCase {
    const char* name;
    Bytes data;
    bool fileHeader = true;
};

std::vector<BadCase> BadCases() {
    std::vector<BadCase> cases;
    auto add = [&](const char* name, BmpSpec s, auto&& edit) {
        Bytes b = Build(s);
        edit(b);
        cases.push_back({name, b, s.fileHeader});
    };
    auto none = [](Bytes&) {};
    BmpSpec ok;
    ok.pixels.assign(16, 0);
    add("empty", ok, [](Bytes& b) { b.clear(); });
    add("signature", ok, [](Bytes& b) { b[0] = 'X'; });
    add("file header only", ok, [](Bytes& b) { b.resize(14); });
    add("header size 0", ok, [](Bytes& b) { Set32(b, 14, 0); });
    add("header size 13", ok, [](Bytes& b) { Set32(b, 14, 13); });
    add("header larger than the file", ok, [](Bytes& b) { Set32(b, 14, 4000); });
    add("one byte of pixels missing", ok, [](Bytes& b) { b.pop_back(); });
    add("pixel offset past the end", ok, [](Bytes& b) { Set32(b, 10, 0x7FFFFFFF); });
    add("pixel offset inside the header", ok, [](Bytes& b) { Set32(b, 10, 20); });
    BmpSpec s = ok;
    s.width = 0;
    add("width 0", s, none);
    s.width = -2;
    add("negative width", s, none);
    s = ok;
    s.height = 0;
    add("height 0", s, none);
    s.height = static_cast<std::int32_t>(0x80000000u);
    add("height INT_MIN", s, none);
    s = ok;
    s.width = 100000;
    add("width above the limit", s, none);
    s.width = 60000;
    s.height = 60000;
    add("pixel buffer above the limit", s, none);
    s = ok;
    s.bitCount = 7;
    add("bit count 7", s, none);
    s.bitCount = 0;
    add("bit count 0", s, none);
    s = ok;
    s.compression = 4;
    add("embedded JPEG", s, none);
    s.compression = 1;
    add("RLE8 on 24 bits", s, none);
    s = ok;
    s.bitCount = 8;
    s.compression = 1;
    s.height = -2;
    add("top-down RLE", s, none);
    s.height = 2;
    s.pixels = {0, 9, 1, 2};
    add("RLE absolute group past the data", s, none);
    s = ok;
    s.bitCount = 8;
    s.clrUsed = 0x40000000;
    add("palette past the end", s, none);
    s.fileHeader = false;
    add("packed DIB palette past the end", s, none);
    s = ok;
    s.bitCount = 16;
    s.compression = 3;
    s.pixels.clear();
    add("bit-field masks past the end", s, [](Bytes& b) { b.resize(14 + 40 + 8); });
    s = ok;
    s.headerSize = 20;  // OS/2 short form: compression 3 means Huffman there
    s.bitCount = 16;
    s.compression = 3;
    add("short header with bit fields", s, none);
    return cases;
}

TEST(BmpCodec, BadDataRaisesInvalidGraphic) {
    for (const BadCase& c : BadCases()) {
        SCOPED_TRACE(c.name);
        TBmpDecodeOptions options;
        options.HasFileHeader = c.fileHeader;
        EXPECT_THROW(Decode(c.data, options), EInvalidGraphic);
    }
}

TEST(BmpCodec, EveryPrefixOfAValidFileDecodesOrRaises) {
    std::vector<Bytes> files;
    files.push_back(EncodeBmp(Sample(7, 5, 8)));
    files.push_back(EncodeBmp(Sample(3, 2, 24)));
    BmpSpec rle;
    rle.width = 4;
    rle.height = 2;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.pixels = {4, 1, 0, 0, 0, 4, 1, 2, 3, 4, 0, 1};
    files.push_back(Build(rle));
    for (const Bytes& file : files) {
        for (std::size_t n = 0; n <= file.size(); ++n) {
            Bytes prefix(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            try {
                (void)Decode(prefix);
            } catch (const EInvalidGraphic&) {
            }
        }
    }
}

TEST(BmpCodec, LimitIsCheckedBeforeAllocating) {
    BmpSpec s;
    s.width = 1000;
    s.height = 1000;
    s.bitCount = 8;
    s.compression = 1;
    s.clrUsed = 1;
    s.afterHeader = Palette({0});
    s.pixels = {0, 1};
    TBmpDecodeOptions options;
    options.MaxBytes = 999999;
    EXPECT_THROW(Decode(Build(s), options), EInvalidGraphic);
    options.MaxBytes = 1000000;
    EXPECT_NO_THROW(Decode(Build(s), options));
}

TEST(BmpCodec, WriterRejectsInconsistentImages) {
    TBmpImage image = Sample(2, 2, 24);
    image.Bits.pop_back();
    EXPECT_THROW(EncodeBmp(image), EInvalidGraphic);
    image = Sample(2, 2, 8);
    image.Palette.resize(300);
    EXPECT_THROW(EncodeBmp(image), EInvalidGraphic);
    image = Sample(2, 2, 24);
    image.BitCount = 16;
    EXPECT_THROW(EncodeBmp(image), EInvalidGraphic);
}

TEST(BmpCodec, PixelColorCountsRowsFromTheTopAndChecksBounds) {
    TBmpImage image;
    image.Allocate(2, 2, 24);
    image.Bits[0] = 0x10;  // bottom-left blue
    image.Bits[1] = 0x20;
    image.Bits[2] = 0x30;  // red
    EXPECT_EQ(image.PixelColor(0, 1), 0x102030u);
    EXPECT_EQ(image.PixelColor(0, 0), 0u);
    EXPECT_THROW(image.PixelColor(2, 0), EInvalidGraphic);
    EXPECT_THROW(image.PixelColor(0, -1), EInvalidGraphic);
}

}  // namespace
