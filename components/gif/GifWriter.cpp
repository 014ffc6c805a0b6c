#include "components/gif/GifWriter.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "components/gif/GifEncoder.h"
#include "components/gif/GifErrors.h"
#include "framework/core/Exceptions.h"

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::int64_t kMaxWord = 0xFFFF;

class ByteSink {
public:
    explicit ByteSink(std::vector<std::uint8_t>& out) : out_(out) {}
    void Byte(std::uint8_t b) { out_.push_back(b); }
    void Word(std::uint16_t w) {
        out_.push_back(std::uint8_t(w));
        out_.push_back(std::uint8_t(w >> 8));
    }
    void Bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void Fill(std::uint8_t b, std::size_t n) { out_.insert(out_.end(), n, b); }

private:
    std::vector<std::uint8_t>& out_;
};

// A position or size that the 16-bit fields cannot hold would be cut silently.
std::uint16_t CheckedWord(std::int64_t value) {
    if (value < 0 || value > kMaxWord) {
        GifRaise(kGifEncodingError);
    }
    return std::uint16_t(value);
}

int BitsReaching(std::int32_t count) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < count) {
        ++bits;
    }
    return bits;
}

void WriteSubBlocks(ByteSink& sink, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const std::size_t n = std::min<std::size_t>(line.size(), 255);
        if (n == 0) {
            continue;
        }
        sink.Byte(std::uint8_t(n));
        sink.Bytes(line.data(), n);
    }
    sink.Byte(0);
}

void WriteExtensions(ByteSink& sink, const std::vector<GifExtension>& extensions) {
    for (const GifExtension& extension : extensions) {
        sink.Byte(kExtensionIntroducer);
        switch (extension.Kind) {
        case GifExtensionKind::ekGraphicControl:
            sink.Byte(0xF9);
            sink.Bytes(extension.Fixed, 6);
            break;
        case GifExtensionKind::ekPlainText:
            sink.Byte(0x01);
            sink.Bytes(extension.Fixed, 13);
            WriteSubBlocks(sink, extension.Data);
            break;
        case GifExtensionKind::ekApplication:
            sink.Byte(0xFF);
            sink.Bytes(extension.Fixed, 12);
            WriteSubBlocks(sink, extension.Data);
            break;
        case GifExtensionKind::ekComment:
            sink.Byte(0xFE);
            WriteSubBlocks(sink, extension.Data);
            break;
        }
    }
}

// The stored data up to its last whole sub-block, then the terminator: a
// frame read from a file cut short lacks it, and without it every block after
// the frame would be misread.
void WriteEncodedData(ByteSink& sink, const std::vector<std::uint8_t>& data) {
    std::size_t pos = 1;
    while (pos < data.size()) {
        const std::size_t n = data[pos];
        if (n == 0) {
            sink.Bytes(data.data(), pos + 1);
            return;
        }
        if (n > data.size() - pos - 1) {
            break;
        }
        pos += 1 + n;
    }
    sink.Bytes(data.data(), std::min(pos, data.size()));
    sink.Byte(0);
}

int TableIndexOf(const GifColorTable& table, GifColor color) {
    if (color == kGifNoColor) {
        return -1;
    }
    const GifColor rgb = color & 0xFFFFFF;
    const int count = std::clamp(table.Count, 0, 256);
    for (int i = 0; i < count; ++i) {
        if (table.Color(i) == rgb) {
            return i;
        }
    }
    return -1;
}

void WriteFrame(ByteSink& sink, GifFrameInfo& frame) {
    GifItem& item = *frame.Item;
    WriteExtensions(sink, frame.Extensions);
    sink.Byte(kImageSeparator);
    sink.Word(CheckedWord(frame.Left));
    sink.Word(CheckedWord(frame.Top));
    sink.Word(CheckedWord(item.Width));
    sink.Word(CheckedWord(item.Height));
    std::uint8_t packed = 0;
    const GifColorTable& colors = item.ColorTable();
    const std::int32_t count = std::clamp(colors.Count, 0, 256);
    if (frame.LocalColors) {
        item.BitsPerPixel = std::uint8_t(BitsReaching(count));
        packed = std::uint8_t(0x80 + item.BitsPerPixel - 1);
    }
    if (frame.Interlaced) {
        packed |= 0x40;
    }
    sink.Byte(packed);
    if (frame.LocalColors) {
        sink.Bytes(colors.Entries, std::size_t(count) * 3);
        // The descriptor announces 2^bits entries; a short table would shift
        // everything after it.
        sink.Fill(0, (std::size_t(1) << item.BitsPerPixel) * 3 - std::size_t(count) * 3);
    }
    if (item.EncodedData && !item.EncodedData->empty()) {
        WriteEncodedData(sink, *item.EncodedData);
    }
}

void RecomputeScreen(GifImageState& image) {
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (const GifFrameInfo& frame : image.Frames) {
        width = std::max(width, std::int64_t(frame.Item->Width) + frame.Left);
        height = std::max(height, std::int64_t(frame.Item->Height) + frame.Top);
    }
    image.ScreenWidth = CheckedWord(width);
    image.ScreenHeight = CheckedWord(height);
}

void WriteScreen(ByteSink& sink, const GifImageState& image) {
    const GifData& data = *image.Data;
    const GifColorTable& global = data.GlobalColors;
    sink.Word(image.ScreenWidth);
    sink.Word(image.ScreenHeight);
    std::uint8_t packed = 0;
    std::uint8_t background = 0;
    if (global.Count > 0) {
        const int bits = GifBitsForColorCount(global.Count);
        if (bits == 0) {
            GifRaise(kGifWrongColorCount);
        }
        // The table size comes from the count: a stale bits field would make
        // readers take a table of another length.
        packed = std::uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1));
        background = std::uint8_t(std::max(TableIndexOf(global, image.BackgroundColor), 0));
    }
    sink.Byte(packed);
    sink.Byte(background);
    sink.Byte(data.AspectRatio);
    if (global.Count > 0) {
        sink.Bytes(global.Entries, std::size_t(global.Count) * 3);
    }
}

void WriteLoopBlock(ByteSink& sink, std::uint16_t repeatCount) {
    sink.Byte(kExtensionIntroducer);
    sink.Byte(0xFF);
    sink.Byte(11);
    sink.Bytes("NETSCAPE2.0", 11);
    sink.Byte(3);
    sink.Byte(1);
    sink.Word(repeatCount);
    sink.Byte(0);
}

} // namespace

void PrepareFrameExtensions(GifFrameInfo& frame, std::uint8_t& version) {
    auto& extensions = frame.Extensions;
    GifExtension* control = nullptr;
    for (auto it = extensions.rbegin(); it != extensions.rend(); ++it) {
        if (it->Kind == GifExtensionKind::ekGraphicControl) {
            control = &*it;
            break;
        }
    }
    if (control == nullptr && (frame.AnimationInterval != 0 ||
                               frame.TransparentColor != kGifNoColor || frame.Disposal != 0)) {
        GifExtension created;
        created.Kind = GifExtensionKind::ekGraphicControl;
        created.Fixed[0] = 4;
        extensions.push_back(created);
        control = &extensions.back();
    }
    if (control != nullptr) {
        const std::uint16_t delay = std::uint16_t(frame.AnimationInterval / 10);
        control->Fixed[2] = std::uint8_t(delay);
        control->Fixed[3] = std::uint8_t(delay >> 8);
        std::uint8_t packed = control->Fixed[1];
        const int index = TableIndexOf(frame.Item->ColorTable(), frame.TransparentColor);
        if (index >= 0) {
            control->Fixed[4] = std::uint8_t(index);
            packed |= 1;
        } else {
            packed &= std::uint8_t(~1u);
        }
        control->Fixed[1] = std::uint8_t((packed & 0xE3) | ((frame.Disposal & 7) << 2));
    }
    std::erase_if(extensions, [](const GifExtension& extension) {
        return extension.Kind == GifExtensionKind::ekComment && extension.Data.empty();
    });
    if (!extensions.empty()) {
        version = 2;
    }
}

std::vector<std::uint8_t> GifSaveToBytes(GifImageState& image, const GifFrameEncoder& encode,
                                         bool sizePrefix) {
    if (image.Frames.empty()) {
        GifRaise(kGifNoData);
    }
    for (std::size_t i = 0; i < image.Frames.size(); ++i) {
        GifFrameInfo& frame = image.Frames[i];
        if (!frame.Item->EncodedData || frame.Item->EncodedData->empty()) {
            frame.Item->EncodedData.reset();
            if (!encode) {
                GifRaise(kGifNoData);
            }
            encode(i, frame);
            // An aborted encoding leaves the frame empty: a descriptor without image data
            // would make a file no reader takes.
            if (!frame.Item->EncodedData || frame.Item->EncodedData->empty()) {
                GifRaise(kGifNoData);
            }
        }
        PrepareFrameExtensions(frame, image.Version);
    }
    if (!image.Data->Comment.empty()) {
        image.Version = 2;
    }
    RecomputeScreen(image);

    std::vector<std::uint8_t> out;
    try {
        if (sizePrefix) {
            out.resize(4);
        }
        ByteSink sink(out);
        sink.Bytes(image.Version == 2 ? "GIF89a" : "GIF87a", 6);
        WriteScreen(sink, image);
        if (image.Looping && image.Frames.size() > 1) {
            WriteLoopBlock(sink, image.RepeatCount);
        }
        for (GifFrameInfo& frame : image.Frames) {
            WriteFrame(sink, frame);
        }
        if (!image.Data->Comment.empty()) {
            sink.Byte(kExtensionIntroducer);
            sink.Byte(0xFE);
            WriteSubBlocks(sink, image.Data->Comment);
        }
        sink.Byte(kTrailer);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    if (sizePrefix) {
        const auto size = std::uint32_t(out.size() - 4);
        for (int i = 0; i < 4; ++i) {
            out[std::size_t(i)] = std::uint8_t(size >> (8 * i));
        }
    }
    return out;
}

namespace {

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) |
           (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

} // namespace

GifBmpFrame GifReadBmpForEncoding(std::span<const std::uint8_t> bmp) {
    constexpr std::size_t kFileHeader = 14;
    if (bmp.size() < kFileHeader + 40 || bmp[0] != 'B' || bmp[1] != 'M') {
        GifRaise(kGifEncodingError);
    }
    const std::uint64_t headerSize = U32(bmp, 14);
    // The information header and its later, longer forms; not the old core header.
    if (headerSize < 40 || headerSize > bmp.size() - kFileHeader) {
        GifRaise(kGifEncodingError);
    }
    GifBmpFrame frame;
    const std::int32_t width = std::int32_t(U32(bmp, 18));
    const std::int32_t height = std::int32_t(U32(bmp, 22));
    frame.Depth = U16(bmp, 28);
    const std::uint32_t compression = U32(bmp, 30);
    const std::uint32_t colorsUsed = U32(bmp, 46);
    if (frame.Depth != 1 && frame.Depth != 4 && frame.Depth != 8) {
        GifRaise(kGifEncodingError);
    }
    if (compression != 0 || width <= 0 || width > kMaxWord || height == 0 || height < -kMaxWord ||
        height > kMaxWord) {
        GifRaise(kGifEncodingError);
    }
    const std::uint32_t entries = 1u << frame.Depth;
    const std::uint32_t given = colorsUsed == 0 ? entries : colorsUsed;
    if (given > entries) {
        GifRaise(kGifEncodingError);
    }
    const std::uint64_t paletteAt = kFileHeader + headerSize;
    if (std::uint64_t(given) * 4 > bmp.size() - paletteAt) {
        GifRaise(kGifEncodingError);
    }
    frame.Width = width;
    frame.TopDown = height < 0;
    frame.Height = height < 0 ? -height : height;
    const std::uint64_t rowSize = (std::uint64_t(width) * std::uint64_t(frame.Depth) + 31) / 32 * 4;
    const std::uint64_t pixelsAt = U32(bmp, 10);
    const std::uint64_t imageSize = rowSize * std::uint64_t(frame.Height);
    if (pixelsAt > bmp.size() || imageSize > bmp.size() - pixelsAt) {
        GifRaise(kGifEncodingError);
    }
    frame.RowSize = std::size_t(rowSize);
    frame.Pixels = bmp.subspan(std::size_t(pixelsAt), std::size_t(imageSize));
    frame.Colors.Count = std::int32_t(entries);
    for (std::uint32_t i = 0; i < given; ++i) {
        const std::size_t at = std::size_t(paletteAt) + 4 * i;
        frame.Colors.Entries[i][0] = bmp[at + 2];
        frame.Colors.Entries[i][1] = bmp[at + 1];
        frame.Colors.Entries[i][2] = bmp[at];
    }
    return frame;
}

void EncodeFrameFromBmp(GifImageState& image, GifFrameInfo& frame,
                        std::span<const std::uint8_t> bmp, GifProgress* progress) {
    if (progress) {
        progress->Progress(GifProgressStage::psStarting, 0, std::string());
    }
    try {
        const GifBmpFrame source = GifReadBmpForEncoding(bmp);
        const std::int64_t right = std::int64_t(source.Width) + frame.Left;
        const std::int64_t bottom = std::int64_t(source.Height) + frame.Top;
        CheckedWord(frame.Left);
        CheckedWord(frame.Top);
        CheckedWord(right);
        CheckedWord(bottom);

        GifPixelSource pixels;
        pixels.Pixels = source.Pixels;
        pixels.Width = source.Width;
        pixels.Height = source.Height;
        pixels.Depth = source.Depth;
        pixels.RowSize = source.RowSize;
        pixels.TopDown = source.TopDown;
        std::vector<std::uint8_t> encoded;
        try {
            GifEncodeLzw(pixels, encoded, progress);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }

        GifItem& item = *frame.Item;
        auto colors = std::make_shared<GifColorTable>(source.Colors);
        item.EncodedData = std::move(encoded);
        item.Colors = colors;
        item.BitsPerPixel = std::uint8_t(BitsReaching(colors->Count));
        item.Width = source.Width;
        item.Height = source.Height;
        frame.Interlaced = false;
        GifData& data = *image.Data;
        if (data.GlobalColors.Count > 0) {
            frame.LocalColors = true;
        } else {
            data.GlobalColors = *colors;
            data.BitsPerPixel = item.BitsPerPixel;
            frame.LocalColors = false;
        }
        image.ScreenWidth = std::max<std::uint16_t>(image.ScreenWidth, std::uint16_t(right));
        image.ScreenHeight = std::max<std::uint16_t>(image.ScreenHeight, std::uint16_t(bottom));
        if (progress) {
            progress->Progress(GifProgressStage::psEnding, 100, std::string());
        }
    } catch (const Exception& e) {
        if (progress) {
            progress->Progress(GifProgressStage::psEnding, 0, e.Message());
        }
        throw;
    }
}
