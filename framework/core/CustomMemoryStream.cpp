#include "framework/core/CustomMemoryStream.h"

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/FileStream.h"

std::size_t TCustomMemoryStream::Read(void* buffer, std::size_t count) {
    const auto size = static_cast<std::int64_t>(size_);
    if (count == 0 || position_ >= size)
        return 0;
    const auto available = static_cast<std::size_t>(size - position_);
    const std::size_t n = count < available ? count : available;
    std::memcpy(buffer, static_cast<const unsigned char*>(memory_) + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t TCustomMemoryStream::Write(const void*, std::size_t) {
    throw EWriteError("Stream is read-only");
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = SeekTarget(offset, origin, position_, static_cast<std::int64_t>(size_));
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

void TCustomMemoryStream::SetPointer(void* memory, std::size_t size) {
    memory_ = memory;
    size_ = size;
}
