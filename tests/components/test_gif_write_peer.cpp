// Files the writer makes, read by another decoder (giflib): the same
// indexes, tables and screen, interlaced or not, at every depth.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstring>

#include "components/gif/GifEncoder.h"
#include "components/gif/GifWriter.h"
#include "tests/components/GifWriteSupport.h"

namespace {

struct Reader {
    const Bytes* Data;
    std::size_t Pos = 0;
};

int ReadBytes(GifFileType* file, GifByteType* out, int n) {
    auto* reader = static_cast<Reader*>(file->UserData);
    const std::size_t take =
        std::min<std::size_t>(std::size_t(n), reader->Data->size() - reader->Pos);
    std::memcpy(out, reader->Data->data() + reader->Pos, take);
    reader->Pos += take;
    return int(take);
}

TEST(GifWritePeer, GiflibReadsTheSamePixels) {
    struct Case {
        int Width, Height, Depth;
        bool Interlaced;
    };
    const Case cases[] = {{1, 1, 1, false},     {31, 7, 1, false},   {13, 10, 4, true},
                          {300, 200, 8, false}, {300, 200, 8, true}, {3838, 1, 8, false}};
    unsigned seed = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height) + "@" +
                     std::to_string(c.Depth));
        Bytes indexes = NoiseIndexes(std::size_t(c.Width * c.Height), c.Depth, seed++);
        if (c.Width == 3838) { // the table fills on the last pixel
            for (int i = 0; i < c.Width; ++i) {
                indexes[std::size_t(i)] = std::uint8_t((i % 256) * (2 * (i / 256) + 1));
            }
        }
        GifImageState image = EncodedImage(c.Width, c.Height, c.Depth, indexes);
        if (c.Interlaced) {
            // Encoded again with the rows in the four interlace passes.
            BmpLayout layout{c.Width, c.Height, c.Depth, indexes};
            const Bytes bmp = MakeBmp(layout);
            const GifBmpFrame source = GifReadBmpForEncoding(bmp);
            GifPixelSource pixels{source.Pixels,  source.Width, source.Height, source.Depth,
                                  source.RowSize, false,        true};
            GifFrameInfo& frame = image.Frames[0];
            frame.Interlaced = true;
            frame.Item->EncodedData.emplace();
            GifEncodeLzw(pixels, *frame.Item->EncodedData);
        }
        const Bytes gif = GifSaveToBytes(image, nullptr);
        Reader reader{&gif};
        int error = 0;
        GifFileType* file = DGifOpen(&reader, &ReadBytes, &error);
        ASSERT_NE(file, nullptr) << error;
        ASSERT_EQ(DGifSlurp(file), GIF_OK) << file->Error;
        EXPECT_EQ(file->SWidth, c.Width);
        EXPECT_EQ(file->SHeight, c.Height);
        ASSERT_EQ(file->ImageCount, 1);
        const SavedImage& saved = file->SavedImages[0];
        EXPECT_EQ(bool(saved.ImageDesc.Interlace), c.Interlaced);
        ASSERT_NE(file->SColorMap, nullptr);
        EXPECT_EQ(file->SColorMap->ColorCount, 1 << c.Depth);
        EXPECT_EQ(file->SColorMap->Colors[1].Red, BmpRed(1));
        ASSERT_EQ(saved.ImageDesc.Width, c.Width);
        ASSERT_EQ(saved.ImageDesc.Height, c.Height);
        EXPECT_EQ(Bytes(saved.RasterBits, saved.RasterBits + c.Width * c.Height), indexes);
        DGifCloseFile(file, &error);
    }
}

} // namespace
