#include "components/iconlist/IconListFraming.h"

#include "framework/core/Exceptions.h"
#include "framework/core/Stream.h"

namespace {

std::int32_t ReadInt32(TStream& stream) {
    std::uint8_t b[4];
    stream.ReadBuffer(b, sizeof b);
    const std::uint32_t v = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                            (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(v);
}

void WriteInt32(TStream& stream, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16),
                               static_cast<std::uint8_t>(v >> 24)};
    stream.WriteBuffer(b, sizeof b);
}

} // namespace

void ReadIconFraming(TStream& stream, const TIconEntryProc& entry) {
    const std::int32_t count = ReadInt32(stream);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t size = ReadInt32(stream);
        if (size <= 0) {
            entry(nullptr);
            continue;
        }
        // The size comes from the data: a stream of a few bytes may claim 2 GB.
        const std::int64_t left = stream.Size() - stream.Position();
        if (static_cast<std::int64_t>(size) > left)
            throw EReadError();
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        stream.ReadBuffer(bytes.data(), bytes.size());
        entry(&bytes);
    }
}

void WriteIconCount(TStream& stream, std::int32_t count) {
    WriteInt32(stream, count);
}

void WriteIconEntry(TStream& stream, const void* bytes, std::size_t size) {
    WriteInt32(stream, static_cast<std::int32_t>(size));
    if (size > 0)
        stream.WriteBuffer(bytes, size);
}
