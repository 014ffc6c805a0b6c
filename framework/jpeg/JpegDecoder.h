#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The JPEG decode core: portable, on libjpeg through a C shim that keeps
// libjpeg's error jumps away from C++ frames. TJPEGImage turns its pixels into a
// DIB section; the fuzz target and the native tests call it directly.

struct TJpegHeader {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool Grayscale = false;
    bool Cmyk = false;         // CMYK or YCCK data (converted to RGB when decoded)
    bool AdobeInverted = false;  // CMYK stored inverted, as Adobe writes it
    bool Progressive = false;
};

// Decoded pixels in the layout of a 24-bit bottom-up DIB: B, G, R per pixel,
// rows bottom-up (row 0 is the bottom row), each padded to a multiple of 4 bytes.
struct TJpegPixels {
    int Width = 0;
    int Height = 0;
    std::size_t Stride = 0;
    std::vector<std::uint8_t> Bits;
};

struct TJpegDecodeOptions {
    // Largest width x height accepted, checked in 64 bits before decoding
    // starts (the process is 32-bit; a header can claim 65535 x 65535).
    std::uint64_t MaxPixels = std::uint64_t{1} << 26;  // 64 Mpixel, 192 MB of pixels
    // Largest number of scans of a progressive file.
    unsigned MaxScans = 1000;
};

// Reads the header: size, components, colour layout.
// Raises EInvalidGraphic with libjpeg's text when the data is no JPEG.
TJpegHeader ReadJpegHeader(const std::uint8_t* data, std::size_t size);

// Decodes to 24 bits; grayscale is expanded, CMYK/YCCK converted (inverted
// Adobe data included). A stream cut short decodes as far as its data goes.
// Raises EInvalidGraphic for data libjpeg rejects, an image above MaxPixels or
// MaxScans, and colour layouts other than gray, YCbCr/RGB and CMYK/YCCK.
TJpegPixels DecodeJpeg(const std::uint8_t* data, std::size_t size, const TJpegDecodeOptions& options = {});

// As DecodeJpeg, into a caller's buffer of the layout above (a 24-bit
// bottom-up DIB section's bits, say): header is ReadJpegHeader's answer for
// the same data; out holds at least stride x header.Height bytes, stride at
// least 3 x header.Width. Raises EInvalidGraphic as DecodeJpeg does, and for
// a buffer that does not fit.
void DecodeJpegInto(const std::uint8_t* data, std::size_t size, const TJpegHeader& header, std::uint8_t* out,
                    std::size_t outSize, std::size_t stride, const TJpegDecodeOptions& options = {});
