#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The BMP file format without the platform: bytes in, pixels out, and back.
// TBitmap turns a TBmpImage into a DIB section; the GIF and colour-reduction
// code build and read BMP images through the same layout.

// A decoded bitmap in the device-independent layout: rows bottom-up (row 0 is
// the bottom row), each padded to a multiple of 4 bytes. BitCount is 1, 4 or 8
// (indices into Palette), 24 (B, G, R) or 32 (B, G, R, X). Palette entries are
// RGBQUADs read as little-endian words, 0x00RRGGBB; an indexed image always
// carries the full 2^BitCount entries, so every index names an entry.
struct TBmpImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    std::vector<std::uint32_t> Palette;
    std::vector<std::uint8_t> Bits;

    // Bytes per row: ((Width * BitCount + 31) / 32) * 4.
    std::size_t Stride() const;
    // Allocates zeroed Bits and a zeroed full palette (for BitCount <= 8).
    // Raises EInvalidGraphic for a bit count other than 1, 4, 8, 24 or 32, a
    // size that is not positive, or one above the decoder's limits.
    void Allocate(int width, int height, int bitCount);
    // The colour of pixel (x, y), y counted from the TOP row, as a TColor
    // (0x00BBGGRR). Raises EInvalidGraphic outside the image.
    std::uint32_t PixelColor(int x, int y) const;
};

struct TBmpDecodeOptions {
    // True: the data starts with the 14-byte "BM" file header (a .bmp file or
    // stream). False: it starts with the information header (a packed DIB, as
    // RT_BITMAP resources and the clipboard's CF_DIB store it).
    bool HasFileHeader = true;
    // The largest pixel buffer the decoder allocates, in bytes of the decoded
    // layout. A header that asks for more raises before anything is allocated.
    std::uint64_t MaxBytes = 256u << 20;
};

struct TBmpDecodeResult {
    TBmpImage Image;
    // Offset just past the last byte the image occupies (header, palette and
    // pixel data), so a stream reader can leave its position there.
    std::size_t BytesUsed = 0;
};

// Decodes a BMP: information headers of 12 (core), 16 to 64 (OS/2 and the
// short Windows forms), 40, 52, 56, 108 and 124 bytes; 1, 4 and 8 bits with a
// palette, 16 bits (5-5-5 or bit fields; decoded to 24 bits), 24 bits, 32
// bits (plain, or bit fields decoded to B, G, R, A), RLE8 and RLE4; top-down
// images (negative height) come back bottom-up.
// Raises EInvalidGraphic ("Bitmap image is not valid") for anything else:
// a wrong signature, a short header, an unknown compression, a size of 0 or
// one above MaxBytes, a palette or pixel data past the end of the data. It
// never reads outside [data, data + size).
TBmpDecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size,
                           const TBmpDecodeOptions& options = {});

// Writes a complete BMP file: the 14-byte file header, a 40-byte information
// header (BI_RGB, image size filled in, colours used 0) and, for 1, 4 and 8
// bits, the full palette of 2^BitCount entries, then the rows as stored.
// Raises EInvalidGraphic when the image is not consistent (bit count, Bits or
// Palette of the wrong size).
std::vector<std::uint8_t> EncodeBmp(const TBmpImage& image);
