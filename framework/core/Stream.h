#pragma once

#include <cstddef>
#include <cstdint>

// Origin of TStream::Seek.
enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// A sequence of bytes with a position. Read and Write move as many bytes as
// they can and return the count; the Buffer forms demand the full count.
// Positions and sizes are 64-bit; a position beyond the end is allowed (reads
// there return 0), a negative one raises EStreamError.
class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream();

    // Copies up to count bytes from the position into buffer; returns the
    // number copied (0 at or past the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Stores up to count bytes at the position; returns the number stored.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position; returns the new position. Raises EStreamError when
    // the target would be negative.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    // Reads exactly count bytes or raises EReadError ("Stream read error");
    // after a short read the position is past the bytes that were there.
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly count bytes or raises EWriteError ("Stream write error").
    void WriteBuffer(const void* buffer, std::size_t count);

    // Copies count bytes from source (at its position) to this stream; with
    // count 0 the whole source is copied from its position 0. Raises
    // EReadError when the source is short. Returns the bytes copied.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

    std::int64_t Position();
    void SetPosition(std::int64_t position);
    // The size; the base asks Seek for the end and restores the position.
    virtual std::int64_t Size();
    // Changes the size where the stream can (memory and file streams); the
    // base raises EStreamError.
    virtual void SetSize(std::int64_t size);

protected:
    // The target of Seek(offset, origin) for a stream at position with size;
    // raises EStreamError when it is negative or overflows.
    static std::int64_t SeekTarget(std::int64_t offset, TSeekOrigin origin, std::int64_t position,
                                   std::int64_t size);
};
