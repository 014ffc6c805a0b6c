// Fuzz target for the BMP reader, with and without the file header: any input
// either decodes or raises EInvalidGraphic; a decoded image re-encodes and reads
// back the same.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/graphics/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 256 * 1024) return 0;
    TBmpDecodeOptions options;
    options.HasFileHeader = (data[0] & 1) == 0;  // the first byte picks the form; 'B' is even
    options.MaxBytes = 4u << 20;
    const std::uint8_t* body = options.HasFileHeader ? data : data + 1;
    const std::size_t bodySize = options.HasFileHeader ? size : size - 1;
    try {
        const TBmpDecodeResult result = DecodeBmp(body, bodySize, options);
        if (result.BytesUsed > bodySize) __builtin_trap();
        const std::vector<std::uint8_t> file = EncodeBmp(result.Image);
        const TBmpDecodeResult again = DecodeBmp(file.data(), file.size());
        if (again.Image.Bits != result.Image.Bits || again.Image.Palette != result.Image.Palette) __builtin_trap();
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
