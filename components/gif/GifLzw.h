#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "components/gif/GifTypes.h"

// Where GifDecodeLzw puts its pixels: rows of RowSize bytes stored bottom-up
// (row y at (Height - 1 - y) * RowSize), Depth 1, 4 or 8 bits per pixel packed
// from the most significant bit, as in a BMP.
struct GifPixelTarget {
    std::span<std::uint8_t> Pixels; // at least Height * RowSize bytes, zero-filled
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    int Depth = 8;
    std::size_t RowSize = 0; // at least (Width * Depth + 7) / 8
    bool Interlaced = false;
};

// Decodes one frame's image data (minimum code size, then sub-blocks with
// their size bytes) into target. BitsPerPixel (1 to 8) masks every pixel
// value, so no value exceeds the colour table the frame was built for.
// Output is bounded whatever the data holds: pixels beyond the last row and
// codes beyond the table are dropped, chains are walked with a checked stack.
// Returns true when the data was found corrupt and loadCorrupted let the
// decode stop there (the rows decoded so far are kept). With loadCorrupted off
// the same faults raise EInvalidGraphicOperation: "GIF code size not in range
// 2 to 9", "GIF encoded data is corrupt", or "Stream read error" when the data
// ends before the end code and the last row.
// progress, when not null, hears psRunning whenever the consumed percentage
// of data changes.
bool GifDecodeLzw(std::span<const std::uint8_t> data, const GifPixelTarget& target,
                  int bitsPerPixel, bool loadCorrupted, GifProgress* progress);

// The row after row in an interlaced image of the given height; pass (0 to
// 3, start at 0 with row 0) advances with it. Returns height or more when no
// row is left.
std::int32_t NextInterlacedRow(std::int32_t row, std::int32_t height, int& pass);
