// The LZW decoder and the frame BMP: pixel-exact decodes for every colour
// depth, interlacing, the code-stream shapes encoders produce, and bounded
// output for hostile code streams.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifLzw.h"
#include "components/gif/GifReader.h"
#include "framework/core/Exceptions.h"
#include "tests/components/GifTestBuilder.h"

namespace {

Bytes RandomIndexes(std::size_t count, int bits, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(count);
    for (auto& v : out) {
        // Runs as well as noise, so that long chains and the KwKwK case both occur.
        v = (random() % 4 == 0 && &v != out.data()) ? (&v)[-1]
                                                    : std::uint8_t(random() % (1u << bits));
    }
    return out;
}

GifFrameInfo FrameOf(int width, int height, int bits, const Bytes& data, bool interlaced = false) {
    GifFrameInfo frame;
    frame.Item->Width = width;
    frame.Item->Height = height;
    frame.Item->BitsPerPixel = std::uint8_t(bits);
    auto colors = std::make_shared<GifColorTable>();
    colors->Count = 1 << bits;
    for (int i = 0; i < colors->Count; ++i) {
        colors->Entries[i][0] = TestRed(i);
        colors->Entries[i][1] = TestGreen(i);
        colors->Entries[i][2] = TestBlue(i);
    }
    frame.Item->Colors = colors;
    frame.Item->EncodedData = data;
    frame.Interlaced = interlaced;
    return frame;
}

Bytes Decode(const GifFrameInfo& frame, bool& corrupted, bool loadCorrupted = true) {
    GifOptions options;
    options.LoadCorrupted = loadCorrupted;
    return DecodeFrameBitmap(frame, options, corrupted);
}

Bytes Decode(const GifFrameInfo& frame) {
    bool corrupted = false;
    Bytes bmp = Decode(frame, corrupted);
    EXPECT_FALSE(corrupted);
    return bmp;
}

// Pixels of an 8-bit, width x height frame decoded from a hand-packed code stream.
Bytes DecodeCodes(int width, int height, int minimum, const std::vector<std::pair<int, int>>& codes,
                  bool* corrupted = nullptr) {
    bool c = false;
    Bytes bmp = Decode(FrameOf(width, height, 8, ImageData(minimum, PackCodes(codes))), c);
    if (corrupted) {
        *corrupted = c;
    }
    return BmpView(bmp).Indexes();
}

template <class E>
void ExpectRaises(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "nothing raised, expected " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "wrong exception: " << e.what();
    }
}

TEST(GifDecode, EveryColourDepthPixelExact) {
    struct Case {
        int bits, depth;
    } cases[] = {{1, 1}, {2, 4}, {3, 4}, {4, 4}, {5, 8}, {6, 8}, {7, 8}, {8, 8}};
    for (const Case& c : cases) {
        for (int width : {1, 3, 8, 13, 33}) {
            SCOPED_TRACE("bits " + std::to_string(c.bits) + " width " + std::to_string(width));
            const int height = 7;
            const Bytes indexes =
                RandomIndexes(std::size_t(width * height), c.bits, unsigned(c.bits * 100 + width));
            const int minimum = std::max(2, c.bits);
            const Bytes bmp = Decode(
                FrameOf(width, height, c.bits, ImageData(minimum, LzwEncode(indexes, minimum))));
            BmpView view(bmp);
            EXPECT_EQ(view.Depth(), c.depth);
            EXPECT_EQ(view.Width(), width);
            EXPECT_EQ(view.Height(), height);
            EXPECT_EQ(view.Indexes(), indexes);
        }
    }
}

TEST(GifDecode, BmpHeaderAndPalette) {
    const Bytes bmp = Decode(FrameOf(5, 3, 3, ImageData(3, LzwEncode(Bytes(15, 2), 3))));
    BmpView view(bmp);
    const std::uint32_t rowSize = 4; // 5 pixels of 4 bits, padded to 32 bits
    const std::uint32_t offset = 54 + 4 * 16;
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(view.U32(2), offset + 3 * rowSize);
    EXPECT_EQ(view.U32(2), bmp.size());
    EXPECT_EQ(view.U32(6), 0u);
    EXPECT_EQ(view.U32(10), offset);
    EXPECT_EQ(view.U32(14), 40u);
    EXPECT_EQ(view.U16(26), 1); // planes
    EXPECT_EQ(view.Depth(), 4);
    EXPECT_EQ(view.U32(30), 0u); // no compression
    EXPECT_EQ(view.U32(34), 3 * rowSize);
    for (std::size_t o = 38; o < 54; o += 4) {
        EXPECT_EQ(view.U32(o), 0u);
    }
    // 8 table entries as blue, green, red, 0; the other 8 of the 16 grey 128.
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t* entry = &bmp[54 + std::size_t(i) * 4];
        if (i < 8) {
            EXPECT_EQ(entry[0], TestBlue(i));
            EXPECT_EQ(entry[1], TestGreen(i));
            EXPECT_EQ(entry[2], TestRed(i));
            EXPECT_EQ(entry[3], 0);
        } else {
            EXPECT_EQ(std::memcmp(entry, "\x80\x80\x80\x80", 4), 0);
        }
    }
}

TEST(GifDecode, InterlacedRowOrder) {
    struct Case {
        int height;
        std::vector<int> order;
    } cases[] = {
        {1, {0}},
        {2, {0, 1}},
        {3, {0, 2, 1}},
        {5, {0, 4, 2, 1, 3}},
        {10, {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        std::vector<int> order;
        int pass = 0;
        for (int row = 0; row < c.height; row = NextInterlacedRow(row, c.height, pass)) {
            order.push_back(row);
            ASSERT_LE(order.size(), std::size_t(c.height));
        }
        EXPECT_EQ(order, c.order);

        // The decoder fills the rows in that order: the i-th row sent holds value i.
        Bytes sent;
        for (int i = 0; i < c.height; ++i) {
            sent.insert(sent.end(), 3, std::uint8_t(i));
        }
        BmpView view(Decode(FrameOf(3, c.height, 4, ImageData(4, LzwEncode(sent, 4)), true)));
        for (int i = 0; i < c.height; ++i) {
            EXPECT_EQ(view.Index(2, c.order[std::size_t(i)]), i);
        }
    }
}

TEST(GifDecode, FullTableWithAndWithoutClear) {
    const Bytes indexes = RandomIndexes(200 * 150, 8, 7);
    for (bool clearWhenFull : {true, false}) {
        SCOPED_TRACE(clearWhenFull);
        LzwOptions options;
        options.ClearWhenFull = clearWhenFull;
        BmpView view(Decode(FrameOf(200, 150, 8, ImageData(8, LzwEncode(indexes, 8, options)))));
        EXPECT_EQ(view.Indexes(), indexes);
    }
}

TEST(GifDecode, CodeStreamShapes) {
    // Minimum code size 2: clear 4, end 5, first table entry 6.
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> codes;
        Bytes expected; // 4 x 1 pixels
        bool corrupted;
    } cases[] = {
        {"leading clear", {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 3}}, {1, 2, 1, 2}, false},
        {"no leading clear", {{1, 3}, {2, 3}, {6, 3}, {5, 3}}, {1, 2, 1, 2}, false},
        {"repeated clears",
         {{4, 3}, {4, 3}, {4, 3}, {3, 3}, {3, 3}, {6, 3}, {5, 3}},
         {3, 3, 3, 3},
         false},
        {"code being defined (KwKwK)",
         {{4, 3}, {2, 3}, {6, 3}, {2, 3}, {5, 3}},
         {2, 2, 2, 2},
         false},
        {"end right after clear", {{4, 3}, {1, 3}, {4, 3}, {5, 3}}, {1, 0, 0, 0}, false},
        {"clear mid-stream restarts table",
         {{4, 3}, {1, 3}, {2, 3}, {4, 3}, {3, 3}, {0, 3}, {5, 3}},
         {1, 2, 3, 0},
         false},
        {"no end code after last pixel", {{4, 3}, {1, 3}, {1, 3}, {6, 3}}, {1, 1, 1, 1}, false},
        // 16 bits exactly, so no padding bits can pose as codes; 4-bit codes after entry 7.
        {"data ends before last pixel",
         {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {7, 4}},
         {1, 2, 1, 2, 2, 1, 0, 0},
         true},
        {"code beyond free code", {{4, 3}, {1, 3}, {7, 3}, {5, 3}}, {1, 1, 1, 0}, false},
        {"pixels past the last row dropped", {{4, 3}, {1, 3}, {1, 3}, {6, 3}}, {1, 1, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool corrupted = false;
        EXPECT_EQ(DecodeCodes(int(c.expected.size()), 1, 2, c.codes, &corrupted), c.expected);
        EXPECT_EQ(corrupted, c.corrupted);
    }
}

TEST(GifDecode, MinimumCodeSizeBelowColourDepth) {
    // An 8-bit table whose frame uses only four colours: codes from 6 up are
    // table entries even though they are below 256.
    const Bytes indexes = {1, 2, 1, 2, 1, 2, 3, 3, 3, 3, 0, 1};
    BmpView view(Decode(FrameOf(12, 1, 8, ImageData(2, LzwEncode(indexes, 2)))));
    EXPECT_EQ(view.Indexes(), indexes);
}

TEST(GifDecode, PixelValuesMaskedToTheTable) {
    // Minimum code size 3 with a 2-colour table: literals 2..7 fold into 0..1.
    BmpView view(Decode(FrameOf(
        4, 1, 1, ImageData(3, PackCodes({{8, 4}, {7, 4}, {2, 4}, {3, 4}, {6, 4}, {9, 4}})))));
    EXPECT_EQ(view.Indexes(), (Bytes{1, 0, 1, 0}));
}

TEST(GifDecode, CodeSizeOutOfRange) {
    for (int minimum : {0, 1, 10, 255}) {
        SCOPED_TRACE(minimum);
        Bytes data = ImageData(minimum, PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}}));
        bool corrupted = false;
        Bytes bmp = Decode(FrameOf(4, 1, 8, data), corrupted);
        EXPECT_TRUE(corrupted);
        EXPECT_EQ(BmpView(bmp).Width(), 4);
        ExpectRaises<EInvalidGraphicOperation>(
            [&] { Decode(FrameOf(4, 1, 8, data), corrupted, false); },
            "GIF code size not in range 2 to 9");
    }
}

TEST(GifDecode, SelfReferencingChainIsBounded) {
    // Code 7 arrives before it is defined, so entry 7 is made its own prefix;
    // the next 7 would walk that chain for ever.
    const std::vector<std::pair<int, int>> codes = {{4, 3}, {1, 3}, {7, 3}, {6, 3}, {7, 4}, {5, 4}};
    const Bytes data = ImageData(2, PackCodes(codes));
    bool corrupted = false;
    BmpView view(Decode(FrameOf(8, 1, 8, data), corrupted));
    EXPECT_TRUE(corrupted);
    EXPECT_EQ(view.Indexes(), (Bytes{1, 1, 1, 1, 1, 0, 0, 0}));
    ExpectRaises<EInvalidGraphicOperation>(
        [&] { Decode(FrameOf(8, 1, 8, data), corrupted, false); }, "GIF encoded data is corrupt");
}

TEST(GifDecode, TruncatedDataKeepsDecodedRows) {
    const Bytes indexes = RandomIndexes(64 * 16, 4, 3);
    Bytes data = ImageData(4, LzwEncode(indexes, 4));
    data.resize(data.size() / 2);
    bool corrupted = false;
    BmpView view(Decode(FrameOf(64, 16, 4, data), corrupted));
    EXPECT_TRUE(corrupted);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(view.Index(x, y), indexes[std::size_t(y * 64 + x)]) << x << "," << y;
        }
    }
    ExpectRaises<EInvalidGraphicOperation>(
        [&] { Decode(FrameOf(64, 16, 4, data), corrupted, false); }, "Stream read error");
}

TEST(GifDecode, ZeroAreaFrameIsEmpty) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        Bytes bmp = Decode(
            FrameOf(w, h, 8, ImageData(2, PackCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {5, 3}}))));
        BmpView view(bmp);
        EXPECT_EQ(view.Width(), w);
        EXPECT_EQ(view.Height(), h);
        EXPECT_EQ(view.U32(34), 0u);
        EXPECT_EQ(bmp.size(), 54u + 1024u);
    }
}

TEST(GifDecode, SizeLimitBeforeAllocating) {
    GifFrameInfo frame = FrameOf(65535, 65535, 8, ImageData(8, PackCodes({{256, 9}, {1, 9}})));
    bool corrupted = false;
    ExpectRaises<EInvalidGraphicOperation>([&] { Decode(frame, corrupted); },
                                           "GIF image is too large");
    // Just inside and just above a configured limit.
    GifOptions options;
    options.MaxPixels = 100 * 100;
    frame.Item->Width = 100;
    frame.Item->Height = 100;
    EXPECT_NO_THROW(DecodeFrameBitmap(frame, options, corrupted));
    frame.Item->Height = 101;
    EXPECT_THROW(DecodeFrameBitmap(frame, options, corrupted), EInvalidGraphicOperation);
    // A limit raised past what a BMP can hold still stops at the BMP's 32-bit fields.
    options.MaxPixels = ~std::uint64_t(0);
    frame.Item->Width = 65535;
    frame.Item->Height = 65535;
    ExpectRaises<EInvalidGraphicOperation>([&] { DecodeFrameBitmap(frame, options, corrupted); },
                                           "GIF image is too large");
}

TEST(GifDecode, NoColourTableAnywhere) {
    Bytes file = GifBuilder()
                     .Signature()
                     .Screen(2, 1)
                     .Descriptor(0, 0, 2, 1)
                     .Raw(ImageData(2, LzwEncode({0, 1}, 2)))
                     .Trailer();
    GifImageState image;
    GifParse(file, GifOptions{}, image);
    ASSERT_EQ(image.Frames.size(), 1u);
    bool corrupted = false;
    ExpectRaises<EInvalidGraphicOperation>([&] { Decode(image.Frames[0], corrupted); },
                                           "Wrong number of colors; must be a power of 2");
}

TEST(GifDecode, AnimatedFileEveryFrame) {
    const Bytes a = RandomIndexes(6 * 4, 2, 11);
    const Bytes b = RandomIndexes(3 * 5, 5, 12);
    Bytes file = GifBuilder()
                     .Signature()
                     .Screen(8, 8, 2)
                     .Loop(0)
                     .GraphicControl(0x04, 10, 0)
                     .Frame(6, 4, a, 2)
                     .GraphicControl(0x09, 10, 3)
                     .Descriptor(1, 2, 3, 5, 5, true)
                     .Raw(ImageData(5, LzwEncode(b, 5)))
                     .Trailer();
    GifImageState image;
    GifParse(file, GifOptions{}, image);
    ASSERT_EQ(image.Frames.size(), 2u);
    EXPECT_EQ(BmpView(Decode(image.Frames[0])).Indexes(), a);
    // The second frame is interlaced: row order 0, 4, 2, 1, 3 for height 5.
    BmpView second(Decode(image.Frames[1]));
    const int order[] = {0, 4, 2, 1, 3};
    for (int i = 0; i < 5; ++i) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(second.Index(x, order[i]), b[std::size_t(i * 3 + x)]);
        }
    }
    EXPECT_EQ(image.Frames[1].TransparentColor, TestColor(3));
    EXPECT_EQ(image.Frames[1].Disposal, 2);
}

struct RecordingProgress : GifProgress {
    void Progress(GifProgressStage stage, int percent, const std::string& message) override {
        events.push_back({stage, percent, message});
    }
    struct Event {
        GifProgressStage stage;
        int percent;
        std::string message;
    };
    std::vector<Event> events;
};

TEST(GifDecode, ProgressEvents) {
    const Bytes indexes = RandomIndexes(100 * 100, 8, 5);
    GifFrameInfo frame = FrameOf(100, 100, 8, ImageData(8, LzwEncode(indexes, 8)));
    RecordingProgress progress;
    bool corrupted = false;
    DecodeFrameBitmap(frame, GifOptions{}, corrupted, &progress);
    ASSERT_GE(progress.events.size(), 3u);
    EXPECT_EQ(progress.events.front().stage, GifProgressStage::psStarting);
    EXPECT_EQ(progress.events.front().percent, 0);
    EXPECT_EQ(progress.events.back().stage, GifProgressStage::psEnding);
    EXPECT_EQ(progress.events.back().percent, 100);
    // Running events only when the percentage moves: at most 101 of them, rising.
    int last = -1;
    for (std::size_t i = 1; i + 1 < progress.events.size(); ++i) {
        EXPECT_EQ(progress.events[i].stage, GifProgressStage::psRunning);
        EXPECT_GT(progress.events[i].percent, last);
        last = progress.events[i].percent;
    }
    EXPECT_LE(progress.events.size(), 103u);

    progress.events.clear();
    frame.Item->BitsPerPixel = 0;
    EXPECT_THROW(DecodeFrameBitmap(frame, GifOptions{}, corrupted, &progress),
                 EInvalidGraphicOperation);
    ASSERT_EQ(progress.events.size(), 2u);
    EXPECT_EQ(progress.events[1].stage, GifProgressStage::psEnding);
    EXPECT_EQ(progress.events[1].percent, 0);
    EXPECT_EQ(progress.events[1].message, "Wrong number of colors; must be a power of 2");
}

} // namespace
