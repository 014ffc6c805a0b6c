#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Colour reduction of 24-bit pixels to 8-bit indexes with a palette, and the
// BMP files that carry the result. No platform code: the bitmap's pixels are
// read elsewhere.

enum TReductionMethod : int {
    rmHistogram = 0, // the most frequent colours, up to 256
    rmMedianCut = 1, // boxes of a 4-4-4 bit cube, up to 256
    rmFixed784 = 2,  // 7 red x 8 green x 4 blue levels, 224 colours
    rmFixed666 = 3,  // 6 x 6 x 6 levels, 216 colours
    rmTripel = 4,    // each pixel shows one of its components, 192 colours
    rmGrayscale = 5, // 256 grays
};

// The component levels of the fixed palettes, and for every value 0..255 the
// index of the nearest level (the lower one on equal distance).
struct TColorLevels {
    static constexpr std::uint8_t Levels4[4] = {0, 85, 170, 255};
    static constexpr std::uint8_t Levels6[6] = {0, 51, 102, 153, 204, 255};
    static constexpr std::uint8_t Levels7[7] = {0, 43, 85, 128, 170, 213, 255};
    static constexpr std::uint8_t Levels8[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    static const std::uint8_t* Nearest4();
    static const std::uint8_t* Nearest6();
    static const std::uint8_t* Nearest7();
    static const std::uint8_t* Nearest8();
};

struct TReducedImage {
    // Rows of (width + 3) & ~3 bytes, in the source's row order.
    std::vector<std::uint8_t> Indexes;
    // 256 entries of blue, green, red, reserved.
    std::uint8_t Palette[256][4] = {};
    int ColorsUsed = 0;
};

// Bytes per row of a bitmap: (bits * width + 31) / 32 * 4, in 64 bits.
std::uint64_t BmpRowSize(int bits, std::int64_t width);

// Reduces rows of B, G, R pixels ((3 * width + 3) & ~3 bytes each, height
// rows in storage order) by method. Every index names an entry below
// ColorsUsed. Raises EInvalidGraphic for a negative size, rows that do not
// fit pixels or an unknown method, EOutOfMemory when the stores cannot be had.
TReducedImage Reduce24To8(std::span<const std::uint8_t> pixels, int width, int height, int method);

// A BMP file with a fresh header: size 40, width, positive height (rows
// bottom-up as given), planes 1, bits, no compression, the image size of
// these rows, colours used 0, importantColors; the palette (4 * 2^bits bytes
// for up to 8 bits) and the rows. Raises EInvalidGraphic when palette or rows
// have the wrong size.
std::vector<std::uint8_t> BuildBmpFile(int width, int height, int bits,
                                       std::span<const std::uint8_t> palette,
                                       std::span<const std::uint8_t> rows,
                                       std::uint32_t importantColors = 0);

// The 8-bit BMP of a reduction: methods 1, 2 and 3 name their colours in use
// as important colours.
std::vector<std::uint8_t> BuildReducedBmp(int width, int height, int method,
                                          const TReducedImage& image);
