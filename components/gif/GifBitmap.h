#pragma once

#include <cstdint>
#include <vector>

#include "components/gif/GifTypes.h"

// The shape of the BMP a frame decodes to; sizes in 64 bits so that no
// declared size can wrap.
struct GifBmpLayout {
    int Depth = 0;                 // 1, 4 or 8
    std::uint64_t RowSize = 0;     // bytes, a multiple of 4
    std::uint64_t ImageSize = 0;   // Height * RowSize
    std::uint64_t PixelOffset = 0; // 54 + 4 * 2^Depth
    std::uint64_t FileSize = 0;    // PixelOffset + ImageSize
};

// The layout for item, checked before any pixel memory is taken: raises
// "Wrong number of colors; must be a power of 2" when the item's bits per
// pixel is not 1 to 8 (no colour table anywhere), and "GIF image is too
// large" when Width * Height exceeds maxPixels or the BMP would not fit its
// 32-bit fields (negative sizes included).
GifBmpLayout GifBitmapLayout(const GifItem& item, std::uint64_t maxPixels);

// Builds a complete BMP file (1, 4 or 8 bits, rows bottom-up, palette from the
// frame's colour table, missing entries grey 128) from the frame's encoded
// data. A zero-width or zero-height frame gives a BMP of that size without
// pixel bytes. A corruption found while decoding sets corrupted (never clears
// it); errors raise as GifBitmapLayout and GifDecodeLzw do, and
// EOutOfMemory when the memory cannot be had. Progress: psStarting 0 before,
// psRunning while decoding, psEnding 100 after success or psEnding 0 with the
// exception's message after a failure.
std::vector<std::uint8_t> DecodeFrameBitmap(const GifFrameInfo& frame, const GifOptions& options,
                                            bool& corrupted, GifProgress* progress = nullptr);
