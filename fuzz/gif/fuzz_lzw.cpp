// Feeds any code stream to the LZW decoder. Bytes 0 to 4: minimum code size,
// bits per pixel, width, height, flags (bit 0 interlaced, bit 1 keep damaged
// frames); the rest is the sub-block data. The decoder must stay inside the
// pixels of the frame (row padding stays zero) and mask every value to the
// bits per pixel; only its documented failure may escape.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/gif/GifLzw.h"
#include "framework/core/Exceptions.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const int bits = data[1] % 8 + 1;
    GifPixelTarget target;
    target.Width = data[2];
    target.Height = data[3];
    target.Depth = bits == 1 ? 1 : bits <= 4 ? 4 : 8;
    target.Interlaced = (data[4] & 1) != 0;
    target.RowSize = (std::size_t(target.Width) * std::size_t(target.Depth) + 31) / 32 * 4;
    std::vector<std::uint8_t> pixels(target.RowSize * std::size_t(target.Height));
    target.Pixels = pixels;
    std::vector<std::uint8_t> encoded(data + 4, data + size);
    encoded[0] = data[0];  // the minimum code size leads the image data
    try {
        GifDecodeLzw(encoded, target, bits, (data[4] & 2) != 0, nullptr);
    } catch (const EInvalidGraphicOperation&) {
    }
    const unsigned mask = (1u << bits) - 1;
    for (std::int32_t y = 0; y < target.Height; ++y) {
        const std::uint8_t* row = pixels.data() + std::size_t(y) * target.RowSize;
        for (std::int32_t x = 0; x < target.Width; ++x) {
            unsigned value;
            if (target.Depth == 8) {
                value = row[x];
            } else if (target.Depth == 4) {
                value = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
            } else {
                value = (row[x / 8] >> (7 - (x & 7))) & 1;
            }
            Require(value <= mask);
        }
        const std::size_t used = (std::size_t(target.Width) * std::size_t(target.Depth) + 7) / 8;
        for (std::size_t i = used; i < target.RowSize; ++i) {
            Require(row[i] == 0);
        }
        if (target.Depth != 8 && target.Width > 0 && (target.Width * target.Depth) % 8 != 0) {
            const int spare = 8 - (target.Width * target.Depth) % 8;
            Require((row[used - 1] & ((1u << spare) - 1)) == 0);
        }
    }
    return 0;
}
