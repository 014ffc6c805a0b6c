#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "components/gif/GifTypes.h"
#include "tests/components/GifTestBuilder.h"

// Fixtures for the writer's tests: BMP files built from index rows, frames
// encoded from them, and a reader of a written code stream.

struct BmpLayout {
    int Width = 1;
    int Height = 1; // negative: stored top-down
    int Depth = 8;
    Bytes Indexes;      // Width * |Height| values, rows from the top
    int ColorsUsed = 0; // entries written (0: all 2^Depth)
    int Compression = 0;
    int HeaderSize = 40;
};

// Palette entry i of the fixtures' BMPs, as red, green, blue.
inline std::uint8_t BmpRed(int i) {
    return std::uint8_t(i * 7 + 3);
}
inline std::uint8_t BmpGreen(int i) {
    return std::uint8_t(255 - i);
}
inline std::uint8_t BmpBlue(int i) {
    return std::uint8_t(i * 11);
}

Bytes MakeBmp(const BmpLayout& layout);

// Random indexes below 2^bits with runs, so strings of all lengths occur.
Bytes NoiseIndexes(std::size_t count, int bits, unsigned seed);

// An image of one frame encoded from a BMP of these indexes (rows from the top).
GifImageState EncodedImage(int width, int height, int depth, const Bytes& indexes);

// The codes of a frame's image data, following the code size as a reader does.
std::vector<int> ReadCodes(const std::vector<std::uint8_t>& imageData);

// The frame's decoded indexes, rows from the top.
Bytes DecodedIndexes(const GifFrameInfo& frame);

// Runs action and expects EInvalidGraphicOperation with message.
void ExpectGraphicError(const std::function<void()>& action, const std::string& message);
