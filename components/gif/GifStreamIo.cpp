#include "components/gif/GifStreamIo.h"

#include "components/gif/GifErrors.h"
#include "components/gif/GifReader.h"
#include "framework/core/MemoryStream.h"

namespace {

std::int32_t LittleEndian32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                        (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

} // namespace

void GifLoadFromStream(std::int64_t size, TStream& stream, const GifOptions& options,
                       GifImageState& image) {
    image.Reset();
    if (size <= 0) {
        return;
    }
    const std::int64_t position = stream.Position();
    const std::int64_t available = stream.Size() - position;
    if (size > available) {
        GifRaiseReadError();
    }
    TMemoryStream copy;
    copy.CopyFrom(stream, size);
    GifParse(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(copy.Memory()),
                                           std::size_t(size)),
             options, image);
}

void GifReadDataStream(TStream& stream, const GifOptions& options, GifImageState& image) {
    std::uint8_t prefix[4];
    stream.ReadBuffer(prefix, sizeof prefix);
    GifLoadFromStream(LittleEndian32(prefix), stream, options, image);
}

void GifLoadFromClipboardBlock(std::span<const std::uint8_t> block, const GifOptions& options,
                               GifImageState& image) {
    image.Reset();
    if (block.size() < 4) {
        GifRaiseReadError();
    }
    const std::int32_t size = LittleEndian32(block.data());
    if (size <= 0) {
        return;
    }
    if (std::uint64_t(size) > block.size() - 4) {
        GifRaiseReadError();
    }
    GifParse(block.subspan(4, std::size_t(size)), options, image);
}
