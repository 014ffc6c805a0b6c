#include "components/gif/GifReader.h"

#include <algorithm>
#include <cstring>

#include "components/MaxMin.h"
#include "components/gif/GifErrors.h"

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21; // '!'
constexpr std::uint8_t kImageSeparator = 0x2C;      // ','
constexpr std::uint8_t kTrailer = 0x3B;             // ';'

constexpr std::uint8_t kLabelGraphicControl = 0xF9;
constexpr std::uint8_t kLabelComment = 0xFE;
constexpr std::uint8_t kLabelPlainText = 0x01;
constexpr std::uint8_t kLabelApplication = 0xFF;

// A cursor over the file's bytes. Every fixed-size read is checked and raises
// EReadError; the sub-block readers take only the bytes that are there.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes)
        : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    bool Exhausted() const { return p_ == end_; }
    std::size_t Remaining() const { return std::size_t(end_ - p_); }
    const std::uint8_t* Position() const { return p_; }

    std::uint8_t Byte() {
        if (p_ == end_) {
            GifRaiseReadError();
        }
        return *p_++;
    }

    void Read(void* out, std::size_t n) {
        if (n > Remaining()) {
            GifRaiseReadError();
        }
        std::memcpy(out, p_, n);
        p_ += n;
    }

    // Takes up to n bytes; fewer when the data ends first.
    std::span<const std::uint8_t> Take(std::size_t n) {
        n = std::min(n, Remaining());
        std::span<const std::uint8_t> taken(p_, n);
        p_ += n;
        return taken;
    }

    void SkipToEnd() { p_ = end_; }

    // Skips zero bytes and returns the first other byte, or 0 at the end.
    std::uint8_t SkipToSeparator() {
        while (p_ != end_) {
            std::uint8_t b = *p_++;
            if (b != 0) {
                return b;
            }
        }
        return 0;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

std::uint16_t Word(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

bool EqualsIgnoringCase(const std::uint8_t* bytes, const char* text, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        auto lower = [](unsigned c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
        if (lower(bytes[i]) != lower(std::uint8_t(text[i]))) {
            return false;
        }
    }
    return true;
}

// Sub-blocks until a zero size or the end of the data; a sub-block cut short
// keeps the bytes that are there.
void ReadSubBlocks(ByteCursor& in, std::vector<std::string>& out) {
    while (!in.Exhausted()) {
        std::uint8_t size = in.Byte();
        if (size == 0) {
            return;
        }
        auto bytes = in.Take(size);
        out.emplace_back(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
}

std::shared_ptr<GifColorTable> ReadColorTable(ByteCursor& in, int bits) {
    auto table = std::make_shared<GifColorTable>();
    table->Count = 1 << bits;
    in.Read(table->Entries, std::size_t(table->Count) * 3);
    return table;
}

void GifReadSignature(ByteCursor& in, GifImageState& image) {
    std::uint8_t signature[6];
    in.Read(signature, 3);
    if (!EqualsIgnoringCase(signature, "GIF", 3)) {
        GifRaise(kGifUnknownVersion);
    }
    in.Read(signature + 3, 3);
    if (EqualsIgnoringCase(signature + 3, "87a", 3)) {
        image.Version = 1;
    } else if (EqualsIgnoringCase(signature + 3, "89a", 3)) {
        image.Version = 2;
    } else {
        GifRaise(kGifUnknownVersion);
    }
}

void ReadScreen(ByteCursor& in, GifImageState& image) {
    std::uint8_t screen[7];
    in.Read(screen, sizeof screen);
    image.ScreenWidth = Word(screen);
    image.ScreenHeight = Word(screen + 2);
    const std::uint8_t packed = screen[4];
    GifData& data = *image.Data;
    data.BitsPerPixel = std::uint8_t((packed & 7) + 1);
    data.ColorResolution = std::uint8_t(((packed >> 4) & 7) + 1);
    data.AspectRatio = screen[6];
    if (packed & 0x80) {
        data.GlobalColors = *ReadColorTable(in, data.BitsPerPixel);
        if (screen[5] < data.GlobalColors.Count) {
            image.BackgroundColor = data.GlobalColors.Color(screen[5]);
        }
    }
}

GifExtension ReadOneExtension(ByteCursor& in) {
    GifExtension extension;
    const std::uint8_t label = in.Byte();
    switch (label) {
    case kLabelGraphicControl:
        extension.Kind = GifExtensionKind::ekGraphicControl;
        in.Read(extension.Fixed, 6);
        break;
    case kLabelComment:
        extension.Kind = GifExtensionKind::ekComment;
        ReadSubBlocks(in, extension.Data);
        break;
    case kLabelPlainText:
        extension.Kind = GifExtensionKind::ekPlainText;
        in.Read(extension.Fixed, 13);
        ReadSubBlocks(in, extension.Data);
        break;
    case kLabelApplication:
        extension.Kind = GifExtensionKind::ekApplication;
        in.Read(extension.Fixed, 12);
        ReadSubBlocks(in, extension.Data);
        break;
    default:
        GifRaiseUnknownExtension(label);
    }
    return extension;
}

// Reads the run of extension blocks that starts at separator (when it is
// '!'); returns those that wait for the next frame and leaves the separator
// of the block after them.
std::vector<GifExtension> GifReadExtensionBlocks(ByteCursor& in, std::uint8_t& separator,
                                                 GifImageState& image) {
    std::vector<GifExtension> pending;
    while (separator == kExtensionIntroducer) {
        GifExtension extension = ReadOneExtension(in);
        switch (extension.Kind) {
        case GifExtensionKind::ekPlainText:
            // Text rendered over the picture consumes the control blocks meant for it.
            pending.clear();
            break;
        case GifExtensionKind::ekApplication:
            if (IsAnimationLoopBlock(extension)) {
                const std::string& loop = extension.Data.front();
                image.Looping = true;
                image.RepeatCount = std::uint16_t(
                    IntMin(Word(reinterpret_cast<const std::uint8_t*>(loop.data()) + 1), 30000));
            }
            break;
        default:
            pending.push_back(std::move(extension));
        }
        separator = in.Exhausted() ? kTrailer : in.SkipToSeparator();
    }
    return pending;
}

// The frame's image data is copied as stored; a sub-block that reaches past the
// end of the file marks the frame corrupted instead of being read.
void ReadFrameData(ByteCursor& in, GifFrameInfo& frame) {
    GifItem& item = *frame.Item;
    std::uint8_t descriptor[9];
    in.Read(descriptor, sizeof descriptor);
    frame.Left = Word(descriptor);
    frame.Top = Word(descriptor + 2);
    item.Width = Word(descriptor + 4);
    item.Height = Word(descriptor + 6);
    item.Packed = descriptor[8];
    frame.Interlaced = (item.Packed & 0x40) != 0;
    if (item.Packed & 0x80) {
        item.BitsPerPixel = std::uint8_t((item.Packed & 7) + 1);
        frame.LocalColors = true;
        item.Colors = ReadColorTable(in, item.BitsPerPixel);
    } else {
        frame.LocalColors = false;
        item.Colors.reset();
    }

    std::vector<std::uint8_t> encoded;
    encoded.push_back(in.Byte()); // minimum code size
    for (;;) {
        if (in.Exhausted()) {
            // The file ends before the block terminator.
            frame.Corrupted = true;
            break;
        }
        const std::uint8_t size = in.Byte();
        if (size > in.Remaining()) {
            // Dropped whole, so that no stored size byte claims more than is stored.
            frame.Corrupted = true;
            in.SkipToEnd();
            break;
        }
        encoded.push_back(size);
        auto bytes = in.Take(size);
        encoded.insert(encoded.end(), bytes.begin(), bytes.end());
        if (size == 0 || in.Exhausted()) {
            break;
        }
    }
    item.EncodedData = std::move(encoded);
}

void ApplyGraphicControl(GifFrameInfo& frame) {
    const GifColorTable& colors = frame.Item->ColorTable();
    std::int32_t interval = 0;
    for (const GifExtension& extension : frame.Extensions) {
        if (extension.Kind != GifExtensionKind::ekGraphicControl) {
            continue;
        }
        const std::uint8_t packed = extension.Fixed[1];
        const std::uint8_t index = extension.Fixed[4];
        if ((packed & 1) == 0) {
            frame.TransparentColor = kGifNoColor;
        } else if (index < colors.Count) {
            frame.TransparentColor = colors.Color(index);
        }
        interval = IntMax(Word(extension.Fixed + 2) * 10, interval);
        frame.Disposal = std::uint8_t((packed >> 2) & 7);
    }
    // Delays above 6553 hundredths do not fit the 16-bit interval: saturate, not wrap.
    frame.AnimationInterval = std::uint16_t(IntMin(interval, 65535));
}

void ReadFrame(ByteCursor& in, const GifOptions& options, const GifImageState& image,
               const std::shared_ptr<const GifColorTable>& globalColors, GifFrameInfo& frame) {
    try {
        ReadFrameData(in, frame);
        if (frame.Corrupted && !options.LoadCorrupted) {
            GifRaise(kGifReadError);
        }
    } catch (...) {
        frame.Item->EncodedData.reset();
        throw;
    }
    GifItem& item = *frame.Item;
    if (item.Width == 0) {
        item.Width = image.ScreenWidth;
    }
    if (item.Height == 0) {
        item.Height = image.ScreenHeight;
    }
    if (!frame.LocalColors) {
        item.Colors = globalColors;
    }
    ApplyGraphicControl(frame);
}

// Comments that follow the last frame belong to the image.
void TakeImageComment(std::vector<GifExtension>& pending, GifData& data) {
    int taken = 0;
    for (GifExtension& extension : pending) {
        if (extension.Kind != GifExtensionKind::ekComment) {
            continue;
        }
        if (taken++ > 0) {
            data.Comment.emplace_back("\r\n\r\n");
        }
        for (std::string& line : extension.Data) {
            data.Comment.push_back(std::move(line));
        }
    }
    pending.clear();
}

} // namespace

bool IsAnimationLoopBlock(const GifExtension& extension) {
    if (extension.Kind != GifExtensionKind::ekApplication || extension.Data.empty()) {
        return false;
    }
    const std::size_t n = std::min<std::size_t>(extension.Fixed[0], 11);
    const std::uint8_t* id = extension.Fixed + 1;
    if (std::memcmp(id, "NETSCAPE2.0", n) != 0 && std::memcmp(id, "ANIMEXTS1.0", n) != 0) {
        return false;
    }
    const std::string& first = extension.Data.front();
    return first.size() >= 3 && first[0] == 1;
}

void GifParse(std::span<const std::uint8_t> bytes, const GifOptions& options,
              GifImageState& image) {
    image.Reset();
    if (bytes.empty()) {
        return;
    }
    ByteCursor in(bytes);
    GifReadSignature(in, image);
    ReadScreen(in, image);
    GifData& data = *image.Data;
    std::shared_ptr<const GifColorTable> globalColors;
    if (data.GlobalColors.Count > 0) {
        globalColors = std::make_shared<const GifColorTable>(data.GlobalColors);
    }

    std::uint8_t separator = in.SkipToSeparator();
    while (separator != 0 && separator != kTrailer && !in.Exhausted()) {
        std::vector<GifExtension> pending = GifReadExtensionBlocks(in, separator, image);
        if (separator == kImageSeparator) {
            GifFrameInfo frame;
            if (data.GlobalColors.Count > 0) {
                const int bits = GifBitsForColorCount(data.GlobalColors.Count);
                if (bits == 0) {
                    GifRaise(kGifWrongColorCount);
                }
                frame.Item->BitsPerPixel = std::uint8_t(bits);
            }
            frame.Extensions = std::move(pending);
            ReadFrame(in, options, image, globalColors, frame);
            image.Frames.push_back(std::move(frame));
            separator = in.Exhausted() ? kTrailer : in.SkipToSeparator();
            if (separator != kExtensionIntroducer && separator != kImageSeparator &&
                separator != kTrailer) {
                // Junk after a frame's data is a common encoder slip: end quietly.
                separator = 0;
            }
        } else if (data.Comment.empty() && !pending.empty()) {
            TakeImageComment(pending, data);
        } else if (separator != 0 && separator != kTrailer) {
            GifRaise(kGifReadError);
        }
    }
    if (!image.Frames.empty()) {
        image.FrameIndex = 0;
    }
}
