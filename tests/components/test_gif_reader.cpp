// The container parser: headers, tables, extension blocks, frames, and its
// answers to cut-short and malformed files.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "components/gif/GifReader.h"
#include "framework/core/Exceptions.h"
#include "tests/components/GifTestBuilder.h"

namespace {

const Bytes kTwoPixels = {0, 1};

GifImageState Parse(const Bytes& bytes, bool loadCorrupted = true) {
    GifImageState image;
    GifOptions options;
    options.LoadCorrupted = loadCorrupted;
    GifParse(bytes, options, image);
    return image;
}

GifBuilder Start(int width = 2, int height = 1) {
    GifBuilder b;
    b.Signature().Screen(width, height, 1, 1);
    return b;
}

// Raises E with exactly this message.
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

TEST(GifReader, ScreenDescriptorAndGlobalTable) {
    GifImageState image =
        Parse(GifBuilder().Signature("GIF87a").Screen(300, 200, 3, 5, 49).Trailer());
    EXPECT_EQ(image.Version, 1);
    EXPECT_EQ(image.ScreenWidth, 300);
    EXPECT_EQ(image.ScreenHeight, 200);
    EXPECT_EQ(image.Data->BitsPerPixel, 3);
    EXPECT_EQ(image.Data->ColorResolution, 8);
    EXPECT_EQ(image.Data->AspectRatio, 49);
    ASSERT_EQ(image.Data->GlobalColors.Count, 8);
    EXPECT_EQ(image.Data->GlobalColors.Color(7), TestColor(7));
    EXPECT_EQ(image.BackgroundColor, TestColor(5));
    EXPECT_TRUE(image.Frames.empty());
    EXPECT_EQ(image.FrameIndex, -1);
    EXPECT_EQ(image.RepeatCount, 1);
}

TEST(GifReader, BackgroundIndexOutsideTableIsNone) {
    EXPECT_EQ(Parse(GifBuilder().Signature().Screen(1, 1, 1, 2).Trailer()).BackgroundColor,
              kGifNoColor);
    EXPECT_EQ(Parse(GifBuilder().Signature().Screen(1, 1, 0, 0).Trailer()).BackgroundColor,
              kGifNoColor);
}

TEST(GifReader, SignatureLetterCase) {
    struct Case {
        const char* signature;
        int version; // 0: "Unknown GIF version"
    } cases[] = {{"GIF87a", 1}, {"GIF89a", 2}, {"gif89A", 2}, {"GiF87A", 1},
                 {"GIF88a", 0}, {"GIF89b", 0}, {"JIF89a", 0}, {"GIF8 a", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        Bytes file = GifBuilder().Signature(c.signature).Screen(1, 1).Trailer();
        if (c.version) {
            EXPECT_EQ(Parse(file).Version, c.version);
        } else {
            ExpectRaises<EInvalidGraphicOperation>([&] { Parse(file); }, "Unknown GIF version");
        }
    }
}

TEST(GifReader, FrameFieldsAndEncodedDataAsStored) {
    Bytes data = ImageData(2, LzwEncode(kTwoPixels, 2));
    GifImageState image = Parse(Start(8, 8).Descriptor(3, 4, 2, 1, 2, true).Raw(data).Trailer());
    ASSERT_EQ(image.Frames.size(), 1u);
    EXPECT_EQ(image.FrameIndex, 0);
    const GifFrameInfo& frame = image.Frames[0];
    EXPECT_EQ(frame.Left, 3);
    EXPECT_EQ(frame.Top, 4);
    EXPECT_TRUE(frame.Interlaced);
    EXPECT_TRUE(frame.LocalColors);
    EXPECT_FALSE(frame.Corrupted);
    EXPECT_EQ(frame.Item->Width, 2);
    EXPECT_EQ(frame.Item->Height, 1);
    EXPECT_EQ(frame.Item->Packed, 0xC1);
    EXPECT_EQ(frame.Item->BitsPerPixel, 2);
    EXPECT_EQ(frame.Item->ColorTable().Count, 4);
    ASSERT_TRUE(frame.Item->EncodedData);
    EXPECT_EQ(*frame.Item->EncodedData, data);
}

TEST(GifReader, FrameWithoutLocalTableUsesGlobal) {
    GifImageState image = Parse(Start().Frame(2, 1, kTwoPixels, 2).Trailer());
    const GifItem& item = *image.Frames[0].Item;
    EXPECT_FALSE(image.Frames[0].LocalColors);
    EXPECT_EQ(item.BitsPerPixel, 1);
    EXPECT_EQ(item.ColorTable(), image.Data->GlobalColors);
}

TEST(GifReader, ZeroSizeTakesScreenSize) {
    GifImageState image =
        Parse(Start(40, 30).Descriptor(0, 0, 0, 0).Raw(ImageData(2, LzwEncode({}, 2))).Trailer());
    EXPECT_EQ(image.Frames[0].Item->Width, 40);
    EXPECT_EQ(image.Frames[0].Item->Height, 30);
}

// One frame after the given extensions; what the frame takes from them.
struct ControlCase {
    const char* name;
    std::function<void(GifBuilder&)> extensions;
    GifColor transparent;
    int interval;
    int disposal;
};

TEST(GifReader, GraphicControlInterpretation) {
    const ControlCase cases[] = {
        {"no control block", [](GifBuilder&) {}, kGifNoColor, 0, 0},
        {"transparent index 1", [](GifBuilder& b) { b.GraphicControl(0x01, 7, 1); }, TestColor(1),
         70, 0},
        {"largest delay wins",
         [](GifBuilder& b) {
             b.GraphicControl(0, 10, 0).GraphicControl(0, 5, 0).GraphicControl(0, 20, 0);
         },
         kGifNoColor, 200, 0},
        {"disposal from the last",
         [](GifBuilder& b) { b.GraphicControl(2 << 2, 0, 0).GraphicControl(3 << 2, 0, 0); },
         kGifNoColor, 0, 3},
        {"index outside table keeps colour",
         [](GifBuilder& b) { b.GraphicControl(0x01, 0, 0).GraphicControl(0x01, 0, 9); },
         TestColor(0), 0, 0},
        {"flag clear resets colour",
         [](GifBuilder& b) { b.GraphicControl(0x01, 0, 1).GraphicControl(0x00, 0, 1); },
         kGifNoColor, 0, 0},
        {"delay above 6553 saturates", [](GifBuilder& b) { b.GraphicControl(0, 7000, 0); },
         kGifNoColor, 65535, 0},
        {"plain text discards pending control",
         [](GifBuilder& b) { b.GraphicControl(0x01, 50, 1).PlainText({"hello"}); }, kGifNoColor, 0,
         0},
        {"control after plain text counts",
         [](GifBuilder& b) { b.PlainText({"hi"}).GraphicControl(0x01, 3, 0); }, TestColor(0), 30,
         0},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        GifBuilder b = Start();
        c.extensions(b);
        GifImageState image = Parse(b.Frame(2, 1, kTwoPixels, 2).Trailer());
        ASSERT_EQ(image.Frames.size(), 1u);
        EXPECT_EQ(image.Frames[0].TransparentColor, c.transparent);
        EXPECT_EQ(image.Frames[0].AnimationInterval, c.interval);
        EXPECT_EQ(image.Frames[0].Disposal, c.disposal);
    }
}

TEST(GifReader, LoopBlock) {
    struct Case {
        const char* name;
        std::function<void(GifBuilder&)> block;
        bool looping;
        int repeat;
    } cases[] = {
        {"65535 caps at 30000", [](GifBuilder& b) { b.Loop(65535); }, true, 30000},
        {"0 loops forever", [](GifBuilder& b) { b.Loop(0); }, true, 0},
        {"5", [](GifBuilder& b) { b.Loop(5); }, true, 5},
        {"ANIMEXTS",
         [](GifBuilder& b) {
             b.Application("ANIMEXTS1.0", {std::string{1, 3, 0}});
         },
         true, 3},
        {"other application",
         [](GifBuilder& b) {
             b.Application("XMP DataXMP", {std::string{1, 3, 0}});
         },
         false, 1},
        {"sub-block not starting with 1",
         [](GifBuilder& b) {
             b.Application("NETSCAPE2.0", {std::string{2, 3, 0}});
         },
         false, 1},
        {"sub-block too short",
         [](GifBuilder& b) {
             b.Application("NETSCAPE2.0", {std::string{1, 3}});
         },
         false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GifBuilder b = Start();
        c.block(b);
        GifImageState image = Parse(b.Frame(2, 1, kTwoPixels, 2).Trailer());
        EXPECT_EQ(image.Looping, c.looping);
        EXPECT_EQ(image.RepeatCount, c.repeat);
        // Application blocks are not kept with the frame.
        EXPECT_TRUE(image.Frames[0].Extensions.empty());
    }
}

TEST(GifReader, TrailingCommentsBecomeImageComment) {
    GifImageState image = Parse(Start()
                                    .Comment({"frame note"})
                                    .Frame(2, 1, kTwoPixels, 2)
                                    .Comment({"first", std::string("bin\0ary", 7)})
                                    .GraphicControl(0, 0, 0)
                                    .Comment({"second"})
                                    .Trailer());
    const std::vector<std::string> expected = {"first", std::string("bin\0ary", 7), "\r\n\r\n",
                                               "second"};
    EXPECT_EQ(image.Data->Comment, expected);
    // The comment before the frame stays with the frame.
    ASSERT_NE(image.Frames[0].Comment(), nullptr);
    EXPECT_EQ(*image.Frames[0].Comment(), std::vector<std::string>{"frame note"});
}

TEST(GifReader, AnimatedFramesKeepTheirOwnData) {
    GifImageState image = Parse(Start(4, 4)
                                    .GraphicControl(0x01, 10, 0)
                                    .Frame(2, 1, kTwoPixels, 2)
                                    .GraphicControl(0x00, 20, 0)
                                    .Descriptor(2, 3, 1, 1, 3)
                                    .Raw(ImageData(3, LzwEncode({6}, 3)))
                                    .Trailer());
    ASSERT_EQ(image.Frames.size(), 2u);
    EXPECT_EQ(image.Frames[0].TransparentColor, TestColor(0));
    EXPECT_EQ(image.Frames[1].TransparentColor, kGifNoColor);
    EXPECT_EQ(image.Frames[1].AnimationInterval, 200);
    EXPECT_EQ(image.Frames[1].Left, 2);
    EXPECT_EQ(image.Frames[1].Item->BitsPerPixel, 3);
    EXPECT_EQ(image.Frames[0].Extensions.size(), 1u);
}

TEST(GifReader, TruncatedImageDataKeepsFrameMarkedCorrupted) {
    Bytes full = Start(2, 1).Frame(2, 1, kTwoPixels, 2).Data();
    // Cut inside the first sub-block (after its size byte), and right after the code size byte.
    for (std::size_t cut :
         {full.size() - 2, full.size() - 3 - LzwEncode(kTwoPixels, 2).size() + 1}) {
        SCOPED_TRACE(cut);
        Bytes file(full.begin(), full.begin() + std::ptrdiff_t(cut));
        GifImageState image = Parse(file);
        ASSERT_EQ(image.Frames.size(), 1u);
        EXPECT_TRUE(image.Frames[0].Corrupted);
        EXPECT_FALSE(image.Corrupted);
        ExpectRaises<EInvalidGraphicOperation>([&] { Parse(file, false); }, "Stream read error");
    }
}

TEST(GifReader, ExtensionSubBlockCutShortKeepsBytesPresent) {
    Bytes file = Start().Raw({0x21, 0xFE, 5, 'a', 'b'});
    GifImageState image = Parse(file);
    EXPECT_EQ(image.Data->Comment, std::vector<std::string>{"ab"});
}

TEST(GifReader, StrayBytes) {
    // Right after a frame: reading ends quietly, the frame is kept.
    GifImageState image = Parse(Start().Frame(2, 1, kTwoPixels, 2).Raw({'X', 0x2C, 1, 2}));
    EXPECT_EQ(image.Frames.size(), 1u);
    // Zero padding between blocks is skipped.
    EXPECT_EQ(
        Parse(Start().Raw({0, 0}).Frame(2, 1, kTwoPixels, 2).Raw({0, 0}).Trailer()).Frames.size(),
        1u);

    const Bytes elsewhere[] = {
        Start().Raw({'X'}).Frame(2, 1, kTwoPixels, 2).Trailer(),
        Start().GraphicControl(0, 0, 0).Raw({'X'}).Trailer(),
        Start().Comment({"c"}).Frame(2, 1, kTwoPixels, 2).Comment({"d"}).Raw({'X'}).Trailer(),
    };
    for (const Bytes& file : elsewhere) {
        ExpectRaises<EInvalidGraphicOperation>([&] { Parse(file); }, "Stream read error");
    }
}

TEST(GifReader, UnknownExtensionLabel) {
    ExpectRaises<EInvalidGraphicOperation>(
        [] {
            Parse(Start().Raw({0x21, 0x99, 0}));
        },
        "Unrecognized extension block: 99");
    ExpectRaises<EInvalidGraphicOperation>(
        [] {
            Parse(Start().Raw({0x21, 0x0A, 0}));
        },
        "Unrecognized extension block: 0A");
}

// Every fixed-size read is checked: a file cut anywhere inside a fixed block
// raises EReadError, never reads past the data.
TEST(GifReader, CutInsideFixedBlocksRaisesReadError) {
    GifBuilder b;
    b.Signature().Screen(2, 1, 1);
    const std::size_t screenEnd = b.Data().size();
    b.GraphicControl(1, 1, 1);
    const std::size_t controlEnd = b.Data().size();
    b.Application("NETSCAPE2.0", {std::string{1, 0, 0}});
    b.Descriptor(0, 0, 2, 1, 1);
    const std::size_t descriptorEnd = b.Data().size();
    const Bytes full = b.Data();
    struct Region {
        const char* name;
        std::size_t from, to; // cut lengths that must raise EReadError
    } regions[] = {
        {"signature", 1, 5},
        {"screen descriptor and global table", 6, screenEnd - 1},
        {"graphic control fixed block", screenEnd + 2, controlEnd - 1},
        {"application fixed block", controlEnd + 2, controlEnd + 13},
        {"image descriptor and local table", controlEnd + 20, descriptorEnd},
    };
    for (const Region& r : regions) {
        for (std::size_t cut = r.from; cut <= r.to; ++cut) {
            SCOPED_TRACE(std::string(r.name) + " cut at " + std::to_string(cut));
            Bytes file(full.begin(), full.begin() + std::ptrdiff_t(cut));
            EXPECT_THROW(Parse(file), EReadError);
        }
    }
}

TEST(GifReader, EmptyInputReadsNothing) {
    GifImageState image = Parse({});
    EXPECT_EQ(image.Version, 0);
    EXPECT_TRUE(image.Frames.empty());
}

TEST(GifReader, FailedLoadKeepsFramesAppendedBefore) {
    GifImageState image;
    image.Looping = true;
    Bytes file = Start().Frame(2, 1, kTwoPixels, 2).Raw({0x21, 0x42});
    EXPECT_THROW(GifParse(file, GifOptions{}, image), EInvalidGraphicOperation);
    EXPECT_EQ(image.Frames.size(), 1u);
    EXPECT_FALSE(image.Looping);
}

} // namespace
