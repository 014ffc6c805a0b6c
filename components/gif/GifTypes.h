#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The portable model of a GIF picture: everything the picture class keeps
// except its device bitmaps. The reader fills it, the decoder turns one frame
// of it into BMP bytes, and the Windows picture class wraps it.

// A colour of the class library: 0x00BBGGRR.
using GifColor = std::int32_t;
// "No colour": no transparency, no background.
constexpr GifColor kGifNoColor = 0x1FFFFFFF;

// Picks the frame bitmap's default pixel of a transparent bitmap (bottom-left).
constexpr GifColor kGifDefaultColor = 0x20000000;

// A colour table: Count meaningful entries (0 to 256) of red, green, blue.
struct GifColorTable {
    std::int32_t Count = 0;
    std::uint8_t Entries[256][3] = {};

    // The entry as a colour: red | green << 8 | blue << 16. Index must be below 256.
    GifColor Color(int index) const {
        return Entries[index][0] | (Entries[index][1] << 8) | (Entries[index][2] << 16);
    }
    bool operator==(const GifColorTable& other) const;
};

// 1 to 8 for a count of 2, 4, ..., 256; 0 for any other count.
int GifBitsForColorCount(std::int32_t count);

enum class GifExtensionKind : std::uint8_t {
    ekGraphicControl,
    ekPlainText,
    ekApplication,
    ekComment
};

// One extension block as read. Data holds one string per data sub-block
// (binary-safe, without the size byte); a graphic control block has none.
struct GifExtension {
    GifExtensionKind Kind = GifExtensionKind::ekComment;
    // The fixed block after the label: 6 bytes for graphic control, 13 for
    // plain text, 12 for application (block size byte included); unused otherwise.
    std::uint8_t Fixed[13] = {};
    std::vector<std::string> Data;
};

// Data shared by images assigned from one another.
struct GifData {
    std::vector<std::string> Comment; // the comments after the last frame
    std::uint8_t AspectRatio = 0;
    std::uint8_t BitsPerPixel = 0; // size of the global colour table
    std::uint8_t ColorResolution = 0;
    GifColorTable GlobalColors;
};

// The compressed data of one frame, shared by frames assigned from one another.
struct GifItem {
    // The image data exactly as stored after the descriptor and the local
    // table: minimum code size, sub-blocks with their size bytes, terminator.
    // Empty optional: the frame was never encoded.
    std::optional<std::vector<std::uint8_t>> EncodedData;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint8_t Packed = 0;
    std::uint8_t BitsPerPixel = 0; // 0 until a colour table gives it
    // Local table, or the global one shared without a copy (frames of a long
    // animation would otherwise cost 772 bytes each). Null means no colours.
    std::shared_ptr<const GifColorTable> Colors;

    const GifColorTable& ColorTable() const;
};

// One frame without its bitmap.
struct GifFrameInfo {
    std::shared_ptr<GifItem> Item = std::make_shared<GifItem>();
    std::vector<GifExtension> Extensions; // those that preceded the frame
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    bool Interlaced = false;
    bool Corrupted = false;
    bool Grayscale = false;
    GifColor TransparentColor = kGifNoColor;
    std::uint16_t AnimationInterval = 0; // milliseconds
    std::uint8_t Disposal = 0;
    bool LocalColors = false;

    // The lines of the last comment extension, or null when there is none.
    const std::vector<std::string>* Comment() const;
};

// The image without its bitmaps: what a load produces.
struct GifImageState {
    std::shared_ptr<GifData> Data = std::make_shared<GifData>();
    std::uint8_t Version = 0; // 0 none yet, 1 "87a", 2 "89a"
    std::vector<GifFrameInfo> Frames;
    std::int32_t FrameIndex = -1;
    std::uint16_t ScreenWidth = 0;
    std::uint16_t ScreenHeight = 0;
    GifColor BackgroundColor = kGifNoColor;
    bool Looping = false;
    bool Corrupted = false;
    std::uint16_t RepeatCount = 1;

    // The state before every load: new data, no frames.
    void Reset();
};

// Progress of one frame's decoding.
enum class GifProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

class GifProgress {
public:
    virtual ~GifProgress() = default;
    // Percent of the frame's encoded data consumed; message is empty except
    // for psEnding after a failure, where it is the exception's message.
    virtual void Progress(GifProgressStage stage, int percent, const std::string& message) = 0;
};

// Reader and decoder settings.
struct GifOptions {
    // Keep damaged frames, marked corrupted, instead of failing.
    bool LoadCorrupted = true;
    // Frames with more pixels raise "GIF image is too large" before any
    // pixel memory is taken (a few bytes of file can declare 65535 x 65535).
    std::uint64_t MaxPixels = std::uint64_t(1) << 25;
};
