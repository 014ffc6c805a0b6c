// Bytes 0-1: width and height (0 to 255, plus byte 2 bits 0-1 adding one
// more each, so up to 257 x 257); byte 2 bits 2-4: the method (6 and 7 are
// refused); then B, G, R pixels, repeated to fill the rows. Every index must
// name an entry below the colours in use, and the BMP built from the result
// must pass the GIF encoder's checks.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/gif/ColorReduction.h"
#include "components/gif/GifWriter.h"
#include "framework/core/Exceptions.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const int width = data[0] + ((data[2] & 1) ? 2 : 0);
    const int height = data[1] + ((data[2] & 2) ? 2 : 0);
    const int method = (data[2] >> 2) & 7;
    const std::size_t stride = std::size_t(BmpRowSize(24, width));
    std::vector<std::uint8_t> pixels(stride * std::size_t(height));
    for (std::size_t i = 0; i < pixels.size() && size > 3; ++i) {
        pixels[i] = data[3 + i % (size - 3)];
    }
    TReducedImage image;
    try {
        image = Reduce24To8(pixels, width, height, method);
    } catch (const EInvalidGraphic&) {
        Require(method > 5);
        return 0;
    }
    Require(method <= 5);
    // An image without pixels may use no colour at all.
    Require(image.ColorsUsed <= 256 && (image.ColorsUsed >= 1 || width == 0 || height == 0));
    const std::size_t outStride = std::size_t(BmpRowSize(8, width));
    Require(image.Indexes.size() == outStride * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Require(image.Indexes[std::size_t(y) * outStride + std::size_t(x)] < image.ColorsUsed);
        }
    }
    if (width > 0 && height > 0) {
        const std::vector<std::uint8_t> bmp = BuildReducedBmp(width, height, method, image);
        const GifBmpFrame frame = GifReadBmpForEncoding(bmp);
        Require(frame.Width == width && frame.Height == height && frame.Depth == 8);
    }
    return 0;
}
