#include "framework/core/BoundedStream.h"

#include "framework/core/Exceptions.h"

TBoundedStream::TBoundedStream(TStream& base, std::int64_t start, std::int64_t count)
    : base_(base), start_(start), count_(count) {
    std::int64_t end = 0;
    if (start < 0 || count < 0 || __builtin_add_overflow(start, count, &end))
        throw EStreamError("Invalid stream window");
}

std::size_t TBoundedStream::Room(std::size_t count) const {
    if (position_ >= count_)
        return 0;
    const std::uint64_t left = static_cast<std::uint64_t>(count_ - position_);
    return left < count ? static_cast<std::size_t>(left) : count;
}

std::size_t TBoundedStream::Read(void* buffer, std::size_t count) {
    const std::size_t n = Room(count);
    if (n == 0)
        return 0;
    base_.SetPosition(start_ + position_);
    const std::size_t done = base_.Read(buffer, n);
    position_ += static_cast<std::int64_t>(done);
    return done;
}

std::size_t TBoundedStream::Write(const void* buffer, std::size_t count) {
    const std::size_t n = Room(count);
    if (n == 0)
        return 0;
    base_.SetPosition(start_ + position_);
    const std::size_t done = base_.Write(buffer, n);
    position_ += static_cast<std::int64_t>(done);
    return done;
}

std::int64_t TBoundedStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    position_ = SeekTarget(offset, origin, position_, count_);
    return position_;
}

void TBoundedStream::SetSize(std::int64_t) {
    throw EStreamError("A bounded stream cannot change its size");
}
