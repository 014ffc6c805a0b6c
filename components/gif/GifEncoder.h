#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "components/gif/GifTypes.h"

// Pixel rows handed to the LZW encoder, in the BMP layout: Depth 1, 4 or 8
// bits per pixel packed from the most significant bit, RowSize bytes a row,
// stored bottom-up unless TopDown (a BMP with a negative height).
struct GifPixelSource {
    std::span<const std::uint8_t> Pixels; // at least Height * RowSize bytes
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    int Depth = 8;
    std::size_t RowSize = 0; // at least (Width * Depth + 7) / 8
    bool TopDown = false;
    bool Interlaced = false;
};

// Appends the frame's image data to out: the minimum code size byte (2 for 1
// bit, else the depth), the code stream in sub-blocks of 255 bytes and the
// zero terminator. Rows are visited from the top (in the four interlace
// passes when Interlaced); the code table is cleared whenever it reaches
// 4094 entries. Raises EInvalidGraphicOperation "GIF image encoding error"
// for a depth other than 1, 4 or 8 or rows that do not fit Pixels.
// progress, when not null, hears psRunning after each row with the share of
// rows done.
void GifEncodeLzw(const GifPixelSource& source, std::vector<std::uint8_t>& out,
                  GifProgress* progress = nullptr);
