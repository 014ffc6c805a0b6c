#include "components/gif/GifBitmap.h"

#include <cstring>
#include <new>

#include "components/gif/GifErrors.h"
#include "components/gif/GifLzw.h"
#include "framework/core/Exceptions.h"

namespace {

constexpr std::uint64_t kHeadersSize = 14 + 40;
constexpr std::uint64_t kMaxBmpField = 0x7FFFFFFF; // the BMP's sizes are signed 32-bit

void Put16(std::uint8_t*& p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p += 2;
}

void Put32(std::uint8_t*& p, std::uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}

void WriteHeaders(std::uint8_t* p, const GifItem& item, const GifBmpLayout& layout) {
    *p++ = 'B';
    *p++ = 'M';
    Put32(p, std::uint32_t(layout.FileSize));
    Put32(p, 0); // two reserved words
    Put32(p, std::uint32_t(layout.PixelOffset));
    Put32(p, 40);
    Put32(p, std::uint32_t(item.Width));
    Put32(p, std::uint32_t(item.Height)); // positive: rows bottom-up
    Put16(p, 1);
    Put16(p, std::uint32_t(layout.Depth));
    Put32(p, 0); // no compression
    Put32(p, std::uint32_t(layout.ImageSize));
    Put32(p, 0);
    Put32(p, 0);
    Put32(p, 0);
    Put32(p, 0);
    const GifColorTable& colors = item.ColorTable();
    const int entries = 1 << layout.Depth;
    for (int i = 0; i < entries; ++i) {
        if (i < colors.Count) {
            *p++ = colors.Entries[i][2];
            *p++ = colors.Entries[i][1];
            *p++ = colors.Entries[i][0];
            *p++ = 0;
        } else {
            std::memset(p, 128, 4);
            p += 4;
        }
    }
}

} // namespace

GifBmpLayout GifBitmapLayout(const GifItem& item, std::uint64_t maxPixels) {
    GifBmpLayout layout;
    const int bits = item.BitsPerPixel;
    if (bits == 1) {
        layout.Depth = 1;
    } else if (bits >= 2 && bits <= 4) {
        layout.Depth = 4;
    } else if (bits >= 5 && bits <= 8) {
        layout.Depth = 8;
    } else {
        GifRaise(kGifWrongColorCount);
    }
    if (item.Width < 0 || item.Height < 0) {
        GifRaise(kGifTooLarge);
    }
    const std::uint64_t width = std::uint64_t(item.Width);
    const std::uint64_t height = std::uint64_t(item.Height);
    if (width * height > maxPixels) {
        GifRaise(kGifTooLarge);
    }
    layout.RowSize = (width * std::uint64_t(layout.Depth) + 31) / 32 * 4;
    layout.ImageSize = height * layout.RowSize;
    layout.PixelOffset = kHeadersSize + (std::uint64_t(4) << layout.Depth);
    layout.FileSize = layout.PixelOffset + layout.ImageSize;
    if (layout.FileSize > kMaxBmpField) {
        GifRaise(kGifTooLarge);
    }
    return layout;
}

std::vector<std::uint8_t> DecodeFrameBitmap(const GifFrameInfo& frame, const GifOptions& options,
                                            bool& corrupted, GifProgress* progress) {
    if (progress) {
        progress->Progress(GifProgressStage::psStarting, 0, std::string());
    }
    try {
        const GifItem& item = *frame.Item;
        const GifBmpLayout layout = GifBitmapLayout(item, options.MaxPixels);
        std::vector<std::uint8_t> bmp;
        try {
            bmp.assign(std::size_t(layout.FileSize), 0);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
        WriteHeaders(bmp.data(), item, layout);
        GifPixelTarget target;
        target.Pixels = std::span<std::uint8_t>(bmp).subspan(std::size_t(layout.PixelOffset));
        target.Width = item.Width;
        target.Height = item.Height;
        target.Depth = layout.Depth;
        target.RowSize = std::size_t(layout.RowSize);
        target.Interlaced = frame.Interlaced;
        static const std::vector<std::uint8_t> kNoData;
        const std::vector<std::uint8_t>& data = item.EncodedData ? *item.EncodedData : kNoData;
        if (GifDecodeLzw(data, target, item.BitsPerPixel, options.LoadCorrupted, progress)) {
            corrupted = true;
        }
        if (progress) {
            progress->Progress(GifProgressStage::psEnding, 100, std::string());
        }
        return bmp;
    } catch (const Exception& e) {
        if (progress) {
            progress->Progress(GifProgressStage::psEnding, 0, e.Message());
        }
        throw;
    }
}
