// Size prefixes that arrive from files and other programs are checked
// against the bytes really there before anything is allocated.
#include <gtest/gtest.h>

#include "components/gif/GifStreamIo.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "tests/components/GifTestBuilder.h"

namespace {

Bytes SmallGif() {
    return GifBuilder().Signature().Screen(2, 1, 1).Frame(2, 1, {0, 1}, 2).Trailer();
}

Bytes WithPrefix(std::int32_t size, const Bytes& body) {
    Bytes out = {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                 std::uint8_t(size >> 24)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void Fill(TMemoryStream& stream, const Bytes& bytes) {
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
}

TEST(GifStreams, LoadFromStreamReadsSizeBytesFromThePosition) {
    Bytes bytes = {'x', 'y'};
    const Bytes gif = SmallGif();
    bytes.insert(bytes.end(), gif.begin(), gif.end());
    TMemoryStream stream;
    Fill(stream, bytes);
    stream.SetPosition(2);
    GifImageState image;
    GifLoadFromStream(stream.Size() - 2, stream, GifOptions{}, image);
    EXPECT_EQ(image.Frames.size(), 1u);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(GifStreams, SizeAboveRemainingBytesRaisesBeforeReading) {
    TMemoryStream stream;
    Fill(stream, SmallGif());
    GifImageState image;
    image.Frames.emplace_back();
    EXPECT_THROW(GifLoadFromStream(std::int64_t(1) << 40, stream, GifOptions{}, image), EReadError);
    EXPECT_TRUE(image.Frames.empty()); // reset first
    EXPECT_EQ(stream.Position(), 0);
}

TEST(GifStreams, DataStreamPrefix) {
    const Bytes gif = SmallGif();
    struct Case {
        const char* name;
        Bytes bytes;
        bool raises;
        std::size_t frames;
    } cases[] = {
        {"exact size", WithPrefix(std::int32_t(gif.size()), gif), false, 1},
        {"zero size reads nothing", WithPrefix(0, gif), false, 0},
        {"negative size reads nothing", WithPrefix(-5, gif), false, 0},
        {"size beyond the data", WithPrefix(std::int32_t(gif.size()) + 1, gif), true, 0},
        {"huge size", WithPrefix(0x7FFFFFFF, gif), true, 0},
        {"prefix cut short", Bytes{1, 0}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMemoryStream stream;
        Fill(stream, c.bytes);
        GifImageState image;
        if (c.raises) {
            EXPECT_THROW(GifReadDataStream(stream, GifOptions{}, image), EReadError);
        } else {
            GifReadDataStream(stream, GifOptions{}, image);
            EXPECT_EQ(image.Frames.size(), c.frames);
        }
    }
}

TEST(GifStreams, ClipboardBlock) {
    const Bytes gif = SmallGif();
    struct Case {
        const char* name;
        Bytes block;
        bool raises;
        std::size_t frames;
    } cases[] = {
        {"exact size", WithPrefix(std::int32_t(gif.size()), gif), false, 1},
        {"block larger than the size",
         [&] {
             Bytes b = WithPrefix(std::int32_t(gif.size()), gif);
             b.insert(b.end(), 3, 0);
             return b;
         }(),
         false, 1},
        {"size beyond the block", WithPrefix(std::int32_t(gif.size()) + 1, gif), true, 0},
        {"huge size", WithPrefix(0x7FFFFFFF, gif), true, 0},
        {"empty block", Bytes{}, true, 0},
        {"block under 4 bytes", Bytes{1, 0, 0}, true, 0},
        {"zero size", WithPrefix(0, {}), false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifImageState image;
        if (c.raises) {
            EXPECT_THROW(GifLoadFromClipboardBlock(c.block, GifOptions{}, image), EReadError);
        } else {
            GifLoadFromClipboardBlock(c.block, GifOptions{}, image);
            EXPECT_EQ(image.Frames.size(), c.frames);
        }
    }
}

} // namespace
