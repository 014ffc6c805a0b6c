#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/core/Stream.h"

// A window [start, start + count) of another stream, seen as a stream of its
// own: position 0 is the base's start, Size() is count, and nothing outside
// the window can be read or written. The filer hands one to each binary
// property's reader, so a reader that goes past its blob gets EReadError from
// ReadBuffer instead of the next property's bytes.
//
// The base stream is not owned and must outlive the window. Each operation
// moves the base's position to where the window needs it; after the window's
// reads the base is left just past the bytes read.
class TBoundedStream : public TStream {
public:
    // Raises EStreamError when start or count is negative or their sum
    // overflows. A window may reach past the base's end; reads there come up
    // short as the base does.
    TBoundedStream(TStream& base, std::int64_t start, std::int64_t count);

    std::size_t Read(void* buffer, std::size_t count) override;
    // Writes inside the window only: the count is cut at the window's end.
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return count_; }
    // Raises EStreamError: the window is fixed.
    void SetSize(std::int64_t size) override;

    std::int64_t Start() const { return start_; }

private:
    // The bytes that may be moved at the position, at most count.
    std::size_t Room(std::size_t count) const;

    TStream& base_;
    std::int64_t start_;
    std::int64_t count_;
    std::int64_t position_ = 0;
};
