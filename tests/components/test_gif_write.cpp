// The GIF writer and encoder: files read, written and read again, the
// encoder against the decoder, the byte layout of the written blocks, and the
// BMP intake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifEncoder.h"
#include "components/gif/GifErrors.h"
#include "components/gif/GifReader.h"
#include "components/gif/GifStreamIo.h"
#include "components/gif/GifWriter.h"
#include "framework/core/Exceptions.h"
#include "tests/components/GifWriteSupport.h"

namespace {

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

GifImageState Parse(const Bytes& bytes, GifOptions options = {}) {
    GifImageState image;
    GifParse(bytes, options, image);
    return image;
}

// Decoded indexes, or the error's message when the frame cannot be decoded.
std::string DecodeOrError(const GifFrameInfo& frame, const GifOptions& options) {
    try {
        bool corrupted = false;
        const Bytes bmp = DecodeFrameBitmap(frame, options, corrupted);
        return std::string(bmp.begin(), bmp.end());
    } catch (const Exception& e) {
        return "error: " + e.Message();
    }
}

void ExpectSameExtensions(const std::vector<GifExtension>& a, const std::vector<GifExtension>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Kind, b[i].Kind);
        EXPECT_EQ(0, std::memcmp(a[i].Fixed, b[i].Fixed, sizeof a[i].Fixed)) << "extension " << i;
        EXPECT_EQ(a[i].Data, b[i].Data);
    }
}

// The bytes after the header, screen descriptor and global table.
std::size_t BodyStart(const Bytes& gif) {
    std::size_t at = 13;
    if (gif[10] & 0x80) {
        at += std::size_t(3) << ((gif[10] & 7) + 1);
    }
    return at;
}

TEST(GifWrite, FixturesSurviveReadWriteRead) {
    const std::filesystem::path dir = QUORVANE_GIF_CORPUS_DIR;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        const Bytes file = ReadFile(entry.path());
        ASSERT_FALSE(file.empty());
        GifOptions options;
        options.LoadCorrupted = (file[0] & 1) != 0;
        const std::span<const std::uint8_t> body(file.data() + 1, file.size() - 1);
        GifImageState first;
        try {
            if (file[0] & 2) {
                GifLoadFromClipboardBlock(body, options, first);
            } else {
                GifParse(body, options, first);
            }
        } catch (const Exception&) {
            // What was read before the failure is still written.
        }
        ++files;
        if (first.Frames.empty()) {
            ExpectGraphicError([&] { GifSaveToBytes(first, nullptr); }, kGifNoData);
            continue;
        }
        GifImageState written = first;
        const Bytes bytes = GifSaveToBytes(written, nullptr);
        const GifImageState second = Parse(bytes, options);

        EXPECT_EQ(second.Version, first.Version);
        EXPECT_EQ(second.Data->GlobalColors, first.Data->GlobalColors);
        EXPECT_EQ(second.Data->Comment, first.Data->Comment);
        EXPECT_EQ(second.Data->AspectRatio, first.Data->AspectRatio);
        EXPECT_EQ(second.BackgroundColor, first.BackgroundColor);
        EXPECT_EQ(second.Looping, first.Looping && first.Frames.size() > 1);
        if (second.Looping) {
            EXPECT_EQ(second.RepeatCount, first.RepeatCount);
        }
        ASSERT_EQ(second.Frames.size(), first.Frames.size());
        for (std::size_t i = 0; i < first.Frames.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i));
            const GifFrameInfo& a = first.Frames[i];
            const GifFrameInfo& b = second.Frames[i];
            EXPECT_EQ(b.Left, a.Left);
            EXPECT_EQ(b.Top, a.Top);
            EXPECT_EQ(b.Item->Width, a.Item->Width);
            EXPECT_EQ(b.Item->Height, a.Item->Height);
            EXPECT_EQ(b.Interlaced, a.Interlaced);
            EXPECT_EQ(b.LocalColors, a.LocalColors);
            EXPECT_EQ(b.Item->ColorTable(), a.Item->ColorTable());
            EXPECT_EQ(b.TransparentColor, a.TransparentColor);
            EXPECT_EQ(b.AnimationInterval, a.AnimationInterval);
            EXPECT_EQ(b.Disposal, a.Disposal);
            // A frame cut short comes back whole: the writer closed its data.
            EXPECT_FALSE(b.Corrupted);
            ExpectSameExtensions(b.Extensions, a.Extensions);
            EXPECT_EQ(DecodeOrError(b, options), DecodeOrError(a, options));
        }
    }
    EXPECT_GE(files, 20);
}

TEST(GifWrite, EncoderMatchesDecoderAtEveryDepthAndSize) {
    struct Case {
        int Width, Height, Depth;
        bool Interlaced;
    };
    const Case cases[] = {{1, 1, 1, false},    {1, 1, 8, false},     {3, 2, 4, false},
                          {17, 9, 1, true},    {13, 10, 4, true},    {300, 200, 8, false},
                          {300, 200, 8, true}, {300, 200, 1, false}, {255, 3, 4, false},
                          {64, 64, 8, false}};
    unsigned seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + "@" +
                     std::to_string(c.Depth) + (c.Interlaced ? " interlaced" : ""));
        const int bits = c.Depth;
        const Bytes indexes = NoiseIndexes(std::size_t(c.Width * c.Height), bits, seed++);
        BmpLayout layout{c.Width, c.Height, c.Depth, indexes};
        const Bytes bmp = MakeBmp(layout);
        const GifBmpFrame source = GifReadBmpForEncoding(bmp);
        GifPixelSource pixels{source.Pixels,  source.Width, source.Height, source.Depth,
                              source.RowSize, false,        c.Interlaced};
        GifFrameInfo frame;
        frame.Item->Width = c.Width;
        frame.Item->Height = c.Height;
        frame.Item->BitsPerPixel = std::uint8_t(c.Depth);
        frame.Interlaced = c.Interlaced;
        frame.Item->EncodedData.emplace();
        GifEncodeLzw(pixels, *frame.Item->EncodedData);
        EXPECT_EQ(frame.Item->EncodedData->at(0), c.Depth == 1 ? 2 : c.Depth);
        EXPECT_EQ(DecodedIndexes(frame), indexes);
        // Every code fits the table; a long noisy image clears it on the way.
        const std::vector<int> codes = ReadCodes(*frame.Item->EncodedData);
        const int clear = 1 << frame.Item->EncodedData->at(0);
        ASSERT_FALSE(codes.empty());
        EXPECT_EQ(codes.front(), clear);
        EXPECT_EQ(codes.back(), clear + 1);
        if (c.Width * c.Height == 60000 && c.Depth == 8) {
            EXPECT_GT(std::count(codes.begin(), codes.end(), clear), 1);
        }
    }
}

TEST(GifWrite, ClearOnTheLastPixelIsFollowedOnlyByTheEndCode) {
    // Block k of 256 pixels steps by 2k + 1, so no two neighbours repeat and
    // every pixel after the first adds one entry: entry 4094, and with it the
    // clear, comes at pixel 3838, the last one.
    const int length = 3838;
    Bytes indexes(length);
    for (int i = 0; i < length; ++i) {
        indexes[std::size_t(i)] = std::uint8_t((i % 256) * (2 * (i / 256) + 1));
    }
    GifImageState image = EncodedImage(length, 1, 8, indexes);
    const std::vector<int> codes = ReadCodes(*image.Frames[0].Item->EncodedData);
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(codes[codes.size() - 3], indexes.back());
    EXPECT_EQ(codes[codes.size() - 2], 256);
    EXPECT_EQ(codes.back(), 257);
    EXPECT_EQ(codes.size(), std::size_t(length) + 3); // clear, one code a pixel, clear, end
    EXPECT_EQ(DecodedIndexes(image.Frames[0]), indexes);
}

TEST(GifWrite, PlainFrameIs87aWithoutExtensions) {
    GifImageState image = EncodedImage(4, 3, 4, NoiseIndexes(12, 4, 5));
    const Bytes gif = GifSaveToBytes(image, nullptr);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF87a");
    EXPECT_EQ(gif[BodyStart(gif)], 0x2C);
    EXPECT_EQ(gif.back(), 0x3B);
    const GifImageState back = Parse(gif);
    EXPECT_EQ(back.Version, 1);
    EXPECT_TRUE(back.Frames[0].Extensions.empty());
}

TEST(GifWrite, ImageCommentMakes89aAndCutsLongLines) {
    GifImageState image = EncodedImage(2, 2, 1, {0, 1, 1, 0});
    image.Data->Comment = {std::string(300, 'c'), "short", ""};
    const Bytes gif = GifSaveToBytes(image, nullptr);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    const std::string text(gif.begin(), gif.end());
    const std::size_t comment = text.rfind("\x21\xFE");
    ASSERT_NE(comment, std::string::npos);
    const std::string expected =
        "\x21\xFE\xFF" + std::string(255, 'c') + "\x05short" + std::string(1, '\0') + "\x3B";
    EXPECT_EQ(text.substr(comment), expected);
    EXPECT_EQ(Parse(gif).Data->Comment, (std::vector<std::string>{std::string(255, 'c'), "short"}));
}

TEST(GifWrite, LoopBlockOnlyWithTwoOrMoreFrames) {
    const std::string loop0 =
        std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16) + '\0' + '\0' + '\0';
    GifImageState one = EncodedImage(2, 1, 1, {0, 1});
    one.Looping = true;
    one.RepeatCount = 0;
    const Bytes single = GifSaveToBytes(one, nullptr);
    EXPECT_EQ(std::string(single.begin(), single.end()).find("NETSCAPE"), std::string::npos);

    GifImageState two = one;
    two.Frames.push_back(two.Frames[0]);
    const Bytes both = GifSaveToBytes(two, nullptr);
    const std::string text(both.begin(), both.end());
    EXPECT_EQ(text.substr(BodyStart(both), loop0.size()), loop0);
    const GifImageState back = Parse(both);
    EXPECT_TRUE(back.Looping);
    EXPECT_EQ(back.RepeatCount, 0);
}

TEST(GifWrite, GraphicControlFollowsTheFrame) {
    struct Case {
        const char* Name;
        GifColor Transparent;
        std::uint16_t Interval;
        std::uint8_t Disposal;
        bool Block;
        std::uint8_t Packed, Index;
        std::uint16_t Delay;
    };
    const GifColor second = BmpRed(1) | (BmpGreen(1) << 8) | (BmpBlue(1) << 16);
    const Case cases[] = {
        {"nothing set", kGifNoColor, 0, 0, false, 0, 0, 0},
        {"colour in the table", second, 0, 0, true, 0x01, 1, 0},
        {"colour not in the table", 0x123456, 0, 0, true, 0x00, 0, 0},
        {"interval and disposal", kGifNoColor, 250, 2, true, 0x08, 0, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GifImageState image = EncodedImage(2, 1, 1, {0, 1});
        GifFrameInfo& frame = image.Frames[0];
        frame.TransparentColor = c.Transparent;
        frame.AnimationInterval = c.Interval;
        frame.Disposal = c.Disposal;
        const Bytes gif = GifSaveToBytes(image, nullptr);
        const std::size_t at = BodyStart(gif);
        if (!c.Block) {
            EXPECT_EQ(gif[at], 0x2C);
            continue;
        }
        EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
        const Bytes block(gif.begin() + std::ptrdiff_t(at), gif.begin() + std::ptrdiff_t(at + 8));
        EXPECT_EQ(block, (Bytes{0x21, 0xF9, 4, c.Packed, std::uint8_t(c.Delay),
                                std::uint8_t(c.Delay >> 8), c.Index, 0}));
    }
}

TEST(GifWrite, SizesAndPositionsBeyondSixteenBitsRaise) {
    struct Case {
        const char* Name;
        std::int32_t Left, Top, Width;
    };
    const Case cases[] = {{"left + width", 65000, 0, 1000},
                          {"top + height", 0, 65535, 1},
                          {"negative left", -1, 0, 1},
                          {"width", 0, 0, 70000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GifImageState image = EncodedImage(1, 1, 1, {1});
        image.Frames[0].Left = c.Left;
        image.Frames[0].Top = c.Top;
        image.Frames[0].Item->Width = c.Width;
        ExpectGraphicError([&] { GifSaveToBytes(image, nullptr); }, kGifEncodingError);
    }
    // At the limit itself the file is written.
    GifImageState edge = EncodedImage(1, 1, 1, {1});
    edge.Frames[0].Left = 65534;
    EXPECT_EQ(Parse(GifSaveToBytes(edge, nullptr)).ScreenWidth, 65535);
}

TEST(GifWrite, FrameCutShortIsClosedSoLaterFramesStillRead) {
    const Bytes indexes = NoiseIndexes(64 * 64, 8, 9);
    const Bytes whole =
        GifBuilder().Signature().Screen(64, 64, 8).Frame(64, 64, indexes, 8).Trailer();
    GifImageState cut =
        Parse(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() / 2)));
    ASSERT_EQ(cut.Frames.size(), 1u);
    ASSERT_TRUE(cut.Frames[0].Corrupted);
    const GifImageState tail = EncodedImage(5, 4, 4, NoiseIndexes(20, 4, 10));
    cut.Frames.push_back(tail.Frames[0]);
    const GifImageState back = Parse(GifSaveToBytes(cut, nullptr));
    ASSERT_EQ(back.Frames.size(), 2u);
    EXPECT_FALSE(back.Frames[0].Corrupted);
    EXPECT_FALSE(back.Frames[1].Corrupted);
    EXPECT_EQ(DecodedIndexes(back.Frames[0]), DecodedIndexes(cut.Frames[0]));
    EXPECT_EQ(DecodedIndexes(back.Frames[1]), DecodedIndexes(tail.Frames[0]));
}

TEST(GifWrite, LocalTableIsPaddedToWhatItsDescriptorAnnounces) {
    GifImageState image = EncodedImage(2, 1, 1, {0, 1});
    GifFrameInfo odd = EncodedImage(3, 1, 4, {0, 1, 2}).Frames[0];
    auto colors = std::make_shared<GifColorTable>(odd.Item->ColorTable());
    colors->Count = 3;
    odd.Item->Colors = colors;
    odd.LocalColors = true;
    image.Frames.push_back(odd);
    image.Frames.push_back(image.Frames[0]);
    const GifImageState back = Parse(GifSaveToBytes(image, nullptr));
    ASSERT_EQ(back.Frames.size(), 3u);
    EXPECT_EQ(back.Frames[1].Item->ColorTable().Count, 4);
    EXPECT_EQ(back.Frames[1].Item->ColorTable().Color(2), colors->Color(2));
    EXPECT_EQ(back.Frames[1].Item->ColorTable().Color(3), 0);
    EXPECT_EQ(DecodedIndexes(back.Frames[2]), (Bytes{0, 1}));
}

TEST(GifWrite, ScreenSizeComesFromTheFramesWithoutDecoding) {
    GifImageState image = EncodedImage(4, 3, 4, NoiseIndexes(12, 4, 11));
    GifFrameInfo undecodable;
    undecodable.Item->EncodedData = Bytes{12, 2, 0xFF, 0x0F, 0};
    undecodable.Item->Width = 10;
    undecodable.Item->Height = 2;
    undecodable.Left = 5;
    undecodable.Top = 1;
    undecodable.LocalColors = true;
    image.Frames.push_back(undecodable);
    image.ScreenWidth = 500; // a screen larger than its frames is not kept
    image.ScreenHeight = 500;
    const GifImageState back = Parse(GifSaveToBytes(image, nullptr));
    EXPECT_EQ(back.ScreenWidth, 15);
    EXPECT_EQ(back.ScreenHeight, 3);
}

TEST(GifWrite, FramesWithoutDataAreEncodedThroughTheCaller) {
    GifImageState image;
    image.Frames.resize(2);
    image.Frames[1].Left = 3;
    std::vector<std::size_t> asked;
    const Bytes gif = GifSaveToBytes(image, [&](std::size_t index, GifFrameInfo& frame) {
        asked.push_back(index);
        BmpLayout layout{2, 2, 1, {1, 0, 0, 1}};
        EncodeFrameFromBmp(image, frame, MakeBmp(layout));
    });
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1}));
    const GifImageState back = Parse(gif);
    ASSERT_EQ(back.Frames.size(), 2u);
    // The first frame's table became the global one; the second keeps a local copy.
    EXPECT_EQ(back.Data->GlobalColors.Count, 2);
    EXPECT_FALSE(back.Frames[0].LocalColors);
    EXPECT_TRUE(back.Frames[1].LocalColors);
    EXPECT_EQ(back.ScreenWidth, 5);
    EXPECT_EQ(DecodedIndexes(back.Frames[1]), (Bytes{1, 0, 0, 1}));

    GifImageState none;
    ExpectGraphicError([&] { GifSaveToBytes(none, nullptr); }, kGifNoData);
    none.Frames.resize(1);
    ExpectGraphicError([&] { GifSaveToBytes(none, nullptr); }, kGifNoData);
    // An encoder that leaves the frame empty (an aborted encoding does) writes no file with an
    // image descriptor that has no image data.
    ExpectGraphicError([&] { GifSaveToBytes(none, [](std::size_t, GifFrameInfo&) {}); },
                       kGifNoData);
}

TEST(GifWrite, SizePrefixGivesTheFileLength) {
    GifImageState image = EncodedImage(2, 1, 1, {0, 1});
    const Bytes gif = GifSaveToBytes(image, nullptr, true);
    const std::uint32_t size =
        gif[0] | (gif[1] << 8) | (gif[2] << 16) | (std::uint32_t(gif[3]) << 24);
    EXPECT_EQ(size, gif.size() - 4);
    GifImageState back;
    GifLoadFromClipboardBlock(gif, GifOptions(), back);
    EXPECT_EQ(back.Frames.size(), 1u);
}

TEST(GifWrite, BmpIntake) {
    const Bytes indexes = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1}; // 5 x 2, top row first
    struct Case {
        const char* Name;
        BmpLayout Spec;
        std::function<void(Bytes&)> Damage;
        bool Fails;
    };
    const Case cases[] = {
        {"plain", {5, 2, 8, indexes}, nullptr, false},
        {"top-down rows", {5, -2, 8, indexes}, nullptr, false},
        {"short palette", {5, 2, 8, indexes, 4}, nullptr, false},
        {"4 bits", {5, 2, 4, indexes}, nullptr, false},
        {"longer header", {5, 2, 8, indexes, 0, 0, 108}, nullptr, false},
        {"RLE", {5, 2, 8, indexes, 0, 1}, nullptr, true},
        {"24 bits", {5, 2, 24, {}}, nullptr, true},
        {"core header", {5, 2, 8, indexes, 0, 0, 12}, nullptr, true},
        {"colours used above 2^bits", {5, 2, 4, indexes, 17}, nullptr, true},
        {"rows cut short", {5, 2, 8, indexes}, [](Bytes& b) { b.resize(b.size() - 1); }, true},
        {"offset past the end",
         {5, 2, 8, indexes},
         [](Bytes& b) {
             b[10] = 0xFF;
             b[11] = 0xFF;
             b[12] = 0xFF;
             b[13] = 0x7F;
         },
         true},
        {"palette outside", {5, 2, 8, indexes}, [](Bytes& b) { b.resize(14 + 40 + 100); }, true},
        {"width 0", {5, 2, 8, indexes}, [](Bytes& b) { b[18] = b[19] = 0; }, true},
        {"height 0", {5, 2, 8, indexes}, [](Bytes& b) { b[22] = 0; }, true},
        {"header cut", {5, 2, 8, indexes}, [](Bytes& b) { b.resize(30); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Bytes bmp = MakeBmp(c.Spec);
        if (c.Damage) {
            c.Damage(bmp);
        }
        GifImageState image;
        image.Frames.emplace_back();
        if (c.Fails) {
            ExpectGraphicError([&] { EncodeFrameFromBmp(image, image.Frames[0], bmp); },
                               kGifEncodingError);
            EXPECT_FALSE(image.Frames[0].Item->EncodedData.has_value());
            continue;
        }
        EncodeFrameFromBmp(image, image.Frames[0], bmp);
        const GifImageState back = Parse(GifSaveToBytes(image, nullptr));
        ASSERT_EQ(back.Frames.size(), 1u);
        EXPECT_EQ(DecodedIndexes(back.Frames[0]), indexes);
        const GifColorTable& table = back.Data->GlobalColors;
        EXPECT_EQ(table.Count, 1 << c.Spec.Depth);
        const int given = c.Spec.ColorsUsed ? c.Spec.ColorsUsed : table.Count;
        for (int i = 0; i < table.Count; ++i) {
            const GifColor expected =
                i < given ? BmpRed(i) | (BmpGreen(i) << 8) | (BmpBlue(i) << 16) : 0;
            EXPECT_EQ(table.Color(i), expected) << "entry " << i;
        }
    }
}

} // namespace
