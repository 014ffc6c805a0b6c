// Fuzz target for the JPEG decode core: any input either decodes or raises
// EInvalidGraphic. Inputs and images are capped so one run stays short.
#include <cstddef>
#include <cstdint>

#include "framework/core/Exceptions.h"
#include "framework/jpeg/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return 0;
    TJpegDecodeOptions options;
    options.MaxPixels = 1u << 20;
    options.MaxScans = 64;
    try {
        const TJpegPixels pixels = DecodeJpeg(data, size, options);
        if (pixels.Bits.size() != pixels.Stride * static_cast<std::size_t>(pixels.Height)) __builtin_trap();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
