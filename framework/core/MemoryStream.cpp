#include "framework/core/MemoryStream.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "framework/core/Exceptions.h"
#include "framework/core/FileStream.h"

namespace {

// More than a 32-bit process could hold: refused before any allocation, so
// that a size read from bad input cannot take the address space.
constexpr std::int64_t kMaxSize = std::numeric_limits<std::int32_t>::max();

std::size_t ToSize(std::int64_t size) {
    if (size < 0)
        throw EStreamError("Invalid stream size");
    if (size > kMaxSize)
        throw EOutOfMemory();
    return static_cast<std::size_t>(size);
}

}  // namespace

TMemoryStream::~TMemoryStream() { std::free(block_); }

void TMemoryStream::Reserve(std::size_t capacity) {
    if (capacity <= capacity_)
        return;
    // Grow by a quarter so that a run of small writes stays linear.
    std::size_t grown = capacity_ + capacity_ / 4;
    if (grown < capacity)
        grown = capacity;
    grown = (grown + 0xFFF) & ~static_cast<std::size_t>(0xFFF);
    void* block = std::realloc(block_, grown);
    if (block == nullptr)
        throw EOutOfMemory();
    block_ = static_cast<unsigned char*>(block);
    capacity_ = grown;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    const std::int64_t position = PositionValue();
    const std::size_t start = ToSize(position);
    if (count > static_cast<std::uint64_t>(kMaxSize) - start)
        throw EOutOfMemory();
    const std::size_t end = start + count;
    const auto size = static_cast<std::size_t>(Size());
    if (end > size) {
        Reserve(end);
        if (start > size)
            std::memset(block_ + size, 0, start - size);
        SetPointer(block_, end);
    }
    std::memcpy(block_ + start, buffer, count);
    SetPositionValue(position + static_cast<std::int64_t>(count));
    return count;
}

void TMemoryStream::SetSize(std::int64_t size) {
    const std::size_t newSize = ToSize(size);
    const auto oldSize = static_cast<std::size_t>(Size());
    Reserve(newSize);
    if (newSize > oldSize)
        std::memset(block_ + oldSize, 0, newSize - oldSize);
    SetPointer(block_, newSize);
    if (PositionValue() > size)
        SetPositionValue(size);
}

void TMemoryStream::Clear() {
    std::free(block_);
    block_ = nullptr;
    capacity_ = 0;
    SetPointer(nullptr, 0);
    SetPositionValue(0);
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const std::int64_t count = stream.Size();
    SetSize(count);
    SetPositionValue(0);
    if (count != 0)
        stream.ReadBuffer(block_, static_cast<std::size_t>(count));
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}
