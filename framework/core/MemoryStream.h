#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/CustomMemoryStream.h"

// A stream over a growable block of its own. Writing past the end grows it
// (bytes between the old end and a far position are zero); SetSize keeps the
// leading bytes. Memory() is invalidated by any change of size.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;

    std::size_t Write(const void* buffer, std::size_t count) override;
    // Raises EOutOfMemory when the block cannot be had or would exceed
    // 2^31 - 1 bytes (checked before allocating); the stream is unchanged then.
    void SetSize(std::int64_t size) override;

    // Size 0, position 0, block freed.
    void Clear();
    // Replaces the contents with the whole of stream (read from its offset 0);
    // the position becomes 0. Raises EReadError when the stream is short.
    void LoadFromStream(TStream& stream);
    // Replaces the contents with the file's; raises EFOpenError.
    void LoadFromFile(const std::string& fileName);

private:
    void Reserve(std::size_t capacity);

    unsigned char* block_ = nullptr;
    std::size_t capacity_ = 0;
};
