// Parses any bytes as a GIF and decodes every frame under a pixel cap.
// Byte 0 chooses the settings: bit 0 keeps damaged frames (the program's
// setting), bit 1 reads the rest as a clipboard block (size prefix first).
// Only the library's two documented failures may come out; anything else
// (another exception, a sanitizer report, a broken BMP) is a finding.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifReader.h"
#include "components/gif/GifStreamIo.h"
#include "framework/core/Exceptions.h"

namespace {

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckBmp(const std::vector<std::uint8_t>& bmp, const GifFrameInfo& frame) {
    const GifItem& item = *frame.Item;
    Require(bmp.size() >= 54 && bmp[0] == 'B' && bmp[1] == 'M');
    const int depth = bmp[28];
    Require(depth == 1 || depth == 4 || depth == 8);
    const std::uint64_t rowSize = (std::uint64_t(item.Width) * std::uint64_t(depth) + 31) / 32 * 4;
    const std::uint64_t offset = 54 + (std::uint64_t(4) << depth);
    Require(U32(&bmp[2]) == bmp.size());
    Require(U32(&bmp[10]) == offset);
    Require(std::int32_t(U32(&bmp[18])) == item.Width &&
            std::int32_t(U32(&bmp[22])) == item.Height);
    Require(U32(&bmp[34]) == rowSize * std::uint64_t(item.Height));
    Require(bmp.size() == offset + rowSize * std::uint64_t(item.Height));
    // Every pixel is masked to the frame's table.
    const unsigned mask = (1u << item.BitsPerPixel) - 1;
    if (depth == 8) {
        for (std::int32_t y = 0; y < item.Height; ++y) {
            const std::uint8_t* row = &bmp[offset + std::uint64_t(y) * rowSize];
            for (std::int32_t x = 0; x < item.Width; ++x) {
                Require(row[x] <= mask);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    GifOptions options;
    options.LoadCorrupted = (data[0] & 1) != 0;
    options.MaxPixels = std::uint64_t(1) << 22;
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    GifImageState image;
    try {
        if (data[0] & 2) {
            GifLoadFromClipboardBlock(bytes, options, image);
        } else {
            GifParse(bytes, options, image);
        }
    } catch (const EInvalidGraphicOperation&) {
    } catch (const EReadError&) {
    }
    // A budget over all frames keeps a file of many large frames from timing out.
    std::uint64_t budget = std::uint64_t(1) << 24;
    for (const GifFrameInfo& frame : image.Frames) {
        const std::uint64_t pixels =
            std::uint64_t(frame.Item->Width) * std::uint64_t(frame.Item->Height);
        if (pixels > budget) {
            break;
        }
        budget -= pixels;
        bool corrupted = frame.Corrupted;
        try {
            CheckBmp(DecodeFrameBitmap(frame, options, corrupted), frame);
            Require(corrupted || !frame.Corrupted);
        } catch (const EInvalidGraphicOperation&) {
        }
    }
    return 0;
}
