#include "framework/core/Stream.h"

#include <algorithm>
#include <vector>

#include "framework/core/Exceptions.h"

TStream::~TStream() = default;

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0)
        throw EStreamError("Invalid stream copy count");
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(std::min<std::int64_t>(count, kChunk)));
    std::int64_t left = count;
    while (left > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::int64_t>(left, kChunk));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= static_cast<std::int64_t>(n);
    }
    return count;
}

std::int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(std::int64_t position) { Seek(position, soBeginning); }

std::int64_t TStream::Size() {
    const std::int64_t position = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("Stream size cannot be changed"); }

std::int64_t TStream::SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t position,
                                 std::int64_t size) {
    std::int64_t base = 0;
    switch (origin) {
    case soBeginning:
        base = 0;
        break;
    case soCurrent:
        base = position;
        break;
    case soEnd:
        base = size;
        break;
    default:
        throw EStreamError("Invalid seek origin");
    }
    std::int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        throw EStreamError("Invalid stream position");
    return target;
}
