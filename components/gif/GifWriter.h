#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "components/gif/GifTypes.h"

// Writing a GIF from the portable model: the file builder, the frame
// preparation it runs first, and the intake of a BMP to be encoded as a frame.
// Every failure is EInvalidGraphicOperation with one of these texts (or the
// reader's "Wrong number of colors; must be a power of 2").
inline constexpr const char* kGifNoData = "No GIF Data to write";
inline constexpr const char* kGifEncodingError = "GIF image encoding error";

// Encodes frame number index (whose encoded data is missing or empty) from
// the bitmap the caller keeps for it, typically through EncodeFrameFromBmp.
using GifFrameEncoder = std::function<void(std::size_t index, GifFrameInfo& frame)>;

// Builds the whole file in memory: prepares every frame (encoding those
// without data through encode, then PrepareFrameExtensions), recomputes the
// screen size from the frames' stored sizes and positions (a logical screen
// larger than its frames is not kept), and writes header, screen, global
// table, loop block (looping with two or more frames), each frame's
// extensions, descriptor, local table (padded to the 2^bits entries its
// descriptor announces) and data, the image comment and the trailer. A frame
// whose data was cut short gets its missing terminator. With sizePrefix the
// file is preceded by its 32-bit size.
// Raises "No GIF Data to write" without frames (or when encode is empty and a
// frame needs encoding), and "GIF image encoding error" when a position, a
// size or the screen size does not fit 16 bits. The image's version, screen
// size, frames and shared data are updated as the preparation goes.
std::vector<std::uint8_t> GifSaveToBytes(GifImageState& image, const GifFrameEncoder& encode,
                                         bool sizePrefix = false);

// Brings the frame's graphic control block up to date with its interval,
// transparent colour and disposal (creating one when any of them is set),
// drops comments without lines, and raises version to 2 ("89a") when any
// extension remains.
void PrepareFrameExtensions(GifFrameInfo& frame, std::uint8_t& version);

// A BMP checked for encoding: 1, 4 or 8 bits, uncompressed, its palette and
// rows inside the data. Colors holds 2^Depth entries: those the BMP gives
// (colours-used count, 0 meaning all) and black for the rest.
struct GifBmpFrame {
    std::int32_t Width = 0;
    std::int32_t Height = 0; // positive; TopDown tells the stored order
    int Depth = 0;
    bool TopDown = false;
    std::size_t RowSize = 0;
    std::span<const std::uint8_t> Pixels;
    GifColorTable Colors;
};

// Raises "GIF image encoding error" for anything else: a short or unknown
// header, another bit count, compression, a colours-used count above 2^bits,
// a palette or rows outside the data, a size of 0 or above 65535.
GifBmpFrame GifReadBmpForEncoding(std::span<const std::uint8_t> bmp);

// Encodes the BMP as frame's data: a new colour table and bits per pixel,
// not interlaced, size from the BMP. The first frame encoded into an image
// without a global table gives it this frame's table; later ones keep theirs
// as local tables. The screen grows to hold the frame. On failure the frame
// is left as it was. Progress: psStarting 0, psRunning per row, psEnding 100
// (or 0 with the error's message).
void EncodeFrameFromBmp(GifImageState& image, GifFrameInfo& frame,
                        std::span<const std::uint8_t> bmp, GifProgress* progress = nullptr);
